#pragma once

// Which bytes open a double-byte character in the text this program is
// given. The bitmap filter drops such a character whole, trail byte too.

#include "cli_app.h"

namespace cli
{

// Linux passes UTF-8, whose multibyte characters are all bytes of 0x80 and
// above that the filter drops one by one: no byte leads. Windows passes
// standard input in the console's code page and the command line in the
// ANSI code page (the C runtime converts it so), each with its own rule.
LeadByteRules PlatformLeadByteRules();

#ifdef _WIN32
// The console's input code page, or the ANSI code page when the program has
// no console.
unsigned InputCodePage();
unsigned ArgumentCodePage();
#endif

} // namespace cli

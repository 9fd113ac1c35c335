#pragma once

// The options parse and build share: the message specification by name or
// file, and the length prefix's kinds.

#include "output.h"
#include "spec.h"

#include <string>

namespace cli
{

// The built-in message specification of that name, or else the one the file
// of that name holds, read into fileSpec. Null after saying why not: an
// unknown name (a usage error) or a file that cannot be read or is not a
// sound message specification; status gets the exit status for it.
const message::MessageSpec* ChooseSpec(const std::string& name, message::MessageSpec& fileSpec, CDiagnostics& diagnostics,
                                       int& status);

// "2", "4", "a4" or "none"; false for any other text.
bool ParseLengthPrefix(const std::string& text, message::LengthPrefix& prefix);

} // namespace cli

#include "lead_bytes.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <array>
#endif

namespace cli
{

#ifdef _WIN32

namespace
{

// The rule is a plain function pointer, so each code page's answers are
// looked up once into a table of its own.
std::array<bool, 256> g_inputLeadBytes;
std::array<bool, 256> g_argumentLeadBytes;

void Fill(std::array<bool, 256>& table, unsigned codePage)
{
    for (unsigned byte = 0; byte < 256; ++byte)
        table[byte] = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(byte)) != FALSE;
}

bool IsInputLeadByte(unsigned char byte)
{
    return g_inputLeadBytes[byte];
}

bool IsArgumentLeadByte(unsigned char byte)
{
    return g_argumentLeadBytes[byte];
}

} // namespace

unsigned InputCodePage()
{
    const UINT console = GetConsoleCP();
    return console != 0 ? console : GetACP();
}

unsigned ArgumentCodePage()
{
    return GetACP();
}

LeadByteRules PlatformLeadByteRules()
{
    Fill(g_inputLeadBytes, InputCodePage());
    Fill(g_argumentLeadBytes, ArgumentCodePage());
    LeadByteRules rules;
    rules.input = IsInputLeadByte;
    rules.arguments = IsArgumentLeadByte;
    return rules;
}

#else

LeadByteRules PlatformLeadByteRules()
{
    return LeadByteRules{};
}

#endif

} // namespace cli

#include "spec_option.h"
#include "display_text.h"

#include "bitmap_text.h"
#include "sources.h"
#include "spec_file.h"

namespace cli
{

const message::MessageSpec* ChooseSpec(const std::string& name, message::MessageSpec& fileSpec, CDiagnostics& diagnostics,
                                       int& status)
{
    status = kExitUsage;
    if (const message::MessageSpec* builtin = message::FindBuiltinSpec(name))
        return builtin;
    if (!IsFile(name))
    {
        std::string names;
        for (const std::string& known : message::BuiltinSpecNames())
            names += (names.empty() ? "" : ", ") + known;
        diagnostics.UsageError("unknown message specification " + QuoteText(name) + ": " + names);
        return nullptr;
    }
    std::string text;
    std::string error;
    if (!ReadWholeFile(name, text, error))
    {
        diagnostics.Say(error);
        return nullptr;
    }
    message::Problem problem;
    if (!message::LoadSpecFile(text, name, fileSpec, problem))
    {
        diagnostics.Say(problem.Text());
        return nullptr;
    }
    return &fileSpec;
}

bool ParseLengthPrefix(const std::string& text, message::LengthPrefix& prefix)
{
    if (text == "none")
        prefix = message::LengthPrefix::None;
    else if (text == "2")
        prefix = message::LengthPrefix::Binary2;
    else if (text == "4")
        prefix = message::LengthPrefix::Binary4;
    else if (text == "a4")
        prefix = message::LengthPrefix::Ascii4;
    else
        return false;
    return true;
}

} // namespace cli

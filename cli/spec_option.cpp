#include "spec_option.h"

#include "bitmap_text.h"
#include "input.h"
#include "spec_file.h"

namespace cli
{

const message::MessageSpec* ChooseSpec(const std::string& name, message::MessageSpec& fileSpec, CMessages& messages,
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
        messages.UsageError("unknown message specification " + Quote(name) + ": " + names);
        return nullptr;
    }
    int error = 0;
    const std::unique_ptr<CByteSource> file = OpenFile(name, error);
    std::string text;
    char buffer[4096];
    long long count = 0;
    while (file != nullptr && (count = file->Read(buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(count));
    if (file == nullptr || count < 0)
    {
        messages.Say("cannot read " + name + ": " + Reason(file == nullptr ? error : static_cast<int>(-count)));
        return nullptr;
    }
    std::string problem;
    if (!message::LoadSpecFile(text, name, fileSpec, problem))
    {
        messages.Say(problem);
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

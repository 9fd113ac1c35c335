#include "options.h"
#include "display_text.h"

#include "bitmap_printer.h"
#include "output.h"
#include "wire_form.h"
#include "spec_file.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace cli
{

const std::vector<OptionDef> kOptions = {
    {OptionId::Names, 'n', "names", Value::Optional, Check::Choice, nullptr, "en|zh",
     {{"decode", "add the ISO 8583:1987 name of every set bit, in English\n(the default) or Chinese\n"},
      {nullptr, "names in English (the default) or Chinese\n"}}},
    {OptionId::Json, 'j', "json", Value::None, Check::Any, nullptr, nullptr,
     {{"decode", "one JSON object per input (JSON Lines) instead of text\n"},
      {nullptr, "one JSON object per message (JSON Lines)\n"}}},
    {OptionId::AutoFirst, 'a', "auto-first", Value::None, Check::Any, nullptr, nullptr,
     {{"decode", "set bit 1 whenever a bit of 65-128 is set (the window's\n\"set bit 1 automatically\" check box)\n"},
      {nullptr, "set bit 1 when any of bits 65-128 is set\n"}}},
    {OptionId::Display, 'd', "display", Value::None, Check::Any, nullptr, nullptr,
     {{nullptr, "group the digits as the window shows them: each pair\nfollowed by a space, three more spaces after "
                "the 8th pair\n"}}},
    {OptionId::File, 'f', "file", Value::Required, Check::Any, "PATH", nullptr,
     {{"decode", "read the lines of PATH; may be given more than once\n"},
      {"parse", "read the lines (or bytes) of PATH; may be repeated\n"},
      {nullptr, "read the JSON lines of PATH; may be repeated\n"}}},
    {OptionId::DecodeFrom, 0, "from", Value::Required, Check::Choice, "FORMAT",
     "hex|ascii-hex|ebcdic-hex|dump|binary",
     {{nullptr, "how the bitmap is written: hex (the default), ascii-hex\n(\"37323338...\" for 7238...), ebcdic-hex\n"
                "(\"F7F2F3F8...\"), dump (with --message: a hex dump as\nxxd, hexdump -C or a log prints it, below) "
                "or binary\n(raw bitmaps of 8 or 16 bytes, the length given by bit\n1, from standard input or "
                "files)\n"}}},
    {OptionId::Message, 0, "message", Value::None, Check::Any, nullptr, nullptr,
     {{nullptr, "each input is a whole message in hex: a header of\n--header N bytes (default 0), the 4-digit message "
                "type\n(MTI), the primary bitmap and, when bit 1 is set, the\nsecondary bitmap; what follows is not "
                "read\n"}}},
    {OptionId::DecodeHeader, 0, "header", Value::Required, Check::ByteCount, "N", nullptr,
     {{nullptr, "bytes before the message type, with --message\n"}}},
    {OptionId::Separator, 0, "sep", Value::Required, Check::Line, "SEP", nullptr,
     {{nullptr, "separate the bit numbers of text output with SEP\n"}}},
    {OptionId::Spec, 's', "spec", Value::Required, Check::SpecName, "NAME|FILE", nullptr,
     {{"parse", "the message specification: iso87ascii (the default),\niso87binary, iso87ebcdic, cup, or a JSON file "
                "(below)\n"},
      {nullptr, "the message specification: iso87ascii (the default),\niso87binary, iso87ebcdic, cup, or a JSON file "
                "(see\norvane-cli parse --help)\n"}}},
    {OptionId::ParseFrom, 0, "from", Value::Required, Check::Choice, "FORM", "text|hex|dump|binary",
     {{nullptr, "how each input writes the message: text (its\ncharacters: the default for iso87ascii), hex (hex\n"
                "digits, spaces and tabs ignored: the default for the\nothers), dump (a hex dump as xxd, hexdump "
                "-C or a\nlog prints it: below) or binary (raw bytes from\nstandard input or files; with "
                "--length-prefix, many\nmessages in a row)\n"}}},
    {OptionId::ParseHeader, 0, "header", Value::Required, Check::ByteCount, "N", nullptr,
     {{nullptr, "N bytes before the message type, shown as hex (this\nreplaces the message specification's header;\n"
                "0 for none)\n"}}},
    {OptionId::To, 0, "to", Value::Required, Check::Choice, "FORM", "text|hex|binary",
     {{nullptr, "how each message is written: text (its characters,\none a line: the default for iso87ascii), hex "
                "(one a\nline: the default for the others) or binary (raw\nbytes, one message after another)\n"}}},
    {OptionId::BuildHeader, 0, "header", Value::Required, Check::HexBytes, "HEX", nullptr,
     {{nullptr, "these bytes before every message type, in place of\nthe message specification's header and of any\n"
                "header the inputs give; empty for none\n"}}},
    {OptionId::LengthPrefix, 0, "length-prefix", Value::Required, Check::Choice, "KIND", "2|4|a4|none",
     {{nullptr, "a length before each message: 2 or 4 (bytes,\nbig-endian), a4 (4 ASCII digits) or none\n"}},
     1},
    {OptionId::Fields, 'F', "fields", Value::Required, Check::Any, "LIST", nullptr,
     {{nullptr, "the chosen parts of each message as one tab-separated\nline, empty where absent: field numbers, "
                "FIELD.TAG for\na tag of a TLV field (55.9F26), mti, bitmap, length\nand the header parts by name "
                "(tpdu, header)\n"}}},
    {OptionId::Unmask, 0, "unmask", Value::None, Check::Any, nullptr, nullptr,
     {{nullptr, "show card data in the clear\n"}}},
    {OptionId::Pad, 0, "pad", Value::None, Check::Any, nullptr, nullptr,
     {{nullptr, "fill short fixed fields the ISO way: n with leading\nzeros, a, an and ans with trailing spaces, b "
                "with\nzero bytes\n"}}},
    {OptionId::Strict, 0, "strict", Value::None, Check::Any, nullptr, nullptr,
     {{"decode", "an input that is not a clean bitmap is an error\n"},
      {nullptr, "content checks are errors, not warnings\n"}}},
    {OptionId::Quiet, 'q', "quiet", Value::None, Check::Any, nullptr, nullptr,
     {{"decode", "no warnings on standard error\n"}, {nullptr, "no warnings\n"}}},
    {OptionId::Help, 'h', "help", Value::None, Check::Any, nullptr, nullptr, {{nullptr, "show this help\n"}}},
};

namespace
{

std::vector<std::string> Split(const char* choices)
{
    std::vector<std::string> parts(1);
    for (const char* p = choices; *p != 0; ++p)
    {
        if (*p == '|')
            parts.emplace_back();
        else
            parts.back() += *p;
    }
    return parts;
}

// "a, b or c"
std::string Listed(const std::vector<std::string>& choices)
{
    std::string text;
    for (std::size_t i = 0; i < choices.size(); ++i)
        text += (i == 0 ? "" : i + 1 == choices.size() ? " or " : ", ") + choices[i];
    return text;
}

// The value as it is kept, or false with why it is refused.
bool CheckValue(const OptionDef& option, std::string& value, std::string& why)
{
    switch (option.check)
    {
    case Check::Choice:
    {
        const std::vector<std::string> choices = Split(option.choices);
        // An optional value left out means the first choice.
        const bool known = (value.empty() && option.value == Value::Optional) ||
                           std::find(choices.begin(), choices.end(), value) != choices.end();
        why = Listed(choices);
        return known;
    }
    case Check::ByteCount:
        why = "a number of bytes, 0 to 9999";
        return !value.empty() && value.size() <= 4 && value.find_first_not_of("0123456789") == std::string::npos;
    case Check::Line:
        why = "one line of at least one character";
        return !value.empty() && value.find_first_of("\r\n") == std::string::npos;
    case Check::HexBytes:
    {
        std::string bytes;
        message::Problem problem;
        if (!message::HexToBytes(value, bytes, problem))
        {
            why = message::English(problem);
            return false;
        }
        value = std::move(bytes);
        return true;
    }
    case Check::Any:
    case Check::SpecName:
        break;
    }
    return true;
}

const OptionDef* Find(const CommandDef& command, const std::string& longName, char shortName)
{
    for (const OptionId id : command.options)
    {
        const OptionDef& option = Option(id);
        // 0 marks an option without a short name, so it names none.
        if (longName == option.longName || (shortName != 0 && shortName == option.shortName))
            return &option;
    }
    return nullptr;
}

// "-7" is an operand, not an option.
bool IsNegativeNumber(const std::string& arg)
{
    return arg.size() > 1 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9';
}

void TakeOperand(const std::string& arg, const CommandDef& command, CArguments& arguments)
{
    if (arg == "-" && command.operands != Operands::Numbers)
        arguments.sources.push_back(Source{Source::StandardInput, ""});
    else if (command.operands == Operands::Texts)
        arguments.sources.push_back(Source{Source::Text, arg});
    else
        arguments.operands.push_back(arg);
}

using Found = std::vector<std::pair<const OptionDef*, std::string>>;

// The option of "--name", "--name=VALUE" or "--name VALUE" (i moves past a value), or an error.
std::string FindLong(const std::vector<std::string>& args, std::size_t& i, const CommandDef& command, Found& found)
{
    const std::string& arg = args[i];
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const OptionDef* known = Find(command, name, 0);
    if (known == nullptr)
        return "unknown option " + QuoteText(arg);
    if (equals != std::string::npos && known->value == Value::None)
        return "option --" + name + " takes no value";
    if (equals != std::string::npos)
        found.emplace_back(known, arg.substr(equals + 1));
    else if (known->value != Value::Required)
        found.emplace_back(known, std::string());
    else if (i + 1 < args.size())
        found.emplace_back(known, args[++i]);
    else
        return "option --" + name + " needs a value";
    return std::string();
}

// The options of "-abc", the last one's value attached or next, or an error.
std::string FindShort(const std::vector<std::string>& args, std::size_t& i, const CommandDef& command, Found& found)
{
    const std::string& arg = args[i];
    for (std::size_t k = 1; k < arg.size(); ++k)
    {
        const OptionDef* known = Find(command, std::string(), arg[k]);
        if (known == nullptr)
            return "unknown option " + QuoteText(std::string("-") + arg[k]);
        if (known->value != Value::Required)
            found.emplace_back(known, std::string());
        else if (k + 1 < arg.size())
        {
            found.emplace_back(known, arg.substr(k + 1));
            break;
        }
        else if (i + 1 < args.size())
            found.emplace_back(known, args[++i]);
        else
            return std::string("option -") + arg[k] + " needs a value";
    }
    return std::string();
}

std::string Take(Found& found, CArguments& arguments)
{
    for (auto& [option, value] : found)
    {
        std::string why;
        if (!CheckValue(*option, value, why))
            return "invalid value " + QuoteText(value) + " for --" + option->longName + ": " + why;
        if (option->id == OptionId::File)
            arguments.sources.push_back(Source{Source::File, value});
        else
            arguments.Set(option->id, value);
    }
    return std::string();
}

const char* HelpLines(const OptionDef& option, const char* command)
{
    for (const Wording& wording : option.help)
    {
        if (wording.command == nullptr || std::string(wording.command) == command)
            return wording.lines;
    }
    assert(false && "every option has a wording for every command");
    return "";
}

} // namespace

const OptionDef& Option(OptionId id)
{
    for (const OptionDef& option : kOptions)
    {
        if (option.id == id)
            return option;
    }
    assert(false && "every id has its entry");
    return kOptions.front();
}

std::vector<std::string> Choices(const OptionDef& option)
{
    if (option.check == Check::SpecName)
        return message::BuiltinSpecNames();
    return option.choices != nullptr ? Split(option.choices) : std::vector<std::string>();
}

const std::string& CArguments::Text(OptionId id) const
{
    static const std::string none;
    const auto found = m_values.find(id);
    return found != m_values.end() ? found->second : none;
}

std::size_t CArguments::Choice(OptionId id) const
{
    assert(Given(id));
    const std::vector<std::string> choices = Choices(Option(id));
    return static_cast<std::size_t>(std::find(choices.begin(), choices.end(), Text(id)) - choices.begin());
}

std::size_t CArguments::Count(OptionId id) const
{
    return Given(id) ? static_cast<std::size_t>(std::stoul(Text(id))) : 0;
}

Names CArguments::NamesChosen() const
{
    if (!Given(OptionId::Names))
        return Names::None;
    return Text(OptionId::Names) == "zh" ? Names::Chinese : Names::English;
}

bool ParseArguments(const std::vector<std::string>& args, const CommandDef& command, CDiagnostics& diagnostics,
                    CArguments& arguments)
{
    assert(!args.empty());
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || IsNegativeNumber(arg))
            TakeOperand(arg, command, arguments);
        else if (arg == "--")
            optionsEnded = true;
        else
        {
            // All the options of an argument are found before any is taken.
            Found found;
            std::string error = arg[1] == '-' ? FindLong(args, i, command, found) : FindShort(args, i, command, found);
            if (error.empty())
                error = Take(found, arguments);
            if (!error.empty())
            {
                diagnostics.UsageError(error);
                return false;
            }
        }
    }
    return true;
}

void AppendHelp(const CommandDef& command, std::string& out)
{
    out += command.helpBefore;
    for (const OptionId id : command.options)
    {
        const OptionDef& option = Option(id);
        const std::size_t start = out.size();
        out += "  ";
        if (option.shortName != 0)
            out += std::string("-") + option.shortName + ", ";
        out += std::string("--") + option.longName;
        if (option.value == Value::Optional)
            out += std::string("[=") + option.choices + "]";
        else if (option.value == Value::Required)
            out += std::string(" ") + option.placeholder;
        const std::size_t width = out.size() - start;
        out.append(width + option.gap > command.helpColumn ? option.gap : command.helpColumn - width, ' ');
        const std::string lines = HelpLines(option, command.name);
        for (std::size_t at = 0, end = 0; at < lines.size(); at = end + 1)
        {
            end = lines.find('\n', at);
            out.append(at == 0 ? 0 : command.helpColumn, ' ').append(lines, at, end + 1 - at);
        }
    }
    out += command.helpAfter;
    for (const char* appendix : command.helpAppendices)
        out += appendix;
}

bool ReadCommandLine(const std::vector<std::string>& args, const CommandDef& command, std::string& out,
                     CDiagnostics& diagnostics, CArguments& arguments, int& status)
{
    status = kExitUsage;
    if (!ParseArguments(args, command, diagnostics, arguments))
        return false;
    status = kExitOk;
    if (arguments.Given(OptionId::Help))
        AppendHelp(command, out);
    return !arguments.Given(OptionId::Help);
}

const message::MessageSpec* SpecChosen(const CArguments& arguments, message::MessageSpec& fileSpec,
                                       CDiagnostics& diagnostics, int& status)
{
    const std::string name = arguments.Given(OptionId::Spec) ? arguments.Text(OptionId::Spec) : "iso87ascii";
    status = kExitUsage;
    if (const message::MessageSpec* builtin = message::FindBuiltinSpec(name))
        return builtin;
    if (!IsFile(name))
    {
        diagnostics.UsageError("unknown message specification " + QuoteText(name) + ": " + message::BuiltinSpecList());
        return nullptr;
    }
    std::string text;
    std::string error;
    message::Problem problem;
    if (!ReadWholeFile(name, text, error))
        diagnostics.Say(error);
    else if (!message::LoadSpecFile(text, name, fileSpec, problem))
        diagnostics.Say(problem.Text());
    else
        return &fileSpec;
    return nullptr;
}

message::WireForm FormChosen(const CArguments& arguments, OptionId id, const message::MessageSpec& spec)
{
    if (!arguments.Given(id))
        return spec.input;
    const std::string& name = arguments.Text(id);
    return name == "text" ? message::WireForm::Text
           : name == "hex" ? message::WireForm::Hex
           : name == "dump" ? message::WireForm::Dump
                            : message::WireForm::Binary;
}

message::Framing FramingChosen(const CArguments& arguments, const message::MessageSpec& spec)
{
    message::Framing framing = spec.framing;
    if (arguments.Given(OptionId::LengthPrefix))
        message::LengthPrefixNamed(arguments.Text(OptionId::LengthPrefix), framing.lengthPrefix);
    return framing;
}

} // namespace cli

#include "parse_command.h"

#include "input.h"
#include "message_parser.h"
#include "options.h"
#include "parse_help.h"
#include "spec_file.h"
#include "spec_option.h"

namespace cli
{

namespace
{

// Hands lines, TEXT arguments and raw streams to the parser and passes each
// verdict on.
class CParseStream : public CLineHandler, public CChunkHandler
{
public:
    CParseStream(CMessageParser& parser, COutput& output, CVerdicts& verdicts)
        : m_parser(parser), m_output(output), m_verdicts(verdicts)
    {
    }

    void Line(const std::string& line, const InputPlace& place) override
    {
        m_message.clear();
        Said(m_parser.ParseText(line, place, m_output.Out(), m_message), m_message);
    }

    void Rejected(const std::string& reason, const InputPlace& place) override
    {
        m_message.clear();
        Said(m_parser.Reject(reason, place, m_output.Out(), m_message), m_message);
    }

    void Text(const std::string& text, std::uint64_t number)
    {
        m_message.clear();
        Said(m_parser.ParseText(text, InputPlace{InputKind::Argument, number}, m_output.Out(), m_message), m_message);
    }

    void Chunk(const char* data, std::size_t size) override
    {
        m_parser.Feed(std::string_view(data, size), m_file, m_output.Out(),
                      [this](Verdict verdict, const std::string& message) { Said(verdict, message); });
    }

    void EndStream()
    {
        m_parser.EndStream(m_file, m_output.Out(),
                           [this](Verdict verdict, const std::string& message) { Said(verdict, message); });
    }

    void SetFile(const std::string* file) { m_file = file; }
    void Paused() override { m_output.Flush(); }
    bool ReadOn() const override { return !m_output.Failed(); }

private:
    void Said(Verdict verdict, const std::string& message) { m_verdicts.Input(verdict, message); }

    CMessageParser& m_parser;
    COutput& m_output;
    CVerdicts& m_verdicts;
    const std::string* m_file = nullptr;
    std::string m_message;
};

} // namespace

int Parse(const std::vector<std::string>& args, Environment& environment, COutput& output)
{
    CMessages messages(output, "parse");
    MessageParseOptions options;
    std::vector<Source> sources;
    std::string specName = "iso87ascii";
    std::string from;
    std::string columns;
    bool help = false;
    bool quiet = false;
    bool headerGiven = false;
    std::size_t header = 0;
    bool prefixGiven = false;
    message::LengthPrefix prefix = message::LengthPrefix::None;
    const std::vector<OptionDef> table = {
        {'s', "spec", Value::Required},   {0, "from", Value::Required},   {0, "header", Value::Required},
        {0, "length-prefix", Value::Required}, {'n', "names", Value::Optional}, {'j', "json", Value::None},
        {'F', "fields", Value::Required}, {0, "unmask", Value::None},     {0, "strict", Value::None},
        {'f', "file", Value::Required},   {'q', "quiet", Value::None},    {'h', "help", Value::None},
    };
    const auto operand = [&sources](const std::string& arg) {
        sources.push_back(arg == "-" ? Source{Source::StandardInput, ""} : Source{Source::Text, arg});
    };
    const bool parsed = ParseOptions(args, table, messages, operand, [&](const std::string& name, const std::string& value) {
        const std::string bad = "invalid value " + Quote(value) + " for --" + name;
        if (name == "spec")
            specName = value;
        else if (name == "from")
        {
            if (value != "text" && value != "hex" && value != "binary")
                return bad + ": text, hex or binary";
            from = value;
        }
        else if (name == "header")
        {
            if (value.empty() || value.size() > 4 || value.find_first_not_of("0123456789") != std::string::npos)
                return bad + ": a number of bytes, 0 to 9999";
            header = static_cast<std::size_t>(std::stoul(value));
            headerGiven = true;
        }
        else if (name == "length-prefix")
        {
            if (!ParseLengthPrefix(value, prefix))
                return bad + ": 2, 4, a4 or none";
            prefixGiven = true;
        }
        else if (name == "names" && (value.empty() || value == "en"))
            options.output.names = Names::English;
        else if (name == "names" && value == "zh")
            options.output.names = Names::Chinese;
        else if (name == "names")
            return bad + ": en or zh";
        else if (name == "json")
            options.output.form = MessageForm::Json;
        else if (name == "fields")
            columns = value;
        else if (name == "unmask")
            options.output.unmask = true;
        else if (name == "strict")
            options.strict = true;
        else if (name == "file")
            sources.push_back(Source{Source::File, value});
        else if (name == "quiet")
            quiet = true;
        else
            help = true;
        return std::string();
    });
    if (!parsed)
        return kExitUsage;
    if (help)
    {
        output.Out() += kParseHelp;
        output.Out() += message::kSpecFileHelp;
        return kExitOk;
    }
    message::MessageSpec fileSpec;
    int status = kExitOk;
    const message::MessageSpec* spec = ChooseSpec(specName, fileSpec, messages, status);
    if (spec == nullptr)
        return messages.Finish(status);
    if (!columns.empty())
    {
        std::string error;
        if (!ParseColumns(columns, options.output.columns, error))
        {
            messages.UsageError("--fields: " + error);
            return kExitUsage;
        }
        if (options.output.form == MessageForm::Json)
        {
            messages.UsageError("--fields and --json are two outputs: choose one");
            return kExitUsage;
        }
        options.output.form = MessageForm::Columns;
    }
    options.from = from == "text"     ? message::InputForm::Text
                   : from == "hex"    ? message::InputForm::Hex
                   : from == "binary" ? message::InputForm::Binary
                                      : spec->input;
    options.framing = spec->framing;
    if (headerGiven)
        options.framing.header = header == 0 ? std::vector<message::HeaderPart>{}
                                             : std::vector<message::HeaderPart>{{"header", header}};
    if (prefixGiven)
        options.framing.lengthPrefix = prefix;

    if (sources.empty())
        sources.push_back(Source{Source::StandardInput, ""});
    for (const Source& source : sources)
    {
        if (options.from == message::InputForm::Binary && source.kind == Source::Text)
        {
            messages.UsageError("--from binary reads standard input or files, not TEXT arguments");
            return kExitUsage;
        }
    }

    CMessageParser parser(*spec, options);
    // JSON carries its warnings in the object, so standard error stays free for errors.
    CVerdicts verdicts(output, messages, !quiet && options.output.form != MessageForm::Json);
    CParseStream stream(parser, output, verdicts);
    const auto read = [&](CByteSource& in, const std::string* path) {
        if (options.from != message::InputForm::Binary)
            return ReadLines(in, path, environment.maxLineBytes, static_cast<CLineHandler&>(stream));
        stream.SetFile(path);
        const int error = ReadChunks(in, static_cast<CChunkHandler&>(stream));
        stream.EndStream();
        return error;
    };
    ReadSources(
        sources, environment.in, output, [&stream](const std::string& text, std::uint64_t number) { stream.Text(text, number); },
        read, [&verdicts](const std::string& message) { verdicts.Bad(message); });
    return messages.Finish(verdicts.Status());
}

} // namespace cli

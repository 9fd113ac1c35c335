#include "commands.h"

#include "help_texts.h"

#include "dump_lines.h"
#include "input_loop.h"
#include "message_parser.h"
#include "dump.h"
#include "spec_file.h"

namespace cli
{

namespace
{

// The parser's verdicts on a raw stream's messages, to the report.
auto Reporter(CInputReport& report)
{
    return [&report](Verdict verdict, const std::string& diagnostic) { report.Input(Outcome{verdict, diagnostic}); };
}

// Hands TEXT arguments, lines and raw streams to the parser.
class CParseHandler : public CInputHandler
{
    // Defined first: their return types are deduced before their use.
    auto OnMessage(CInputReport& report)
    {
        return [this, &report](std::string_view bytes, const InputPlace& place) {
            report.Input(
                OutcomeOf([&](std::string& diagnostic) { return m_parser.ParseBytes(bytes, place, m_out, diagnostic); }));
        };
    }

    auto OnProblem(CInputReport& report)
    {
        return [this, &report](const message::Problem& problem, const InputPlace& place) {
            report.Input(
                OutcomeOf([&](std::string& diagnostic) { return m_parser.Reject(problem, place, m_out, diagnostic); }));
        };
    }

public:
    CParseHandler(CMessageParser& parser, std::string& out, std::size_t maxLineBytes)
        : m_parser(parser), m_out(out), m_maxLineBytes(maxLineBytes)
    {
    }

    Outcome Line(const std::string& line, const InputPlace& place) override
    {
        return OutcomeOf([&](std::string& diagnostic) { return m_parser.ParseText(line, place, m_out, diagnostic); });
    }

    void FeedLine(const std::string& line, const InputPlace& place, CInputReport& report) override
    {
        if (m_parser.Options().from == message::WireForm::Dump)
            m_dump.Line(line, place, OnMessage(report), OnProblem(report));
        else
            report.Input(Line(line, place));
    }

    Outcome Rejected(const std::string&, const InputPlace& place) override
    {
        message::Problem tooLong(message::Place(), 0, message::ProblemKind::LineTooLong);
        tooLong.needed = m_maxLineBytes;
        return OutcomeOf([&](std::string& diagnostic) { return m_parser.Reject(tooLong, place, m_out, diagnostic); });
    }

    void Chunk(std::string_view bytes, const std::string* file, CInputReport& report) override
    {
        m_parser.Feed(bytes, file, m_out, Reporter(report));
    }

    void EndOfSource(const std::string* file, CInputReport& report) override
    {
        if (m_parser.Options().from == message::WireForm::Binary)
            m_parser.EndStream(file, m_out, Reporter(report));
        else if (m_parser.Options().from == message::WireForm::Dump)
            m_dump.End(file, OnMessage(report), OnProblem(report));
    }

private:
    CMessageParser& m_parser;
    std::string& m_out;
    const std::size_t m_maxLineBytes;
    CDumpLines m_dump;
};

// The parser's options, or false after saying the usage error.
bool Configure(const CArguments& arguments, const message::MessageSpec& spec, CDiagnostics& diagnostics,
               MessageParseOptions& options)
{
    options.output.language =
        arguments.NamesChosen() == Names::Chinese ? message::Language::Chinese : message::Language::English;
    options.output.form = arguments.Given(OptionId::Json) ? MessageForm::Json : MessageForm::Text;
    options.output.unmask = arguments.Given(OptionId::Unmask);
    options.strict = arguments.Given(OptionId::Strict);
    std::string error;
    const std::string& columns = arguments.Text(OptionId::Fields);
    if (!columns.empty() && !ParseColumns(columns, options.output.columns, error))
        error = "--fields: " + error;
    else if (!columns.empty() && options.output.form == MessageForm::Json)
        error = "--fields and --json are two outputs: choose one";
    else if (!columns.empty())
        options.output.form = MessageForm::Columns;
    options.from = FormChosen(arguments, OptionId::ParseFrom, spec);
    options.framing = FramingChosen(arguments, spec);
    if (arguments.Given(OptionId::ParseHeader))
    {
        const std::size_t header = arguments.Count(OptionId::ParseHeader);
        options.framing.header = header == 0 ? std::vector<message::HeaderPart>{}
                                             : std::vector<message::HeaderPart>{{"header", header}};
    }
    if (error.empty() && options.from == message::WireForm::Binary && HasText(arguments.sources))
        error = "--from binary reads standard input or files, not TEXT arguments";
    if (!error.empty())
        diagnostics.UsageError(error);
    return error.empty();
}

} // namespace

const CommandDef kParseCommand = {"parse",
                                  {OptionId::Spec, OptionId::ParseFrom, OptionId::ParseHeader, OptionId::LengthPrefix,
                                   OptionId::Names, OptionId::Json, OptionId::Fields, OptionId::Unmask,
                                   OptionId::Strict, OptionId::File, OptionId::Quiet, OptionId::Help},
                                  Operands::Texts, 23, kHelpParseBefore, kHelpParseAfter,
                                  {message::kDumpHelp, message::kSpecFileHelp}};

int Parse(const std::vector<std::string>& args, Environment& environment, COutput& output)
{
    CDiagnostics diagnostics(output, "parse");
    CArguments arguments;
    message::MessageSpec fileSpec;
    int status = kExitOk;
    if (!ReadCommandLine(args, kParseCommand, output.Out(), diagnostics, arguments, status))
        return status;
    const message::MessageSpec* spec = SpecChosen(arguments, fileSpec, diagnostics, status);
    if (spec == nullptr)
        return diagnostics.Finish(status);
    MessageParseOptions options;
    if (!Configure(arguments, *spec, diagnostics, options))
        return kExitUsage;
    CMessageParser parser(*spec, options);
    CParseHandler handler(parser, output.Out(), environment.maxLineBytes);
    // JSON carries its warnings in the object, so standard error stays free for errors.
    CInputLoop loop(environment, output, diagnostics,
                    !arguments.Given(OptionId::Quiet) && options.output.form != MessageForm::Json);
    const Reading reading = options.from == message::WireForm::Binary ? Reading::Chunks : Reading::Lines;
    return diagnostics.Finish(loop.Run(arguments.sources, reading, handler));
}

} // namespace cli

#include "commands.h"

#include "help_texts.h"

#include "dump_lines.h"
#include "input_loop.h"
#include "message_printer.h"
#include "wire_form.h"
#include "dump.h"
#include "spec_file.h"

namespace cli
{

namespace
{

struct ParseOptions
{
    message::WireForm from = message::WireForm::Text;
    message::Framing framing;
    bool strict = false;
    MessagePrintOptions output;
};

// Reads each input's message and prints it: TEXT arguments and lines in
// their wire form, hex dumps joined from lines, raw streams cut by the
// framer (their messages numbered from 1 in each).
class CParser : public CInputHandler
{
    // Defined first: the return types of the On functions are deduced before their use.
    Outcome Parse(std::string_view bytes, const InputPlace& place)
    {
        if (bytes.empty())
            return Reject(message::Problem(message::Place(), 0, message::ProblemKind::EmptyMessage), place);
        const bool read = message::ReadMessage(m_spec, m_options.framing, bytes,
                                               message::ReadOptions{m_options.strict}, m_message, m_problem);
        return Finish(read, place);
    }

    // An input that never reached the reader, as a line too long to hold.
    Outcome Reject(const message::Problem& problem, const InputPlace& place)
    {
        m_message.Clear();
        m_problem = problem;
        return Finish(false, place);
    }

    Outcome Finish(bool read, const InputPlace& place)
    {
        m_printer.Print(m_message, read ? nullptr : &m_problem, place, m_out);
        if (!read)
            return Outcome{Verdict::Bad, PlaceText(place) + ": " + m_problem.Text()};
        if (m_message.warnings.empty())
            return Outcome{Verdict::Clean, std::string()};
        std::string diagnostic = "warning: " + PlaceText(place) + ": ";
        for (std::size_t i = 0; i < m_message.warnings.size(); ++i)
            diagnostic += (i == 0 ? "" : "; ") + m_message.warnings[i].Text();
        return Outcome{Verdict::Warned, diagnostic};
    }

    auto OnMessage(CInputReport& report)
    {
        return [this, &report](std::string_view bytes, const InputPlace& place) { report.Input(Parse(bytes, place)); };
    }

    auto OnProblem(CInputReport& report)
    {
        return [this, &report](const message::Problem& problem, const InputPlace& place) {
            report.Input(Reject(problem, place));
        };
    }

    auto OnFramed(const std::string* file, CInputReport& report)
    {
        return [=, &report](std::string_view bytes) { report.Input(Parse(bytes, NextInStream(file))); };
    }

    auto OnLost(const std::string* file, CInputReport& report)
    {
        return [=, &report](const message::Problem& lost) { report.Input(Reject(lost, NextInStream(file))); };
    }

    InputPlace NextInStream(const std::string* file) { return InputPlace{InputKind::Message, ++m_streamCount, file}; }

public:
    CParser(const message::MessageSpec& spec, const ParseOptions& options, std::string& out)
        : m_spec(spec), m_options(options), m_printer(spec, options.output), m_framer(options.framing.lengthPrefix),
          m_out(out)
    {
    }

    Outcome Line(const std::string& line, const InputPlace& place) override
    {
        if (m_options.from == message::WireForm::Text)
            return Parse(line, place);
        if (message::WireToBytes(m_options.from, line, m_bytes, m_problem))
            return Parse(m_bytes, place);
        m_message.Clear();
        return Finish(false, place);
    }

    void FeedLine(const std::string& line, const InputPlace& place, CInputReport& report) override
    {
        if (m_options.from != message::WireForm::Dump)
            return report.Input(Line(line, place));
        m_dump.Line(line, place, OnMessage(report), OnProblem(report));
    }

    Outcome TooLong(const message::Problem& problem, const InputPlace& place) override
    {
        return Reject(problem, place);
    }

    void Chunk(std::string_view bytes, const std::string* file, CInputReport& report) override
    {
        m_framer.Feed(bytes, OnFramed(file, report), OnLost(file, report));
    }

    void EndOfSource(const std::string* file, CInputReport& report) override
    {
        if (m_options.from == message::WireForm::Binary)
            m_framer.End(OnFramed(file, report), OnLost(file, report));
        else if (m_options.from == message::WireForm::Dump)
            m_dump.End(file, OnMessage(report), OnProblem(report));
        m_streamCount = 0;
    }


private:
    const message::MessageSpec& m_spec;
    const ParseOptions m_options;
    CMessagePrinter m_printer;
    message::Message m_message;
    message::Problem m_problem;
    std::string m_bytes;
    message::CStreamFramer m_framer;
    CDumpLines m_dump;
    std::uint64_t m_streamCount = 0; // messages of the current stream
    std::string& m_out;
};

// The parser's options, or false after saying the usage error.
bool Configure(const CArguments& arguments, const message::MessageSpec& spec, CDiagnostics& diagnostics,
               ParseOptions& options)
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
    ParseOptions options;
    if (!Configure(arguments, *spec, diagnostics, options))
        return kExitUsage;
    CParser parser(*spec, options, output.Out());
    // JSON carries its warnings in the object, so standard error stays free for errors.
    CInputLoop loop(environment, output, diagnostics,
                    !arguments.Given(OptionId::Quiet) && options.output.form != MessageForm::Json);
    const Reading reading = options.from == message::WireForm::Binary ? Reading::Chunks : Reading::Lines;
    return diagnostics.Finish(loop.Run(arguments.sources, reading, parser));
}

} // namespace cli

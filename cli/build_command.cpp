#include "commands.h"
#include "display_text.h"

#include "help_texts.h"

#include "bitmap_printer.h"
#include "input_loop.h"
#include "build_input.h"
#include "message_json.h"
#include "wire_form.h"

namespace cli
{

using message::NamedValue;

namespace
{

struct BuildOptions
{
    message::WireForm to = message::WireForm::Text; // the message's characters, hex, or raw bytes
    message::Framing framing;                       // the message specification's, or as the options replace it
    bool fixedHeader = false;                       // every message gets header, whatever its input gives
    std::string header;                             // those bytes
    bool pad = false;
};

// Builds the message of NAME=VALUE arguments, or of each JSON line, in the
// chosen wire form with its line end (none for raw bytes).
class CBuilder : public CInputHandler
{
public:
    CBuilder(const message::MessageSpec& spec, const BuildOptions& options, std::string& out)
        : m_spec(spec), m_options(options), m_values(spec, m_options.framing), m_out(out)
    {
    }

    // False with the problem, and nothing written.
    bool BuildValues(const std::vector<NamedValue>& values, message::Problem& problem)
    {
        m_values.Clear();
        for (const NamedValue& value : values)
        {
            if (!m_values.Put(value, problem))
                return false;
        }
        return Build(problem);
    }

    Outcome Line(const std::string& line, const InputPlace& place) override
    {
        message::Problem problem;
        if (message::ReadMessageJson(line, m_values, problem) && Build(problem))
            return Outcome{Verdict::Clean, std::string()};
        return Rejected(problem.Text(), place);
    }

    Outcome TooLong(const message::Problem& problem, const InputPlace& place) override
    {
        return Rejected(message::English(problem), place);
    }

private:
    Outcome Rejected(const std::string& reason, const InputPlace& place)
    {
        return Outcome{Verdict::Bad, PlaceText(place) + ": " + reason};
    }

    bool Build(message::Problem& problem)
    {
        message::Framing framing;
        message::BuildInput* input = nullptr;
        m_message.clear();
        if (!m_values.Finish(m_options.fixedHeader ? &m_options.header : nullptr, framing, input, problem) ||
            !message::BuildMessage(m_spec, framing, *input, message::BuildOptions{m_options.pad}, m_message, problem) ||
            !message::BytesToWire(m_options.to, m_message, m_out, problem))
            return false;
        if (m_options.to != message::WireForm::Binary)
            m_out += '\n';
        return true;
    }

    const message::MessageSpec& m_spec;
    const BuildOptions m_options;
    message::CBuildValues m_values;
    std::string m_message;
    std::string& m_out;
};

// The NAME=VALUE operands, or false after saying the usage error.
bool NamedValues(const CArguments& arguments, CDiagnostics& diagnostics, std::vector<NamedValue>& values)
{
    for (const std::string& operand : arguments.operands)
    {
        const std::size_t equals = operand.find('=');
        if (equals == std::string::npos || equals == 0)
        {
            diagnostics.UsageError("expected NAME=VALUE or -, not " + QuoteText(operand));
            return false;
        }
        values.push_back(NamedValue{operand.substr(0, equals), operand.substr(equals + 1)});
    }
    if (!values.empty() && !arguments.sources.empty())
    {
        diagnostics.UsageError("NAME=VALUE arguments make one message: read JSON lines (- or --file) without them");
        return false;
    }
    return true;
}

// The value of NAME=@FILE: the file's bytes without their last line end.
bool ReadValueFile(const std::string& path, std::string& value, std::string& error)
{
    if (!ReadWholeFile(path, value, error))
        return false;
    if (!value.empty() && value.back() == '\n')
        value.pop_back();
    if (!value.empty() && value.back() == '\r')
        value.pop_back();
    return true;
}

// The one message of the NAME=VALUE arguments.
int BuildValues(std::vector<NamedValue>& values, CBuilder& builder, CDiagnostics& diagnostics)
{
    std::string error;
    for (NamedValue& value : values)
    {
        if (value.value.compare(0, 2, "@@") == 0)
            value.value.erase(0, 1);
        else if (value.value.compare(0, 1, "@") == 0 && !ReadValueFile(value.value.substr(1), value.value, error))
            break;
    }
    message::Problem problem;
    if (error.empty() && builder.BuildValues(values, problem))
        return diagnostics.Finish(kExitOk);
    error = error.empty() ? problem.Text() : error;
    diagnostics.Say(error);
    return diagnostics.Finish(kExitBadInput);
}

} // namespace

const CommandDef kBuildCommand = {"build",
                                  {OptionId::Spec, OptionId::To, OptionId::BuildHeader, OptionId::LengthPrefix,
                                   OptionId::Pad, OptionId::File, OptionId::Help},
                                  Operands::NamedValues, 23, kHelpBuildBefore, kHelpBuildAfter};

int Build(const std::vector<std::string>& args, Environment& environment, COutput& output)
{
    CDiagnostics diagnostics(output, "build");
    CArguments arguments;
    std::vector<NamedValue> values;
    message::MessageSpec fileSpec;
    int status = kExitOk;
    if (!ReadCommandLine(args, kBuildCommand, output.Out(), diagnostics, arguments, status))
        return status;
    if (!NamedValues(arguments, diagnostics, values))
        return kExitUsage;
    const message::MessageSpec* spec = SpecChosen(arguments, fileSpec, diagnostics, status);
    if (spec == nullptr)
        return diagnostics.Finish(status);
    BuildOptions options;
    options.to = FormChosen(arguments, OptionId::To, *spec);
    options.framing = FramingChosen(arguments, *spec);
    options.fixedHeader = arguments.Given(OptionId::BuildHeader);
    options.header = arguments.Text(OptionId::BuildHeader);
    options.pad = arguments.Given(OptionId::Pad);
    CBuilder builder(*spec, options, output.Out());
    if (!values.empty())
        return BuildValues(values, builder, diagnostics);
    CInputLoop loop(environment, output, diagnostics, true); // build has no warnings
    return diagnostics.Finish(loop.Run(arguments.sources, Reading::Lines, builder));
}

} // namespace cli

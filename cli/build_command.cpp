#include "commands.h"
#include "display_text.h"

#include "help_texts.h"

#include "bitmap_text.h"
#include "input_loop.h"
#include "message_builder.h"

namespace cli
{

namespace
{

// Builds a message of each JSON line.
class CBuildHandler : public CInputHandler
{
public:
    CBuildHandler(CMessageBuilder& builder, std::string& out) : m_builder(builder), m_out(out) {}

    Outcome Line(const std::string& line, const InputPlace& place) override
    {
        std::string error;
        if (m_builder.BuildJson(line, m_out, error))
            return Outcome{Verdict::Clean, std::string()};
        return Rejected(error, place);
    }

    Outcome Rejected(const std::string& reason, const InputPlace& place) override
    {
        return Outcome{Verdict::Bad, PlaceText(place) + ": " + reason};
    }

private:
    CMessageBuilder& m_builder;
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
int BuildValues(std::vector<NamedValue>& values, CMessageBuilder& builder, COutput& output, CDiagnostics& diagnostics)
{
    std::string error;
    for (NamedValue& value : values)
    {
        if (value.value.compare(0, 2, "@@") == 0)
            value.value.erase(0, 1);
        else if (value.value.compare(0, 1, "@") == 0 && !ReadValueFile(value.value.substr(1), value.value, error))
            break;
    }
    if (error.empty() && builder.BuildValues(values, output.Out(), error))
        return diagnostics.Finish(kExitOk);
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
    MessageBuildOptions options;
    options.to = FormChosen(arguments, OptionId::To, *spec);
    options.framing = FramingChosen(arguments, *spec);
    options.fixedHeader = arguments.Given(OptionId::BuildHeader);
    options.header = arguments.Text(OptionId::BuildHeader);
    options.pad = arguments.Given(OptionId::Pad);
    CMessageBuilder builder(*spec, options);
    if (!values.empty())
        return BuildValues(values, builder, output, diagnostics);
    CBuildHandler handler(builder, output.Out());
    CInputLoop loop(environment, output, diagnostics, true); // build has no warnings
    return diagnostics.Finish(loop.Run(arguments.sources, Reading::Lines, handler));
}

} // namespace cli

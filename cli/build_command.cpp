#include "build_command.h"

#include "build_help.h"
#include "input.h"
#include "message_builder.h"
#include "options.h"
#include "reader.h"
#include "spec_option.h"

namespace cli
{

namespace
{

// Hands each JSON line to the builder: its message to the output, or its
// error to standard error.
class CBuildLines : public CLineHandler
{
public:
    CBuildLines(CMessageBuilder& builder, COutput& output, CVerdicts& verdicts)
        : m_builder(builder), m_output(output), m_verdicts(verdicts)
    {
    }

    void Line(const std::string& line, const InputPlace& place) override
    {
        m_error.clear();
        if (m_builder.BuildJson(line, m_output.Out(), m_error))
            m_verdicts.Input(Verdict::Clean, "");
        else
            m_verdicts.Bad(PlaceText(place) + ": " + m_error);
    }

    void Rejected(const std::string& reason, const InputPlace& place) override
    {
        m_verdicts.Bad(PlaceText(place) + ": " + reason);
    }
    void Paused() override { m_output.Flush(); }
    bool ReadOn() const override { return !m_output.Failed(); }

private:
    CMessageBuilder& m_builder;
    COutput& m_output;
    CVerdicts& m_verdicts;
    std::string m_error;
};

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

} // namespace

int Build(const std::vector<std::string>& args, Environment& environment, COutput& output)
{
    CMessages messages(output, "build");
    MessageBuildOptions options;
    std::vector<NamedValue> values;
    std::vector<Source> sources;
    std::string specName = "iso87ascii";
    std::string to;
    bool help = false;
    bool prefixGiven = false;
    message::LengthPrefix prefix = message::LengthPrefix::None;
    std::string badOperand;
    const std::vector<OptionDef> table = {
        {'s', "spec", Value::Required}, {0, "to", Value::Required},   {0, "header", Value::Required},
        {0, "length-prefix", Value::Required}, {0, "pad", Value::None}, {'f', "file", Value::Required},
        {'h', "help", Value::None},
    };
    const auto operand = [&](const std::string& arg) {
        const std::size_t equals = arg.find('=');
        if (arg == "-")
            sources.push_back(Source{Source::StandardInput, ""});
        else if (equals == std::string::npos || equals == 0)
            badOperand = badOperand.empty() ? arg : badOperand;
        else
            values.push_back(NamedValue{arg.substr(0, equals), arg.substr(equals + 1)});
    };
    const bool parsed = ParseOptions(args, table, messages, operand, [&](const std::string& name, const std::string& value) {
        const std::string bad = "invalid value " + Quote(value) + " for --" + name;
        if (name == "spec")
            specName = value;
        else if (name == "to")
        {
            if (value != "text" && value != "hex" && value != "binary")
                return bad + ": text, hex or binary";
            to = value;
        }
        else if (name == "header")
        {
            message::Problem problem;
            if (!message::HexDumpToBytes(value, options.header, problem))
                return bad + ": " + problem.what;
            options.fixedHeader = true;
        }
        else if (name == "length-prefix")
        {
            if (!ParseLengthPrefix(value, prefix))
                return bad + ": 2, 4, a4 or none";
            prefixGiven = true;
        }
        else if (name == "pad")
            options.pad = true;
        else if (name == "file")
            sources.push_back(Source{Source::File, value});
        else
            help = true;
        return std::string();
    });
    if (!parsed)
        return kExitUsage;
    if (help)
    {
        output.Out() += kBuildHelp;
        return kExitOk;
    }
    if (!badOperand.empty())
    {
        messages.UsageError("expected NAME=VALUE or -, not " + Quote(badOperand));
        return kExitUsage;
    }
    if (!values.empty() && !sources.empty())
    {
        messages.UsageError("NAME=VALUE arguments make one message: read JSON lines (- or --file) without them");
        return kExitUsage;
    }
    message::MessageSpec fileSpec;
    int status = kExitOk;
    const message::MessageSpec* spec = ChooseSpec(specName, fileSpec, messages, status);
    if (spec == nullptr)
        return messages.Finish(status);
    options.to = to == "text"     ? message::InputForm::Text
                 : to == "hex"    ? message::InputForm::Hex
                 : to == "binary" ? message::InputForm::Binary
                                  : spec->input;
    options.framing = spec->framing;
    if (prefixGiven)
        options.framing.lengthPrefix = prefix;
    CMessageBuilder builder(*spec, options);

    if (!values.empty())
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
            return messages.Finish(kExitOk);
        messages.Say(error);
        return messages.Finish(kExitBadInput);
    }

    if (sources.empty())
        sources.push_back(Source{Source::StandardInput, ""});
    CVerdicts verdicts(output, messages, true); // build has no warnings
    CBuildLines lines(builder, output, verdicts);
    // Its sources are standard input and files: its operands are NAME=VALUE, not TEXT.
    ReadSources(
        sources, environment.in, output, nullptr,
        [&](CByteSource& in, const std::string* path) { return ReadLines(in, path, environment.maxLineBytes, lines); },
        [&verdicts](const std::string& message) { verdicts.Bad(message); });
    return messages.Finish(verdicts.Status());
}

} // namespace cli

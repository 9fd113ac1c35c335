#include "commands.h"
#include "display_text.h"

#include "help_texts.h"

#include "bitmap_printer.h"
#include "dump.h"
#include "dump_lines.h"
#include "input_loop.h"

#include <algorithm>

namespace cli
{

namespace
{

// Decodes TEXT arguments, lines and raw bitmaps one after another, each 8
// or 16 bytes by its bit 1.
class CDecodeHandler : public CInputHandler
{
    // Defined first: their return types are deduced before their use.
    auto OnMessage(CInputReport& report)
    {
        return [this, &report](std::string_view bytes, const InputPlace& place) {
            report.Input(OutcomeOf(
                [&](std::string& diagnostic) { return m_decoder.DecodeMessage(bytes, place, m_out, diagnostic); }));
        };
    }

    auto OnProblem(CInputReport& report)
    {
        return [this, &report](const message::Problem& problem, const InputPlace& place) {
            report.Input(Rejected(problem.Text(), place));
        };
    }

public:
    CDecodeHandler(CDecoder& decoder, const LeadByteRules& rules, std::string& out)
        : m_decoder(decoder), m_rules(rules), m_out(out)
    {
        m_decoder.SetLeadByteRule(m_rules.input);
    }

    Outcome Text(const std::string& text, const InputPlace& place) override
    {
        if (IsFile(text))
            m_decoder.NoteNextInput(QuoteText(text) + " names a file: to read its lines, use --file");
        m_decoder.SetLeadByteRule(m_rules.arguments);
        Outcome outcome = Line(text, place);
        m_decoder.SetLeadByteRule(m_rules.input);
        return outcome;
    }

    Outcome Line(const std::string& line, const InputPlace& place) override
    {
        return OutcomeOf([&](std::string& diagnostic) { return m_decoder.Decode(line, place, m_out, diagnostic); });
    }

    void FeedLine(const std::string& line, const InputPlace& place, CInputReport& report) override
    {
        if (m_decoder.Options().from == Encoding::Dump)
            return m_dump.Line(line, place, OnMessage(report), OnProblem(report));
        // A line at a time, the common case: its diagnostic in a buffer kept from line to line.
        m_diagnostic.clear();
        const Verdict verdict = m_decoder.Decode(line, place, m_out, m_diagnostic);
        report.Input(verdict, m_diagnostic);
    }

    Outcome TooLong(const message::Problem& problem, const InputPlace& place) override
    {
        return Rejected(message::English(problem), place);
    }

    // An input that never reached the decoder: its error line.
    Outcome Rejected(const std::string& reason, const InputPlace& place)
    {
        return OutcomeOf([&](std::string& diagnostic) {
            m_decoder.Reject(place, reason, m_out, diagnostic);
            return Verdict::Bad;
        });
    }

    void Chunk(std::string_view bytes, const std::string* file, CInputReport& report) override
    {
        for (std::size_t i = 0; i < bytes.size() && report.ReadOn();)
        {
            const std::size_t want = m_bytes.empty() ? 1 : BitmapSize() - m_bytes.size();
            const std::size_t take = std::min(want, bytes.size() - i);
            m_bytes.append(bytes.data() + i, take);
            i += take;
            if (m_bytes.size() == BitmapSize())
            {
                report.Input(OutcomeOf([&](std::string& diagnostic) {
                    return m_decoder.DecodeBytes(m_bytes, NextPlace(file), m_out, diagnostic);
                }));
                m_bytes.clear();
            }
        }
    }

    // A raw bitmap cut short is an error.
    void EndOfSource(const std::string* file, CInputReport& report) override
    {
        if (m_decoder.Options().from == Encoding::Dump)
            m_dump.End(file, OnMessage(report), OnProblem(report));
        if (!m_bytes.empty() && report.ReadOn())
            report.Input(Rejected("the input ends inside a bitmap of " + std::to_string(BitmapSize()) +
                                      " bytes, after " + std::to_string(m_bytes.size()),
                                  NextPlace(file)));
        m_bytes.clear();
        m_number = 0;
    }

private:
    std::size_t BitmapSize() const { return (static_cast<unsigned char>(m_bytes[0]) & 0x80U) != 0 ? 16 : 8; }
    InputPlace NextPlace(const std::string* file) { return InputPlace{InputKind::Bitmap, ++m_number, file}; }

    CDecoder& m_decoder;
    const LeadByteRules& m_rules;
    std::string& m_out;
    std::string m_bytes;       // of the raw bitmap being read
    std::uint64_t m_number = 0; // raw bitmaps of this source
    CDumpLines m_dump;
    std::string m_diagnostic;
};

// The decoder's options, or false after saying the usage error.
bool Configure(const CArguments& arguments, CDiagnostics& diagnostics, DecodeOptions& options)
{
    // In the order of --from's choices.
    const Encoding encodings[] = {Encoding::Hex, Encoding::AsciiHex, Encoding::EbcdicHex, Encoding::Dump,
                                  Encoding::Binary};
    options.names = arguments.NamesChosen();
    options.json = arguments.Given(OptionId::Json);
    options.autoFirst = arguments.Given(OptionId::AutoFirst);
    options.strict = arguments.Given(OptionId::Strict);
    options.message = arguments.Given(OptionId::Message);
    options.header = arguments.Count(OptionId::DecodeHeader);
    if (arguments.Given(OptionId::Separator))
        options.separator = arguments.Text(OptionId::Separator);
    if (arguments.Given(OptionId::DecodeFrom))
        options.from = encodings[arguments.Choice(OptionId::DecodeFrom)];

    const char* error = nullptr;
    if (options.from == Encoding::Binary && HasText(arguments.sources))
        error = "--from binary reads standard input or files, not TEXT arguments";
    else if (options.from == Encoding::Binary && options.message)
        error = "--message reads hex text, not --from binary";
    else if (options.from == Encoding::Dump && !options.message)
        error = "--from dump reads whole messages: give --message too";
    else if (arguments.Given(OptionId::DecodeHeader) && !options.message)
        error = "--header needs --message";
    if (error != nullptr)
        diagnostics.UsageError(error);
    return error == nullptr;
}

} // namespace

const CommandDef kDecodeCommand = {"decode",
                                   {OptionId::Names, OptionId::Json, OptionId::AutoFirst, OptionId::File,
                                    OptionId::DecodeFrom, OptionId::Message, OptionId::DecodeHeader,
                                    OptionId::Separator, OptionId::Strict, OptionId::Quiet, OptionId::Help},
                                   Operands::Texts, 23, kHelpDecodeBefore, kHelpDecodeAfter, {message::kDumpHelp}};

int Decode(const std::vector<std::string>& args, Environment& environment, COutput& output)
{
    CDiagnostics diagnostics(output, "decode");
    CArguments arguments;
    DecodeOptions options;
    int status = kExitOk;
    if (!ReadCommandLine(args, kDecodeCommand, output.Out(), diagnostics, arguments, status))
        return status;
    if (!Configure(arguments, diagnostics, options))
        return kExitUsage;
    CDecoder decoder(options);
    CDecodeHandler handler(decoder, environment.rules, output.Out());
    // JSON carries its warnings in the object, so standard error stays free for errors.
    CInputLoop loop(environment, output, diagnostics, !arguments.Given(OptionId::Quiet) && !options.json);
    const Reading reading = options.from == Encoding::Binary ? Reading::Chunks : Reading::Lines;
    return diagnostics.Finish(loop.Run(arguments.sources, reading, handler));
}

} // namespace cli

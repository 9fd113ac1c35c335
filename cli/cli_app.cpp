#include "cli_app.h"

#include "bitmap_text.h"

#include <cstring>
#include <memory>
#include <new>

#ifndef ORVANE_VERSION
#define ORVANE_VERSION "unknown"
#endif

namespace cli
{

namespace
{

const char kProgram[] = "orvane-cli";

const char kMainHelp[] =
    "Usage: orvane-cli decode [--names] [--json] [--auto-first] [--] [TEXT...]\n"
    "       orvane-cli encode [--auto-first] [--display] [--] N...\n"
    "       orvane-cli help [decode|encode]\n"
    "       orvane-cli --version\n"
    "\n"
    "Reads and writes ISO 8583 bitmaps with the same rules as the Orvane window.\n"
    "\n"
    "  decode   show the bitmap, its length and its set bits for each TEXT, or\n"
    "           for each line of standard input\n"
    "  encode   print the hex text of a bitmap with bits N set\n"
    "\n"
    "Run 'orvane-cli COMMAND --help' for the options and output of a command.\n"
    "Exit status: 0 when all went well, 1 if any input was bad, 2 for a usage error.\n";

const char kDecodeHelp[] =
    "Usage: orvane-cli decode [--names] [--json] [--auto-first] [--] [TEXT...]\n"
    "\n"
    "Reads each TEXT argument, or each line of standard input when there is none,\n"
    "as the Orvane window reads its edit box: every byte but 0-9, A-F and a-f is\n"
    "dropped, an odd count of digits gets a trailing 0, only the first 32 digits\n"
    "count, and the bitmap is rendered back as the window writes it: 16 digits, or\n"
    "32 when any of bits 65-128 is set.\n"
    "\n"
    "Options:\n"
    "  --names       add the ISO 8583:1987 data element name of every set bit\n"
    "  --json        one JSON object per input line (JSON Lines) instead of text\n"
    "  --auto-first  set bit 1 whenever a bit of 65-128 is set (the window's\n"
    "                \"set bit 1 automatically\" check box)\n"
    "  --help        show this help\n"
    "\n"
    "Text output: one line per input, three fields separated by tabs:\n"
    "  DISPLAY<TAB>LENGTH<TAB>BITS\n"
    "DISPLAY is the hex text grouped as the window shows it (each pair followed by\n"
    "a space, three more spaces after the 8th pair), LENGTH is 64 or 128, BITS the\n"
    "set bits in ascending order separated by spaces (empty when none is set).\n"
    "With --names every set bit follows on a line of its own: <TAB>BIT<TAB>NAME.\n"
    "\n"
    "JSON output: one object per input, each on its own line, members in this order:\n"
    "  input    number   1-based number of the input line or TEXT argument\n"
    "  display  string   as DISPLAY above\n"
    "  hex      string   the rendered hex text, 16 or 32 upper-case digits\n"
    "  length   number   64 or 128\n"
    "  bits     array    the set bits, ascending numbers\n"
    "  names    array    with --names only: the name of each entry of bits\n"
    "A bad input gives {\"input\":N,\"error\":\"MESSAGE\"} instead. Later versions\n"
    "may add members but will not change or remove these.\n"
    "\n"
    "Input: lines end with LF, and a CR before it is dropped. On Linux the text is\n"
    "taken as UTF-8, whose multibyte characters the filter drops byte by byte; on\n"
    "Windows standard input follows the console's code page and arguments the\n"
    "ANSI code page, whose double-byte characters are dropped whole.\n"
    "\n"
    "Bad input: an empty line or TEXT (the window refuses an empty edit box too),\n"
    "or a line over 1048576 bytes. Each gets a message on standard error naming\n"
    "its line or argument, and the other inputs are still decoded.\n"
    "Exit status: 0 if every input decoded, 1 if any was bad, 2 for a usage error.\n"
    "\n"
    "Examples:\n"
    "  orvane-cli decode --names 7238000108C18000\n"
    "  cut -d'|' -f2 trace.log | orvane-cli decode --json\n";

const char kEncodeHelp[] =
    "Usage: orvane-cli encode [--auto-first] [--display] [--] N...\n"
    "\n"
    "Prints the hex text of a bitmap with the bits N (1-128) set, rendered as the\n"
    "Orvane window renders it: 16 upper-case digits, or 32 when any of bits 65-128\n"
    "is set. Bit 1 is set only when given, or by --auto-first.\n"
    "\n"
    "Options:\n"
    "  --auto-first  set bit 1 when any of bits 65-128 is set\n"
    "  --display     group the digits as the window shows them: each pair followed\n"
    "                by a space, three more spaces after the 8th pair\n"
    "  --help        show this help\n"
    "\n"
    "A number outside 1-128, or an argument that is not a number, gets a message on\n"
    "standard error naming it; the bitmap of the other bits is still printed.\n"
    "Exit status: 0 if every N was good, 1 if any was bad, 2 for a usage error.\n"
    "\n"
    "Example:\n"
    "  orvane-cli encode --auto-first 2 3 4 11 70\n";

// Buffers standard output: one write per 64 KiB, and whenever the input
// pauses, so an interactive user sees each answer at once.
class COutput
{
public:
    explicit COutput(CByteSink& sink) : m_sink(sink)
    {
        m_data.reserve(kLimit + 4096);
    }

    std::string& Buffer() { return m_data; }

    void FlushIfFull()
    {
        if (m_data.size() >= kLimit)
            Flush();
    }

    void Flush()
    {
        if (!m_data.empty() && !m_failed)
            m_failed = !m_sink.Write(m_data.data(), m_data.size());
        m_data.clear();
    }

    bool Failed() const { return m_failed; }

private:
    static constexpr std::size_t kLimit = 1u << 16;
    CByteSink& m_sink;
    std::string m_data;
    bool m_failed = false;
};

class CMessages
{
public:
    CMessages(CByteSink& sink, const char* command) : m_sink(sink), m_command(command) {}

    void Say(const std::string& message)
    {
        std::string line = kProgram;
        if (m_command != nullptr)
            line = line + " " + m_command;
        line += ": " + message + "\n";
        // Nothing better is left to do when even standard error fails.
        static_cast<void>(m_sink.Write(line.data(), line.size()));
    }

    void UsageError(const std::string& message)
    {
        Say(message);
        std::string hint = "Try 'orvane-cli ";
        if (m_command != nullptr)
            hint = hint + m_command + " ";
        hint += "--help'.\n";
        static_cast<void>(m_sink.Write(hint.data(), hint.size()));
    }

private:
    CByteSink& m_sink;
    const char* m_command;
};

int PrintText(CByteSink& sink, const char* text)
{
    return sink.Write(text, std::strlen(text)) ? kExitOk : kExitBadInput;
}

bool IsNegativeNumber(const std::string& arg)
{
    return arg.size() > 1 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9';
}

// Options may come before or among the operands, as with the usual tools;
// "--" ends them. Returns false after reporting a usage error; help is true
// when --help was asked for.
template <typename Apply>
bool ParseOptions(const std::vector<std::string>& args, CMessages& messages, std::vector<std::string>& operands,
                  bool& help, Apply apply)
{
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || IsNegativeNumber(arg))
        {
            operands.push_back(arg);
        }
        else if (arg == "--")
        {
            optionsEnded = true;
        }
        else if (arg == "--help" || arg == "-h")
        {
            help = true;
        }
        else if (!apply(arg))
        {
            messages.UsageError("unknown option " + Quote(arg));
            return false;
        }
    }
    return true;
}

int DecodeArguments(const std::vector<std::string>& texts, const DecodeOptions& options, Environment& environment,
                    CMessages& messages)
{
    COutput output(environment.out);
    CDecoder decoder(options);
    int status = kExitOk;
    std::string error;
    for (std::size_t i = 0; i < texts.size(); ++i)
    {
        if (!decoder.Decode(texts[i], InputPlace{InputKind::Argument, i + 1}, output.Buffer(), error))
        {
            output.Flush();
            messages.Say(error);
            status = kExitBadInput;
        }
    }
    output.Flush();
    if (output.Failed())
    {
        messages.Say("cannot write standard output");
        return kExitBadInput;
    }
    return status;
}

// One line at a time from a fixed read buffer, whatever the size of the
// input: memory is bounded by the read buffer, the output buffer and the
// longest accepted line.
class CLineDecoder
{
public:
    CLineDecoder(const DecodeOptions& options, std::size_t maxLineBytes, COutput& output, CMessages& messages)
        : m_decoder(options), m_maxLineBytes(maxLineBytes), m_output(output), m_messages(messages)
    {
    }

    // Takes the next piece of input; lines may span pieces.
    void Feed(const char* data, std::size_t size)
    {
        const char* p = data;
        const char* const end = data + size;
        while (p < end)
        {
            const auto* newline = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            const char* stop = newline != nullptr ? newline : end;
            Append(p, static_cast<std::size_t>(stop - p));
            if (newline == nullptr)
                return;
            EndLine();
            p = newline + 1;
        }
    }

    // A last line without a newline still counts.
    void Finish()
    {
        if (!m_line.empty() || m_tooLong)
            EndLine();
    }

    bool AnyBad() const { return m_anyBad; }

private:
    void Append(const char* data, std::size_t size)
    {
        if (m_tooLong)
            return;
        // One byte of slack for the CR of a CRLF line end.
        if (m_line.size() + size > m_maxLineBytes + 1)
        {
            m_tooLong = true;
            m_line.clear();
            m_line.shrink_to_fit();
            return;
        }
        m_line.append(data, size);
    }

    void EndLine()
    {
        const InputPlace place{InputKind::Line, ++m_number};
        if (!m_tooLong && !m_line.empty() && m_line.back() == '\r')
            m_line.pop_back();
        if (m_tooLong || m_line.size() > m_maxLineBytes)
        {
            Bad(RejectInput(place, "line longer than " + std::to_string(m_maxLineBytes) + " bytes",
                            m_decoder.Options(), m_output.Buffer()));
        }
        else if (!m_decoder.Decode(m_line, place, m_output.Buffer(), m_error))
        {
            Bad(m_error);
        }
        m_line.clear();
        m_tooLong = false;
        m_output.FlushIfFull();
    }

    void Bad(const std::string& message)
    {
        // Output first, so a terminal shows the message after the lines before it.
        m_output.Flush();
        m_messages.Say(message);
        m_anyBad = true;
    }

    CDecoder m_decoder;
    const std::size_t m_maxLineBytes;
    COutput& m_output;
    CMessages& m_messages;
    std::string m_line;
    std::string m_error;
    std::uint64_t m_number = 0;
    bool m_tooLong = false;
    bool m_anyBad = false;
};

int DecodeStream(const DecodeOptions& options, Environment& environment, CMessages& messages)
{
    COutput output(environment.out);
    CLineDecoder decoder(options, environment.maxLineBytes, output, messages);
    constexpr std::size_t kReadSize = 1u << 16;
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    bool readFailed = false;
    while (!output.Failed())
    {
        const long long count = environment.in.Read(buffer.get(), kReadSize);
        if (count <= 0)
        {
            readFailed = count < 0;
            break;
        }
        decoder.Feed(buffer.get(), static_cast<std::size_t>(count));
        if (static_cast<std::size_t>(count) < kReadSize)
            output.Flush();
    }
    decoder.Finish();
    output.Flush();

    int status = decoder.AnyBad() ? kExitBadInput : kExitOk;
    if (readFailed)
    {
        messages.Say("cannot read standard input");
        status = kExitBadInput;
    }
    if (output.Failed())
    {
        messages.Say("cannot write standard output");
        status = kExitBadInput;
    }
    return status;
}

int Decode(const std::vector<std::string>& args, Environment& environment)
{
    CMessages messages(environment.err, "decode");
    DecodeOptions options;
    std::vector<std::string> texts;
    bool help = false;
    const bool parsed = ParseOptions(args, messages, texts, help, [&options](const std::string& option) {
        if (option == "--names")
            options.names = true;
        else if (option == "--json")
            options.json = true;
        else if (option == "--auto-first")
            options.autoFirst = true;
        else
            return false;
        return true;
    });
    if (!parsed)
        return kExitUsage;
    if (help)
        return PrintText(environment.out, kDecodeHelp);

    if (!texts.empty())
    {
        options.leadByte = environment.rules.arguments;
        return DecodeArguments(texts, options, environment, messages);
    }
    options.leadByte = environment.rules.input;
    return DecodeStream(options, environment, messages);
}

int Encode(const std::vector<std::string>& args, Environment& environment)
{
    CMessages messages(environment.err, "encode");
    EncodeOptions options;
    std::vector<std::string> numbers;
    bool help = false;
    const bool parsed = ParseOptions(args, messages, numbers, help, [&options](const std::string& option) {
        if (option == "--auto-first")
            options.autoFirst = true;
        else if (option == "--display")
            options.display = true;
        else
            return false;
        return true;
    });
    if (!parsed)
        return kExitUsage;
    if (help)
        return PrintText(environment.out, kEncodeHelp);
    if (numbers.empty())
    {
        messages.UsageError("no bit numbers given");
        return kExitUsage;
    }

    std::string out;
    std::vector<std::string> errors;
    const bool good = EncodeBits(numbers, options, out, errors);
    for (const std::string& error : errors)
        messages.Say(error);
    if (!environment.out.Write(out.data(), out.size()))
    {
        messages.Say("cannot write standard output");
        return kExitBadInput;
    }
    return good ? kExitOk : kExitBadInput;
}

int Dispatch(const std::vector<std::string>& args, Environment& environment)
{
    CMessages messages(environment.err, nullptr);
    if (args.empty())
    {
        static_cast<void>(environment.err.Write(kMainHelp, std::strlen(kMainHelp)));
        return kExitUsage;
    }
    const std::string& command = args[0];
    if (command == "decode")
        return Decode(args, environment);
    if (command == "encode")
        return Encode(args, environment);
    if (command == "--help" || command == "-h" || (command == "help" && args.size() == 1))
        return PrintText(environment.out, kMainHelp);
    if (command == "help" && args.size() == 2 && args[1] == "decode")
        return PrintText(environment.out, kDecodeHelp);
    if (command == "help" && args.size() == 2 && args[1] == "encode")
        return PrintText(environment.out, kEncodeHelp);
    if (command == "--version")
        return PrintText(environment.out, "orvane-cli " ORVANE_VERSION "\n");
    if (command == "help")
        messages.UsageError("no help on " + (args.size() == 2 ? Quote(args[1]) : std::string("more than one topic")));
    else
        messages.UsageError("unknown command " + Quote(command));
    return kExitUsage;
}

} // namespace

int Run(const std::vector<std::string>& args, Environment& environment)
{
    // The messages here are fixed texts: building one could fail again.
    const char* failure = "orvane-cli: internal error\n";
    try
    {
        return Dispatch(args, environment);
    }
    catch (const std::bad_alloc&)
    {
        failure = "orvane-cli: out of memory\n";
    }
    catch (...)
    {
    }
    try
    {
        static_cast<void>(environment.err.Write(failure, std::strlen(failure)));
    }
    catch (...)
    {
    }
    return kExitBadInput;
}

} // namespace cli

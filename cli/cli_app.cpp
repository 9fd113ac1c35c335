#include "cli_app.h"

#include "bitmap_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <sys/stat.h>

#ifndef ORVANE_VERSION
#define ORVANE_VERSION "unknown"
#endif

namespace cli
{

namespace
{

const char kProgram[] = "orvane-cli";

const char kMainHelp[] =
    "Usage: orvane-cli decode [OPTION...] [--] [TEXT|-]...\n"
    "       orvane-cli encode [-a] [-d] [--] N...\n"
    "       orvane-cli help [decode|encode]\n"
    "       orvane-cli --version\n"
    "\n"
    "Reads and writes ISO 8583 bitmaps with the same rules as the Orvane window.\n"
    "\n"
    "  decode   show the bitmap, its length and its set bits for each TEXT, each\n"
    "           line of a file or of standard input, or each whole message\n"
    "  encode   print the hex text of a bitmap with bits N set\n"
    "\n"
    "Run 'orvane-cli COMMAND --help' for the options and output of a command.\n"
    "Exit status: 0 when all went well, 1 if any input was bad, 2 for a usage error.\n";

const char kDecodeHelp[] =
    "Usage: orvane-cli decode [OPTION...] [--] [TEXT|-]...\n"
    "\n"
    "Reads each TEXT argument, each line of standard input ('-', or when nothing\n"
    "else is given) and each line of every --file, as the Orvane window reads its\n"
    "edit box: every byte but 0-9, A-F and a-f is dropped, an odd count of digits\n"
    "gets a trailing 0, only the first 32 digits count, and the bitmap is rendered\n"
    "back as the window writes it: 16 digits, or 32 when any of bits 65-128 is set.\n"
    "\n"
    "Options:\n"
    "  -n, --names[=en|zh]  add the ISO 8583:1987 name of every set bit, in English\n"
    "                       (the default) or Chinese\n"
    "  -j, --json           one JSON object per input (JSON Lines) instead of text\n"
    "  -a, --auto-first     set bit 1 whenever a bit of 65-128 is set (the window's\n"
    "                       \"set bit 1 automatically\" check box)\n"
    "  -f, --file PATH      read the lines of PATH; may be given more than once\n"
    "  --from FORMAT        how the bitmap is written: hex (the default), ascii-hex\n"
    "                       (\"37323338...\" for 7238...), ebcdic-hex (\"F7F2F3F8...\")\n"
    "                       or binary (raw bitmaps of 8 or 16 bytes, the length\n"
    "                       given by bit 1, from standard input or files)\n"
    "  --message            each input is a whole message in hex: a header of\n"
    "                       --header N bytes (default 0), the 4-digit message type\n"
    "                       (MTI), the primary bitmap and, when bit 1 is set, the\n"
    "                       secondary bitmap; what follows is not read\n"
    "  --header N           bytes before the message type, with --message\n"
    "  --sep SEP            separate the bit numbers of text output with SEP\n"
    "  --strict             an input that is not a clean bitmap is an error\n"
    "  -q, --quiet          no warnings\n"
    "  -h, --help           show this help\n"
    "Options may also be written --option=VALUE.\n"
    "\n"
    "A clean bitmap is 16 hex digits with bit 1 clear, or 32 with bit 1 set, with\n"
    "nothing but spaces around or between them. Any other input is decoded by the\n"
    "window's rules, with a warning on standard error naming the input and what was\n"
    "odd: characters other than hex digits and spaces, a 0x prefix, a digit count\n"
    "other than 16 or 32, bit 1 disagreeing with the digit count, a TEXT that names\n"
    "a file. Terminal colour codes (ESC [ ... m) are removed first, with a warning.\n"
    "\n"
    "Text output: exactly one line per input, fields separated by tabs:\n"
    "  DISPLAY<TAB>LENGTH<TAB>BITS[<TAB>NAMES]\n"
    "DISPLAY is the hex text grouped as the window shows it (each pair followed by\n"
    "a space, three more spaces after the 8th pair), LENGTH is 64 or 128, BITS the\n"
    "set bits in ascending order separated by spaces or SEP (empty when none is\n"
    "set), NAMES with --names: BIT=NAME for each set bit, separated by \"; \".\n"
    "With --message the message type comes first: MTI<TAB>DISPLAY<TAB>...\n"
    "A bad input gives the line \"error: MESSAGE\".\n"
    "\n"
    "JSON output: one object per input, each on its own line, members in this order:\n"
    "  input     number  1-based number of the line, TEXT argument or raw bitmap\n"
    "  file      string  the file it was read from; only for --file inputs\n"
    "  mti       string  with --message only: the message type\n"
    "  display   string  as DISPLAY above\n"
    "  hex       string  the rendered hex text, 16 or 32 upper-case digits\n"
    "  length    number  64 or 128\n"
    "  bits      array   the set bits, ascending numbers\n"
    "  names     array   with --names only: the name of each entry of bits\n"
    "  warnings  array   what was odd about the input; empty for a clean bitmap\n"
    "A bad input gives {\"input\":N,\"error\":\"MESSAGE\"} instead (with \"file\", and\n"
    "with \"warnings\" when --strict refused them). Later versions may add members\n"
    "but will not change or remove these.\n"
    "\n"
    "Input: lines end with LF, and a CR before it is dropped. On Linux the text is\n"
    "taken as UTF-8, whose multibyte characters the filter drops byte by byte; on\n"
    "Windows standard input and files follow the console's code page and arguments\n"
    "the ANSI code page, whose double-byte characters are dropped whole.\n"
    "\n"
    "Bad input: an empty line or TEXT (the window refuses an empty edit box too), a\n"
    "line over 1048576 bytes, a message too short for its bitmaps, a raw bitmap cut\n"
    "short, a file that cannot be read, and with --strict any warning. Each gets a\n"
    "message on standard error naming it, and the other inputs are still decoded.\n"
    "Exit status: 0 if every input decoded, 1 if any was bad, 2 for a usage error.\n"
    "\n"
    "Examples:\n"
    "  orvane-cli decode --names 7238000108C18000\n"
    "  cut -d'|' -f2 trace.log | orvane-cli decode --json\n"
    "  orvane-cli decode --message --header 2 -f dump.txt\n";

const char kEncodeHelp[] =
    "Usage: orvane-cli encode [-a] [-d] [--] N...\n"
    "\n"
    "Prints the hex text of a bitmap with the bits N (1-128) set, rendered as the\n"
    "Orvane window renders it: 16 upper-case digits, or 32 when any of bits 65-128\n"
    "is set. Bit 1 is set only when given, or by --auto-first.\n"
    "\n"
    "Options:\n"
    "  -a, --auto-first  set bit 1 when any of bits 65-128 is set\n"
    "  -d, --display     group the digits as the window shows them: each pair\n"
    "                    followed by a space, three more spaces after the 8th pair\n"
    "  -h, --help        show this help\n"
    "\n"
    "A number outside 1-128, or an argument that is not a number, gets a message on\n"
    "standard error naming it, and nothing is printed.\n"
    "Exit status: 0 if every N was good, 1 if any was bad, 2 for a usage error.\n"
    "\n"
    "Example:\n"
    "  orvane-cli encode --auto-first 2 3 4 11 70\n";

std::string Reason(int error)
{
    return std::strerror(error != 0 ? error : EIO);
}

// Buffers standard output: one write per 64 KiB, and whenever the input
// pauses, so an interactive user sees each answer at once.
class COutput
{
public:
    explicit COutput(CByteSink& sink) : m_sink(sink) { m_data.reserve(kLimit + 4096); }

    std::string& Buffer() { return m_data; }

    void FlushIfFull()
    {
        if (m_data.size() >= kLimit)
            Flush();
    }

    void Flush()
    {
        if (!m_data.empty() && m_error == 0)
            m_error = m_sink.Write(m_data.data(), m_data.size());
        m_data.clear();
    }

    bool Failed() const { return m_error != 0; }
    int Error() const { return m_error; }

private:
    static constexpr std::size_t kLimit = 1u << 16;
    CByteSink& m_sink;
    std::string m_data;
    int m_error = 0;
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
    return sink.Write(text, std::strlen(text)) == 0 ? kExitOk : kExitBadInput;
}

bool IsNegativeNumber(const std::string& arg)
{
    return arg.size() > 1 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9';
}

enum class Value
{
    None,
    Optional, // only as --option=VALUE
    Required,
};

struct OptionDef
{
    char shortName; // or 0
    const char* longName;
    Value value;
};

// Options may come before or among the operands, as with the usual tools:
// long ones with their value after "=" or as the next argument, short ones
// alone or together ("-jn"), a short one's value attached or next; "--"
// ends them. apply gets the long name and the value, and returns an error
// text or "". Returns false after reporting a usage error.
template <typename Operand, typename Apply>
bool ParseOptions(const std::vector<std::string>& args, const std::vector<OptionDef>& table, CMessages& messages,
                  Operand operand, Apply apply)
{
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || IsNegativeNumber(arg))
        {
            operand(arg);
            continue;
        }
        if (arg == "--")
        {
            optionsEnded = true;
            continue;
        }
        // Each option of the argument with its value, as (its entry in the table, value).
        std::vector<std::pair<const OptionDef*, std::string>> found;
        std::string error;
        if (arg[1] == '-')
        {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const OptionDef* known = nullptr;
            for (const OptionDef& candidate : table)
                known = name == candidate.longName ? &candidate : known;
            if (known == nullptr)
                error = "unknown option " + Quote(arg);
            else if (equals != std::string::npos && known->value == Value::None)
                error = "option --" + name + " takes no value";
            else if (equals != std::string::npos)
                found.emplace_back(known, arg.substr(equals + 1));
            else if (known->value != Value::Required)
                found.emplace_back(known, std::string());
            else if (i + 1 < args.size())
                found.emplace_back(known, args[++i]);
            else
                error = "option --" + name + " needs a value";
        }
        else
        {
            for (std::size_t k = 1; k < arg.size() && error.empty(); ++k)
            {
                const OptionDef* known = nullptr;
                for (const OptionDef& candidate : table)
                    known = arg[k] == candidate.shortName ? &candidate : known;
                if (known == nullptr)
                    error = "unknown option " + Quote(std::string("-") + arg[k]);
                else if (known->value != Value::Required)
                    found.emplace_back(known, std::string());
                else if (k + 1 < arg.size())
                {
                    found.emplace_back(known, arg.substr(k + 1));
                    break;
                }
                else if (i + 1 < args.size())
                    found.emplace_back(known, args[++i]);
                else
                    error = std::string("option -") + arg[k] + " needs a value";
            }
        }
        for (std::size_t k = 0; k < found.size() && error.empty(); ++k)
            error = apply(std::string(found[k].first->longName), found[k].second);
        if (!error.empty())
        {
            messages.UsageError(error);
            return false;
        }
    }
    return true;
}

// A file through the C library; read errors keep their errno value.
class CFileSource : public CByteSource
{
public:
    explicit CFileSource(std::FILE* file) : m_file(file) {}
    ~CFileSource() override { std::fclose(m_file); }
    CFileSource(const CFileSource&) = delete;
    CFileSource& operator=(const CFileSource&) = delete;

    long long Read(char* buffer, std::size_t size) override
    {
        errno = 0;
        const std::size_t count = std::fread(buffer, 1, size, m_file);
        if (count == 0 && std::ferror(m_file))
            return -(errno != 0 ? errno : EIO);
        return static_cast<long long>(count);
    }

private:
    std::FILE* m_file;
};

// The file's bytes, or null with the errno value in error.
std::unique_ptr<CByteSource> OpenFile(const std::string& path, int& error)
{
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && (status.st_mode & S_IFMT) == S_IFDIR)
    {
        error = EISDIR;
        return nullptr;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
    {
        error = errno != 0 ? errno : ENOENT;
        return nullptr;
    }
    return std::unique_ptr<CByteSource>(new CFileSource(file));
}

bool IsFile(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && (status.st_mode & S_IFMT) == S_IFREG;
}

// One place an input comes from, in command-line order.
struct Source
{
    enum Kind
    {
        Text,
        StandardInput,
        File,
    } kind;
    std::string text; // the TEXT, or the file's path
};

// Hands pieces of a byte stream on as lines (or raw bitmaps) to the
// decoder, whatever the size of the input: memory is bounded by the read
// buffer, the output buffer and the longest accepted line.
class CStreamDecoder
{
public:
    CStreamDecoder(CDecoder& decoder, std::size_t maxLineBytes, COutput& output, CMessages& messages, bool quiet)
        : m_decoder(decoder), m_maxLineBytes(maxLineBytes), m_output(output), m_messages(messages), m_quiet(quiet)
    {
    }

    // Reads a whole stream; returns the errno value of a read error, or 0.
    int Read(CByteSource& source, const std::string* file)
    {
        m_file = file;
        m_number = 0;
        m_line.clear();
        m_tooLong = false;
        constexpr std::size_t kReadSize = 1u << 16;
        const std::unique_ptr<char[]> buffer(new char[kReadSize]);
        int error = 0;
        while (!m_output.Failed())
        {
            const long long count = source.Read(buffer.get(), kReadSize);
            if (count <= 0)
            {
                error = static_cast<int>(-count);
                break;
            }
            if (m_decoder.Options().from == Encoding::Binary)
                FeedBytes(buffer.get(), static_cast<std::size_t>(count));
            else
                FeedLines(buffer.get(), static_cast<std::size_t>(count));
            if (static_cast<std::size_t>(count) < kReadSize)
                m_output.Flush();
        }
        // A last line without a newline still counts; a raw bitmap cut short is an error.
        if (m_decoder.Options().from != Encoding::Binary && (!m_line.empty() || m_tooLong))
            EndLine();
        if (m_decoder.Options().from == Encoding::Binary && !m_line.empty())
        {
            ++m_number;
            m_message.clear();
            m_decoder.Reject(Place(), "the input ends inside a bitmap of " + std::to_string(BitmapSize()) + " bytes, after " +
                                          std::to_string(m_line.size()),
                             m_output.Buffer(), m_message);
            Said(Verdict::Bad);
        }
        m_output.Flush();
        return error;
    }

    // Passes the verdict of one input on: its message to standard error,
    // after the output before it, so a terminal shows them in order.
    void Said(Verdict verdict)
    {
        if (verdict == Verdict::Clean)
            return;
        m_anyBad = m_anyBad || verdict == Verdict::Bad;
        if (verdict == Verdict::Warned && m_quiet)
            return;
        m_output.Flush();
        m_messages.Say(m_message);
    }

    void DecodeText(const std::string& text, std::uint64_t number)
    {
        m_message.clear();
        Said(m_decoder.Decode(text, InputPlace{InputKind::Argument, number}, m_output.Buffer(), m_message));
    }

    void Bad() { m_anyBad = true; }
    bool AnyBad() const { return m_anyBad; }

private:
    InputPlace Place() const
    {
        return InputPlace{m_decoder.Options().from == Encoding::Binary ? InputKind::Bitmap : InputKind::Line, m_number, m_file};
    }

    std::size_t BitmapSize() const { return (static_cast<unsigned char>(m_line[0]) & 0x80U) != 0 ? 16 : 8; }

    void FeedBytes(const char* data, std::size_t size)
    {
        for (std::size_t i = 0; i < size;)
        {
            const std::size_t want = m_line.empty() ? 1 : BitmapSize() - m_line.size();
            const std::size_t take = want < size - i ? want : size - i;
            m_line.append(data + i, take);
            i += take;
            if (m_line.size() == BitmapSize())
            {
                ++m_number;
                m_message.clear();
                Said(m_decoder.DecodeBytes(m_line, Place(), m_output.Buffer(), m_message));
                m_line.clear();
                m_output.FlushIfFull();
            }
        }
    }

    void FeedLines(const char* data, std::size_t size)
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
        ++m_number;
        if (!m_tooLong && !m_line.empty() && m_line.back() == '\r')
            m_line.pop_back();
        m_message.clear();
        if (m_tooLong || m_line.size() > m_maxLineBytes)
        {
            m_decoder.Reject(Place(), "line longer than " + std::to_string(m_maxLineBytes) + " bytes",
                             m_output.Buffer(), m_message);
            Said(Verdict::Bad);
        }
        else
        {
            Said(m_decoder.Decode(m_line, Place(), m_output.Buffer(), m_message));
        }
        m_line.clear();
        m_tooLong = false;
        m_output.FlushIfFull();
    }

    CDecoder& m_decoder;
    const std::size_t m_maxLineBytes;
    COutput& m_output;
    CMessages& m_messages;
    const bool m_quiet;
    const std::string* m_file = nullptr;
    std::string m_line;
    std::string m_message;
    std::uint64_t m_number = 0;
    bool m_tooLong = false;
    bool m_anyBad = false;
};

int Decode(const std::vector<std::string>& args, Environment& environment)
{
    CMessages messages(environment.err, "decode");
    DecodeOptions options;
    std::vector<Source> sources;
    bool help = false;
    bool quiet = false;
    bool headerGiven = false;
    const std::vector<OptionDef> table = {
        {'n', "names", Value::Optional}, {'j', "json", Value::None},    {'a', "auto-first", Value::None},
        {'q', "quiet", Value::None},     {0, "strict", Value::None},    {0, "message", Value::None},
        {0, "header", Value::Required},  {0, "from", Value::Required},  {0, "sep", Value::Required},
        {'f', "file", Value::Required},  {'h', "help", Value::None},
    };
    const auto operand = [&sources](const std::string& arg) {
        sources.push_back(arg == "-" ? Source{Source::StandardInput, ""} : Source{Source::Text, arg});
    };
    const bool parsed = ParseOptions(args, table, messages, operand, [&](const std::string& name, const std::string& value) {
        const std::string bad = "invalid value " + Quote(value) + " for --" + name;
        if (name == "names" && (value.empty() || value == "en"))
            options.names = Names::English;
        else if (name == "names" && value == "zh")
            options.names = Names::Chinese;
        else if (name == "names")
            return bad + ": en or zh";
        else if (name == "json")
            options.json = true;
        else if (name == "auto-first")
            options.autoFirst = true;
        else if (name == "quiet")
            quiet = true;
        else if (name == "strict")
            options.strict = true;
        else if (name == "message")
            options.message = true;
        else if (name == "help")
            help = true;
        else if (name == "file")
            sources.push_back(Source{Source::File, value});
        else if (name == "header")
        {
            if (value.empty() || value.size() > 4 || value.find_first_not_of("0123456789") != std::string::npos)
                return bad + ": a number of bytes, 0 to 9999";
            options.header = static_cast<std::size_t>(std::stoul(value));
            headerGiven = true;
        }
        else if (name == "sep")
        {
            if (value.empty() || value.find_first_of("\r\n") != std::string::npos)
                return bad + ": one line of at least one character";
            options.separator = value;
        }
        else if (value == "hex" || value == "ascii-hex" || value == "ebcdic-hex" || value == "binary")
            options.from = value == "hex"         ? Encoding::Hex
                           : value == "ascii-hex" ? Encoding::AsciiHex
                           : value == "ebcdic-hex" ? Encoding::EbcdicHex
                                                   : Encoding::Binary;
        else
            return bad + ": hex, ascii-hex, ebcdic-hex or binary";
        return std::string();
    });
    if (!parsed)
        return kExitUsage;
    if (help)
        return PrintText(environment.out, kDecodeHelp);

    if (sources.empty())
        sources.push_back(Source{Source::StandardInput, ""});

    bool anyText = false;
    for (const Source& source : sources)
        anyText = anyText || source.kind == Source::Text;
    if (options.from == Encoding::Binary && anyText)
    {
        messages.UsageError("--from binary reads standard input or files, not TEXT arguments");
        return kExitUsage;
    }
    if (options.from == Encoding::Binary && options.message)
    {
        messages.UsageError("--message reads hex text, not --from binary");
        return kExitUsage;
    }
    if (headerGiven && !options.message)
    {
        messages.UsageError("--header needs --message");
        return kExitUsage;
    }

    COutput output(environment.out);
    CDecoder decoder(options);
    CStreamDecoder stream(decoder, environment.maxLineBytes, output, messages, quiet);
    std::uint64_t textNumber = 0;
    for (const Source& source : sources)
    {
        if (output.Failed())
            break;
        if (source.kind == Source::Text)
        {
            if (IsFile(source.text))
                decoder.NoteNextInput(Quote(source.text) + " names a file: to read its lines, use --file");
            decoder.SetLeadByteRule(environment.rules.arguments);
            stream.DecodeText(source.text, ++textNumber);
            continue;
        }
        std::unique_ptr<CByteSource> file;
        CByteSource* in = &environment.in;
        if (source.kind == Source::File)
        {
            int error = 0;
            file = OpenFile(source.text, error);
            if (file == nullptr)
            {
                output.Flush();
                messages.Say("cannot open " + source.text + ": " + Reason(error));
                stream.Bad();
                continue;
            }
            in = file.get();
        }
        decoder.SetLeadByteRule(environment.rules.input);
        const int error = stream.Read(*in, source.kind == Source::File ? &source.text : nullptr);
        if (error != 0)
        {
            messages.Say("cannot read " + (source.kind == Source::File ? source.text : "standard input") + ": " +
                         Reason(error));
            stream.Bad();
        }
    }
    output.Flush();
    if (output.Failed())
    {
        messages.Say("cannot write standard output: " + Reason(output.Error()));
        return kExitBadInput;
    }
    return stream.AnyBad() ? kExitBadInput : kExitOk;
}

int Encode(const std::vector<std::string>& args, Environment& environment)
{
    CMessages messages(environment.err, "encode");
    EncodeOptions options;
    std::vector<std::string> numbers;
    bool help = false;
    const std::vector<OptionDef> table = {
        {'a', "auto-first", Value::None}, {'d', "display", Value::None}, {'h', "help", Value::None}};
    const auto number = [&numbers](const std::string& arg) { numbers.push_back(arg); };
    const bool parsed = ParseOptions(args, table, messages, number, [&](const std::string& name, const std::string&) {
        if (name == "auto-first")
            options.autoFirst = true;
        else if (name == "display")
            options.display = true;
        else
            help = true;
        return std::string();
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
    const int error = environment.out.Write(out.data(), out.size());
    if (error != 0)
    {
        messages.Say("cannot write standard output: " + Reason(error));
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

#include "cli_app.h"

#include "bitmap_text.h"
#include "build_command.h"
#include "build_help.h"
#include "input.h"
#include "options.h"
#include "output.h"
#include "parse_command.h"
#include "parse_help.h"
#include "spec_file.h"

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

const char kMainHelp[] =
    "Usage: orvane-cli decode [OPTION...] [--] [TEXT|-]...\n"
    "       orvane-cli encode [-a] [-d] [--] N...\n"
    "       orvane-cli parse [OPTION...] [--] [TEXT|-]...\n"
    "       orvane-cli build [OPTION...] [--] NAME=VALUE...|-\n"
    "       orvane-cli help [decode|encode|parse|build]\n"
    "       orvane-cli --version\n"
    "\n"
    "Reads and writes ISO 8583 bitmaps with the same rules as the Orvane window.\n"
    "\n"
    "  decode   show the bitmap, its length and its set bits for each TEXT, each\n"
    "           line of a file or of standard input, or each whole message\n"
    "  encode   print the hex text of a bitmap with bits N set\n"
    "  parse    show every data element of each whole message, by a message\n"
    "           specification (iso87ascii, iso87binary, iso87ebcdic, cup)\n"
    "  build    write whole messages from their fields, the inverse of parse\n"
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
    "  -q, --quiet          no warnings on standard error\n"
    "  -h, --help           show this help\n"
    "Options may also be written --option=VALUE.\n"
    "\n"
    "A clean bitmap is 16 hex digits with bit 1 clear, or 32 with bit 1 set, with\n"
    "nothing but spaces around or between them. Any other input is decoded by the\n"
    "window's rules, with a warning naming the input and what was odd: characters\n"
    "other than hex digits and spaces, a 0x prefix, a digit count other than 16 or\n"
    "32, bit 1 disagreeing with the digit count, a TEXT that names a file. Terminal\n"
    "colour codes (ESC [ ... m) are removed first, with a warning. Warnings go to\n"
    "standard error, or with --json only into the object's \"warnings\".\n"
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
    "  source    string  where it came from: \"argument\", \"stdin\" or \"file\"\n"
    "  file      string  the file it was read from; only for --file inputs\n"
    "  mti       string  with --message only: the message type\n"
    "  display   string  as DISPLAY above\n"
    "  hex       string  the rendered hex text, 16 or 32 upper-case digits\n"
    "  length    number  64 or 128\n"
    "  bits      array   the set bits, ascending numbers\n"
    "  names     array   with --names only: the name of each entry of bits\n"
    "  warnings  array   what was odd about the input; empty for a clean bitmap\n"
    "A bad input gives {\"input\":N,\"source\":...,\"error\":\"MESSAGE\"} instead (with\n"
    "\"file\", and with \"warnings\" when --strict refused them). Later versions may\n"
    "add members but will not change or remove these.\n"
    "\n"
    "Input: lines end with LF, and a CR before it is dropped. On Linux the text is\n"
    "taken as UTF-8, whose multibyte characters the filter drops byte by byte; on\n"
    "Windows standard input and files follow the console's code page and arguments\n"
    "the ANSI code page, whose double-byte characters are dropped whole.\n"
    "\n"
    "Bad input: an empty line or TEXT (the window refuses an empty edit box too), a\n"
    "line over 1048576 bytes, a message too short for its bitmaps, a raw bitmap cut\n"
    "short, a file that cannot be read, and with --strict any warning. Each gets a\n"
    "message on standard error naming it (with --json too), and the other inputs\n"
    "are still decoded. With 2>&1 each message follows the output of its input.\n"
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

// Decodes the inputs of one decode command into the output and gives each
// its verdict.
class CDecodeStream : public CLineHandler
{
public:
    CDecodeStream(CDecoder& decoder, COutput& output, CVerdicts& verdicts)
        : m_decoder(decoder), m_output(output), m_verdicts(verdicts)
    {
    }

    void Line(const std::string& line, const InputPlace& place) override
    {
        m_message.clear();
        Said(m_decoder.Decode(line, place, m_output.Out(), m_message));
    }

    void Rejected(const std::string& reason, const InputPlace& place) override
    {
        m_message.clear();
        m_decoder.Reject(place, reason, m_output.Out(), m_message);
        m_verdicts.Input(Verdict::Bad, m_message);
    }

    void Bitmap(const std::string& bytes, const InputPlace& place)
    {
        m_message.clear();
        Said(m_decoder.DecodeBytes(bytes, place, m_output.Out(), m_message));
    }

    void Text(const std::string& text, std::uint64_t number)
    {
        m_message.clear();
        Said(m_decoder.Decode(text, InputPlace{InputKind::Argument, number}, m_output.Out(), m_message));
    }

    void Paused() override { m_output.Flush(); }
    bool ReadOn() const override { return !m_output.Failed(); }

private:
    void Said(Verdict verdict) { m_verdicts.Input(verdict, m_message); }

    CDecoder& m_decoder;
    COutput& m_output;
    CVerdicts& m_verdicts;
    std::string m_message;
};

// Raw bitmaps one after another, each 8 or 16 bytes by its bit 1.
class CBitmapFramer : public CChunkHandler
{
public:
    CBitmapFramer(CDecodeStream& stream, const std::string* file) : m_stream(stream), m_file(file) {}

    void Chunk(const char* data, std::size_t size) override
    {
        for (std::size_t i = 0; i < size && m_stream.ReadOn();)
        {
            const std::size_t want = m_bytes.empty() ? 1 : BitmapSize() - m_bytes.size();
            const std::size_t take = want < size - i ? want : size - i;
            m_bytes.append(data + i, take);
            i += take;
            if (m_bytes.size() == BitmapSize())
            {
                m_stream.Bitmap(m_bytes, NextPlace());
                m_bytes.clear();
            }
        }
    }

    void Paused() override { m_stream.Paused(); }
    bool ReadOn() const override { return m_stream.ReadOn(); }

    // A raw bitmap cut short is an error.
    void End()
    {
        if (m_bytes.empty() || !m_stream.ReadOn())
            return;
        m_stream.Rejected("the input ends inside a bitmap of " + std::to_string(BitmapSize()) + " bytes, after " +
                              std::to_string(m_bytes.size()),
                          NextPlace());
    }

private:
    std::size_t BitmapSize() const { return (static_cast<unsigned char>(m_bytes[0]) & 0x80U) != 0 ? 16 : 8; }
    InputPlace NextPlace() { return InputPlace{InputKind::Bitmap, ++m_number, m_file}; }

    CDecodeStream& m_stream;
    const std::string* const m_file;
    std::string m_bytes;
    std::uint64_t m_number = 0;
};

int Decode(const std::vector<std::string>& args, Environment& environment, COutput& output)
{
    CMessages messages(output, "decode");
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
    {
        output.Out() += kDecodeHelp;
        return kExitOk;
    }

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

    CDecoder decoder(options);
    // JSON carries its warnings in the object, so standard error stays free for errors.
    CVerdicts verdicts(output, messages, !quiet && !options.json);
    CDecodeStream stream(decoder, output, verdicts);
    const auto text = [&](const std::string& text, std::uint64_t number) {
        if (IsFile(text))
            decoder.NoteNextInput(Quote(text) + " names a file: to read its lines, use --file");
        decoder.SetLeadByteRule(environment.rules.arguments);
        stream.Text(text, number);
    };
    const auto read = [&](CByteSource& in, const std::string* path) {
        decoder.SetLeadByteRule(environment.rules.input);
        if (options.from != Encoding::Binary)
            return ReadLines(in, path, environment.maxLineBytes, stream);
        CBitmapFramer framer(stream, path);
        const int error = ReadChunks(in, framer);
        framer.End();
        return error;
    };
    ReadSources(sources, environment.in, output, text, read,
                [&verdicts](const std::string& message) { verdicts.Bad(message); });
    return messages.Finish(verdicts.Status());
}

int Encode(const std::vector<std::string>& args, COutput& output)
{
    CMessages messages(output, "encode");
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
    {
        output.Out() += kEncodeHelp;
        return kExitOk;
    }
    if (numbers.empty())
    {
        messages.UsageError("no bit numbers given");
        return kExitUsage;
    }

    std::vector<std::string> errors;
    const bool good = EncodeBits(numbers, options, output.Out(), errors);
    for (const std::string& error : errors)
        messages.Say(error);
    return messages.Finish(good ? kExitOk : kExitBadInput);
}

int Dispatch(const std::vector<std::string>& args, Environment& environment, COutput& output)
{
    CMessages messages(output, nullptr);
    if (args.empty())
    {
        output.Message(kMainHelp);
        return kExitUsage;
    }
    const std::string& command = args[0];
    if (command == "decode")
        return Decode(args, environment, output);
    if (command == "parse")
        return Parse(args, environment, output);
    if (command == "build")
        return Build(args, environment, output);
    if (command == "encode")
        return Encode(args, output);
    const char* text = nullptr;
    if (command == "--help" || command == "-h" || (command == "help" && args.size() == 1))
        text = kMainHelp;
    else if (command == "help" && args.size() == 2 && args[1] == "decode")
        text = kDecodeHelp;
    else if (command == "help" && args.size() == 2 && args[1] == "encode")
        text = kEncodeHelp;
    else if (command == "help" && args.size() == 2 && args[1] == "parse")
    {
        output.Out() += kParseHelp;
        text = message::kSpecFileHelp;
    }
    else if (command == "help" && args.size() == 2 && args[1] == "build")
        text = kBuildHelp;
    else if (command == "--version")
        text = "orvane-cli " ORVANE_VERSION "\n";
    if (text != nullptr)
    {
        output.Out() += text;
        return kExitOk;
    }
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
    COutput output(environment);
    try
    {
        const int status = Dispatch(args, environment, output);
        output.Flush();
        return output.Failed() ? kExitBadInput : status;
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
        output.Flush();
        static_cast<void>(environment.err.Write(failure, std::strlen(failure)));
    }
    catch (...)
    {
    }
    return kExitBadInput;
}

} // namespace cli

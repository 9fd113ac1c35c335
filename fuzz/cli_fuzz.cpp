// Arbitrary bytes as orvane-cli input: the first byte picks the options and
// the read size; the rest is one text, a whole standard input and encode's
// bit numbers. Nothing may crash or throw, each text must come out exactly as
// the core renders it, with a warning exactly when it is not a clean bitmap,
// and every input line must get exactly one line of output.
#include "bitmap_printer.h"
#include "cli_app.h"
#include "display_text.h"
#include "element_names.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{

void Check(bool condition) { condition ? void() : std::abort(); }

// The output for a rendered hex text, up to the warnings in JSON, with the
// set bits read off its digits.
std::string Expected(const std::string& hex, const cli::DecodeOptions& options)
{
    std::string bits, names, named;
    for (std::uint32_t i = 0; i < hex.size() * 4; ++i)
    {
        const unsigned value = hex[i / 4] <= '9' ? unsigned(hex[i / 4] - '0') : unsigned(hex[i / 4] - 'A' + 10);
        if ((value & (8U >> (i % 4))) == 0)
            continue;
        const std::string bit = std::to_string(i + 1), name = DataElementName(i + 1);
        bits += (bits.empty() ? "" : options.json ? "," : " ") + bit;
        names += (names.empty() ? "\"" : ",\"") + name + "\"";
        named += (named.empty() ? "" : "; ") + bit + "=" + name;
    }
    const bool withNames = options.names != cli::Names::None;
    const std::string display = FormatHexForDisplay(hex), length = std::to_string(hex.size() * 4);
    if (!options.json)
        return display + "\t" + length + "\t" + bits + (withNames ? "\t" + named : "") + "\n";
    return "{\"input\":1,\"source\":\"stdin\",\"display\":\"" + display + "\",\"hex\":\"" + hex + "\",\"length\":" + length + ",\"bits\":[" + bits + "]" +
           (withNames ? ",\"names\":[" + names + "]" : "") + ",\"warnings\":[";
}

// A clean bitmap, read the plain way: 16 digits with bit 1 clear or 32 with it set, and only spaces besides.
bool IsClean(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }) &&
           (text.size() == 16 || text.size() == 32) && (std::strchr("89ABCDEFabcdef", text[0]) != nullptr) == (text.size() == 32);
}

struct CSink : cli::CByteSink
{
    int Write(const char* data, std::size_t size) override { return text.append(data, size), 0; }
    std::string text;
};

// The program on standard input in pieces, with lines of at most 40 bytes:
// a message for each bad input, and printable output. Returns the output.
std::string Run(const std::vector<std::string>& args, const std::string& input, std::size_t piece)
{
    struct CPieces : cli::CByteSource
    {
        CPieces(const std::string& text, std::size_t piece) : text(text), piece(piece) {}
        long long Read(char* buffer, std::size_t size) override
        {
            const std::size_t count = std::min({size, piece, text.size() - pos});
            return static_cast<long long>(text.copy(buffer, count, (pos += count) - count));
        }
        const std::string& text;
        std::size_t piece, pos = 0;
    } in(input, piece);
    CSink out, err;
    cli::Environment environment{in, out, err, cli::LeadByteRules{}, 40};
    const int status = cli::Run(args, environment);
    Check(status == cli::kExitOk || (status == cli::kExitBadInput && !err.text.empty()));
    Check(std::all_of(out.text.begin(), out.text.end(), [](char c) { return c == '\n' || c == '\t' || (c >= 0x20 && c < 0x7F); }));
    // encode prints nothing after a bad number; decode and build go on with the next input
    Check(status == cli::kExitOk || args[0] == "decode" || args[0] == "build" || out.text.empty());
    return out.text;
}

std::size_t Lines(const std::string& text) { return std::size_t(std::count(text.begin(), text.end(), '\n')); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1); // on the heap, for ASan
    cli::DecodeOptions options;
    options.names = (flags & 1) != 0 ? cli::Names::English : cli::Names::None;
    options.json = (flags & 2) != 0;
    options.autoFirst = (flags & 4) != 0;
    options.leadByte = (flags & 8) != 0 ? CIsoBitmap::IsGbkLeadByte : CIsoBitmap::NoLeadByte;
    options.strict = (flags & 16) != 0;
    std::string out, message;
    const cli::Verdict verdict = cli::CDecoder(options).Decode(text, cli::InputPlace{cli::InputKind::Line, 1}, out, message);
    const bool clean = IsClean(text);
    const std::string error = options.json ? "{\"input\":1,\"source\":\"stdin\",\"error\":\"" : "error: ";
    if (text.empty())
        Check(verdict == cli::Verdict::Bad && out == error + "the bitmap text is empty" + (options.json ? "\"}\n" : "\n"));
    else if (!clean && options.strict)
        Check(verdict == cli::Verdict::Bad && out.find(error + "not a clean bitmap: ") == 0);
    else
    {
        // The window's road through the core, the colour codes of a log taken out first.
        std::string colourless = text;
        cli::RemoveTerminalCodes(colourless);
        CIsoBitmap window;
        window.FromHex(colourless, options.autoFirst, options.leadByte);
        const std::string expected = Expected(window.ToHex(), options);
        Check(verdict == (clean ? cli::Verdict::Clean : cli::Verdict::Warned) && message.empty() == clean);
        Check(options.json ? out.compare(0, expected.size(), expected) == 0 && (out.compare(expected.size(), 3, "]}\n") == 0) == clean
                           : out == expected);
    }

    // The whole text as standard input, in each encoding: one line out per line in.
    static const char* const kFrom[] = {"--from=hex", "--from=ascii-hex", "--from=ebcdic-hex", "--message"};
    const std::size_t lines = Lines(text) + (!text.empty() && text.back() != '\n');
    Check(Lines(Run({"decode", options.json ? "-j" : "-n", kFrom[flags >> 6], options.strict ? "--strict" : "-a"}, text, 1 + (flags >> 5 & 1) * 7)) == lines);
    // And as raw bitmaps: one line each, and one for a last one cut short.
    const std::size_t bitmaps = Lines(Run({"decode", "--from=binary"}, text, 3));
    Check(bitmaps >= text.size() / 16 && bitmaps <= (text.size() + 7) / 8);

    // Each line as a JSON object to build: at most one message in hex for each.
    Check(Lines(Run({"build", "--to=hex"}, text, 1 + (flags >> 5 & 1) * 7)) <= lines);

    // Everything after "--" is a bit number, however it looks: 16 or 32 digits come out, or nothing at all.
    std::vector<std::string> args = {"encode", options.names != cli::Names::None ? "--display" : "--auto-first", "--"};
    for (std::size_t start = 0; start <= text.size() && args.size() < 300; start = args.back().size() + start + 1)
        args.push_back(text.substr(start, std::min(text.find(' ', start), text.size()) - start));
    const std::size_t length = Run(args, std::string(), 1).size();
    Check(length == 0 || (options.names != cli::Names::None ? length == 28 || length == 52 : length == 17 || length == 33));
    return 0;
}

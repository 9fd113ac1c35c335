// Arbitrary bytes as orvane-cli input: the first byte picks the options and
// the read size; the rest is one text, a whole standard input and encode's
// bit numbers. Nothing may crash or throw, each text must come out exactly as
// the core renders it, with a warning exactly when it is not a clean bitmap,
// and every input line must get exactly one line of output.
#include "bitmap_text.h"
#include "cli_app.h"
#include "display_text.h"
#include "element_names.h"
#include "iso_bitmap.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

void Check(bool condition) { condition ? void() : std::abort(); }

// The output for a rendered hex text up to its warnings, with the set bits
// read off its digits.
std::string Expected(const std::string& hex, const cli::DecodeOptions& options)
{
    std::string bits, names, named;
    for (std::uint32_t i = 0; i < hex.size() * 4; ++i)
    {
        const char c = hex[i / 4];
        const unsigned value = c <= '9' ? unsigned(c - '0') : unsigned(c - 'A' + 10);
        if ((value & (8U >> (i % 4))) == 0)
            continue;
        const std::string bit = std::to_string(i + 1), name = DataElementName(i + 1);
        bits += (bits.empty() ? "" : options.json ? "," : " ") + bit;
        names += (names.empty() ? "\"" : ",\"") + name + "\"";
        named += (named.empty() ? "" : "; ") + bit + "=" + name;
    }
    const std::string display = FormatHexForDisplay(hex), length = std::to_string(hex.size() * 4);
    if (!options.json)
        return display + "\t" + length + "\t" + bits + (options.names != cli::Names::None ? "\t" + named : "") + "\n";
    return "{\"input\":1,\"display\":\"" + display + "\",\"hex\":\"" + hex + "\",\"length\":" + length + ",\"bits\":[" +
           bits + "]" + (options.names != cli::Names::None ? ",\"names\":[" + names + "]" : "") + ",\"warnings\":[";
}

// A clean bitmap, read the plain way: 16 digits with bit 1 clear or 32 with
// it set, and nothing but spaces besides.
bool IsClean(const std::string& text)
{
    std::string digits;
    for (const char c : text)
    {
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
        else if (c != ' ')
            return false;
    }
    return (digits.size() == 16 || digits.size() == 32) && (std::string("89ABCDEFabcdef").find(digits[0]) != std::string::npos) == (digits.size() == 32);
}

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
};

struct CSink : cli::CByteSink
{
    int Write(const char* data, std::size_t size) override { return text.append(data, size), 0; }
    std::string text;
};

std::size_t Lines(const std::string& text) { return std::size_t(std::count(text.begin(), text.end(), '\n')); }

// The program with lines of at most 40 bytes: a message for each bad input, and printable output.
int Run(const std::vector<std::string>& args, const std::string& input, std::size_t piece, CSink& out, CSink& err)
{
    CPieces in(input, piece);
    cli::Environment environment{in, out, err, cli::LeadByteRules{}, 40};
    const int status = cli::Run(args, environment);
    Check(status == cli::kExitOk || (status == cli::kExitBadInput && !err.text.empty()));
    Check(std::all_of(out.text.begin(), out.text.end(),
                      [](char c) { return c == '\n' || c == '\t' || (c >= 0x20 && c < 0x7F); }));
    return status;
}

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
    cli::CDecoder decoder(options);
    const cli::Verdict verdict = decoder.Decode(text, cli::InputPlace{cli::InputKind::Line, 1}, out, message);
    std::string colourless = text;
    cli::RemoveTerminalCodes(colourless);
    const bool clean = IsClean(text);
    if (text.empty())
        Check(verdict == cli::Verdict::Bad && out == (options.json ? "{\"input\":1,\"error\":\"the bitmap text is empty\"}\n"
                                                                    : "error: the bitmap text is empty\n"));
    else if (!clean && options.strict)
        Check(verdict == cli::Verdict::Bad && out.find(options.json ? "{\"input\":1,\"error\":\"not a clean bitmap: "
                                                                     : "error: not a clean bitmap: ") == 0);
    else
    {
        // The window's road through the core, the colour codes of a log taken out first.
        CIsoBitmap window;
        window.Clear();
        window.FromHex(colourless, options.autoFirst, options.leadByte);
        const std::string expected = Expected(window.ToHex(), options);
        Check(verdict == (clean ? cli::Verdict::Clean : cli::Verdict::Warned) && message.empty() == clean);
        Check(options.json ? out.compare(0, expected.size(), expected) == 0 && out.size() > expected.size() + 2 &&
                                 (out.compare(expected.size(), 3, "]}\n") == 0) == clean && out.back() == '\n'
                           : out == expected);
    }

    // The whole text as standard input, in any of the encodings but binary: one line out per line in.
    static const char* const kFrom[] = {"--from=hex", "--from=ascii-hex", "--from=ebcdic-hex", "--message"};
    CSink decodeOut, decodeErr;
    Run({"decode", options.json ? "--json" : "--names", kFrom[flags >> 6], options.strict ? "--strict" : "-a"}, text,
        1 + ((flags >> 5) & 1) * 7, decodeOut, decodeErr);
    Check(Lines(decodeOut.text) == Lines(text) + (!text.empty() && text.back() != '\n' ? 1 : 0));
    // And as raw bitmaps: one line for each, and one for a last one cut short.
    CSink binaryOut, binaryErr;
    Run({"decode", "--from=binary"}, text, 3, binaryOut, binaryErr);
    Check(Lines(binaryOut.text) >= text.size() / 16 && Lines(binaryOut.text) <= (text.size() + 7) / 8);

    // Everything after "--" is a bit number, however it looks: 16 or 32 digits come out, or nothing.
    std::vector<std::string> args = {"encode", options.names != cli::Names::None ? "--display" : "--auto-first", "--"};
    for (std::size_t start = 0; start <= text.size() && args.size() < 300;)
    {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        args.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    CSink encodeOut, encodeErr;
    const int status = Run(args, std::string(), 1, encodeOut, encodeErr);
    const std::size_t length = encodeOut.text.size();
    Check(status != cli::kExitOk ? length == 0
                                 : options.names != cli::Names::None ? length == 28 || length == 52 : length == 17 || length == 33);
    return 0;
}

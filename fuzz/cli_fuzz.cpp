// Arbitrary bytes as orvane-cli input: the first byte picks the options and
// the read size; the rest is one text, a whole standard input and encode's
// bit numbers. Nothing may crash or throw, each text must come out exactly as
// the core renders it, and every input line must get an answer or a message.
#include "bitmap_text.h"
#include "cli_app.h"
#include "display_text.h"
#include "element_names.h"
#include "iso_bitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

void Check(bool condition) { condition ? void() : std::abort(); }

// The output for a rendered hex text, with the set bits read off its digits.
std::string Expected(const std::string& hex, const cli::DecodeOptions& options)
{
    std::string bits, names, lines;
    for (std::uint32_t i = 0; i < hex.size() * 4; ++i)
    {
        const char c = hex[i / 4];
        const unsigned value = c <= '9' ? unsigned(c - '0') : unsigned(c - 'A' + 10);
        if ((value & (8U >> (i % 4))) == 0)
            continue;
        const std::string bit = std::to_string(i + 1), name = DataElementName(i + 1);
        bits += (bits.empty() ? "" : options.json ? "," : " ") + bit;
        names += (names.empty() ? "\"" : ",\"") + name + "\"";
        lines += "\t" + bit + "\t" + name + "\n";
    }
    const std::string display = FormatHexForDisplay(hex), length = std::to_string(hex.size() * 4);
    if (!options.json)
        return display + "\t" + length + "\t" + bits + "\n" + (options.names ? lines : "");
    return "{\"input\":1,\"display\":\"" + display + "\",\"hex\":\"" + hex + "\",\"length\":" + length + ",\"bits\":[" +
           bits + "]" + (options.names ? ",\"names\":[" + names + "]" : "") + "}\n";
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
    bool Write(const char* data, std::size_t size) override { return text.append(data, size), true; }
    std::string text;
};

std::size_t Lines(const std::string& text) { return std::size_t(std::count(text.begin(), text.end(), '\n')); }

// The program with lines of at most 40 bytes: a message for each bad input, and printable output.
void Run(const std::vector<std::string>& args, const std::string& input, std::size_t piece, CSink& out, CSink& err)
{
    CPieces in(input, piece);
    cli::Environment environment{in, out, err, cli::LeadByteRules{}, 40};
    const int status = cli::Run(args, environment);
    Check((status == cli::kExitOk && err.text.empty()) || (status == cli::kExitBadInput && !err.text.empty()));
    Check(std::all_of(out.text.begin(), out.text.end(),
                      [](char c) { return c == '\n' || c == '\t' || (c >= 0x20 && c < 0x7F); }));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1); // on the heap, for ASan

    cli::DecodeOptions options;
    options.names = (flags & 1) != 0;
    options.json = (flags & 2) != 0;
    options.autoFirst = (flags & 4) != 0;
    options.leadByte = (flags & 8) != 0 ? CIsoBitmap::IsGbkLeadByte : CIsoBitmap::NoLeadByte;
    std::string out, error;
    if (cli::DecodeText(text, cli::InputPlace{cli::InputKind::Line, 1}, options, out, error))
    {
        // The window's road through the core.
        CIsoBitmap window;
        window.Clear();
        window.FromHex(text, options.autoFirst, options.leadByte);
        Check(!text.empty() && error.empty() && out == Expected(window.ToHex(), options));
    }
    else
        Check(text.empty() && out == (options.json ? "{\"input\":1,\"error\":\"the bitmap text is empty\"}\n" : ""));

    // The whole text as standard input: in JSON one line out per line in, else an answer or a message.
    CSink decodeOut, decodeErr;
    Run({"decode", options.json ? "--json" : "--auto-first"}, text, 1 + (flags >> 4), decodeOut, decodeErr);
    const std::size_t lines = Lines(text) + (!text.empty() && text.back() != '\n' ? 1 : 0);
    Check(Lines(decodeOut.text) + (options.json ? 0 : Lines(decodeErr.text)) == lines);

    // Everything after "--" is a bit number, however it looks: 16 or 32 digits come out.
    std::vector<std::string> args = {"encode", options.names ? "--display" : "--auto-first", "--"};
    for (std::size_t start = 0; start <= text.size() && args.size() < 300;)
    {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        args.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    CSink encodeOut, encodeErr;
    Run(args, std::string(), 1, encodeOut, encodeErr);
    const std::size_t length = encodeOut.text.size();
    Check(options.names ? length == 28 || length == 52 : length == 17 || length == 33);
    return 0;
}

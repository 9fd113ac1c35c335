// Arbitrary bytes as orvane-cli input. The first byte picks the options and
// how the input arrives; the rest is one line for the decoder, a whole
// standard input for the program, and bit-number arguments for encode.
// Nothing may crash or escape as an exception, every decoded line must be
// the core's rendering of it, and JSON output must stay valid.
#include "bitmap_text.h"
#include "cli_app.h"
#include "display_text.h"
#include "iso_bitmap.h"
#include "json_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsPrintableOutput(const std::string& text)
{
    for (const char c : text)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (!(byte == '\n' || byte == '\t' || (byte >= 0x20 && byte < 0x7F)))
            return false;
    }
    return true;
}

std::string BitList(const std::string& hex, char separator)
{
    std::string list;
    for (std::size_t i = 0; i < hex.size(); ++i)
    {
        const char c = hex[i];
        const unsigned value = c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>(c - 'A' + 10);
        for (unsigned b = 0; b < 4; ++b)
        {
            if (value & (8U >> b))
            {
                if (!list.empty())
                    list += separator;
                list += std::to_string(4 * i + b + 1);
            }
        }
    }
    return list;
}

std::size_t CountLines(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class CPieces : public cli::CByteSource
{
public:
    CPieces(const std::string& text, std::size_t piece) : m_text(text), m_piece(piece) {}

    long long Read(char* buffer, std::size_t size) override
    {
        const std::size_t count = std::min({size, m_piece, m_text.size() - m_pos});
        std::copy_n(m_text.data() + m_pos, count, buffer);
        m_pos += count;
        return static_cast<long long>(count);
    }

private:
    const std::string& m_text;
    std::size_t m_piece;
    std::size_t m_pos = 0;
};

class CSink : public cli::CByteSink
{
public:
    bool Write(const char* data, std::size_t size) override
    {
        text.append(data, size);
        return true;
    }
    std::string text;
};

int RunProgram(const std::vector<std::string>& args, const std::string& input, std::size_t piece,
               std::size_t maxLine, std::string& out, std::string& err)
{
    CPieces in(input, piece);
    CSink outSink;
    CSink errSink;
    cli::Environment environment{in, outSink, errSink, cli::LeadByteRules()};
    environment.maxLineBytes = maxLine;
    const int status = cli::Run(args, environment);
    out = outSink.text;
    err = errSink.text;
    return status;
}

void CheckOneLine(const std::string& text, std::uint8_t flags)
{
    cli::DecodeOptions options;
    options.names = (flags & 1) != 0;
    options.json = (flags & 2) != 0;
    options.autoFirst = (flags & 4) != 0;
    options.leadByte = (flags & 8) != 0 ? CIsoBitmap::IsGbkLeadByte : CIsoBitmap::NoLeadByte;

    std::string out;
    std::string error;
    const bool ok = cli::DecodeText(text, cli::InputPlace{cli::InputKind::Line, 1}, options, out, error);
    Check(ok == !text.empty());
    Check(ok == error.empty());
    Check(IsPrintableOutput(out));
    Check(options.json || ok || out.empty());
    if (out.empty())
        return;
    Check(out.back() == '\n');

    // The window's road through the core.
    CIsoBitmap window;
    window.Clear();
    window.FromHex(text, options.autoFirst, options.leadByte);
    const std::string hex = window.ToHex();
    const std::string length = std::to_string(window.BitCount());

    const std::string first = out.substr(0, out.find('\n'));
    if (options.json)
    {
        Check(CountLines(out) == 1);
        JsonValue value;
        Check(CJsonReader::Parse(first, value));
        Check(value.type == JsonValue::Type::Object && value.Find("input") != nullptr);
        if (!ok)
        {
            Check(value.Find("error") != nullptr);
            return;
        }
        Check(value.Find("hex")->text == hex);
        Check(value.Find("display")->text == FormatHexForDisplay(hex));
        Check(value.Find("length")->number == length);
        std::string bits;
        for (const JsonValue& item : value.Find("bits")->items)
            bits += (bits.empty() ? "" : ",") + item.number;
        Check(bits == BitList(hex, ','));
        if (options.names)
            Check(value.Find("names")->items.size() == value.Find("bits")->items.size());
        return;
    }
    const std::string list = BitList(hex, ' ');
    Check(first == FormatHexForDisplay(hex) + "\t" + length + "\t" + list);
    const std::size_t bitCount = list.empty() ? 0 : static_cast<std::size_t>(std::count(list.begin(), list.end(), ' ')) + 1;
    Check(CountLines(out) == 1 + (options.names ? bitCount : 0));
}

void CheckProgram(const std::string& input, std::uint8_t flags)
{
    std::vector<std::string> args = {"decode"};
    if (flags & 2)
        args.push_back("--json");
    if (flags & 4)
        args.push_back("--auto-first");
    const std::size_t piece = 1 + (flags >> 4);
    std::string out;
    std::string err;
    const int status = RunProgram(args, input, piece, 40, out, err);
    Check(status == cli::kExitOk || status == cli::kExitBadInput);
    Check(IsPrintableOutput(out));
    Check((status == cli::kExitOk) == err.empty());

    std::size_t lines = CountLines(input);
    if (!input.empty() && input.back() != '\n')
        ++lines;
    if (flags & 2)
    {
        // Every input line has its object, bad or not.
        Check(CountLines(out) == lines);
        std::size_t start = 0;
        for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
        {
            JsonValue value;
            Check(CJsonReader::Parse(out.substr(start, end - start), value));
        }
    }
    else
    {
        Check(CountLines(out) + CountLines(err) == lines);
    }
}

void CheckEncode(const std::string& text, std::uint8_t flags)
{
    std::vector<std::string> args = {"encode"};
    if (flags & 4)
        args.push_back("--auto-first");
    if (flags & 1)
        args.push_back("--display");
    // Everything after "--" is a bit number, however it looks.
    args.push_back("--");
    std::size_t start = 0;
    for (std::size_t end; start <= text.size(); start = end + 1)
    {
        end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        args.push_back(text.substr(start, end - start));
        if (args.size() > 300)
            break;
    }
    std::string out;
    std::string err;
    const int status = RunProgram(args, std::string(), 1, 40, out, err);
    Check(status == cli::kExitOk || status == cli::kExitBadInput || status == cli::kExitUsage);
    if (status == cli::kExitUsage)
        return;
    Check((status == cli::kExitOk) == err.empty());
    Check(CountLines(out) == 1 && IsPrintableOutput(out));
    const std::size_t digits = static_cast<std::size_t>(std::count_if(out.begin(), out.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    }));
    Check(digits == 16 || digits == 32);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    // Heap copies, so AddressSanitizer sees any read past the end.
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    CheckOneLine(text, flags);
    CheckProgram(text, flags);
    CheckEncode(text, flags);
    return 0;
}

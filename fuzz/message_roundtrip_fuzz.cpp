// Valid messages made from fuzz bytes, by a built-in or a fuzzed message
// specification: what the builder writes, the reader reads back strictly to
// the same message type, header and fields, and those build to the same bytes.
#include "message_fuzz_input.h"

#include "reader.h"
#include "writer.h"

#include <map>
#include <vector>

namespace
{

using namespace message_fuzz;

// The characters a value may hold and survive the round trip: z in BCD
// writes D as its separator nibble, which reads back as '=', so only '='.
std::string_view Alphabet(const FieldFormat& format)
{
    static const std::string kPrintable = [] {
        std::string text;
        for (char c = 0x20; c < 0x7F; ++c)
            text += c;
        return text;
    }();
    static const std::string kAnyByte = [] {
        std::string bytes;
        for (int c = 0; c < 256; ++c)
            bytes += static_cast<char>(c);
        return bytes;
    }();
    switch (format.content)
    {
    case Content::A:
        return "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz ";
    case Content::An:
        return "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ";
    case Content::Ans:
        return kPrintable;
    case Content::Ns:
        return "0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
    case Content::Z:
        return format.encoding == Encoding::Bcd ? "0123456789=" : "0123456789=D;?";
    case Content::B:
    case Content::Bitmap:
        return kAnyByte;
    case Content::N:
    case Content::XN:
        break;
    }
    return "0123456789";
}

std::string RandomValue(const FieldFormat& format, CFuzzBytes& bytes)
{
    const std::size_t units = format.length == LengthKind::Fixed ? format.size : bytes.Take16() % (format.size + 1);
    std::string value;
    if (format.content == Content::XN)
        value += bytes.TakeBit() ? 'D' : 'C';
    const std::string_view alphabet = Alphabet(format);
    for (std::size_t i = 0; i < units; ++i)
        value += alphabet[bytes.Take() % alphabet.size()];
    return value;
}

std::map<std::uint32_t, std::string> ValuesRead(const Message& message)
{
    std::map<std::uint32_t, std::string> values;
    for (const FieldValue& field : message.fields)
        values[field.number] = std::string(message.Value(field));
    return values;
}

BuildInput InputOf(const Message& message)
{
    BuildInput input{std::string(message.mti, 4), {}, {}};
    for (const HeaderValue& part : message.header)
        input.header.emplace_back(part.bytes);
    for (const FieldValue& field : message.fields)
        input.fields.push_back({field.number, std::string(message.Value(field))});
    return input;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view rest;
    const MessageSpec& spec = ChooseSpec(std::string_view(reinterpret_cast<const char*>(data), size), rest);
    CFuzzBytes bytes(rest);

    BuildInput input;
    for (int i = 0; i < 4; ++i)
        input.mti += static_cast<char>('0' + bytes.Take() % 10);
    for (const HeaderPart& part : spec.framing.header)
    {
        input.header.emplace_back();
        for (std::size_t i = 0; i < part.size; ++i)
            input.header.back() += static_cast<char>(bytes.Take());
    }
    std::map<std::uint32_t, std::string> expected;
    while (!bytes.Empty() && expected.size() < 40)
    {
        const std::uint32_t number = 2 + bytes.Take() % (kLastField - 1);
        const std::optional<FieldFormat>& format = spec.fields[number];
        if (!format || format->content == Content::Bitmap || (number > 128 && !spec.HasTertiary()) ||
            expected.count(number) != 0)
            continue;
        expected[number] = RandomValue(*format, bytes);
    }
    // In an order of their own: the builder sorts them.
    for (auto it = expected.rbegin(); it != expected.rend(); ++it)
        input.fields.push_back({it->first, it->second});

    std::string built;
    Problem problem;
    if (!BuildMessage(spec, spec.framing, input, BuildOptions{}, built, problem))
    {
        // Valid fields fail only for a message too long for its length prefix.
        Check(problem.place.kind == PlaceKind::LengthPrefix && built.empty());
        return 0;
    }
    const std::vector<char> exact(built.begin(), built.end());
    Message message;
    Check(ReadMessage(spec, spec.framing, std::string_view(exact.data(), exact.size()), ReadOptions{true}, message,
                      problem));
    for (const Problem& warning : message.warnings)
        Check(IsTlvDoubt(warning));
    Check(std::string_view(message.mti, 4) == input.mti);
    Check(message.header.size() == input.header.size());
    for (std::size_t i = 0; i < input.header.size(); ++i)
        Check(message.header[i].bytes == input.header[i]);
    Check(ValuesRead(message) == expected);

    std::string again;
    Check(BuildMessage(spec, spec.framing, InputOf(message), BuildOptions{}, again, problem) && again == built);
    return 0;
}

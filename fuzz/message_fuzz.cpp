// Arbitrary bytes read as a message by a built-in or a fuzzed message
// specification: the reader never reads past its input, tells every failure
// and doubt with a place and an offset inside the input, keeps its fields
// inside the input and in order, and what it reads strictly the builder
// writes back.
#include "message_fuzz_input.h"

#include "field_codec.h"
#include "reader.h"
#include "writer.h"

#include <cctype>

namespace
{

using namespace message_fuzz;

bool NamesPlace(int place)
{
    return place == kMti || (place >= 1 && place <= static_cast<int>(kLastField)) || place == kPrimaryBitmap ||
           place == kLengthPrefixPlace || place == kHeaderPlace;
}

void CheckProblem(const Problem& problem, std::string_view input)
{
    Check(NamesPlace(problem.place) && problem.offset <= input.size() && !problem.what.empty());
}

bool SameProblem(const Problem& a, const Problem& b)
{
    return a.place == b.place && a.offset == b.offset && a.what == b.what;
}

// Every field the message holds, failed or not: inside the input, in
// ascending order without overlap, its wire size what its format and length
// make, its value its own wire bytes after the prefix or else inside
// Message::values, one after another.
void CheckFields(const MessageSpec& spec, const Message& message, std::string_view input)
{
    std::size_t wireEnd = 0;
    std::size_t valueEnd = 0;
    std::uint32_t previous = 1;
    for (const FieldValue& field : message.fields)
    {
        Check(field.number > previous && field.number <= kLastField && message.BitSet(field.number));
        Check(field.offset >= wireEnd && field.offset + std::size_t{field.wireBytes} <= input.size());
        const FieldFormat& format = *spec.fields[field.number];
        if (field.inInput)
            Check(field.valueStart == field.offset + PrefixBytes(format) &&
                  field.valueStart + std::size_t{field.valueSize} == field.offset + std::size_t{field.wireBytes} &&
                  message.Value(field).data() == input.data() + field.valueStart);
        else
            Check(field.valueStart == valueEnd && field.valueStart + std::size_t{field.valueSize} <= message.values.size());
        Check(field.length <= format.size &&
              field.wireBytes == PrefixBytes(format) + ValueBytes(format, field.length));
        previous = field.number;
        wireEnd = field.offset + std::size_t{field.wireBytes};
        valueEnd = field.inInput ? valueEnd : field.valueStart + std::size_t{field.valueSize};
    }
    Check(valueEnd == message.values.size());
    for (const HeaderValue& part : message.header)
        Check(part.bytes.data() >= input.data() && part.bytes.data() + part.bytes.size() <= input.data() + input.size());
}

BuildInput FieldsRead(const Message& message)
{
    BuildInput input{std::string(message.mti, 4), {}, {}};
    for (const HeaderValue& part : message.header)
        input.header.emplace_back(part.bytes);
    for (const FieldValue& field : message.fields)
        input.fields.push_back({field.number, std::string(message.Value(field))});
    return input;
}

bool SameRead(const Message& a, const Message& b)
{
    if (std::string_view(a.mti, 4) != std::string_view(b.mti, 4) || a.fields.size() != b.fields.size() ||
        a.header.size() != b.header.size())
        return false;
    for (std::size_t i = 0; i < a.header.size(); ++i)
    {
        if (a.header[i].bytes != b.header[i].bytes)
            return false;
    }
    for (std::size_t i = 0; i < a.fields.size(); ++i)
    {
        if (a.fields[i].number != b.fields[i].number || a.Value(a.fields[i]) != b.Value(b.fields[i]))
            return false;
    }
    return true;
}

bool SameHexDigit(char a, char b)
{
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
}

// Whether the byte at `at` of a BCD value may differ from the rebuilt one:
// only the pad nibble of an odd value may, as 0 against F.
bool PadNibbleOnly(const FieldFormat& format, const FieldValue& field, std::size_t at, unsigned char was,
                   unsigned char now)
{
    if (field.length % 2 == 0)
        return false;
    const std::size_t digitsStart = field.offset + PrefixBytes(format) + (format.content == Content::XN ? 1 : 0);
    const std::size_t last = field.offset + std::size_t{field.wireBytes} - 1;
    const bool left = format.pad == Pad::Left;
    if (at < digitsStart || at != (left ? digitsStart : last))
        return false;
    const unsigned padMask = left ? 0xF0U : 0x0FU;
    const unsigned pad = (was & padMask) >> (left ? 4 : 0);
    return (was & ~padMask & 0xFFU) == (now & ~padMask & 0xFFU) && (pad == 0x0 || pad == 0xF);
}

// When the rebuilt message has the size of the input, whether each byte
// that differs lies where the wire is free: a hex digit's case in a hex
// bitmap or hex field, the pad nibble of an odd BCD value.
bool DiffersOnlyWhereFree(const MessageSpec& spec, const Message& message, std::string_view input,
                          std::string_view rebuilt)
{
    const std::size_t bitmapsStart = LengthPrefixBytes(spec.framing.lengthPrefix) + spec.framing.HeaderBytes() +
                                     (spec.mti == Encoding::Bcd ? 2 : 4);
    const std::size_t fieldsStart = message.fields.empty() ? input.size() : message.fields[0].offset;
    std::size_t next = 0;
    for (std::size_t at = 0; at < input.size(); ++at)
    {
        if (input[at] == rebuilt[at])
            continue;
        if (at < fieldsStart)
        {
            if (at < bitmapsStart || spec.bitmap != Encoding::Hex || !SameHexDigit(input[at], rebuilt[at]))
                return false;
            continue;
        }
        while (message.fields[next].offset + std::size_t{message.fields[next].wireBytes} <= at)
            ++next;
        const FieldValue& field = message.fields[next];
        const FieldFormat& format = *spec.fields[field.number];
        const bool inValue = at >= field.offset + PrefixBytes(format);
        const bool free = inValue && (format.encoding == Encoding::Hex ? SameHexDigit(input[at], rebuilt[at])
                                      : format.encoding == Encoding::Bcd
                                          ? PadNibbleOnly(format, field, at, static_cast<unsigned char>(input[at]),
                                                          static_cast<unsigned char>(rebuilt[at]))
                                          : false);
        if (!free)
            return false;
    }
    return true;
}

// The bitmap bytes the builder writes for these fields: 8, 16 or 24.
std::size_t BitmapBytesFor(const Message& message)
{
    const std::uint32_t highest = message.fields.empty() ? 0 : message.fields.back().number;
    return highest > 128 ? 24 : highest > 64 ? 16 : 8;
}

// What reads strictly builds back. The wire keeps freedoms the builder
// cannot know, and only those may differ:
// - the pad nibble of an odd BCD value: 0 and F are both read, the format's
//   padNibble is written;
// - the case of hex digits in hex bitmaps and hex fields: either is read,
//   upper case is written;
// - a secondary or tertiary bitmap no field needs: read as it comes, written
//   only for fields above 64 or 128, so the rebuilt message is shorter and
//   its length prefix smaller.
// Other looseness never reaches this point: strict reading refuses a length
// prefix that disagrees with the size, a BCD nibble above 9 (but z's D, read
// as '=' and written back as D) and a pad nibble other than 0 or F.
// Where the bytes differ, the rebuilt message must read to the same fields
// and build to itself again.
void CheckRoundTrip(const MessageSpec& spec, const Message& message, std::string_view input)
{
    std::string rebuilt;
    Problem problem;
    Check(BuildMessage(spec, spec.framing, FieldsRead(message), BuildOptions{}, rebuilt, problem));
    if (rebuilt == input)
        return;
    Check(rebuilt.size() <= input.size());
    if (message.bitmapBytes == BitmapBytesFor(message))
        Check(rebuilt.size() == input.size() && DiffersOnlyWhereFree(spec, message, input, rebuilt));
    const std::vector<char> exact(rebuilt.begin(), rebuilt.end());
    Message reread;
    Check(ReadMessage(spec, spec.framing, std::string_view(exact.data(), exact.size()), ReadOptions{true}, reread,
                      problem));
    Check(SameRead(message, reread));
    std::string again;
    Check(BuildMessage(spec, spec.framing, FieldsRead(reread), BuildOptions{}, again, problem) && again == rebuilt);
}

void CheckStreamHelpers(std::string_view input)
{
    for (LengthPrefix prefix : {LengthPrefix::Binary2, LengthPrefix::Binary4, LengthPrefix::Ascii4})
    {
        std::size_t size = 0;
        Problem problem;
        if (FramedSize(prefix, input, size, problem))
            Check(size >= LengthPrefixBytes(prefix) && problem.what.empty());
        else
            Check(problem.what.empty() == (input.size() < LengthPrefixBytes(prefix)));
    }
    std::string bytes;
    Problem problem;
    if (HexDumpToBytes(input, bytes, problem))
        Check(2 * bytes.size() <= input.size());
    else
        Check(problem.place == kInputPlace && problem.offset <= input.size() && !problem.what.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A view into libFuzzer's own buffer, which ends where the input ends,
    // so ASan sees any read past it.
    std::string_view input;
    const MessageSpec& spec = ChooseSpec(std::string_view(reinterpret_cast<const char*>(data), size), input);
    CheckStreamHelpers(input);

    Message lax;
    Problem laxProblem;
    const bool laxRead = ReadMessage(spec, spec.framing, input, ReadOptions{false}, lax, laxProblem);
    if (!laxRead)
        CheckProblem(laxProblem, input);
    for (const Problem& warning : lax.warnings)
        CheckProblem(warning, input);
    CheckFields(spec, lax, input);

    // Strict reading stops at the first doubt, and only there.
    Message strict;
    Problem strictProblem;
    const bool strictRead = ReadMessage(spec, spec.framing, input, ReadOptions{true}, strict, strictProblem);
    CheckFields(spec, strict, input);
    Check(strict.warnings.empty() && strict.fields.size() <= lax.fields.size());
    if (strictRead)
        Check(laxRead && lax.warnings.empty() && SameRead(lax, strict));
    else
        Check(SameProblem(strictProblem, lax.warnings.empty() ? laxProblem : lax.warnings[0]));

    std::size_t fieldsStart = 0;
    Message head;
    Problem headProblem;
    if (ReadHead(spec, spec.framing, input, ReadOptions{false}, head, headProblem, fieldsStart))
        Check(fieldsStart <= input.size() && (lax.fields.empty() || lax.fields[0].offset == fieldsStart));
    else
        Check(!laxRead && SameProblem(headProblem, laxProblem));

    if (strictRead)
        CheckRoundTrip(spec, strict, input);
    return 0;
}

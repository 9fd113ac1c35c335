// Arbitrary bytes read as a message by a built-in or a fuzzed message
// specification: the reader never reads past its input, tells every failure
// and doubt with a place and an offset inside the input, worded in both
// languages, keeps its fields and TLV objects inside the input and in order,
// and what it reads strictly the builder writes back, from the fields and
// from the JSON object parse writes. The same bytes also go to the wire
// forms, the stream framer and the JSON reader.
#include "message_fuzz_input.h"

#include "field_codec.h"
#include "message_json.h"
#include "reader.h"
#include "wire_form.h"
#include "writer.h"

#include <cctype>
#include <vector>

namespace
{

using namespace message_fuzz;

bool NamesPlace(const Place& place)
{
    switch (place.kind)
    {
    case PlaceKind::Mti:
    case PlaceKind::PrimaryBitmap:
    case PlaceKind::LengthPrefix:
    case PlaceKind::Header:
        return true;
    case PlaceKind::Field:
        return place.field >= 1 && place.field <= kLastField;
    default:
        return false;
    }
}

// Every problem met has words in both languages.
void CheckWorded(const Problem& problem)
{
    Check(!English(problem).empty() && !Chinese(problem).empty() && !problem.Text().empty());
}

void CheckProblem(const Problem& problem, std::string_view input)
{
    CheckWorded(problem);
    Check(NamesPlace(problem.place) && problem.offset <= input.size());
}

bool SameProblem(const Problem& a, const Problem& b)
{
    return a.place.kind == b.place.kind && a.place.field == b.place.field && a.offset == b.offset &&
           a.kind == b.kind && a.Text() == b.Text();
}

std::vector<Problem> ReaderDoubts(const Message& message)
{
    std::vector<Problem> doubts;
    for (const Problem& warning : message.warnings)
    {
        if (!IsTlvDoubt(warning))
            doubts.push_back(warning);
    }
    return doubts;
}

bool SameTlvDoubts(const Message& a, const Message& b)
{
    const std::size_t readerA = ReaderDoubts(a).size(), readerB = ReaderDoubts(b).size();
    if (a.warnings.size() - readerA != b.warnings.size() - readerB)
        return false;
    for (std::size_t i = 0; readerA + i < a.warnings.size(); ++i)
    {
        if (!SameProblem(a.warnings[readerA + i], b.warnings[readerB + i]))
            return false;
    }
    return true;
}

// The TLV objects of each TLV field, in the order of the fields, each inside
// its field's value and its template.
void CheckTlv(const MessageSpec& spec, const Message& message)
{
    std::size_t nodesEnd = 0;
    std::uint32_t previous = 0;
    for (const TlvField& tlv : message.tlv)
    {
        const FieldValue* field = message.Find(tlv.number);
        Check(field != nullptr && spec.FormatOf(tlv.number)->tlv && tlv.number > previous);
        Check(tlv.nodesStart == nodesEnd && tlv.nodesStart <= tlv.nodesEnd && tlv.nodesEnd <= message.tlvNodes.size());
        const std::size_t valueSize = message.Value(*field).size();
        std::size_t ends[kMaxTlvDepth + 1] = {valueSize};
        for (std::size_t i = tlv.nodesStart; i < tlv.nodesEnd; ++i)
        {
            const TlvNode& node = message.tlvNodes[i];
            const TlvNode* before = i == tlv.nodesStart ? nullptr : &message.tlvNodes[i - 1];
            Check(before == nullptr ? node.depth == 0
                                    : node.offset > before->offset && node.depth <= before->depth + 1);
            Check(node.valueOffset + node.valueLength <= ends[node.depth]);
            if (node.constructed && node.depth < kMaxTlvDepth)
                ends[node.depth + 1] = node.valueOffset + node.valueLength;
        }
        previous = tlv.number;
        nodesEnd = tlv.nodesEnd;
    }
    Check(nodesEnd == message.tlvNodes.size());
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
        const FieldFormat& format = *spec.FormatOf(field.number);
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
                                     (spec.mti.encoding == Encoding::Bcd ? 2 : 4);
    const std::size_t fieldsStart = message.fields.empty() ? input.size() : message.fields[0].offset;
    std::size_t next = 0;
    for (std::size_t at = 0; at < input.size(); ++at)
    {
        if (input[at] == rebuilt[at])
            continue;
        if (at < fieldsStart)
        {
            if (at < bitmapsStart || spec.bitmap.encoding != Encoding::Hex || !SameHexDigit(input[at], rebuilt[at]))
                return false;
            continue;
        }
        while (message.fields[next].offset + std::size_t{message.fields[next].wireBytes} <= at)
            ++next;
        const FieldValue& field = message.fields[next];
        const FieldFormat& format = *spec.FormatOf(field.number);
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
std::string CheckRoundTrip(const MessageSpec& spec, const Message& message, std::string_view input)
{
    std::string rebuilt;
    Problem problem;
    Check(BuildMessage(spec, spec.framing, FieldsRead(message), BuildOptions{}, rebuilt, problem));
    if (rebuilt == input)
        return rebuilt;
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
    return rebuilt;
}

// The JSON object parse --json --unmask writes for a message read cleanly
// builds the bytes its fields build: the input, but for the freedoms above.
void CheckJsonRoundTrip(const MessageSpec& spec, const Message& message, const std::string& rebuilt)
{
    std::string json = "{\"input\":1";
    AppendMessageJson(spec, message, nullptr, true, json);
    json += '}';
    CBuildValues values(spec, spec.framing);
    Problem problem;
    Check(ReadMessageJson(json, values, problem));
    Framing framing;
    BuildInput* input = nullptr;
    Check(values.Finish(nullptr, framing, input, problem));
    std::string built;
    Check(BuildMessage(spec, framing, *input, BuildOptions{}, built, problem) && built == rebuilt);
}

// The JSON parse writes for any message, masked or not, read whole or not,
// is an object build reads, or refuses as a whole for its error or its mask.
void CheckJsonWritten(const MessageSpec& spec, const Message& message, const Problem* error)
{
    std::string json = "{\"input\":1";
    AppendMessageJson(spec, message, error, false, json);
    json += '}';
    CBuildValues values(spec, spec.framing);
    Problem problem;
    if (ReadMessageJson(json, values, problem))
        return;
    CheckWorded(problem);
    Check(problem.kind == ProblemKind::ParseError || problem.kind == ProblemKind::Masked);
    Check((problem.kind == ProblemKind::ParseError) == (error != nullptr));
}

// Arbitrary bytes as a JSON line for build: read or refused with words,
// and what is read builds or is refused with words.
void CheckJsonRead(const MessageSpec& spec, std::string_view line)
{
    CBuildValues values(spec, spec.framing);
    Problem problem;
    Framing framing;
    BuildInput* input = nullptr;
    std::string built;
    if (!ReadMessageJson(line, values, problem) || !values.Finish(nullptr, framing, input, problem) ||
        !BuildMessage(spec, framing, *input, BuildOptions{}, built, problem))
        CheckWorded(problem);
}

void CheckFramedSize(std::string_view input)
{
    for (LengthPrefix prefix : {LengthPrefix::Binary2, LengthPrefix::Binary4, LengthPrefix::Ascii4})
    {
        std::size_t size = 0;
        Problem problem;
        switch (FramedSize(prefix, input, size, problem))
        {
        case Framed::Whole:
            Check(size >= LengthPrefixBytes(prefix) && input.size() >= LengthPrefixBytes(prefix));
            break;
        case Framed::Short:
            Check(input.size() < LengthPrefixBytes(prefix));
            break;
        case Framed::Bad:
            CheckProblem(problem, input);
            Check(prefix == LengthPrefix::Ascii4 && problem.place.kind == PlaceKind::LengthPrefix);
            break;
        }
    }
}

// The messages a framer cuts from a stream, up to a lost framing; the
// problems have words and name the length prefix or the whole input.
std::vector<std::string> CutStream(LengthPrefix prefix, std::string_view stream, std::size_t piece)
{
    std::vector<std::string> messages;
    bool lost = false;
    const auto onMessage = [&](std::string_view bytes) {
        if (!lost)
            messages.emplace_back(bytes);
    };
    const auto onLost = [&](const Problem& problem) {
        CheckWorded(problem);
        Check(problem.place.kind == PlaceKind::LengthPrefix || problem.place.kind == PlaceKind::Input);
        lost = true;
    };
    CStreamFramer framer(prefix);
    for (std::size_t at = 0; at < stream.size(); at += piece)
        framer.Feed(stream.substr(at, piece), onMessage, onLost);
    framer.End(onMessage, onLost);
    return messages;
}

// A stream cuts into the same messages whatever pieces it comes in, each
// with the size its prefix tells.
void CheckFramer(std::string_view input)
{
    for (LengthPrefix prefix : {LengthPrefix::None, LengthPrefix::Binary2, LengthPrefix::Ascii4})
    {
        const std::vector<std::string> whole = CutStream(prefix, input, input.size() + 1);
        Check(CutStream(prefix, input, 3) == whole);
        for (const std::string& message : whole)
        {
            std::size_t size = 0;
            Problem problem;
            Check(prefix == LengthPrefix::None ||
                  (FramedSize(prefix, message, size, problem) == Framed::Whole && size == message.size()));
        }
    }
}

void CheckWireForms(std::string_view input)
{
    std::string bytes;
    Problem problem;
    if (HexToBytes(input, bytes, problem))
        Check(2 * bytes.size() <= input.size());
    else
        Check(problem.place.kind == PlaceKind::Input && problem.offset <= input.size() && !English(problem).empty());
    for (WireForm form : {WireForm::Text, WireForm::Hex, WireForm::Binary})
    {
        std::string written, back;
        if (!BytesToWire(form, input, written, problem))
        {
            Check(form == WireForm::Text && input.find_first_of("\r\n") == problem.at && written.empty());
            continue;
        }
        Check(WireToBytes(form, written, back, problem) && back == input);
    }
}

// Strict reading stops at the first doubt of the reader, and only there;
// the doubts about TLV are warnings either way.
void CheckStrict(const MessageSpec& spec, std::string_view input, const Message& lax, bool laxRead,
                 const Problem& laxProblem, const Message& strict, bool strictRead, const Problem& strictProblem)
{
    CheckFields(spec, strict, input);
    CheckTlv(spec, strict);
    const std::vector<Problem> laxDoubts = ReaderDoubts(lax);
    Check(ReaderDoubts(strict).empty() && strict.fields.size() <= lax.fields.size());
    if (strictRead)
        Check(laxRead && laxDoubts.empty() && SameRead(lax, strict) && SameTlvDoubts(lax, strict));
    else
        Check(SameProblem(strictProblem, laxDoubts.empty() ? laxProblem : laxDoubts[0]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A view into libFuzzer's own buffer, which ends where the input ends,
    // so ASan sees any read past it.
    std::string_view input;
    const MessageSpec& spec = ChooseSpec(std::string_view(reinterpret_cast<const char*>(data), size), input);
    CheckFramedSize(input);
    CheckFramer(input);
    CheckWireForms(input);
    CheckJsonRead(spec, input);

    Message lax;
    Problem laxProblem;
    const bool laxRead = ReadMessage(spec, spec.framing, input, ReadOptions{false}, lax, laxProblem);
    if (!laxRead)
        CheckProblem(laxProblem, input);
    for (const Problem& warning : lax.warnings)
        CheckProblem(warning, input);
    CheckFields(spec, lax, input);
    CheckTlv(spec, lax);
    CheckJsonWritten(spec, lax, laxRead ? nullptr : &laxProblem);

    Message strict;
    Problem strictProblem;
    const bool strictRead = ReadMessage(spec, spec.framing, input, ReadOptions{true}, strict, strictProblem);
    CheckStrict(spec, input, lax, laxRead, laxProblem, strict, strictRead, strictProblem);

    std::size_t fieldsStart = 0;
    Message head;
    Problem headProblem;
    if (ReadHead(spec, spec.framing, input, ReadOptions{false}, head, headProblem, fieldsStart))
        Check(fieldsStart <= input.size() && (lax.fields.empty() || lax.fields[0].offset == fieldsStart));
    else
        Check(!laxRead && SameProblem(headProblem, laxProblem));

    if (!strictRead)
        return 0;
    const std::string rebuilt = CheckRoundTrip(spec, strict, input);
    if (strict.warnings.empty())
        CheckJsonRoundTrip(spec, strict, rebuilt);
    return 0;
}

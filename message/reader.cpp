#include "reader.h"

#include "field_codec.h"
#include "wire_form.h"

#include <cassert>

namespace message
{

namespace
{

// A place as the reader passes it around: a Place, with its strings, is
// made only for a problem.
struct At
{
    PlaceKind kind;
    std::uint32_t field = 0;
};

At FieldPlace(std::uint32_t number)
{
    return At{PlaceKind::Field, number};
}

class CReader
{
public:
    CReader(const MessageSpec& spec, std::string_view input, const ReadOptions& options, Message& message,
            Problem& problem)
        : m_spec(spec), m_input(input), m_options(options), m_message(message), m_problem(problem)
    {
    }

    bool ReadHead(const Framing& framing)
    {
        if (!ReadFraming(framing) || !ReadMti() || !ReadBitmap(At{PlaceKind::PrimaryBitmap}, 0))
            return false;
        if (m_message.BitSet(1) && !ReadBitmap(FieldPlace(1), 8))
            return false;
        return !(m_message.BitSet(65) && m_spec.HasTertiary()) || ReadBitmap(FieldPlace(65), 16);
    }

    std::size_t Position() const { return m_pos; }
    // Whether a field read holds BER-TLV.
    bool AnyTlv() const { return m_anyTlv; }

    bool Read(const Framing& framing)
    {
        if (!ReadHead(framing))
            return false;
        std::uint32_t lastRead = 0;
        // Only the set bits, byte by byte: most of a bitmap is clear.
        for (std::size_t byte = 0; byte < m_message.bitmapBytes; ++byte)
        {
            for (unsigned bits = m_message.bitmap[byte] & (byte == 0 ? 0x7FU : 0xFFU); bits != 0;)
            {
                unsigned bit = 0;
                while ((bits & (0x80U >> bit)) == 0)
                    ++bit;
                bits &= ~(0x80U >> bit);
                const auto number = static_cast<std::uint32_t>(8 * byte + bit + 1);
                if (m_spec.IsBitmap(number))
                    continue;
                if (!ReadField(number))
                    return false;
                lastRead = number;
            }
        }
        if (m_pos == m_input.size())
            return true;
        m_problem.left = m_input.size() - m_pos;
        return Fail(lastRead != 0 ? FieldPlace(lastRead) : At{PlaceKind::PrimaryBitmap}, ProblemKind::BytesLeft);
    }

private:
    // The figures are in m_problem already.
    bool Fail(At at, ProblemKind kind)
    {
        m_problem.place = Place(at.kind, at.field);
        m_problem.offset = m_pos;
        m_problem.kind = kind;
        return false;
    }

    // A doubt about a value: a warning, or under strict reading an error.
    bool Doubt(At at, std::size_t offset, Problem& doubt)
    {
        doubt.place = Place(at.kind, at.field);
        doubt.offset = offset;
        if (m_options.strict)
        {
            m_problem = std::move(doubt);
            return false;
        }
        m_message.warnings.push_back(std::move(doubt));
        doubt = Problem{};
        return true;
    }

    bool Need(At place, std::size_t bytes, ProblemKind kind = ProblemKind::EndsInside)
    {
        return m_input.size() - m_pos >= bytes || Short(place, bytes, kind);
    }

    // Out of the way of the loop that reads the fields.
#if defined(__GNUC__)
    __attribute__((noinline, cold))
#endif
    bool Short(At place, std::size_t bytes, ProblemKind kind)
    {
        m_problem.needed = bytes;
        m_problem.left = m_input.size() - m_pos;
        return Fail(place, kind);
    }

    bool ReadLength(LengthPrefix prefix)
    {
        const At place{PlaceKind::LengthPrefix};
        std::size_t size = 0;
        switch (FramedSize(prefix, m_input, size, m_problem))
        {
        case Framed::Bad:
            return false;
        case Framed::Short:
            return Need(place, LengthPrefixBytes(prefix));
        case Framed::Whole:
            break;
        }
        const std::size_t prefixBytes = LengthPrefixBytes(prefix);
        m_message.hasLengthPrefix = true;
        m_message.lengthPrefix = size - prefixBytes;
        m_pos = prefixBytes;
        if (size == m_input.size())
            return true;
        Problem doubt;
        doubt.kind = ProblemKind::LengthPrefixDisagrees;
        doubt.needed = size - prefixBytes;
        doubt.left = m_input.size() - prefixBytes;
        return Doubt(place, 0, doubt);
    }

    bool ReadFraming(const Framing& framing)
    {
        if (framing.lengthPrefix != LengthPrefix::None && !ReadLength(framing.lengthPrefix))
            return false;
        for (const HeaderPart& part : framing.header)
        {
            m_problem.found = part.name;
            if (!Need(At{PlaceKind::Header}, part.size))
                return false;
            m_problem.found.clear();
            m_message.header.push_back(HeaderValue{&part, m_input.substr(m_pos, part.size)});
            m_pos += part.size;
        }
        return true;
    }

    // The message type's value through its codec, without the doubt the
    // codec may have: the reader's own is that it is not 4 digits.
    std::string_view DecodeInPlace(const FieldFormat& format, std::string_view wire, Decoded& decoded)
    {
        if (IsValueInWire(format.encoding))
        {
            decoded = Decoded::Clean;
            return wire;
        }
        m_scratch.clear();
        decoded = DecodeValue(format, wire, format.size, m_scratch, m_doubt);
        if (decoded != Decoded::Clean)
            m_doubt = Problem{};
        return m_scratch;
    }

    bool ReadMti()
    {
        const At place{PlaceKind::Mti};
        const std::size_t bytes = ValueBytes(m_spec.mti, 4);
        if (!Need(place, bytes))
            return false;
        Decoded decoded = Decoded::Clean;
        const std::string_view mti = DecodeInPlace(m_spec.mti, m_input.substr(m_pos, bytes), decoded);
        mti.copy(m_message.mti, 4);
        m_message.hasMti = true;
        const std::size_t offset = m_pos;
        m_pos += bytes;
        for (char c : mti)
        {
            if (c < '0' || c > '9')
            {
                Problem doubt;
                doubt.kind = ProblemKind::NotFourDigits;
                doubt.found = std::string(mti);
                return Doubt(place, offset, doubt);
            }
        }
        return true;
    }

    bool ReadBitmap(At place, std::size_t at)
    {
        const std::size_t bytes = ValueBytes(m_spec.bitmap, 8);
        if (!Need(place, bytes))
            return false;
        Decoded decoded = Decoded::Clean;
        const std::string_view wire = m_input.substr(m_pos, bytes);
        const std::string_view bitmap = DecodeInPlace(m_spec.bitmap, wire, decoded);
        if (decoded == Decoded::Failed)
        {
            m_problem.found = std::string(wire);
            return Fail(place, ProblemKind::NotHexBitmap);
        }
        bitmap.copy(reinterpret_cast<char*>(m_message.bitmap + at), 8);
        m_message.bitmapBytes = at + 8;
        m_pos += bytes;
        return true;
    }

    bool ReadPrefix(At place, const FieldFormat& format, std::size_t& units)
    {
        const std::size_t prefixBytes = PrefixBytes(format);
        if (prefixBytes == 0)
            return true;
        if (!Need(place, prefixBytes, ProblemKind::EndsInsidePrefix))
            return false;
        if (!ReadLengthPrefix(format, m_input.substr(m_pos, prefixBytes), units, m_problem))
            return Fail(place, m_problem.kind);
        if (units > format.size)
        {
            m_problem.left = units;
            m_problem.needed = format.size;
            m_problem.format = DescribeFormat(format);
            return Fail(place, ProblemKind::LengthOverGreatest);
        }
        m_pos += prefixBytes;
        return true;
    }

    bool ReadField(std::uint32_t number)
    {
        const FieldFormat* format = m_spec.FormatOf(number);
        if (format == nullptr)
        {
            m_problem.expected = m_spec.name;
            return Fail(FieldPlace(number), ProblemKind::UndefinedBit);
        }
        const std::size_t start = m_pos;
        std::size_t units = format->size;
        m_anyTlv = m_anyTlv || format->tlv;
        if (!ReadPrefix(FieldPlace(number), *format, units))
            return false;
        const std::size_t bytes = ValueBytes(*format, units);
        if (!Need(FieldPlace(number), bytes, ProblemKind::EndsInsideValue))
            return false;
        const std::string_view wire = m_input.substr(m_pos, bytes);
        const bool inInput = IsValueInWire(format->encoding);
        const std::size_t valueStart = inInput ? m_pos : m_message.values.size();
        Decoded decoded = Decoded::Clean;
        if (inInput)
            decoded = ContentDoubt(format->content, wire, m_doubt) ? Decoded::Doubtful : Decoded::Clean;
        else if ((decoded = DecodeValue(*format, wire, units, m_message.values, m_doubt)) == Decoded::Failed)
        {
            m_problem = std::move(m_doubt);
            m_doubt = Problem{};
            return Fail(FieldPlace(number), m_problem.kind);
        }
        AddField(number, start, units, bytes, valueStart, inInput);
        const std::size_t valueOffset = m_pos;
        m_pos += bytes;
        if (decoded == Decoded::Clean)
            return true;
        m_doubt.format = DescribeFormat(*format);
        return Doubt(FieldPlace(number), valueOffset, m_doubt);
    }

    // The field whose value's bytes begin at m_pos.
    void AddField(std::uint32_t number, std::size_t start, std::size_t units, std::size_t bytes,
                  std::size_t valueStart, bool inInput)
    {
        // Member by member: a whole FieldValue made on the stack and copied
        // stalls on the copy's wide load.
        FieldValue& field = m_message.fields.emplace_back();
        field.number = number;
        field.offset = static_cast<std::uint32_t>(start);
        field.wireBytes = static_cast<std::uint32_t>(m_pos + bytes - start);
        field.length = static_cast<std::uint32_t>(units);
        field.valueStart = static_cast<std::uint32_t>(valueStart);
        field.valueSize = static_cast<std::uint32_t>(inInput ? bytes : m_message.values.size() - valueStart);
        field.inInput = inInput;
    }

    const MessageSpec& m_spec;
    std::string_view m_input;
    const ReadOptions& m_options;
    Message& m_message;
    Problem& m_problem;
    std::size_t m_pos = 0;
    bool m_anyTlv = false;
    Problem m_doubt; // filled only for a rare doubtful value: no strings made per field
    std::string m_scratch;
};

// The BER-TLV of every TLV field read; a malformed one is a warning even
// under strict reading: the field's bytes are sound, only their inner
// structure is not.
void ReadTlvFields(const MessageSpec& spec, Message& message)
{
    for (const FieldValue& field : message.fields)
    {
        const FieldFormat* format = spec.FormatOf(field.number);
        if (!format->tlv)
            continue;
        TlvField tlv{field.number, message.tlvNodes.size(), 0};
        Problem problem;
        const bool read = ReadTlv(message.Value(field), message.tlvNodes, problem);
        if (!read)
        {
            // Offsets from the first byte of the input, as every other problem's.
            const std::size_t unit = format->encoding == Encoding::Hex ? 2 : 1;
            problem.place = Place::OfField(field.number);
            problem.offset = field.offset + PrefixBytes(*format) + unit * problem.at;
            message.warnings.push_back(std::move(problem));
        }
        tlv.nodesEnd = message.tlvNodes.size();
        message.tlv.push_back(tlv);
    }
}

} // namespace

const FieldValue* Message::Find(std::uint32_t number) const
{
    for (const FieldValue& field : fields)
    {
        if (field.number == number)
            return &field;
        if (field.number > number)
            break;
    }
    return nullptr;
}

const TlvField* Message::FindTlv(std::uint32_t number) const
{
    for (const TlvField& field : tlv)
    {
        if (field.number == number)
            return &field;
    }
    return nullptr;
}

void Message::Clear()
{
    hasLengthPrefix = false;
    lengthPrefix = 0;
    header.clear();
    hasMti = false;
    bitmapBytes = 0;
    fields.clear();
    values.clear();
    input = {};
    warnings.clear();
    tlv.clear();
    tlvNodes.clear();
}

bool ReadMessage(const MessageSpec& spec, const Framing& framing, std::string_view input, const ReadOptions& options,
                 Message& message, Problem& problem)
{
    message.Clear();
    message.input = input;
    problem = Problem{};
    CReader reader(spec, input, options, message, problem);
    const bool read = reader.Read(framing);
    if (reader.AnyTlv())
        ReadTlvFields(spec, message);
    return read;
}

bool ReadHead(const MessageSpec& spec, const Framing& framing, std::string_view input, const ReadOptions& options,
              Message& message, Problem& problem, std::size_t& fieldsStart)
{
    message.Clear();
    message.input = input;
    problem = Problem{};
    CReader reader(spec, input, options, message, problem);
    const bool read = reader.ReadHead(framing);
    fieldsStart = reader.Position();
    return read;
}

bool ReadHexTypedHead(std::string_view bytes, const Framing& framing, Message& message, Problem& problem)
{
    static const MessageSpec kHead = [] {
        MessageSpec spec;
        spec.name = "decode";
        spec.mti = MessageSpec::MtiFormat(Encoding::Bcd);
        spec.bitmap = MessageSpec::BitmapFormat(Encoding::Binary);
        return spec;
    }();
    std::size_t fieldsStart = 0;
    return ReadHead(kHead, framing, bytes, ReadOptions{}, message, problem, fieldsStart);
}

} // namespace message

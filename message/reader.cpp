#include "reader.h"

#include "field_codec.h"

#include <cassert>

namespace message
{

namespace
{

std::string Bytes(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
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
        if (!ReadFraming(framing) || !ReadMti() || !ReadBitmap(kPrimaryBitmap, 0))
            return false;
        if (m_message.BitSet(1) && !ReadBitmap(1, 8))
            return false;
        return !(m_message.BitSet(65) && m_spec.HasTertiary()) || ReadBitmap(65, 16);
    }

    std::size_t Position() const { return m_pos; }

    bool Read(const Framing& framing)
    {
        if (!ReadHead(framing))
            return false;
        const bool tertiary = m_spec.HasTertiary();
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
                if (number == 65 && tertiary)
                    continue;
                const std::optional<FieldFormat>& format = m_spec.fields[number];
                if (!format || format->content == Content::Bitmap)
                    return Fail(static_cast<int>(number), "bit " + std::to_string(number) +
                                                              " is set, but the message specification " +
                                                              m_spec.name + " defines no field " + std::to_string(number));
                if (!ReadField(number, *format))
                    return false;
                lastRead = number;
            }
        }
        if (m_pos != m_input.size())
            return Fail(lastRead != 0 ? static_cast<int>(lastRead) : kPrimaryBitmap,
                        Bytes(m_input.size() - m_pos) + " left after the last field");
        return true;
    }

private:
    bool Fail(int place, std::string what)
    {
        m_problem.place = place;
        m_problem.offset = m_pos;
        m_problem.what = std::move(what);
        return false;
    }

    // A doubt about a value: a warning, or under strict reading an error.
    bool Doubt(int place, std::size_t offset, std::string what)
    {
        Problem problem{place, offset, std::move(what)};
        if (m_options.strict)
        {
            m_problem = std::move(problem);
            return false;
        }
        m_message.warnings.push_back(std::move(problem));
        return true;
    }

    bool Need(int place, std::size_t bytes, const char* whose)
    {
        return m_input.size() - m_pos >= bytes || Short(place, bytes, whose);
    }

    // Out of the way of the loop that reads the fields.
#if defined(__GNUC__)
    __attribute__((noinline, cold))
#endif
    bool Short(int place, std::size_t bytes, const char* whose)
    {
        return Fail(place, std::string("the message ends inside ") + whose + ": " + Bytes(bytes) + " needed, " +
                               std::to_string(m_input.size() - m_pos) + " left");
    }

    bool ReadFraming(const Framing& framing)
    {
        if (framing.lengthPrefix != LengthPrefix::None)
        {
            std::size_t size = 0;
            if (!FramedSize(framing.lengthPrefix, m_input, size, m_problem))
            {
                if (!m_problem.what.empty())
                    return false;
                return Need(kLengthPrefixPlace, LengthPrefixBytes(framing.lengthPrefix), "it");
            }
            const std::size_t prefixBytes = LengthPrefixBytes(framing.lengthPrefix);
            m_message.hasLengthPrefix = true;
            m_message.lengthPrefix = size - prefixBytes;
            m_pos = prefixBytes;
            if (size != m_input.size() &&
                !Doubt(kLengthPrefixPlace, 0,
                       "the length prefix says " + Bytes(size - prefixBytes) + " follow, but " +
                           std::to_string(m_input.size() - prefixBytes) + " do"))
                return false;
        }
        for (const HeaderPart& part : framing.header)
        {
            if (!Need(kHeaderPlace, part.size, ("its " + part.name).c_str()))
                return false;
            m_message.header.push_back(HeaderValue{&part, m_input.substr(m_pos, part.size)});
            m_pos += part.size;
        }
        return true;
    }

    bool ReadMti()
    {
        const std::size_t bytes = m_spec.mti == Encoding::Bcd ? 2 : 4;
        if (!Need(kMti, bytes, "it"))
            return false;
        const auto* p = reinterpret_cast<const unsigned char*>(m_input.data() + m_pos);
        for (std::size_t i = 0; i < 4; ++i)
        {
            unsigned char c = 0;
            if (m_spec.mti == Encoding::Bcd)
                c = HexDigit((i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2]) & 0x0FU);
            else
                c = m_spec.mti == Encoding::Ebcdic ? EbcdicToLatin1(p[i]) : p[i];
            m_message.mti[i] = static_cast<char>(c);
        }
        m_message.hasMti = true;
        const std::size_t offset = m_pos;
        m_pos += bytes;
        for (char c : m_message.mti)
        {
            if (c < '0' || c > '9')
                return Doubt(kMti, offset, Printable(std::string_view(m_message.mti, 4)) + " is not 4 digits");
        }
        return true;
    }

    bool ReadBitmap(int place, std::size_t at)
    {
        const bool hex = m_spec.bitmap == Encoding::Hex;
        if (!Need(place, hex ? 16 : 8, "it"))
            return false;
        if (hex)
        {
            for (std::size_t i = 0; i < 8; ++i)
            {
                const int high = HexValue(m_input[m_pos + 2 * i]);
                const int low = HexValue(m_input[m_pos + 2 * i + 1]);
                if (high < 0 || low < 0)
                    return Fail(place, Printable(m_input.substr(m_pos, 16)) + " is not 16 hex digits");
                m_message.bitmap[at + i] = static_cast<unsigned char>(high << 4 | low);
            }
        }
        else
        {
            for (std::size_t i = 0; i < 8; ++i)
                m_message.bitmap[at + i] = static_cast<unsigned char>(m_input[m_pos + i]);
        }
        m_message.bitmapBytes = at + 8;
        m_pos += hex ? 16 : 8;
        return true;
    }

    bool ReadField(std::uint32_t number, const FieldFormat& format)
    {
        const int place = static_cast<int>(number);
        const std::size_t start = m_pos;
        std::size_t units = format.size;
        const std::size_t prefixBytes = PrefixBytes(format);
        if (prefixBytes != 0)
        {
            if (!Need(place, prefixBytes, "the length prefix"))
                return false;
            if (!ReadLengthPrefix(format, m_input.substr(m_pos, prefixBytes), units, m_error))
                return Fail(place, m_error);
            if (units > format.size)
                return Fail(place, "length " + std::to_string(units) + " over the greatest, " +
                                       std::to_string(format.size) + " (" + DescribeFormat(format) + ")");
            m_pos += prefixBytes;
        }
        const std::size_t bytes = ValueBytes(format, units);
        if (!Need(place, bytes, "the field"))
            return false;
        std::string& doubt = m_doubt; // both stay empty but for a rare field: no string made per field
        doubt.clear();
        const std::string_view wire = m_input.substr(m_pos, bytes);
        const bool inInput = IsValueInWire(format.encoding);
        const std::size_t valueStart = inInput ? m_pos : m_message.values.size();
        if (inInput)
            doubt = ContentDoubt(format.content, wire);
        else if (!DecodeValue(format, wire, units, m_message.values, doubt, m_error))
            return Fail(place, m_error);
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
        const std::size_t valueOffset = m_pos;
        m_pos += bytes;
        if (!doubt.empty())
            return Doubt(place, valueOffset, doubt + " (" + DescribeFormat(format) + ")");
        return true;
    }

    const MessageSpec& m_spec;
    std::string_view m_input;
    const ReadOptions& m_options;
    Message& m_message;
    Problem& m_problem;
    std::size_t m_pos = 0;
    std::string m_doubt;
    std::string m_error;
};

} // namespace

std::string PlaceName(int place)
{
    switch (place)
    {
    case kMti:
        return "the message type";
    case 1:
        return "field 1 (the secondary bitmap)";
    case kPrimaryBitmap:
        return "the primary bitmap";
    case kLengthPrefixPlace:
        return "the length prefix";
    case kHeaderPlace:
        return "the header";
    case kInputPlace:
        return "the input";
    default:
        break;
    }
    return "field " + std::to_string(place);
}

std::string Problem::Text() const
{
    return PlaceName(place) + " at byte " + std::to_string(offset) + ": " + what;
}

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
}

bool ReadMessage(const MessageSpec& spec, const Framing& framing, std::string_view input, const ReadOptions& options,
                 Message& message, Problem& problem)
{
    message.Clear();
    message.input = input;
    problem = Problem{};
    return CReader(spec, input, options, message, problem).Read(framing);
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

bool HexDumpToBytes(std::string_view text, std::string& bytes, Problem& problem)
{
    bytes.clear();
    int high = -1;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (c == ' ' || c == '\t')
            continue;
        const int value = HexValue(c);
        if (value < 0)
        {
            problem = Problem{kInputPlace, i,
                              "a character other than hex digits and spaces, " + Printable(text.substr(i, 1)) +
                                  " at column " + std::to_string(i + 1)};
            return false;
        }
        if (high < 0)
        {
            high = value;
            continue;
        }
        bytes += static_cast<char>(high << 4 | value);
        high = -1;
    }
    if (high >= 0)
    {
        problem = Problem{kInputPlace, text.size(),
                          "an odd number of hex digits (" + std::to_string(bytes.size() * 2 + 1) + ")"};
        return false;
    }
    return true;
}

bool FramedSize(LengthPrefix prefix, std::string_view stream, std::size_t& size, Problem& problem)
{
    problem.what.clear();
    const std::size_t bytes = LengthPrefixBytes(prefix);
    if (stream.size() < bytes)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(stream.data());
    std::size_t length = 0;
    for (std::size_t i = 0; i < bytes; ++i)
    {
        if (prefix == LengthPrefix::Ascii4 && (p[i] < '0' || p[i] > '9'))
        {
            problem = Problem{kLengthPrefixPlace, 0,
                              "expected 4 ASCII digits, found " + Printable(stream.substr(0, bytes))};
            return false;
        }
        length = prefix == LengthPrefix::Ascii4 ? length * 10 + (p[i] - '0') : length << 8 | p[i];
    }
    size = bytes + length;
    return true;
}

} // namespace message

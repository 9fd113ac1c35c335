#include "tlv.h"

#include "hex_codec.h"

#include <cassert>
#include <string>
#include <utility>

namespace message
{

namespace
{

constexpr std::size_t kMaxTagBytes = 4;
constexpr std::size_t kMaxLengthBytes = 4;

bool IsPadding(unsigned char byte)
{
    return byte == 0x00 || byte == 0xFF;
}

bool HasMoreTagBytes(unsigned char first)
{
    return (first & 0x1F) == 0x1F;
}

bool Fail(Problem& problem, std::size_t offset, ProblemKind kind, std::size_t figure = 0)
{
    problem = Problem{};
    problem.offset = offset;
    problem.at = offset;
    problem.kind = kind;
    problem.needed = figure;
    return false;
}

// Reads the objects of one BER-TLV text, keeping a stack of the templates
// it is inside.
class CTlvReader
{
public:
    CTlvReader(std::string_view bytes, std::vector<TlvNode>& nodes, Problem& problem)
        : m_data(reinterpret_cast<const unsigned char*>(bytes.data())), m_size(bytes.size()), m_nodes(nodes),
          m_problem(problem)
    {
    }

    bool Read()
    {
        for (;;)
        {
            const std::size_t limit = m_depth == 0 ? m_size : m_ends[m_depth - 1];
            while (m_pos < limit && IsPadding(m_data[m_pos]))
                ++m_pos;
            if (m_pos < limit)
            {
                if (!ReadObject(limit))
                    return false;
                continue;
            }
            if (m_depth == 0)
                return true;
            --m_depth;
        }
    }

private:
    bool ReadTag(std::size_t start, std::size_t limit, std::uint32_t& tag)
    {
        const unsigned char first = m_data[m_pos++];
        tag = first;
        if (!HasMoreTagBytes(first))
            return true;
        unsigned char next;
        do
        {
            if (m_pos - start == kMaxTagBytes)
                return Fail(m_problem, start, ProblemKind::TlvTagTooLong);
            if (m_pos == limit)
                return Fail(m_problem, start, ProblemKind::TlvTruncatedTag);
            next = m_data[m_pos++];
            tag = tag << 8 | next;
        } while (next & 0x80);
        return true;
    }

    // A definite length: one byte up to 127, else 81-84 and that many bytes.
    bool ReadLength(std::size_t start, std::size_t limit, std::size_t& length)
    {
        if (m_pos == limit)
            return Fail(m_problem, start, ProblemKind::TlvTruncatedLength);
        const unsigned char lengthByte = m_data[m_pos++];
        length = lengthByte;
        if (lengthByte == 0x80)
            return Fail(m_problem, start, ProblemKind::TlvIndefiniteLength);
        if (lengthByte < 0x80)
            return true;
        const std::size_t count = lengthByte & 0x7F;
        if (count > kMaxLengthBytes)
            return Fail(m_problem, start, ProblemKind::TlvLengthTooLong, count);
        if (limit - m_pos < count)
            return Fail(m_problem, start, ProblemKind::TlvTruncatedLength);
        length = 0;
        for (std::size_t i = 0; i < count; ++i)
            length = length << 8 | m_data[m_pos++];
        return true;
    }

    bool ReadObject(std::size_t limit)
    {
        const std::size_t start = m_pos;
        std::uint32_t tag = 0;
        std::size_t length = 0;
        if (!ReadTag(start, limit, tag))
            return false;
        const auto tagBytes = static_cast<std::uint8_t>(m_pos - start);
        if (!ReadLength(start, limit, length))
            return false;
        if (length > limit - m_pos)
            return Fail(m_problem, start,
                        m_depth == 0 ? ProblemKind::TlvOverrunsField : ProblemKind::TlvOverrunsTemplate,
                        length - (limit - m_pos));
        const bool constructed = (m_data[start] & 0x20) != 0;
        if (constructed && m_depth == kMaxTlvDepth)
            return Fail(m_problem, start, ProblemKind::TlvTooDeep, kMaxTlvDepth);
        m_nodes.push_back(TlvNode{tag, tagBytes, m_depth, constructed, start, m_pos, length});
        if (constructed)
            m_ends[m_depth++] = m_pos + length;
        else
            m_pos += length;
        return true;
    }

    const unsigned char* m_data;
    const std::size_t m_size;
    std::vector<TlvNode>& m_nodes;
    Problem& m_problem;
    // m_ends[d] is where the open template of depth d ends, whose children
    // have depth d + 1; the text itself holds the objects of depth 0.
    std::size_t m_ends[kMaxTlvDepth] = {};
    std::uint8_t m_depth = 0;
    std::size_t m_pos = 0;
};

} // namespace

bool ReadTlv(std::string_view bytes, std::vector<TlvNode>& nodes, Problem& problem)
{
    return CTlvReader(bytes, nodes, problem).Read();
}

std::string TagText(std::uint32_t tag, std::uint8_t tagBytes)
{
    assert(tagBytes >= 1 && tagBytes <= kMaxTagBytes);
    std::string text(2u * tagBytes, '0');
    for (std::size_t i = text.size(); i > 0; tag >>= 4)
        text[--i] = HexDigit(tag & 0xF);
    return text;
}

std::string TagText(const TlvNode& node)
{
    return TagText(node.tag, node.tagBytes);
}

bool ParseTag(std::string_view hex, std::uint32_t& tag, std::uint8_t& tagBytes)
{
    if (hex.empty() || hex.size() % 2 != 0 || hex.size() > 2 * kMaxTagBytes)
        return false;
    const std::size_t count = hex.size() / 2;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
    {
        const int high = HexValue(hex[2 * i]);
        const int low = HexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        const auto byte = static_cast<unsigned char>(high << 4 | low);
        const bool last = i + 1 == count;
        if (i == 0 ? byte == 0 || HasMoreTagBytes(byte) == last : ((byte & 0x80) != 0) == last)
            return false;
        value = value << 8 | byte;
    }
    tag = value;
    tagBytes = static_cast<std::uint8_t>(count);
    return true;
}

void WriteTlv(std::uint32_t tag, std::uint8_t tagBytes, std::string_view value, std::string& out)
{
    assert(tagBytes >= 1 && tagBytes <= kMaxTagBytes);
    assert(tagBytes == kMaxTagBytes || tag >> (8 * tagBytes) == 0);
    assert(value.size() <= 0xFFFFFFFFu);
    for (std::size_t i = tagBytes; i > 0; --i)
        out.push_back(static_cast<char>(tag >> (8 * (i - 1))));
    const std::size_t length = value.size();
    if (length < 0x80)
    {
        out.push_back(static_cast<char>(length));
    }
    else
    {
        std::size_t count = 1;
        while (count < kMaxLengthBytes && length >> (8 * count) != 0)
            ++count;
        out.push_back(static_cast<char>(0x80 | count));
        for (std::size_t i = count; i > 0; --i)
            out.push_back(static_cast<char>(length >> (8 * (i - 1))));
    }
    out.append(value);
}

} // namespace message

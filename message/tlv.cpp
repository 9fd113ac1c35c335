#include "tlv.h"

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

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool Fail(TlvProblem& problem, std::size_t offset, std::string what)
{
    problem.offset = offset;
    problem.what = std::move(what);
    return false;
}

} // namespace

bool ReadTlv(std::string_view bytes, std::vector<TlvNode>& nodes, TlvProblem& problem)
{
    nodes.clear();
    problem = TlvProblem();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    // ends[d] is where the open template of depth d ends, whose children have
    // depth d + 1; the text itself holds the objects of depth 0.
    std::size_t ends[kMaxTlvDepth];
    std::uint8_t depth = 0;
    std::size_t pos = 0;
    for (;;)
    {
        const std::size_t limit = depth == 0 ? bytes.size() : ends[depth - 1];
        while (pos < limit && IsPadding(data[pos]))
            ++pos;
        if (pos == limit)
        {
            if (depth == 0)
                return true;
            --depth;
            continue;
        }

        const std::size_t start = pos;
        const unsigned char first = data[pos++];
        std::uint32_t tag = first;
        if (HasMoreTagBytes(first))
        {
            unsigned char next;
            do
            {
                if (pos - start == kMaxTagBytes)
                    return Fail(problem, start, "tag longer than 4 bytes");
                if (pos == limit)
                    return Fail(problem, start, "truncated tag");
                next = data[pos++];
                tag = tag << 8 | next;
            } while (next & 0x80);
        }
        const auto tagBytes = static_cast<std::uint8_t>(pos - start);

        if (pos == limit)
            return Fail(problem, start, "truncated length");
        const unsigned char lengthByte = data[pos++];
        std::size_t length = lengthByte;
        if (lengthByte == 0x80)
            return Fail(problem, start, "indefinite length");
        if (lengthByte > 0x80)
        {
            const std::size_t count = lengthByte & 0x7F;
            if (count > kMaxLengthBytes)
                return Fail(problem, start, "length of " + std::to_string(count) + " bytes, more than 4");
            if (limit - pos < count)
                return Fail(problem, start, "truncated length");
            length = 0;
            for (std::size_t i = 0; i < count; ++i)
                length = length << 8 | data[pos++];
        }
        if (length > limit - pos)
        {
            const std::size_t excess = length - (limit - pos);
            return Fail(problem, start,
                        std::string(depth == 0 ? "value overruns the field by " : "value overruns its template by ") +
                            std::to_string(excess) + (excess == 1 ? " byte" : " bytes"));
        }

        const bool constructed = (first & 0x20) != 0;
        nodes.push_back(TlvNode{tag, tagBytes, depth, constructed, start, pos, length});
        if (constructed)
        {
            if (depth == kMaxTlvDepth)
            {
                nodes.pop_back();
                return Fail(problem, start, "templates nested deeper than " + std::to_string(kMaxTlvDepth));
            }
            ends[depth++] = pos + length;
        }
        else
        {
            pos += length;
        }
    }
}

std::string TagText(std::uint32_t tag, std::uint8_t tagBytes)
{
    assert(tagBytes >= 1 && tagBytes <= kMaxTagBytes);
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text(2u * tagBytes, '0');
    for (std::size_t i = text.size(); i > 0; tag >>= 4)
        text[--i] = kDigits[tag & 0xF];
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
        const int high = HexDigitValue(hex[2 * i]);
        const int low = HexDigitValue(hex[2 * i + 1]);
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

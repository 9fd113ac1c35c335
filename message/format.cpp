#include "format.h"

namespace message
{

const char* ContentName(Content content)
{
    static const char* const kNames[] = {"n", "a", "an", "ans", "ns", "b", "z", "x+n", "bitmap"};
    return kNames[static_cast<int>(content)];
}

const char* EncodingName(Encoding encoding)
{
    static const char* const kNames[] = {"ascii", "ebcdic", "bcd", "binary", "hex"};
    return kNames[static_cast<int>(encoding)];
}

const char* LengthName(LengthKind kind)
{
    static const char* const kNames[] = {"fixed", "LL", "LLL", "LLLL"};
    return kNames[static_cast<int>(kind)];
}

std::string DescribeFormat(const FieldFormat& format)
{
    if (format.content == Content::Bitmap)
        return "b 8";
    std::string text = ContentName(format.content);
    const std::size_t digits = PrefixDigits(format.length);
    if (digits == 0)
        text += ' ';
    else
        text.append(digits, '.');
    text += std::to_string(format.size);
    if (digits != 0)
    {
        text += ' ';
        text += LengthName(format.length);
        text += "VAR";
    }
    if (format.tlv)
        text += " TLV";
    return text;
}

} // namespace message

#include "masking.h"

namespace message
{

namespace
{

constexpr char kMask = '*';
constexpr std::size_t kSchemeRuleMinimum = 12;
constexpr std::size_t kSchemeRuleHead = 6;
constexpr std::size_t kSchemeRuleTail = 4;

// Masks text[begin, end) except the head and tail that MaskPan shows.
bool MaskPanRange(std::string& text, std::size_t begin, std::size_t end)
{
    const std::size_t length = end - begin;
    std::size_t head = kSchemeRuleHead;
    std::size_t tail = kSchemeRuleTail;
    if (length < kSchemeRuleMinimum)
    {
        const std::size_t shown = length / 2;
        tail = shown / 2;
        head = shown - tail;
    }
    bool changed = false;
    for (std::size_t i = begin + head; i < end - tail; ++i)
    {
        changed |= text[i] != kMask;
        text[i] = kMask;
    }
    return changed;
}

// Masks text[begin, end) but the characters that are keep.
bool MaskRangeKeeping(std::string& text, std::size_t begin, std::size_t end, std::string_view keep)
{
    bool changed = false;
    for (std::size_t i = begin; i < end; ++i)
    {
        if (text[i] == kMask || keep.find(text[i]) != std::string_view::npos)
            continue;
        text[i] = kMask;
        changed = true;
    }
    return changed;
}

bool MaskWhole(std::string& text)
{
    return MaskRangeKeeping(text, 0, text.size(), {});
}

// The PAN from begin up to the first of separators, then everything after
// that separator masked but the later separators in keepAfter; the whole text
// masked when no separator follows.
bool MaskTrack(std::string& text, std::size_t begin, std::string_view separators, std::string_view keepAfter)
{
    const std::size_t separator = text.find_first_of(separators, begin);
    if (separator == std::string::npos)
        return MaskWhole(text);
    const bool panChanged = MaskPanRange(text, begin, separator);
    return MaskRangeKeeping(text, separator + 1, text.size(), keepAfter) || panChanged;
}

bool MaskTrack2(std::string& text)
{
    const std::size_t begin = !text.empty() && text[0] == ';' ? 1 : 0;
    return MaskTrack(text, begin, "=Dd", {});
}

bool MaskTrack1(std::string& text)
{
    std::size_t begin = !text.empty() && text[0] == '%' ? 1 : 0;
    if (begin < text.size() && text[begin] >= 'A' && text[begin] <= 'Z')
        ++begin;
    return MaskTrack(text, begin, "^", "^");
}

} // namespace

std::string MaskPan(std::string_view pan)
{
    std::string text(pan);
    MaskPanRange(text, 0, text.size());
    return text;
}

bool HoldsCardData(std::uint32_t field)
{
    return field == 2 || field == 34 || field == 35 || field == 45 || IsMaskedWhole(field);
}

bool IsMaskedWhole(std::uint32_t field)
{
    return field == 36 || field == 52;
}

bool MaskFieldText(std::uint32_t field, std::string& text)
{
    if (IsMaskedWhole(field))
        return MaskWhole(text);
    switch (field)
    {
    case 2:
    case 34:
        return MaskPanRange(text, 0, text.size());
    case 35:
        return MaskTrack2(text);
    case 45:
        return MaskTrack1(text);
    default:
        return false;
    }
}

bool IsSensitiveTag(std::uint32_t tag)
{
    switch (tag)
    {
    case 0x56:
    case 0x57:
    case 0x5A:
    case 0x9F1F:
    case 0x9F20:
    case 0x9F6B:
        return true;
    default:
        return false;
    }
}

} // namespace message

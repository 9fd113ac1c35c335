#include "iso_bitmap.h"

#include "hex_codec.h"

#include <array>
#include <stdexcept>

namespace
{

constexpr std::size_t kPrimaryBits = 64;
constexpr std::size_t kMaxBytes = 16;
constexpr std::size_t kMaxDigits = 2 * kMaxBytes;

constexpr unsigned Reverse(unsigned value, unsigned width)
{
    unsigned reversed = 0;
    for (unsigned bit = 0; bit < width; ++bit)
    {
        if (value & (1U << bit))
            reversed |= 1U << (width - 1 - bit);
    }
    return reversed;
}

// Byte values with their bit order reversed: the bitset counts from the least
// significant bit, the bitmap from the most significant bit of each byte.
constexpr std::array<unsigned char, 256> MakeReversedBytes()
{
    std::array<unsigned char, 256> table{};
    for (unsigned value = 0; value < 256; ++value)
        table[value] = static_cast<unsigned char>(Reverse(value, 8));
    return table;
}

constexpr std::array<unsigned char, 256> kReversed = MakeReversedBytes();

// Packs up to eight bytes into one bitset word, bit n of the bitmap landing
// at bit n - 1 of the word.
std::uint64_t PackWord(const unsigned char* bytes, std::size_t count)
{
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < count; ++i)
        word |= static_cast<std::uint64_t>(kReversed[bytes[i]]) << (8 * i);
    return word;
}

void UnpackWord(std::uint64_t word, unsigned char* out)
{
    for (std::size_t i = 0; i < 8; ++i)
        out[i] = kReversed[(word >> (8 * i)) & 0xFFU];
}

const std::bitset<128> kPrimaryMask{~0ULL};

// What the filter makes of each byte: a digit's four bits in bitset order
// (the bits it stands for, lowest-numbered first), and its kind.
constexpr unsigned kDigit = 0x10;
constexpr unsigned kOther = 0x20; // neither a digit nor a space
constexpr unsigned kHigh = 0x40;  // 0x80 and above: maybe a lead byte

constexpr std::array<unsigned char, 256> MakeByteClasses()
{
    std::array<unsigned char, 256> classes{};
    for (unsigned c = 0; c < 256; ++c)
    {
        const int value = HexValue(static_cast<char>(c));
        if (value >= 0)
            classes[c] = static_cast<unsigned char>(kDigit | Reverse(static_cast<unsigned>(value), 4));
        else
            classes[c] = static_cast<unsigned char>(c >= 0x80 ? kOther | kHigh : c == ' ' ? 0 : kOther);
    }
    return classes;
}

constexpr std::array<unsigned char, 256> kClass = MakeByteClasses();

constexpr std::uint64_t kTopBits = 0x8080808080808080ULL;
constexpr std::uint64_t kEachByte = 0x0101010101010101ULL;

// Eight bytes with p[i] in byte i of the result, whatever the machine's order.
std::uint64_t LoadBlock(const char* p)
{
    std::uint64_t block = 0;
    for (std::size_t i = 0; i < 8; ++i)
        block |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return block;
}

// For eight bytes below 0x80: the top bit of each byte that is at least c.
// No byte's sum carries into the next one.
std::uint64_t AtLeast(std::uint64_t block, unsigned char c)
{
    return (block + kEachByte * (0x80U - c)) & kTopBits;
}

// The top bit of each byte of an all-ASCII block that is a hex digit.
std::uint64_t HexDigitMask(std::uint64_t block)
{
    const std::uint64_t decimal = AtLeast(block, '0') & ~AtLeast(block, '9' + 1);
    const std::uint64_t lower = block | (kEachByte * 0x20U); // "A".."F" become "a".."f"
    const std::uint64_t letter = AtLeast(lower, 'a') & ~AtLeast(lower, 'f' + 1);
    return decimal | letter;
}

std::uint64_t SpaceMask(std::uint64_t block)
{
    return AtLeast(block, ' ') & ~AtLeast(block, ' ' + 1);
}

std::size_t CountMarked(std::uint64_t mask)
{
    return static_cast<std::size_t>((((mask >> 7) * kEachByte) >> 56) & 0xFFU);
}

std::size_t FirstMarked(std::uint64_t mask)
{
    std::size_t i = 0;
    while ((mask >> (8 * i + 7) & 1U) == 0)
        ++i;
    return i;
}

// Eight hex digits in bitset order: digit i's bits at 4i..4i + 3.
std::uint64_t DigitBits(std::uint64_t block)
{
    // A letter has bit 6 set and its low nibble one to six.
    std::uint64_t x = (block & (kEachByte * 0x0FU)) + ((block >> 6) & kEachByte) * 9;
    x = (x | (x >> 4)) & 0x00FF00FF00FF00FFULL;
    x = (x | (x >> 8)) & 0x0000FFFF0000FFFFULL;
    x = (x | (x >> 16)) & 0xFFFFFFFFULL;
    x = ((x >> 1) & 0x55555555ULL) | ((x & 0x55555555ULL) << 1);
    return ((x >> 2) & 0x33333333ULL) | ((x & 0x33333333ULL) << 2);
}

// The 128 bits of the first 32 digits, built as the digits come.
struct CDigitWords
{
    std::uint64_t low = 0;
    std::uint64_t high = 0;

    void PutDigit(std::uint64_t bits, std::size_t index)
    {
        if (index < 16)
            low |= bits << (4 * index);
        else if (index < kMaxDigits)
            high |= bits << (4 * (index - 16));
    }

    // The digits among eight bytes, one by one from index on; returns the
    // index after them.
    std::size_t PutDigits(const char* p, std::size_t index)
    {
        for (std::size_t i = 0; i < 8; ++i)
        {
            const unsigned c = kClass[static_cast<unsigned char>(p[i])];
            if (c & kDigit)
                PutDigit(c & 15U, index++);
        }
        return index;
    }

    // Eight digits from index on, which is at most 24.
    void PutBlock(std::uint64_t bits, std::size_t index)
    {
        const std::size_t shift = 4 * index;
        if (shift < 64)
        {
            low |= bits << shift;
            if (shift > 32)
                high |= bits >> (64 - shift);
        }
        else
        {
            high |= bits << (shift - 64);
        }
    }
};

// The index of the lowest set bit of a word that is not zero: one
// instruction where the compiler offers it, a De Bruijn lookup elsewhere.
#if defined(__GNUC__)
std::uint32_t LowestBit(std::uint64_t word)
{
    return static_cast<std::uint32_t>(__builtin_ctzll(word));
}
#else
constexpr std::uint64_t kDeBruijn = 0x03F79D71B4CB0A89ULL;

constexpr std::array<unsigned char, 64> MakeLowestBitIndex()
{
    std::array<unsigned char, 64> table{};
    for (unsigned bit = 0; bit < 64; ++bit)
        table[((1ULL << bit) * kDeBruijn) >> 58] = static_cast<unsigned char>(bit);
    return table;
}

constexpr std::array<unsigned char, 64> kLowestBitIndex = MakeLowestBitIndex();

std::uint32_t LowestBit(std::uint64_t word)
{
    return kLowestBitIndex[((word & (~word + 1)) * kDeBruijn) >> 58];
}
#endif

} // namespace

bool CIsoBitmap::IsGbkLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

bool CIsoBitmap::NoLeadByte(unsigned char)
{
    return false;
}

CIsoBitmap::CIsoBitmap()
    : m_extended(false), m_autoFirst(false), m_bitCount(64)
{
}

CIsoBitmap::~CIsoBitmap() = default;

std::size_t CIsoBitmap::Position(std::uint32_t bit)
{
    if (bit == 0 || bit > 128)
        throw std::out_of_range("invalid bitset<N> position");
    return bit - 1;
}

void CIsoBitmap::SetLength(bool extended)
{
    m_extended = extended;
    m_bitCount = extended ? 128 : 64;
}

bool CIsoBitmap::Test(std::uint32_t bit) const
{
    return m_bits.test(Position(bit));
}

void CIsoBitmap::Set(std::uint32_t bit)
{
    m_bits.set(Position(bit));
}

void CIsoBitmap::Reset(std::uint32_t bit)
{
    m_bits.reset(Position(bit));
    if (bit == 1)
        ClearSecondary();
}

void CIsoBitmap::Clear()
{
    m_bits.reset();
    SetLength(false);
}

void CIsoBitmap::ClearSecondary()
{
    SetLength(false);
    m_autoFirst = false;
    m_bits &= kPrimaryMask;
}

void CIsoBitmap::Normalize()
{
    SetLength(false);
    if ((m_bits >> kPrimaryBits).none())
        return;
    SetLength(true);
    if (m_autoFirst)
        m_bits.set(0);
}

std::int32_t CIsoBitmap::BitCount() const
{
    return m_bitCount;
}

std::int32_t CIsoBitmap::FromBytes(std::string bytes, bool autoFirst)
{
    // Bytes beyond the sixteenth are ignored.
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t count = bytes.size() < kMaxBytes ? bytes.size() : kMaxBytes;
    const std::size_t primary = count < 8 ? count : 8;
    return Load(PackWord(data, primary), PackWord(data + primary, count - primary), autoFirst);
}

std::int32_t CIsoBitmap::Load(std::uint64_t low, std::uint64_t high, bool autoFirst)
{
    // Bit 1 gives the length; bits 65..128 load whether or not it announces them.
    SetLength((low & 1U) != 0);
    m_autoFirst = autoFirst;
    m_bits = (std::bitset<128>(high) << kPrimaryBits) | std::bitset<128>(low);
    if (autoFirst && high != 0 && !m_extended)
    {
        SetLength(true);
        m_bits.set(0);
    }
    return m_bitCount;
}

std::int32_t CIsoBitmap::FromHex(const std::string& text, bool autoFirst, LeadByteRule isLeadByte, TextShape* shape)
{
    // The digits go straight into the bitset's words: the first 32 count, and
    // a missing last digit of a pair is a 0, which is the padding. Without a
    // shape to fill in, the reading stops at the 32nd digit.
    CDigitWords words;
    std::size_t count = 0;
    std::size_t firstOther = std::string::npos;
    const char* const begin = text.data();
    const char* p = begin;
    const char* const end = p + text.size();
    while (p < end && (shape != nullptr || count < kMaxDigits))
    {
        if (end - p >= 8)
        {
            const std::uint64_t block = LoadBlock(p);
            if ((block & kTopBits) == 0)
            {
                const std::uint64_t digits = HexDigitMask(block);
                const std::uint64_t others = kTopBits & ~(digits | SpaceMask(block));
                if (others != 0 && firstOther == std::string::npos)
                    firstOther = static_cast<std::size_t>(p - begin) + FirstMarked(others);
                if (digits == kTopBits && count + 8 <= kMaxDigits)
                {
                    words.PutBlock(DigitBits(block), count);
                    count += 8;
                }
                else if (digits != 0 && count < kMaxDigits)
                {
                    count = words.PutDigits(p, count);
                }
                else
                {
                    count += CountMarked(digits);
                }
                p += 8;
                continue;
            }
        }
        const auto byte = static_cast<unsigned char>(*p);
        const unsigned c = kClass[byte];
        if ((c & kOther) && firstOther == std::string::npos)
            firstOther = static_cast<std::size_t>(p - begin);
        ++p;
        if (c & kDigit)
            words.PutDigit(c & 15U, count++);
        else if ((c & kHigh) && isLeadByte(byte) && p < end)
            ++p; // a lead byte takes its trail byte with it
    }
    if (shape != nullptr)
    {
        shape->digits = count;
        shape->firstOther = firstOther;
        shape->firstBit = (words.low & 1U) != 0;
    }
    return Load(words.low, words.high, autoFirst);
}

std::string CIsoBitmap::HexDigits(const std::string& text, LeadByteRule isLeadByte)
{
    std::string digits;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (kClass[byte] & kDigit)
            digits += text[i];
        else if ((kClass[byte] & kHigh) && isLeadByte(byte))
            ++i;
    }
    return digits;
}

bool CIsoBitmap::IsHexDigit(char c)
{
    return (kClass[static_cast<unsigned char>(c)] & kDigit) != 0;
}

std::size_t CIsoBitmap::Render(unsigned char* bytes)
{
    Normalize();
    UnpackWord((m_bits & kPrimaryMask).to_ullong(), bytes);
    if (!m_extended)
        return 8;
    UnpackWord((m_bits >> kPrimaryBits).to_ullong(), bytes + 8);
    return kMaxBytes;
}

std::string CIsoBitmap::ToBytes()
{
    unsigned char bytes[kMaxBytes];
    const std::size_t count = Render(bytes);
    // Within the buffer's capacity after the first rendering: no allocation.
    m_rendering.assign(reinterpret_cast<const char*>(bytes), count);
    return m_rendering;
}

std::size_t CIsoBitmap::ToHexInto(char* hex)
{
    unsigned char bytes[kMaxBytes];
    const std::size_t count = Render(bytes);
    CHexCodec::EncodeInto(bytes, count, hex);
    return 2 * count;
}

std::string CIsoBitmap::ToHex()
{
    char hex[kMaxDigits];
    return std::string(hex, ToHexInto(hex));
}

std::size_t CIsoBitmap::SetBits(std::uint32_t* bits) const
{
    std::size_t count = 0;
    const std::uint64_t words[2] = {(m_bits & kPrimaryMask).to_ullong(), (m_bits >> kPrimaryBits).to_ullong()};
    for (std::uint32_t k = 0; k < 2; ++k)
    {
        for (std::uint64_t word = words[k]; word != 0; word &= word - 1)
            bits[count++] = 64 * k + 1 + LowestBit(word);
    }
    return count;
}

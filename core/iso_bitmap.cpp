#include "iso_bitmap.h"

#include "hex_codec.h"

#include <array>
#include <stdexcept>

namespace
{

constexpr std::size_t kPrimaryBits = 64;
constexpr std::size_t kMaxBytes = 16;

// Byte values with their bit order reversed: the bitset counts from the least
// significant bit, the bitmap from the most significant bit of each byte.
constexpr std::array<unsigned char, 256> MakeReversedBytes()
{
    std::array<unsigned char, 256> table{};
    for (unsigned value = 0; value < 256; ++value)
    {
        unsigned reversed = 0;
        for (unsigned bit = 0; bit < 8; ++bit)
        {
            if (value & (1U << bit))
                reversed |= 0x80U >> bit;
        }
        table[value] = static_cast<unsigned char>(reversed);
    }
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

void UnpackWord(std::uint64_t word, char* out)
{
    for (std::size_t i = 0; i < 8; ++i)
        out[i] = static_cast<char>(kReversed[(word >> (8 * i)) & 0xFFU]);
}

const std::bitset<128> kPrimaryMask{~0ULL};

constexpr std::array<bool, 128> MakeHexDigits()
{
    std::array<bool, 128> digits{};
    for (unsigned c = 0; c < 128; ++c)
        digits[c] = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    return digits;
}

constexpr std::array<bool, 128> kIsHexDigit = MakeHexDigits();

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
    return Load(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), autoFirst);
}

std::int32_t CIsoBitmap::Load(const unsigned char* bytes, std::size_t count, bool autoFirst)
{
    SetLength(count > 0 && (bytes[0] & 0x80U));
    m_autoFirst = autoFirst;

    // Bits 65..128 load whether or not bit 1 announces them.
    if (count > kMaxBytes)
        count = kMaxBytes;
    const std::size_t primary = count < 8 ? count : 8;
    const std::uint64_t low = PackWord(bytes, primary);
    const std::uint64_t high = PackWord(bytes + primary, count - primary);
    m_bits = (std::bitset<128>(high) << kPrimaryBits) | std::bitset<128>(low);

    if (autoFirst && high != 0 && !m_extended)
    {
        SetLength(true);
        m_bits.set(0);
    }
    return m_bitCount;
}

std::int32_t CIsoBitmap::FromHex(const std::string& text, bool autoFirst, LeadByteRule isLeadByte)
{
    // Only the first 32 digits reach the bitmap, and an odd count is padded
    // after the last one, so 32 digits are all the filter needs to keep. The
    // buffer has room for one more block of eight.
    constexpr std::size_t kDigits = 2 * kMaxBytes;
    char digits[kDigits + 8];
    std::size_t count = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end && count < kDigits)
    {
        // Eight plain ASCII bytes at a time: each is written, and kept if it
        // is a digit.
        if (end - p >= 8)
        {
            const std::uint64_t block = LoadBlock(p);
            if ((block & kTopBits) == 0)
            {
                const std::uint64_t keep = HexDigitMask(block);
                for (std::size_t i = 0; i < 8; ++i)
                {
                    digits[count] = p[i];
                    count += (keep >> (8 * i + 7)) & 1U;
                }
                p += 8;
                continue;
            }
        }
        const auto byte = static_cast<unsigned char>(*p++);
        if (byte < 0x80)
        {
            digits[count] = static_cast<char>(byte);
            count += kIsHexDigit[byte];
        }
        else if (isLeadByte(byte) && p < end)
        {
            // A lead byte takes its trail byte with it. No code page has an
            // ASCII lead byte, so only bytes of 0x80 and above go to the rule.
            ++p;
        }
    }
    if (count > kDigits)
        count = kDigits;
    if (count % 2 != 0)
        digits[count++] = '0';

    unsigned char bytes[kMaxBytes];
    return Load(bytes, CHexCodec::DecodeInto(digits, count, bytes), autoFirst);
}

void CIsoBitmap::Render()
{
    Normalize();
    // Every byte is written below; only the length needs setting.
    const std::size_t length = m_extended ? 16 : 8;
    if (m_rendering.size() != length)
        m_rendering.assign(length, '\0');
    UnpackWord((m_bits & kPrimaryMask).to_ullong(), &m_rendering[0]);
    if (m_extended)
        UnpackWord((m_bits >> kPrimaryBits).to_ullong(), &m_rendering[8]);
}

std::string CIsoBitmap::ToBytes()
{
    Render();
    return m_rendering;
}

std::string CIsoBitmap::ToHex()
{
    Render();
    std::string hex(2 * m_rendering.size(), '\0');
    CHexCodec::EncodeInto(reinterpret_cast<const unsigned char*>(m_rendering.data()),
                          m_rendering.size(), &hex[0]);
    return hex;
}

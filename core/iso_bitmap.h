#pragma once

#include <bitset>
#include <cstdint>
#include <string>

// One ISO 8583 bitmap of up to 128 bits. Bit n (1..128) sits at position
// n - 1; in a byte string it is mask 0x80 >> ((n - 1) % 8) of byte (n - 1) / 8,
// so bit 1, the "secondary bitmap follows" bit, is the top bit of byte 0.
class CIsoBitmap
{
public:
    // Tells whether a byte opens a double-byte character of the text's code
    // page; such a character is dropped whole when filtering hex text.
    using LeadByteRule = bool (*)(unsigned char byte);

    static bool IsGbkLeadByte(unsigned char byte);
    static bool NoLeadByte(unsigned char byte);

    CIsoBitmap();
    virtual ~CIsoBitmap();

    // Bit numbers outside 1..128 throw std::out_of_range and change nothing.
    bool Test(std::uint32_t bit) const;
    void Set(std::uint32_t bit);
    void Reset(std::uint32_t bit); // clearing bit 1 also drops the secondary bitmap

    void Clear();          // all bits; keeps the stored auto-first rule
    void ClearSecondary(); // bits 65..128, both flags
    void Normalize();      // length from bits 65..128 alone
    std::int32_t BitCount() const;

    std::int32_t FromBytes(std::string bytes, bool autoFirst);
    std::int32_t FromHex(const std::string& text, bool autoFirst,
                         LeadByteRule isLeadByte = IsGbkLeadByte);
    std::string ToBytes();
    std::string ToHex();

    bool IsExtended() const { return m_extended; }
    bool IsAutoFirst() const { return m_autoFirst; }

private:
    static std::size_t Position(std::uint32_t bit);
    void SetLength(bool extended);
    std::int32_t Load(const unsigned char* bytes, std::size_t count, bool autoFirst);
    void Render();

    std::bitset<128> m_bits;
    bool m_extended;
    bool m_autoFirst;
    std::int32_t m_bitCount;
    std::string m_rendering; // scratch buffer of the last ToBytes
};

#pragma once

#include <bitset>
#include <cstddef>
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

    // What the filter of a hex text met besides the digits it loads, for
    // callers that tell a clean bitmap from a forgiven one.
    struct TextShape
    {
        std::size_t digits = 0;                   // every hex digit, those past the 32nd too
        std::size_t firstOther = std::string::npos; // offset of the first byte neither digit nor space
        bool firstBit = false;                    // bit 1 as the text has it, before the auto-first rule
    };

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
    std::int32_t FromHex(const std::string& text, bool autoFirst, LeadByteRule isLeadByte = IsGbkLeadByte,
                         TextShape* shape = nullptr);
    std::string ToBytes();
    std::string ToHex();

    // ToHex into a caller's buffer of 32 characters, without allocating;
    // returns the count written, 16 or 32.
    std::size_t ToHexInto(char* hex);

    // The numbers of the set bits in ascending order, into a buffer of 128;
    // returns their count. After a rendering these are the rendered bits.
    std::size_t SetBits(std::uint32_t* bits) const;

    // Every hex digit of a text in order, as FromHex's filter keeps them,
    // before any padding or cut at 32.
    static std::string HexDigits(const std::string& text, LeadByteRule isLeadByte = IsGbkLeadByte);
    // A character the filter keeps: 0-9, A-F, a-f.
    static bool IsHexDigit(char c);

    bool IsExtended() const { return m_extended; }
    bool IsAutoFirst() const { return m_autoFirst; }

private:
    static std::size_t Position(std::uint32_t bit);
    void SetLength(bool extended);
    std::int32_t Load(std::uint64_t low, std::uint64_t high, bool autoFirst);
    // Normalizes, then writes the 8 or 16 bytes of the bitmap; returns their count.
    std::size_t Render(unsigned char* bytes);

    std::bitset<128> m_bits;
    bool m_extended;
    bool m_autoFirst;
    std::int32_t m_bitCount;
    std::string m_rendering; // scratch buffer of the last ToBytes
};

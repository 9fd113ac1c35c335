#pragma once

#include <cstddef>
#include <string>

// Converts between pairs of hexadecimal digits and raw bytes. It validates
// nothing: the caller filters its input down to digits and evens the length.
class CHexCodec
{
public:
    CHexCodec() = default;
    virtual ~CHexCodec() = default;

    // Two digits make one byte. An odd trailing digit counts as its high
    // nibble; a character that is not a digit yields some byte, but nothing
    // beyond the input is ever read.
    std::string HexToBytes(std::string hex);

    // Every byte (zero bytes included) becomes two upper-case digits.
    std::string BytesToHex(std::string bytes);

    // The same conversions over caller-owned buffers, for callers on a hot
    // path that keep their data on the stack. DecodeInto writes
    // (length + 1) / 2 bytes and returns that count; EncodeInto writes
    // 2 * count characters.
    static std::size_t DecodeInto(const char* hex, std::size_t length, unsigned char* bytes);
    static void EncodeInto(const unsigned char* bytes, std::size_t count, char* hex);
};

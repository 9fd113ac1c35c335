#pragma once

// The codec of one field: reads its length prefix and value from the wire
// and writes them back, by its format.

#include "format.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace message
{

// By table and inline: hex dumps and hex fields ask it of every character.
extern const signed char kHexValues[256];

// 0-15 for a hex digit of either case, -1 for any other character.
inline int HexValue(char c)
{
    return kHexValues[static_cast<unsigned char>(c)];
}
// The upper-case hex digit of 0-15.
char HexDigit(unsigned value);
// A text in double quotes with bytes outside printable ASCII as \xNN, cut
// after a few dozen characters: for messages about bad input.
std::string Printable(std::string_view text);

// The length a prefix of PrefixBytes(format) bytes tells, or false with the
// reason ("expected 2 ASCII digits, found \"1A\"").
bool ReadLengthPrefix(const FieldFormat& format, std::string_view wire, std::size_t& units, std::string& error);

// A doubt about a decoded value: the first character its content does not
// allow ("\"00A000\" is not n: \"A\" at character 3"), or empty.
std::string ContentDoubt(Content content, std::string_view value);

// Whether a value's wire bytes are the value itself (ASCII text, raw b), to
// be read in place rather than decoded.
inline bool IsValueInWire(Encoding encoding)
{
    return encoding == Encoding::Ascii || encoding == Encoding::Binary;
}

// Decodes ValueBytes(format, units) bytes of wire, in an encoding that is
// not IsValueInWire, into value (appended): characters, or raw bytes for b
// and bitmaps. A content check that fails
// leaves a doubt (the value is still decoded); a value that cannot be
// decoded at all (hex text that is not hex) is an error.
bool DecodeValue(const FieldFormat& format, std::string_view wire, std::size_t units, std::string& value,
                 std::string& doubt, std::string& error);

// Appends the length prefix and the encoded value, the inverse of the two
// above. The value must fit: its length within the format, every character
// allowed (the checks are errors here), a fixed value of the fixed length
// unless pad, which fills it the ISO way (n right-justified with zeros, text
// left-justified with spaces, b with zero bytes). On an error nothing is
// appended and error tells what was wrong ("3 digits, the format is n 12").
bool EncodeField(const FieldFormat& format, std::string_view value, bool pad, std::string& out, std::string& error);

// The length of a decoded value in the unit of its content: characters,
// digits (the sign of x+n not counted) or bytes.
std::size_t ValueUnits(const FieldFormat& format, std::string_view value);

} // namespace message

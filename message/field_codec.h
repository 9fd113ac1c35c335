#pragma once

// The codec of one field, the message type and the bitmaps among them:
// reads its length prefix and value from the wire and writes them back, by
// its format. Problems carry the kind and figures; the caller adds the place.

#include "format.h"
#include "problem.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace message
{

// The length a prefix of PrefixBytes(format) bytes tells, or false with why.
bool ReadLengthPrefix(const FieldFormat& format, std::string_view wire, std::size_t& units, Problem& problem);
// Appends the prefix of a value of units, as ReadLengthPrefix reads it.
void WriteLengthPrefix(const FieldFormat& format, std::size_t units, std::string& out);

// Whether a value's wire bytes are the value itself (ASCII text, raw b), to
// be read in place rather than decoded.
inline bool IsValueInWire(Encoding encoding)
{
    return encoding == Encoding::Ascii || encoding == Encoding::Binary;
}

enum class Decoded
{
    Clean,
    Doubtful, // decoded, but the content does not allow all of it: a warning
    Failed,   // cannot be decoded at all (hex text that is not hex)
};

// Decodes ValueBytes(format, units) bytes of wire, in an encoding that is
// not IsValueInWire, into value (appended): characters, or raw bytes for b
// and bitmaps. For Doubtful and Failed, problem tells why.
Decoded DecodeValue(const FieldFormat& format, std::string_view wire, std::size_t units, std::string& value,
                    Problem& problem);

// The first character of a value its content does not allow, as a doubt;
// false when there is none.
bool ContentDoubt(Content content, std::string_view value, Problem& problem);

// Appends the length prefix and the encoded value, the inverse of the two
// above. The value must fit: its length within the format, every character
// allowed (the checks are errors here), a fixed value of the fixed length
// unless pad, which fills it the ISO way (n right-justified with zeros, text
// left-justified with spaces, b with zero bytes). On an error nothing is
// appended and problem tells what was wrong ("3 digits, the format is n 12").
bool EncodeField(const FieldFormat& format, std::string_view value, bool pad, std::string& out, Problem& problem);

// The length of a decoded value in the unit of its content: characters,
// digits (the sign of x+n not counted) or bytes.
std::size_t ValueUnits(const FieldFormat& format, std::string_view value);

} // namespace message

#pragma once

// A message specification: plain data that says how every part of a message
// is written, from the framing before the message type to field 192.

#include "format.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace message
{

constexpr std::uint32_t kLastField = 192;

// A length before each message, counting the bytes after itself.
enum class LengthPrefix : std::uint8_t
{
    None,
    Binary2, // 2 bytes, big-endian
    Binary4, // 4 bytes, big-endian
    Ascii4,  // 4 ASCII digits
};

std::size_t LengthPrefixBytes(LengthPrefix prefix);

// Bytes between the length prefix and the message type, shown as hex: a TPDU,
// a network header.
struct HeaderPart
{
    std::string name;
    std::size_t size = 0;
};

struct Framing
{
    LengthPrefix lengthPrefix = LengthPrefix::None;
    std::vector<HeaderPart> header;

    std::size_t HeaderBytes() const;
};

// How a person pastes such a message: the characters themselves, a hex dump
// of the bytes, or the raw bytes.
enum class InputForm : std::uint8_t
{
    Text,
    Hex,
    Binary,
};

// A field's names where a message specification names it otherwise than
// ISO 8583:1987 does; an empty one leaves the 1987 name.
struct FieldNames
{
    std::string english;
    std::string chinese;
};

struct MessageSpec
{
    std::string name;
    Encoding mti = Encoding::Ascii;    // Ascii, Ebcdic or Bcd: 4 digits
    Encoding bitmap = Encoding::Hex;   // Hex (16 characters) or Binary (8 bytes), for each bitmap
    Framing framing;
    InputForm input = InputForm::Hex;  // the usual form of its messages
    // Indexed by field number. Field 1 is the secondary bitmap; field 65
    // announces a tertiary bitmap (fields 129-192) when its content is Bitmap.
    std::array<std::optional<FieldFormat>, kLastField + 1> fields;
    std::array<FieldNames, kLastField + 1> names;

    bool HasTertiary() const { return fields[65] && fields[65]->content == Content::Bitmap; }
};

// iso87ascii, iso87binary, iso87ebcdic, cup; nullptr for any other name.
const MessageSpec* FindBuiltinSpec(std::string_view name);
const std::vector<std::string>& BuiltinSpecNames();

} // namespace message

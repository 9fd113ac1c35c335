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
// "none", "2", "4" or "a4" as a length prefix; false for any other name.
bool LengthPrefixNamed(std::string_view name, LengthPrefix& prefix);

// Bytes between the length prefix and the message type, shown as hex: a TPDU,
// a network header.
struct HeaderPart
{
    std::string name;
    std::size_t size = 0;
};

// Letters, digits and _: a header part's name is also an output's key.
bool IsPartName(std::string_view name);

struct Framing
{
    LengthPrefix lengthPrefix = LengthPrefix::None;
    std::vector<HeaderPart> header;

    std::size_t HeaderBytes() const;
};

// How a message is written as text or bytes: its characters, hex digits
// (spaces and tabs ignored), a hex dump with offsets as tools print it, or
// the raw bytes.
enum class WireForm : std::uint8_t
{
    Text,
    Hex,
    Dump,
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
    FieldFormat mti = MtiFormat(Encoding::Ascii); // n 4, in Ascii, Ebcdic or Bcd
    FieldFormat bitmap = BitmapFormat(Encoding::Hex); // every bitmap: Hex (16 characters) or Binary (8 bytes)
    bool tertiary = true; // a set bit 65 announces a tertiary bitmap (fields 129-192), not field 65
    Framing framing;
    WireForm input = WireForm::Hex; // the usual form of its messages
    // Indexed by field number; the bitmaps (1, and 65 when tertiary) are not
    // among them: FormatOf gives every one.
    std::array<std::optional<FieldFormat>, kLastField + 1> fields;
    std::array<FieldNames, kLastField + 1> names;

    bool HasTertiary() const { return tertiary; }
    bool IsBitmap(std::uint32_t number) const { return number == 1 || (number == 65 && tertiary); }
    // The format of field number, the bitmaps' too; null where it has none.
    const FieldFormat* FormatOf(std::uint32_t number) const
    {
        if (IsBitmap(number))
            return &bitmap;
        return number <= kLastField && fields[number] ? &*fields[number] : nullptr;
    }

    static FieldFormat MtiFormat(Encoding encoding);
    static FieldFormat BitmapFormat(Encoding encoding);
};

// iso87ascii, iso87binary, iso87ebcdic, cup; nullptr for any other name.
const MessageSpec* FindBuiltinSpec(std::string_view name);
const std::vector<std::string>& BuiltinSpecNames();
// "iso87ascii, iso87binary, iso87ebcdic, cup": for problems and usage errors.
std::string BuiltinSpecList();

} // namespace message

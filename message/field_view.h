#pragma once

// A field as a person sees it: its names, its value shown as text or hex
// with card data masked, and the way back from a shown value to the value.

#include "reader.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace message
{

enum class Language
{
    English,
    Chinese, // UTF-8
};

// The name the message specification gives the field, else its ISO
// 8583:1987 name; "" for a field above 128 that it does not name.
const char* FieldName(const MessageSpec& spec, Language language, std::uint32_t number);
// An EMV tag's name, or "" when it is unknown.
const char* TagName(Language language, std::uint32_t tag);

// b fields and bitmaps are shown as hex, every other field as its text.
bool IsShownAsHex(const FieldFormat& format);

struct ViewOptions
{
    bool unmask = false;
    bool escape = false; // control bytes, DEL and \ of a text as \xNN, so a value keeps to its line
};

// Appends the field's value as shown, card data masked (in b fields the
// values of the card-data TLV tags too) unless unmask. Returns whether
// anything was masked.
bool AppendShownValue(const MessageSpec& spec, const Message& message, const FieldValue& field,
                      const ViewOptions& options, std::string& out);

// Appends a text with control bytes, DEL and \ as \xNN, so it keeps to its line.
void AppendShownText(std::string_view text, std::string& out);

// The first primitive object of tag in a TLV field, or null.
const TlvNode* FindTag(const Message& message, const FieldValue& field, std::uint32_t tag);

// Appends a primitive TLV object's value as shown: hex, or a '*' for each
// digit of a card-data tag unless unmask.
void AppendShownTag(const Message& message, const FieldValue& field, const TlvNode& node, bool unmask,
                    std::string& out);

// The inverse of a shown value: the bytes of hex for b fields, the text
// itself otherwise (format null: a field the message specification lacks).
bool ValueFromShown(const FieldFormat* format, std::string_view shown, std::string& value, Problem& problem);

// A part of a message by the name a person gives it: mti, bitmap, length, a
// header part's name, a field number, or FIELD.TAG for a tag of a TLV field.
struct MessagePart
{
    enum Kind
    {
        Mti,
        Bitmap,
        Length,
        Header,
        Field,
        Tag,
    } kind = Field;
    std::string name; // a header part's
    std::uint32_t field = 0;
    std::uint32_t tag = 0;
    std::uint8_t tagBytes = 0;
};

// "mti", "11", "55.9F26", "tpdu" into a part; false with the problem.
bool ParseMessagePart(std::string_view text, MessagePart& part, Problem& problem);

// Appends the part as shown, nothing when the message lacks it: a text
// escaped to keep to its line, hex for bytes, card data masked unless unmask.
void AppendPart(const MessageSpec& spec, const Message& message, const MessagePart& part, bool unmask,
                std::string& out);

// The bytes of the bitmaps read, for showing them as hex.
inline std::string_view BitmapBytes(const Message& message)
{
    return std::string_view(reinterpret_cast<const char*>(message.bitmap), message.bitmapBytes);
}

} // namespace message

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
// itself otherwise (format null: a field the specification lacks).
bool ValueFromShown(const FieldFormat* format, std::string_view shown, std::string& value, Problem& problem);

// The bytes of the bitmaps read, for showing them as hex.
inline std::string_view BitmapBytes(const Message& message)
{
    return std::string_view(reinterpret_cast<const char*>(message.bitmap), message.bitmapBytes);
}

} // namespace message

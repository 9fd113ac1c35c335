#pragma once

// A bitmap read from text as the window's edit box holds it, forgiving what
// the window forgives and saying what it forgave; and a bitmap from bit
// numbers. What was odd comes back as values, so that orvane-cli words them
// in English and the window in Chinese.

#include "iso_bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How a text writes the bitmap.
enum class BitmapTextForm
{
    Hex,       // hex digits, the window's rules
    AsciiHex,  // the hex of each digit's ASCII code: "37323338" for "7238"
    EbcdicHex, // the hex of each digit's EBCDIC code: "F7F2F3F8"
};

// What was odd about a bitmap text, with the figures each kind fills in.
enum class BitmapTextWarningKind
{
    OtherCharacters,       // layer, found and column of the first; word and wordColumn of a word of 16 or 32 digits
    ZeroXPrefix,           // a leading 0x, whose 0 counts as a digit
    DigitCount,            // count: the hex digits, other than 16 or 32
    SecondaryNotAnnounced, // 32 digits with bit 1 clear
    SecondaryMissing,      // 16 digits with bit 1 set
    OddEncodedDigits,      // the last encoded digit is dropped
    NotEbcdicDigit,        // found: the two digits, as written, of the first byte dropped
};

// The text that other characters were found in.
enum class BitmapTextLayer
{
    Given,   // the text itself, in the hex form
    Encoded, // the ASCII or EBCDIC hex text as given
    Decoded, // the characters that text decodes to
};

struct BitmapTextWarning
{
    BitmapTextWarningKind kind = BitmapTextWarningKind::OtherCharacters;
    BitmapTextLayer layer = BitmapTextLayer::Given;
    std::size_t column = 0; // 1-based, in bytes
    std::size_t count = 0;
    std::string found;
    std::string word; // empty when no word looks like the bitmap
    std::size_t wordColumn = 0;
};

using BitmapTextWarnings = std::vector<BitmapTextWarning>;

struct BitmapTextOptions
{
    BitmapTextForm form = BitmapTextForm::Hex;
    bool autoFirst = false; // the window's "set bit 1 automatically" check box
    CIsoBitmap::LeadByteRule leadByte = CIsoBitmap::NoLeadByte;
};

// Clears the bitmap and loads it from the text as the window's bitmap button
// does. Appends to warnings what was odd; a clean bitmap (16 hex digits with
// bit 1 clear, or 32 with it set, and nothing else but spaces) adds none and
// takes the fast road.
void ReadBitmapText(const std::string& text, const BitmapTextOptions& options, CIsoBitmap& bitmap,
                    BitmapTextWarnings& warnings);

// The bytes of a whole message written as text in one of the forms: its hex
// digits in pairs, a last odd digit belonging to no byte. Warns about other
// characters and the encoding as ReadBitmapText does.
void MessageBytesFromText(const std::string& text, const BitmapTextOptions& options, std::string& bytes,
                          BitmapTextWarnings& warnings);

// A warning in English, as orvane-cli prints it, and in Chinese (UTF-8), as
// the window shows it.
std::string WarningText(const BitmapTextWarning& warning);
std::string WarningTextZh(const BitmapTextWarning& warning);

enum class BitNumberStatus
{
    Ok,
    OutOfRange,
    NotANumber,
};

// A bit number: decimal digits, optionally after a minus sign; Ok for 1..128.
BitNumberStatus ParseBitNumber(std::string_view text, std::uint32_t& bit);

struct BitNumberError
{
    std::size_t position = 0; // 1-based among the numbers
    BitNumberStatus status = BitNumberStatus::NotANumber;
    std::string text;
};

// Clears the bitmap, keeps autoFirst as the rule its rendering applies, and
// sets the bit of every number. Each bad number gets an error; returns
// whether none was bad, for a bitmap that lacks a bit asked for is no answer.
bool BitmapFromNumbers(const std::vector<std::string>& numbers, bool autoFirst, CIsoBitmap& bitmap,
                       std::vector<BitNumberError>& errors);

// "argument 2 ("x"): not a bit number", and the same in Chinese.
std::string BitNumberErrorText(const BitNumberError& error);
std::string BitNumberErrorTextZh(const BitNumberError& error);

#pragma once

// The work of orvane-cli on one input, free of I/O: one text (or one raw
// bitmap) in; one line of output (or one JSON object) and the message for
// standard error out.

#include "input.h"
#include "iso_bitmap.h"
#include "reader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli
{

// How the input writes a bitmap.
enum class Encoding
{
    Hex,       // hex digits, the window's rules
    AsciiHex,  // the hex of each digit's ASCII code: "37323338" for "7238"
    EbcdicHex, // the hex of each digit's EBCDIC code: "F7F2F3F8"
    Binary,    // raw bytes, 8 or 16 by bit 1
};

// Names of the data elements: none, or in a language.
enum class Names
{
    None,
    English,
    Chinese,
};

struct DecodeOptions
{
    Names names = Names::None;  // the name of every set bit
    bool json = false;          // one JSON object per input
    bool autoFirst = false;     // the window's "set bit 1 automatically" check box
    bool strict = false;        // an input that is not a clean bitmap is an error
    bool message = false;       // each input is a whole message: header, MTI, bitmaps
    std::size_t header = 0;     // bytes before the MTI of a message
    Encoding from = Encoding::Hex;
    std::string separator = " "; // between bit numbers in text output
    CIsoBitmap::LeadByteRule leadByte = CIsoBitmap::NoLeadByte;
};

// Decodes inputs the way the window's bitmap button does. Like the window it
// keeps one bitmap model and clears it before each load.
class CDecoder
{
public:
    explicit CDecoder(const DecodeOptions& options);

    // Appends exactly one line (or JSON object) for the input to out. For any
    // verdict but Clean, message gets the text for standard error, without
    // the program's name and the newline: "warning: line 3: ..." or
    // "line 3: ...".
    Verdict Decode(const std::string& text, const InputPlace& place, std::string& out, std::string& message);
    Verdict DecodeBytes(const std::string& bytes, const InputPlace& place, std::string& out, std::string& message);

    // An input that never reached the decoder (a line too long to hold, a
    // raw bitmap cut short): its error line.
    void Reject(const InputPlace& place, const std::string& reason, std::string& out, std::string& message);

    // A warning about the next input that only its caller can see.
    void NoteNextInput(const std::string& warning) { m_notes.push_back(warning); }

    const DecodeOptions& Options() const { return m_options; }
    void SetLeadByteRule(CIsoBitmap::LeadByteRule rule) { m_options.leadByte = rule; }

private:
    Verdict Finish(const InputPlace& place, const char* mti, std::string& out, std::string& message);
    Verdict Fail(const InputPlace& place, const std::string& reason, std::string& out, std::string& message);
    bool ReadMessage(const std::string& text, std::string& mti, std::string& error);
    void CheckBitmapText(const std::string& text, const CIsoBitmap::TextShape& shape);

public:
    // A bit number with the separator before it, for one four-byte copy.
    struct SeparatedNumber
    {
        char text[4];
        unsigned char length;
    };
    using SeparatedNumbers = std::array<SeparatedNumber, 129>;

private:
    DecodeOptions m_options;
    SeparatedNumbers m_numbers; // with the text separator, when it is one character
    CIsoBitmap m_bitmap;
    message::Message m_head; // of the last --message input
    std::vector<std::string> m_notes;
    std::vector<std::string> m_warnings;
};

// A bit number argument: decimal digits, optionally after a minus sign.
enum class BitNumberStatus
{
    Ok,
    OutOfRange,
    NotANumber,
};

BitNumberStatus ParseBitNumber(const std::string& text, std::uint32_t& bit);

struct EncodeOptions
{
    bool autoFirst = false; // set bit 1 when any of bits 65..128 is set
    bool display = false;   // grouped as the window's edit box shows it
};

// The hex text, and a newline, of a bitmap with the given bits set, rendered
// by the core. Each bad number gets a message in errors ("argument N ...",
// counting the numbers from 1) and then nothing is written: a script must
// not capture a bitmap that lacks a bit it asked for.
bool EncodeBits(const std::vector<std::string>& numbers, const EncodeOptions& options, std::string& out,
                std::vector<std::string>& errors);

// A printable rendering of a user's text for messages: ASCII as is, other
// bytes as \xNN, cut short after a few dozen characters.
std::string Quote(const std::string& text);

// "file.txt line 3", "argument 2", "message 5": an input's place in messages.
std::string PlaceText(const InputPlace& place);
// A JSON string of any bytes: UTF-8 passes, other bytes become the code
// points of their values, so the output is valid JSON whatever the input.
void AppendJsonString(const char* text, std::size_t size, std::string& out);
void AppendJsonString(const std::string& text, std::string& out);
// A JSON string of a byte string: every byte over 7F is the code point of its
// value (\u0080-\u00ff), so a reader gets each byte back as it was.
void AppendJsonBytes(std::string_view bytes, std::string& out);
// {"input":N,"source":...[,"file":...] without the closing brace.
void AppendJsonStart(const InputPlace& place, std::string& out);

// Removes the terminal's colour and cursor codes (ESC [ ... final byte) that
// coloured logs carry: their numbers are no digits of a bitmap. Returns
// whether any was found.
bool RemoveTerminalCodes(std::string& text);

} // namespace cli

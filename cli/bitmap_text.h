#pragma once

// The work of orvane-cli on one input, free of I/O: one text in, the output
// text (or one JSON line) and the message for standard error out.

#include "iso_bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cli
{

// Where an input came from, for messages and for the JSON "input" member:
// the 1-based number of a line of standard input or of a TEXT argument.
enum class InputKind
{
    Line,
    Argument,
};

struct InputPlace
{
    InputKind kind;
    std::uint64_t number;
};

struct DecodeOptions
{
    bool names = false;      // one line (or JSON array entry) per set bit with its name
    bool json = false;       // one JSON object per input
    bool autoFirst = false;  // the window's "set bit 1 automatically" check box
    CIsoBitmap::LeadByteRule leadByte = CIsoBitmap::NoLeadByte;
};

// Decodes texts the way the window's bitmap button does. Like the window it
// keeps one bitmap model and clears it before each load.
class CDecoder
{
public:
    explicit CDecoder(const DecodeOptions& options) : m_options(options) {}

    // Appends the result of one text to out. Returns false for a bad input
    // (an empty text, which the window refuses too) and puts the message for
    // standard error, without the program name and newline, into error; in
    // JSON mode out still gets an object with an "error" member, so every
    // input has its line of output.
    bool Decode(const std::string& text, const InputPlace& place, std::string& out, std::string& error);

    const DecodeOptions& Options() const { return m_options; }

private:
    DecodeOptions m_options;
    CIsoBitmap m_bitmap;
};

// One text with a decoder of its own.
bool DecodeText(const std::string& text, const InputPlace& place, const DecodeOptions& options,
                std::string& out, std::string& error);

// Appends the output of an input that never reached the decoder (a line
// too long to hold): nothing in plain mode, an error object in JSON mode.
// Returns the message for standard error.
std::string RejectInput(const InputPlace& place, const std::string& reason, const DecodeOptions& options,
                        std::string& out);

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
// by the core. Bad numbers are left out and get one message each in errors
// ("argument N ...", counting the numbers from 1); returns false if any.
bool EncodeBits(const std::vector<std::string>& numbers, const EncodeOptions& options,
                std::string& out, std::vector<std::string>& errors);

// A printable rendering of a user's argument for messages: ASCII as is,
// other bytes as \xNN, cut short after a few dozen characters.
std::string Quote(const std::string& text);

} // namespace cli

#pragma once

// The printers of orvane-cli decode and encode, free of I/O: one text (or
// one raw bitmap) in, read by the core's rules; one line of output (or one
// JSON object) and the diagnostic for standard error out.

#include "bitmap_text.h"
#include "output.h"
#include "sources.h"
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
    Dump,      // whole messages as hex dumps with offsets, as tools print them
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
    // verdict but Clean, diagnostic gets the text for standard error, without
    // the program's name and the newline: "warning: line 3: ..." or
    // "line 3: ...".
    Verdict Decode(const std::string& text, const InputPlace& place, std::string& out, std::string& diagnostic);
    Verdict DecodeBytes(const std::string& bytes, const InputPlace& place, std::string& out, std::string& diagnostic);
    // The bytes of a whole message (--message), as a hex dump gives them.
    Verdict DecodeMessage(std::string_view bytes, const InputPlace& place, std::string& out, std::string& diagnostic);

    // An input that never reached the decoder (a line too long to hold, a
    // raw bitmap cut short): its error line.
    void Reject(const InputPlace& place, const std::string& reason, std::string& out, std::string& diagnostic);

    // A warning about the next input that only its caller can see.
    void NoteNextInput(const std::string& warning) { m_notes.push_back(warning); }

    const DecodeOptions& Options() const { return m_options; }
    void SetLeadByteRule(CIsoBitmap::LeadByteRule rule) { m_options.leadByte = m_textOptions.leadByte = rule; }

private:
    Verdict Finish(const InputPlace& place, const char* mti, std::string& out, std::string& diagnostic);
    Verdict FinishMessage(const InputPlace& place, std::string& out, std::string& diagnostic);
    Verdict Fail(const InputPlace& place, const std::string& reason, std::string& out, std::string& diagnostic);
    void ReadText(const std::string& text);
    bool ReadMessage(std::string& mti, std::string& error);

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
    BitmapTextOptions m_textOptions;
    SeparatedNumbers m_numbers; // with the text separator, when it is one character
    CIsoBitmap m_bitmap;
    BitmapTextWarnings m_textWarnings; // of the text being read, in the core's terms; empty between inputs
    std::string m_messageBytes;        // of the last --message text
    message::Framing m_headFraming; // --header's bytes before the message type
    message::Message m_head;        // of the last --message input
    std::vector<std::string> m_notes;
    std::vector<std::string> m_warnings;
};

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

} // namespace cli

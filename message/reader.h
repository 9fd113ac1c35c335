#pragma once

// Reading a whole message by its specification: the framing, the message
// type, the bitmaps, then every present field in ascending order.

#include "spec.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace message
{

// Places that are no data element, for problems and outputs.
enum Place : int
{
    kMti = 0,
    // 1 is the secondary bitmap, 65 the tertiary; fields keep their numbers.
    kPrimaryBitmap = 1000,
    kLengthPrefixPlace,
    kHeaderPlace,
    kInputPlace, // the input as a whole, before any part of it is read
};

// "field 4", "the message type", "the primary bitmap", "field 1 (the secondary bitmap)".
std::string PlaceName(int place);

// A reason to refuse or doubt a message: where, and what was expected and found.
struct Problem
{
    int place = kInputPlace;
    std::size_t offset = 0; // from the first byte of the input
    std::string what;

    // "field 4 at byte 23: ..."
    std::string Text() const;
};

struct FieldValue
{
    std::uint32_t number;
    std::uint32_t offset;     // of its first byte, length prefix included
    std::uint32_t wireBytes;  // length prefix included
    std::uint32_t length;     // in the unit of its content
    std::uint32_t valueStart; // into the input when inInput, into Message::values otherwise
    std::uint32_t valueSize;
    bool inInput; // a value whose wire bytes are the value (ASCII text, raw b) is not copied
};

struct HeaderValue
{
    const HeaderPart* part;
    std::string_view bytes; // into the input
};

struct Message
{
    bool hasLengthPrefix = false;
    std::size_t lengthPrefix = 0; // its value
    std::vector<HeaderValue> header;
    char mti[4] = {};
    bool hasMti = false;
    unsigned char bitmap[24] = {};
    std::size_t bitmapBytes = 0; // 8, 16 or 24 once read
    std::vector<FieldValue> fields; // in ascending order
    std::string values;             // the values decoded from another form (BCD, EBCDIC, hex text)
    std::string_view input;         // what was read: the header and values in place point into it
    std::vector<Problem> warnings;

    // Characters, or raw bytes for b fields.
    std::string_view Value(const FieldValue& field) const
    {
        return (field.inInput ? input : std::string_view(values)).substr(field.valueStart, field.valueSize);
    }
    const FieldValue* Find(std::uint32_t number) const;
    bool BitSet(std::uint32_t number) const
    {
        return number >= 1 && number <= bitmapBytes * 8 && (bitmap[(number - 1) / 8] & (0x80U >> ((number - 1) % 8))) != 0;
    }
    void Clear();
};

struct ReadOptions
{
    bool strict = false; // content checks are errors, not warnings
};

// Reads input into message, reusing its buffers. On a failure returns false
// with the problem; message keeps every part and field read before it. The
// message points into input: keep it while the message is used.
bool ReadMessage(const MessageSpec& spec, const Framing& framing, std::string_view input, const ReadOptions& options,
                 Message& message, Problem& problem);

// Reads only the framing, the message type and the bitmaps, as ReadMessage
// does; fieldsStart is the offset where the first field would begin.
bool ReadHead(const MessageSpec& spec, const Framing& framing, std::string_view input, const ReadOptions& options,
              Message& message, Problem& problem, std::size_t& fieldsStart);

// The bytes of a hex dump: pairs of hex digits, spaces and tabs between them
// ignored. False for any other character (problem names its 1-based column)
// or an odd count of digits.
bool HexDumpToBytes(std::string_view text, std::string& bytes, Problem& problem);

// The total size of the next framed message at the front of a stream, prefix
// included. False while fewer bytes than the prefix are there (problem.what
// empty), or when the prefix is not a number (problem set).
bool FramedSize(LengthPrefix prefix, std::string_view stream, std::size_t& size, Problem& problem);

} // namespace message

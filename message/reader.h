#pragma once

// Reading a whole message by its specification: the framing, the message
// type, the bitmaps, then every present field in ascending order.

#include "problem.h"
#include "spec.h"
#include "tlv.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace message
{

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

// The BER-TLV objects of a field whose format says it holds TLV. A malformed
// one keeps the objects before the fault, and the message a warning.
struct TlvField
{
    std::uint32_t number;
    std::size_t nodesStart, nodesEnd; // into Message::tlvNodes
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
    std::vector<Problem> warnings;  // the reader's doubts, then those of the TLV fields
    std::vector<TlvField> tlv;      // the TLV fields read, in order
    std::vector<TlvNode> tlvNodes;  // theirs, one field's after another's


    // Characters, or raw bytes for b fields.
    std::string_view Value(const FieldValue& field) const
    {
        return (field.inInput ? input : std::string_view(values)).substr(field.valueStart, field.valueSize);
    }
    const FieldValue* Find(std::uint32_t number) const;
    const TlvField* FindTlv(std::uint32_t number) const;
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

// Reads input into message, reusing its buffers, and the BER-TLV of its TLV
// fields. On a failure returns false with the problem; message keeps every
// part and field read before it. The message points into input: keep it
// while the message is used.
bool ReadMessage(const MessageSpec& spec, const Framing& framing, std::string_view input, const ReadOptions& options,
                 Message& message, Problem& problem);

// Reads only the framing, the message type and the bitmaps, as ReadMessage
// does; fieldsStart is the offset where the first field would begin.
bool ReadHead(const MessageSpec& spec, const Framing& framing, std::string_view input, const ReadOptions& options,
              Message& message, Problem& problem, std::size_t& fieldsStart);

// The head of a message typed as hex digits, as decode --message takes it:
// the framing's header, the message type's 4 digits (2 bytes, BCD) and the
// bitmaps as bytes; what follows is not read. The message points into
// framing too: keep it while the message is used.
bool ReadHexTypedHead(std::string_view bytes, const Framing& framing, Message& message, Problem& problem);

} // namespace message

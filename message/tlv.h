#pragma once

// BER-TLV as EMV chip data uses it (field 55 and the templates inside it).

#include "problem.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace message
{

struct TlvNode
{
    std::uint32_t tag;       // the tag's bytes big-endian: 0x9F26, 0x5F2A, 0x95, 0xDF8101
    std::uint8_t tagBytes;   // 1..4
    std::uint8_t depth;      // 0 at the top level, 1 inside a constructed object, ...
    bool constructed;        // bit 0x20 of the first tag byte; only these are read inside
    std::size_t offset;      // of the tag's first byte, from the start of the whole TLV text
    std::size_t valueOffset;
    std::size_t valueLength;
};

// Templates nest two or three deep in practice; the bound keeps the reader's
// stack of open templates fixed-size whatever the input.
constexpr std::uint8_t kMaxTlvDepth = 16;

// Reads every object, constructed ones recursively, skipping 00 and FF padding
// bytes between objects (never inside a tag or length), so a tag whose first
// byte is FF cannot be read. nodes gets them appended in document
// order, a parent before its children; duplicates keep their order. Stops at
// the first malformed object: nodes keep what was read before it, problem tells
// why, its offset and at where the object starts, and the result is false. Primitive values are never read
// as TLV. Long-form lengths of up to 4 bytes are accepted; 80 (indefinite) is an
// error, as EMV never uses it.
bool ReadTlv(std::string_view bytes, std::vector<TlvNode>& nodes, Problem& problem);

// Upper-case hex of the tag's bytes: "9F26".
std::string TagText(std::uint32_t tag, std::uint8_t tagBytes);
std::string TagText(const TlvNode& node);

// Parses "9F26" (either case) into tag and tagBytes; false if it is not a
// well-formed tag of 1..4 bytes (first byte 00, continuation bits that end the
// tag early or late, an odd digit count, a character that is not a hex digit).
bool ParseTag(std::string_view hex, std::uint32_t& tag, std::uint8_t& tagBytes);

// Appends the tag, the shortest definite length (one byte up to 127, then
// 81 xx, 82 xx xx, 83 xx xx xx, 84 xx xx xx xx) and the value.
void WriteTlv(std::uint32_t tag, std::uint8_t tagBytes, std::string_view value, std::string& out);

} // namespace message

#pragma once

// Names of the EMV tags that field 55 and its issuer responses carry.

#include <cstdint>

namespace message
{

struct EmvTag
{
    std::uint32_t tag;   // the tag's bytes big-endian, as TlvNode::tag
    const char* english;
    const char* chinese; // UTF-8
    const char* format;  // EMV letters and length in digits or bytes: "b", "n 12", "an 8", "cn"
};

// Tags that schemes define differently (9F53, 9F5D, 9F63, 9F6E, 9F7C ...) name
// every common meaning, the scheme of each in brackets, since the tag alone
// cannot tell which one a message means. nullptr when the tag is unknown.
const EmvTag* FindEmvTag(std::uint32_t tag);

} // namespace message

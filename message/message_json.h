#pragma once

// A message as one JSON object, both ways: the members parse --json writes
// and build reads. Values are byte strings: a byte over 7F is written as the
// code point of its value (\u0080-\u00ff), so every byte comes back as it was.

#include "build_input.h"
#include "field_view.h"

#include <string>
#include <string_view>

namespace message
{

// A JSON string of any text: UTF-8 passes, other bytes become the code
// points of their values, so the output is valid JSON whatever the input.
void AppendJsonString(std::string_view text, std::string& out);
// A JSON string of a byte string: every byte over 7F is the code point of
// its value, so a reader gets each byte back as it was.
void AppendJsonBytes(std::string_view bytes, std::string& out);

// Appends the members of a message after those saying where it came from,
// each with its leading comma, without the closing brace: error (when the
// message could not be read whole), length, the header parts by name, mti,
// bitmap, fields, tlv, masked, warnings.
void AppendMessageJson(const MessageSpec& spec, const Message& message, const Problem* error, bool unmask,
                       std::string& out);

// Reads a JSON object as AppendMessageJson writes it (unmasked) into values;
// false with the problem when it is no such object.
bool ReadMessageJson(std::string_view line, CBuildValues& values, Problem& problem);

} // namespace message

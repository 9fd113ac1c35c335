#pragma once

// Building a whole message from its fields: the bitmaps, every length
// prefix and BCD pad follow from the fields and the message specification.

#include "problem.h"
#include "spec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace message
{

struct FieldInput
{
    std::uint32_t number;
    std::string value; // as read: characters, or raw bytes for b fields
};

struct BuildInput
{
    std::string mti;                 // 4 digits
    std::vector<std::string> header; // the bytes of each header part of the framing
    std::vector<FieldInput> fields;  // any order; each number at most once
};

struct BuildOptions
{
    bool pad = false; // fill short fixed fields the ISO way
};

// Appends the message to out. On an error appends nothing; problem names
// the field and what was wrong.
bool BuildMessage(const MessageSpec& spec, const Framing& framing, const BuildInput& input, const BuildOptions& options,
                  std::string& out, Problem& problem);

} // namespace message

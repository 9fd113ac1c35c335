#pragma once

// orvane-cli build on one input: NAME=VALUE pairs, or a JSON object as
// parse --json --unmask writes it, in; the message in the chosen wire form,
// or the reason there is none, out.

#include "build_input.h"

#include <string>
#include <string_view>
#include <vector>

namespace cli
{

using message::NamedValue;

struct MessageBuildOptions
{
    message::WireForm to = message::WireForm::Text; // the message's characters, hex, or raw bytes
    message::Framing framing;                       // the message specification's, or as the options replace it
    bool fixedHeader = false;                       // every message gets header, whatever its input gives
    std::string header;                             // those bytes
    bool pad = false;
};

class CMessageBuilder
{
public:
    CMessageBuilder(const message::MessageSpec& spec, const MessageBuildOptions& options);

    // Each appends the message and its line end (none for raw bytes) to out,
    // or nothing: then error says why, naming the field.
    bool BuildValues(const std::vector<NamedValue>& values, std::string& out, std::string& error);
    bool BuildJson(std::string_view line, std::string& out, std::string& error);

private:
    bool Build(std::string& out, message::Problem& problem);

    const message::MessageSpec& m_spec;
    const MessageBuildOptions m_options;
    message::CBuildValues m_values;
    std::string m_message;
};

} // namespace cli

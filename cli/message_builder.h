#pragma once

// The work of orvane-cli build on one input, free of I/O: NAME=VALUE pairs,
// or a JSON object as parse --json --unmask writes it, in; the message in
// the chosen form, or the reason there is none, out.

#include "message_text.h"
#include "writer.h"

#include <string>
#include <string_view>
#include <vector>

namespace cli
{

struct MessageBuildOptions
{
    message::InputForm to = message::InputForm::Text; // the message's characters, hex, or raw bytes
    message::Framing framing;                         // the message specification's, or as the options replace it
    bool fixedHeader = false;                         // every message gets header, whatever its input gives
    std::string header;                               // those bytes
    bool pad = false;
};

// One value of an input: name is "mti", a field number or a header part's
// name; value is as parse shows it (text, or hex for b fields and headers).
struct NamedValue
{
    std::string name;
    std::string value;
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
    bool Put(const NamedValue& value, std::string& error);
    bool IsHeaderName(const std::string& name) const;
    std::string HeaderNames() const; // "tpdu, header", for messages
    bool Build(std::string& out, std::string& error);
    void Clear();

    const message::MessageSpec& m_spec;
    const MessageBuildOptions m_options;
    CMessageWriter m_tlvWriter; // for a TLV field given both ways
    message::BuildInput m_input;
    std::vector<NamedValue> m_header; // header parts as given, by name
    bool m_mtiGiven = false;
    std::string m_message;
};

} // namespace cli

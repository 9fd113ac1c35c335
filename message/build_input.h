#pragma once

// The values of one message to build, by name, as parse shows them:
// "mti", a field number, or a header part of the framing ("tpdu", "header").

#include "writer.h"

#include <string>
#include <vector>

namespace message
{

struct NamedValue
{
    std::string name;
    std::string value; // text, or hex for b fields and header parts
};

class CBuildValues
{
public:
    // framing: whose header parts may be named; without any, one "header" of any size.
    CBuildValues(const MessageSpec& spec, const Framing& framing);

    void Clear();
    // Takes one value; false when the name is unknown, given twice, or its hex is not hex.
    bool Put(const NamedValue& named, Problem& problem);
    // Whether name is a header part's.
    bool IsHeaderName(const std::string& name) const;
    // "tpdu, header", for problems.
    std::string HeaderNames() const;

    // The field values given so far: a JSON object's TLV tags may add one.
    std::vector<FieldInput>& Fields() { return m_input.fields; }
    const MessageSpec& Spec() const { return m_spec; }

    // The message's input and framing: the header the values give, or
    // fixedHeader (when not null) in place of any.
    bool Finish(const std::string* fixedHeader, Framing& framing, BuildInput*& input, Problem& problem);

private:
    bool PutHeaderPart(const NamedValue& named, Problem& problem);
    bool FinishHeader(const std::string* fixedHeader, Framing& framing, Problem& problem);

    const MessageSpec& m_spec;
    const Framing& m_framing;
    BuildInput m_input;
    std::vector<NamedValue> m_header; // header parts as given, by name
    bool m_mtiGiven = false;
};

// Whether name is a field number: 1 to 3 digits.
bool IsFieldNumber(std::string_view name);

} // namespace message

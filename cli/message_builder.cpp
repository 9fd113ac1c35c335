#include "message_builder.h"

#include "message_json.h"
#include "wire_form.h"

namespace cli
{

CMessageBuilder::CMessageBuilder(const message::MessageSpec& spec, const MessageBuildOptions& options)
    : m_spec(spec), m_options(options), m_values(spec, m_options.framing)
{
}

bool CMessageBuilder::BuildValues(const std::vector<NamedValue>& values, std::string& out, std::string& error)
{
    m_values.Clear();
    message::Problem problem;
    for (const NamedValue& value : values)
    {
        if (!m_values.Put(value, problem))
        {
            error = problem.Text();
            return false;
        }
    }
    if (Build(out, problem))
        return true;
    error = problem.Text();
    return false;
}

bool CMessageBuilder::BuildJson(std::string_view line, std::string& out, std::string& error)
{
    message::Problem problem;
    if (message::ReadMessageJson(line, m_values, problem) && Build(out, problem))
        return true;
    error = problem.Text();
    return false;
}

bool CMessageBuilder::Build(std::string& out, message::Problem& problem)
{
    message::Framing framing;
    message::BuildInput* input = nullptr;
    if (!m_values.Finish(m_options.fixedHeader ? &m_options.header : nullptr, framing, input, problem))
        return false;
    m_message.clear();
    if (!message::BuildMessage(m_spec, framing, *input, message::BuildOptions{m_options.pad}, m_message, problem))
        return false;
    if (!message::BytesToWire(m_options.to, m_message, out, problem))
        return false;
    if (m_options.to != message::WireForm::Binary)
        out += '\n';
    return true;
}

} // namespace cli

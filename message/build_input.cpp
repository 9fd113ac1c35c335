#include "build_input.h"

#include "field_view.h"
#include "wire_form.h"

#include <algorithm>

namespace message
{

namespace
{


const NamedValue* FindPart(const std::vector<NamedValue>& parts, const std::string& name)
{
    const auto found =
        std::find_if(parts.begin(), parts.end(), [&name](const NamedValue& part) { return part.name == name; });
    return found != parts.end() ? &*found : nullptr;
}

} // namespace

bool IsFieldNumber(std::string_view name)
{
    return !name.empty() && name.size() <= 3 && name.find_first_not_of("0123456789") == std::string_view::npos;
}

CBuildValues::CBuildValues(const MessageSpec& spec, const Framing& framing) : m_spec(spec), m_framing(framing)
{
}

void CBuildValues::Clear()
{
    m_input.mti.clear();
    m_input.fields.clear();
    m_header.clear();
    m_mtiGiven = false;
}

bool CBuildValues::Put(const NamedValue& named, Problem& problem)
{
    const std::string& name = named.name;
    if (name == "mti")
    {
        if (m_mtiGiven)
            return Refuse(problem, Place(), ProblemKind::MtiTwice);
        m_mtiGiven = true;
        m_input.mti = named.value;
        return true;
    }
    if (!IsFieldNumber(name))
        return PutHeaderPart(named, problem);
    const auto number = static_cast<std::uint32_t>(std::stoul(name));
    if (number < 1 || number > kLastField)
        return Refuse(problem, Place::OfField(number), ProblemKind::NoSuchField);
    m_input.fields.push_back(FieldInput{number, std::string()});
    if (ValueFromShown(m_spec.FormatOf(number), named.value, m_input.fields.back().value, problem))
        return true;
    problem.place = Place::OfField(number);
    problem.offset = kNoOffset;
    return false;
}

bool CBuildValues::PutHeaderPart(const NamedValue& named, Problem& problem)
{
    const std::string& name = named.name;
    if (!IsHeaderName(name))
        return Refuse(problem, Place(), ProblemKind::UnknownName, name, HeaderNames());
    if (FindPart(m_header, name) != nullptr)
        return Refuse(problem, Place(), ProblemKind::HeaderPartTwice, "", name);
    m_header.push_back(NamedValue{name, std::string()});
    if (HexToBytes(named.value, m_header.back().value, problem))
        return true;
    problem.place = Place::OfHeaderPart(name);
    problem.offset = kNoOffset;
    problem.building = true;
    return false;
}

bool CBuildValues::IsHeaderName(const std::string& name) const
{
    const std::vector<HeaderPart>& parts = m_framing.header;
    return parts.empty() ? name == "header"
                         : std::any_of(parts.begin(), parts.end(),
                                       [&name](const HeaderPart& part) { return part.name == name; });
}

std::string CBuildValues::HeaderNames() const
{
    if (m_framing.header.empty())
        return "header";
    std::string names;
    for (const HeaderPart& part : m_framing.header)
        names += (names.empty() ? "" : ", ") + part.name;
    return names;
}

bool CBuildValues::FinishHeader(const std::string* fixedHeader, Framing& framing, Problem& problem)
{
    m_input.header.clear();
    if (fixedHeader != nullptr || framing.header.empty())
    {
        // One header of any size: the fixed one, or the values' own.
        const NamedValue* part = FindPart(m_header, "header");
        const std::string* bytes = fixedHeader != nullptr ? fixedHeader : part != nullptr ? &part->value : nullptr;
        framing.header.clear();
        if (bytes != nullptr && !bytes->empty())
        {
            framing.header.push_back(HeaderPart{"header", bytes->size()});
            m_input.header.push_back(*bytes);
        }
        return true;
    }
    for (const HeaderPart& part : framing.header)
    {
        const NamedValue* given = FindPart(m_header, part.name);
        if (given == nullptr)
        {
            Refuse(problem, Place(), ProblemKind::HeaderPartMissing, "", part.name);
            problem.needed = part.size;
            return false;
        }
        m_input.header.push_back(given->value);
    }
    return true;
}

bool CBuildValues::Finish(const std::string* fixedHeader, Framing& framing, BuildInput*& input, Problem& problem)
{
    if (!m_mtiGiven)
        return Refuse(problem, Place(), ProblemKind::MtiMissing);
    framing = m_framing;
    if (!FinishHeader(fixedHeader, framing, problem))
        return false;
    input = &m_input;
    return true;
}

} // namespace message

#include "wire_form.h"

#include "dump.h"
#include "hex_codec.h"

#include <cassert>

namespace message
{

bool HexToBytes(std::string_view text, std::string& bytes, Problem& problem)
{
    // At most a byte for two characters, written in place: hex lines are
    // the whole input of many runs.
    bytes.resize(text.size() / 2);
    std::size_t count = 0;
    int high = -1;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (c == ' ' || c == '\t')
            continue;
        const int value = HexValue(c);
        if (value < 0)
        {
            bytes.resize(count);
            problem = Problem(Place(), i, ProblemKind::HexCharacter);
            problem.found = std::string(1, c);
            problem.at = i + 1;
            return false;
        }
        if (high < 0)
        {
            high = value;
            continue;
        }
        bytes[count++] = static_cast<char>(high << 4 | value);
        high = -1;
    }
    bytes.resize(count);
    if (high < 0)
        return true;
    problem = Problem(Place(), text.size(), ProblemKind::HexOddDigits);
    problem.needed = count * 2 + 1;
    return false;
}

bool WireToBytes(WireForm form, std::string_view text, std::string& bytes, Problem& problem)
{
    if (form == WireForm::Hex)
        return HexToBytes(text, bytes, problem);
    if (form == WireForm::Dump)
        return DumpToBytes(text, bytes, problem);
    bytes.assign(text.data(), text.size());
    return true;
}

bool BytesToWire(WireForm form, std::string_view bytes, std::string& out, Problem& problem)
{
    assert(form != WireForm::Dump && "messages are not written as dumps");
    const std::size_t lineBreak = form == WireForm::Text ? bytes.find_first_of("\r\n") : std::string_view::npos;
    if (lineBreak != std::string_view::npos)
    {
        problem = Problem(Place(), kNoOffset, ProblemKind::LineBreak);
        problem.at = lineBreak;
        return false;
    }
    if (form == WireForm::Hex)
        AppendHex(bytes, out);
    else
        out.append(bytes.data(), bytes.size());
    return true;
}

Framed FramedSize(LengthPrefix prefix, std::string_view stream, std::size_t& size, Problem& problem)
{
    const std::size_t bytes = LengthPrefixBytes(prefix);
    if (stream.size() < bytes)
        return Framed::Short;
    const auto* p = reinterpret_cast<const unsigned char*>(stream.data());
    std::size_t length = 0;
    for (std::size_t i = 0; i < bytes; ++i)
    {
        if (prefix == LengthPrefix::Ascii4 && (p[i] < '0' || p[i] > '9'))
        {
            problem = Problem(Place::Of(PlaceKind::LengthPrefix), 0, ProblemKind::MessageLengthNotDigits);
            problem.found = std::string(stream.substr(0, bytes));
            return Framed::Bad;
        }
        length = prefix == LengthPrefix::Ascii4 ? length * 10 + (p[i] - '0') : length << 8 | p[i];
    }
    size = bytes + length;
    return Framed::Whole;
}

std::size_t CStreamFramer::Next(std::string_view rest, Problem& problem, bool& lost) const
{
    std::size_t size = 0;
    const Framed framed = FramedSize(m_prefix, rest, size, problem);
    lost = framed == Framed::Bad;
    return framed == Framed::Whole && rest.size() >= size ? size : 0;
}

void CStreamFramer::EndProblem(Problem& problem) const
{
    problem = Problem(Place::Of(PlaceKind::Input), 0);
    if (m_tooLong)
    {
        problem.kind = ProblemKind::MessageTooLong;
        problem.needed = kMaxRawMessageBytes;
        return;
    }
    std::size_t size = 0; // stays 0 while the prefix is cut short
    Problem ignored;
    FramedSize(m_prefix, m_stream, size, ignored);
    problem.kind = ProblemKind::StreamEndsInside;
    problem.left = m_stream.size();
    problem.needed = size;
}

} // namespace message

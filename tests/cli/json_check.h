#pragma once

// A strict reader of one JSON text (RFC 8259), enough to check that every
// line orvane-cli writes in JSON mode is valid and to look at its members.

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct JsonValue
{
    enum class Type
    {
        Null,
        Boolean,
        Number,
        String,
        Array,
        Object,
    };

    Type type = Type::Null;
    bool boolean = false;
    std::string number; // as written, so integers keep their digits
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members; // in order of appearance

    const JsonValue* Find(const std::string& name) const
    {
        for (const auto& member : members)
        {
            if (member.first == name)
                return &member.second;
        }
        return nullptr;
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& member : members)
            names.push_back(member.first);
        return names;
    }
};

class CJsonReader
{
public:
    // True when text is exactly one JSON value, surrounded by nothing but
    // white space, with no member name repeated within an object.
    static bool Parse(const std::string& text, JsonValue& value)
    {
        CJsonReader reader(text);
        reader.SkipSpace();
        if (!reader.ParseValue(value, 0))
            return false;
        reader.SkipSpace();
        return reader.m_pos == text.size();
    }

private:
    explicit CJsonReader(const std::string& text) : m_text(text) {}

    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }

    void SkipSpace()
    {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r'))
            ++m_pos;
    }

    bool Literal(const char* word)
    {
        const std::string expected(word);
        if (m_text.compare(m_pos, expected.size(), expected) != 0)
            return false;
        m_pos += expected.size();
        return true;
    }

    bool ParseValue(JsonValue& value, int depth)
    {
        if (depth > 64 || AtEnd())
            return false;
        switch (Peek())
        {
        case '{':
            return ParseObject(value, depth);
        case '[':
            return ParseArray(value, depth);
        case '"':
            value.type = JsonValue::Type::String;
            return ParseString(value.text);
        case 't':
            value.type = JsonValue::Type::Boolean;
            value.boolean = true;
            return Literal("true");
        case 'f':
            value.type = JsonValue::Type::Boolean;
            return Literal("false");
        case 'n':
            value.type = JsonValue::Type::Null;
            return Literal("null");
        default:
            value.type = JsonValue::Type::Number;
            return ParseNumber(value.number);
        }
    }

    bool ParseObject(JsonValue& value, int depth)
    {
        value.type = JsonValue::Type::Object;
        ++m_pos;
        SkipSpace();
        if (Peek() == '}')
        {
            ++m_pos;
            return true;
        }
        std::map<std::string, bool> seen;
        for (;;)
        {
            SkipSpace();
            std::string name;
            if (Peek() != '"' || !ParseString(name) || seen[name])
                return false;
            seen[name] = true;
            SkipSpace();
            if (Peek() != ':')
                return false;
            ++m_pos;
            SkipSpace();
            JsonValue member;
            if (!ParseValue(member, depth + 1))
                return false;
            value.members.emplace_back(name, member);
            SkipSpace();
            if (Peek() == ',')
            {
                ++m_pos;
                continue;
            }
            if (Peek() != '}')
                return false;
            ++m_pos;
            return true;
        }
    }

    bool ParseArray(JsonValue& value, int depth)
    {
        value.type = JsonValue::Type::Array;
        ++m_pos;
        SkipSpace();
        if (Peek() == ']')
        {
            ++m_pos;
            return true;
        }
        for (;;)
        {
            SkipSpace();
            JsonValue item;
            if (!ParseValue(item, depth + 1))
                return false;
            value.items.push_back(item);
            SkipSpace();
            if (Peek() == ',')
            {
                ++m_pos;
                continue;
            }
            if (Peek() != ']')
                return false;
            ++m_pos;
            return true;
        }
    }

    static int HexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // Keeps ASCII escapes as their character; other \u escapes stay as
    // written, which is all these checks need.
    bool ParseString(std::string& out)
    {
        ++m_pos;
        while (!AtEnd())
        {
            const auto c = static_cast<unsigned char>(m_text[m_pos++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return false;
            if (c != '\\')
            {
                out += static_cast<char>(c);
                continue;
            }
            if (AtEnd())
                return false;
            const char escape = m_text[m_pos++];
            switch (escape)
            {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u':
            {
                if (m_pos + 4 > m_text.size())
                    return false;
                int code = 0;
                for (int i = 0; i < 4; ++i)
                {
                    const int digit = HexValue(m_text[m_pos + static_cast<std::size_t>(i)]);
                    if (digit < 0)
                        return false;
                    code = code * 16 + digit;
                }
                if (code < 0x80)
                    out += static_cast<char>(code);
                else
                    out += m_text.substr(m_pos - 2, 6);
                m_pos += 4;
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    bool Digits()
    {
        const std::size_t start = m_pos;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9')
            ++m_pos;
        return m_pos > start;
    }

    bool ParseNumber(std::string& out)
    {
        const std::size_t start = m_pos;
        if (Peek() == '-')
            ++m_pos;
        if (Peek() == '0')
            ++m_pos;
        else if (!Digits())
            return false;
        if (Peek() == '.')
        {
            ++m_pos;
            if (!Digits())
                return false;
        }
        if (Peek() == 'e' || Peek() == 'E')
        {
            ++m_pos;
            if (Peek() == '+' || Peek() == '-')
                ++m_pos;
            if (!Digits())
                return false;
        }
        out = m_text.substr(start, m_pos - start);
        return true;
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
};

#include "options.h"

#include "bitmap_text.h"
#include "output.h"

#include <cassert>
#include <utility>

namespace cli
{

namespace
{

const OptionDef* FindLong(const std::vector<OptionDef>& table, const std::string& name)
{
    for (const OptionDef& candidate : table)
    {
        if (name == candidate.longName)
            return &candidate;
    }
    return nullptr;
}

const OptionDef* FindShort(const std::vector<OptionDef>& table, char name)
{
    // 0 marks an option without a short name, so it names none.
    if (name == 0)
        return nullptr;
    for (const OptionDef& candidate : table)
    {
        if (name == candidate.shortName)
            return &candidate;
    }
    return nullptr;
}

} // namespace

bool IsNegativeNumber(const std::string& arg)
{
    return arg.size() > 1 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9';
}

bool ParseOptions(const std::vector<std::string>& args, const std::vector<OptionDef>& table, CMessages& messages,
                  const std::function<void(const std::string& operand)>& operand,
                  const std::function<std::string(const std::string& name, const std::string& value)>& apply)
{
    assert(!args.empty());
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || IsNegativeNumber(arg))
        {
            operand(arg);
            continue;
        }
        if (arg == "--")
        {
            optionsEnded = true;
            continue;
        }
        // Each option of the argument with its value, as (its entry in the table, value).
        std::vector<std::pair<const OptionDef*, std::string>> found;
        std::string error;
        if (arg[1] == '-')
        {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const OptionDef* known = FindLong(table, name);
            if (known == nullptr)
                error = "unknown option " + Quote(arg);
            else if (equals != std::string::npos && known->value == Value::None)
                error = "option --" + name + " takes no value";
            else if (equals != std::string::npos)
                found.emplace_back(known, arg.substr(equals + 1));
            else if (known->value != Value::Required)
                found.emplace_back(known, std::string());
            else if (i + 1 < args.size())
                found.emplace_back(known, args[++i]);
            else
                error = "option --" + name + " needs a value";
        }
        else
        {
            for (std::size_t k = 1; k < arg.size() && error.empty(); ++k)
            {
                const OptionDef* known = FindShort(table, arg[k]);
                if (known == nullptr)
                    error = "unknown option " + Quote(std::string("-") + arg[k]);
                else if (known->value != Value::Required)
                    found.emplace_back(known, std::string());
                else if (k + 1 < arg.size())
                {
                    found.emplace_back(known, arg.substr(k + 1));
                    break;
                }
                else if (i + 1 < args.size())
                    found.emplace_back(known, args[++i]);
                else
                    error = std::string("option -") + arg[k] + " needs a value";
            }
        }
        for (std::size_t k = 0; k < found.size() && error.empty(); ++k)
            error = apply(std::string(found[k].first->longName), found[k].second);
        if (!error.empty())
        {
            messages.UsageError(error);
            return false;
        }
    }
    return true;
}

} // namespace cli

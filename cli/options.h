#pragma once

// The command line of a command: its options, as the usual tools take them,
// and its operands.

#include <functional>
#include <string>
#include <vector>

namespace cli
{

class CMessages;

enum class Value
{
    None,
    Optional, // only as --option=VALUE
    Required,
};

struct OptionDef
{
    char shortName; // or 0
    const char* longName;
    Value value;
};

// "-7" is an operand, not an option.
bool IsNegativeNumber(const std::string& arg);

// args[0] is the command. Options may come before or among the operands:
// long ones with their value after "=" or as the next argument, short ones
// alone or together ("-jn"), a short one's value attached or next; "--"
// ends them. apply gets the long name and the value, and returns an error
// text or "". Returns false after reporting a usage error.
bool ParseOptions(const std::vector<std::string>& args, const std::vector<OptionDef>& table, CMessages& messages,
                  const std::function<void(const std::string& operand)>& operand,
                  const std::function<std::string(const std::string& name, const std::string& value)>& apply);

} // namespace cli

#pragma once

// The commands of orvane-cli: each turns its command line into a
// configuration and runs it. args are the command and its arguments.

#include "options.h"
#include "output.h"

#include <string>
#include <vector>

namespace cli
{

extern const CommandDef kDecodeCommand;
extern const CommandDef kEncodeCommand;
extern const CommandDef kParseCommand;
extern const CommandDef kBuildCommand;

int Decode(const std::vector<std::string>& args, Environment& environment, COutput& output);
int Encode(const std::vector<std::string>& args, Environment& environment, COutput& output);
int Parse(const std::vector<std::string>& args, Environment& environment, COutput& output);
int Build(const std::vector<std::string>& args, Environment& environment, COutput& output);

} // namespace cli

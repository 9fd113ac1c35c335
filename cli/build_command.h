#pragma once

#include "cli_app.h"
#include "output.h"

#include <string>
#include <vector>

namespace cli
{

// orvane-cli build: args are the command and its arguments.
int Build(const std::vector<std::string>& args, Environment& environment, COutput& output);

} // namespace cli

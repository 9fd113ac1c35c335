#include "cli_app.h"
#include "display_text.h"

#include "help_texts.h"

#include "bitmap_printer.h"
#include "commands.h"

#include <cstring>
#include <new>

#ifndef ORVANE_VERSION
#define ORVANE_VERSION "unknown"
#endif

namespace cli
{

namespace
{

struct Command
{
    const CommandDef& definition;
    int (*run)(const std::vector<std::string>& args, Environment& environment, COutput& output);
};

const Command kCommands[] = {
    {kDecodeCommand, Decode},
    {kEncodeCommand, Encode},
    {kParseCommand, Parse},
    {kBuildCommand, Build},
};

// "help", "help COMMAND", --help and --version.
int Help(const std::vector<std::string>& args, COutput& output, CDiagnostics& diagnostics)
{
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || (command == "help" && args.size() == 1))
    {
        output.Out() += kHelpMain;
        return kExitOk;
    }
    if (command == "--version")
    {
        output.Out() += "orvane-cli " ORVANE_VERSION "\n";
        return kExitOk;
    }
    for (const Command& topic : kCommands)
    {
        if (command == "help" && args.size() == 2 && args[1] == topic.definition.name)
        {
            AppendHelp(topic.definition, output.Out());
            return kExitOk;
        }
    }
    const std::string topic = args.size() == 2 ? QuoteText(args[1]) : std::string("more than one topic");
    if (command == "help")
        diagnostics.UsageError("no help on " + topic);
    else
        diagnostics.UsageError("unknown command " + QuoteText(command));
    return kExitUsage;
}

int Dispatch(const std::vector<std::string>& args, Environment& environment, COutput& output)
{
    CDiagnostics diagnostics(output, nullptr);
    if (args.empty())
    {
        output.Diagnostic(kHelpMain);
        return kExitUsage;
    }
    for (const Command& command : kCommands)
    {
        if (args[0] == command.definition.name)
            return command.run(args, environment, output);
    }
    return Help(args, output, diagnostics);
}

} // namespace

int Run(const std::vector<std::string>& args, Environment& environment)
{
    // The diagnostics here are fixed texts: building one could fail again.
    const char* failure = "orvane-cli: internal error\n";
    COutput output(environment);
    try
    {
        const int status = Dispatch(args, environment, output);
        output.Flush();
        return output.Failed() ? kExitBadInput : status;
    }
    catch (const std::bad_alloc&)
    {
        failure = "orvane-cli: out of memory\n";
    }
    catch (...)
    {
    }
    try
    {
        output.Flush();
        static_cast<void>(environment.err.Write(failure, std::strlen(failure)));
    }
    catch (...)
    {
    }
    return kExitBadInput;
}

} // namespace cli

#include "commands.h"

#include "help_texts.h"

#include "bitmap_printer.h"

namespace cli
{

namespace
{

} // namespace

const CommandDef kEncodeCommand = {
    "encode", {OptionId::AutoFirst, OptionId::Display, OptionId::Help}, Operands::Numbers, 20, kHelpEncodeBefore, kHelpEncodeAfter,
};

int Encode(const std::vector<std::string>& args, Environment&, COutput& output)
{
    CDiagnostics diagnostics(output, "encode");
    CArguments arguments;
    int status = kExitOk;
    if (!ReadCommandLine(args, kEncodeCommand, output.Out(), diagnostics, arguments, status))
        return status;
    if (arguments.operands.empty())
    {
        diagnostics.UsageError("no bit numbers given");
        return kExitUsage;
    }
    EncodeOptions options;
    options.autoFirst = arguments.Given(OptionId::AutoFirst);
    options.display = arguments.Given(OptionId::Display);
    std::vector<std::string> errors;
    const bool good = EncodeBits(arguments.operands, options, output.Out(), errors);
    for (const std::string& error : errors)
        diagnostics.Say(error);
    return diagnostics.Finish(good ? kExitOk : kExitBadInput);
}

} // namespace cli

// The option table against the program and the bash completion: every
// command takes each of its options by both names and with each choice,
// refuses other values in the table's words, and the completion offers them.
#include "commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace
{

const cli::CommandDef* const kCommands[] = {&cli::kDecodeCommand, &cli::kEncodeCommand, &cli::kParseCommand,
                                            &cli::kBuildCommand};

struct CSink : cli::CByteSink
{
    int Write(const char* data, std::size_t size) override { return text.append(data, size), 0; }
    std::string text;
};

struct CEmpty : cli::CByteSource
{
    long long Read(char*, std::size_t) override { return 0; }
};

int RunCli(const std::vector<std::string>& args, std::string& out, std::string& err)
{
    CEmpty in;
    CSink outSink, errSink;
    cli::Environment environment{in, outSink, errSink, cli::LeadByteRules{}};
    const int status = cli::Run(args, environment);
    out = outSink.text;
    err = errSink.text;
    return status;
}

// Values the option takes: its choices, or one of the kind it checks.
std::vector<std::string> GoodValues(const cli::OptionDef& option)
{
    const std::vector<std::string> choices = cli::Choices(option);
    if (!choices.empty())
        return choices;
    return {option.check == cli::Check::HexBytes ? "6000" : option.check == cli::Check::ByteCount ? "9999" : "x"};
}

bool Offers(const std::string& arm, const std::string& word)
{
    const std::regex escape(R"([.^$|()\[\]{}*+?\\])");
    const std::string quoted = std::regex_replace(word, escape, R"(\$&)");
    return std::regex_search(arm, std::regex("(^|[^A-Za-z0-9-])" + quoted + "([^A-Za-z0-9-]|$)"));
}

// The arm of the completion's case on the command word ("    parse | build)") that names command.
std::string CompletionArm(const std::string& command)
{
    std::ifstream file(ORVANE_COMPLETION_PATH);
    const std::regex label(R"(^    ([a-z| ]+)\).*)");
    std::string line, arm;
    bool inArm = false;
    while (std::getline(file, line))
    {
        std::smatch match;
        if (std::regex_match(line, match, label) || line == "    esac")
            inArm = match.size() > 1 && Offers(match[1].str(), command);
        else if (inArm)
            arm += line + "\n";
    }
    return arm;
}

} // namespace

TEST(Options, EveryNameAndChoiceTaken)
{
    for (const cli::CommandDef* command : kCommands)
    {
        std::string help, out, err;
        cli::AppendHelp(*command, help);
        for (const cli::OptionId id : command->options)
        {
            const cli::OptionDef& option = cli::Option(id);
            for (const std::string& value : GoodValues(option))
            {
                std::string longName = std::string("--") + option.longName;
                if (option.value != cli::Value::None)
                    longName += "=" + value;
                std::vector<std::vector<std::string>> forms = {{command->name, longName, "--help"}};
                if (option.shortName != 0)
                    forms.push_back({command->name, std::string("-") + option.shortName, "--help"});
                if (option.shortName != 0 && option.value == cli::Value::Required)
                    forms.back().insert(forms.back().begin() + 2, value);
                for (const std::vector<std::string>& args : forms)
                {
                    EXPECT_EQ(RunCli(args, out, err), cli::kExitOk) << args[1] << " " << err;
                    EXPECT_EQ(out, help) << args[1];
                }
            }
        }
    }
}

TEST(Options, BadChoiceNamesTheChoices)
{
    const struct
    {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"parse", "--from", "xxd"}, "invalid value \"xxd\" for --from: text, hex, dump or binary"},
        {{"build", "--to=Hex"}, "invalid value \"Hex\" for --to: text, hex or binary"},
        {{"build", "--length-prefix", "8"}, "invalid value \"8\" for --length-prefix: 2, 4, a4 or none"},
        {{"parse", "-n", "--names=EN"}, "invalid value \"EN\" for --names: en or zh"},
        {{"build", "--header", "6G"}, "invalid value \"6G\" for --header: "},
        {{"parse", "--header", "10000"}, "invalid value \"10000\" for --header: a number of bytes, 0 to 9999"},
    };
    for (const auto& c : cases)
    {
        std::string out, err;
        EXPECT_EQ(RunCli(c.args, out, err), cli::kExitUsage);
        EXPECT_EQ(err.find("orvane-cli " + c.args[0] + ": " + c.error), 0u) << err;
    }
}

TEST(Options, CompletionOffersTable)
{
    for (const cli::CommandDef* command : kCommands)
    {
        const std::string arm = CompletionArm(command->name);
        ASSERT_FALSE(arm.empty()) << command->name;
        for (const cli::OptionId id : command->options)
        {
            const cli::OptionDef& option = cli::Option(id);
            EXPECT_TRUE(Offers(arm, std::string("--") + option.longName)) << command->name << " --" << option.longName;
            const std::string shortName = option.shortName != 0 ? std::string("-") + option.shortName : "";
            EXPECT_TRUE(shortName.empty() || Offers(arm, shortName)) << command->name << " " << shortName;
            for (const std::string& choice : cli::Choices(option))
                EXPECT_TRUE(Offers(arm, choice)) << command->name << " --" << option.longName << " " << choice;
        }
    }
}

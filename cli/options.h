#pragma once

// Every option of every command, defined once: its names, its value, the
// value's choices and its help. A command takes its options from the table
// by their ids; the parser checks each value against its definition, and the
// command's help lists them from it.

#include "sources.h"
#include "spec.h"

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace cli
{

class CDiagnostics;
enum class Names;

enum class Value
{
    None,
    Optional, // only as --option=VALUE
    Required,
};

// What a value must be, checked as the option is read.
enum class Check
{
    Any,       // any text: a path, a list of columns
    Choice,    // one of the choices
    SpecName,  // a built-in message specification's name or a file, checked when it is loaded
    ByteCount, // a number of bytes, 0 to 9999
    Line,      // one line of at least one character
    HexBytes,  // a hex dump, kept as its bytes
};

// Options that mean different things in different commands have an id each.
enum class OptionId
{
    Names, Json, AutoFirst, Display, File, Strict, Quiet, Help,                       // of several commands
    DecodeFrom, Message, DecodeHeader, Separator,                                     // of decode
    Spec, ParseFrom, ParseHeader, To, BuildHeader, LengthPrefix, Fields, Unmask, Pad, // of parse or build
};

struct Wording
{
    const char* command;
    const char* lines;
};

struct OptionDef
{
    OptionId id;
    char shortName; // or 0
    const char* longName;
    Value value;
    Check check;
    const char* placeholder; // the value's name in the help ("PATH"), or null
    const char* choices;     // "en|zh" for Check::Choice, else null
    // Its help: lines that each end in LF, the name's column left out; by
    // command where the wording differs, the one for every other last (command null).
    std::vector<Wording> help;
    // The fewest spaces between the name and its help, which starts at the
    // command's column when the name leaves room.
    std::size_t gap = 2;
};

// What a command's operands are: TEXTs to read, NAME=VALUE pairs or numbers.
// "-" is standard input for the first two.
enum class Operands
{
    Texts,
    NamedValues,
    Numbers,
};

struct CommandDef
{
    const char* name;
    std::vector<OptionId> options; // in the order of the help
    Operands operands;
    std::size_t helpColumn;  // where the help of each option starts
    const char* helpBefore;  // the help up to the options
    const char* helpAfter;   // and after them
    std::vector<const char*> helpAppendices = {}; // texts shared with others, last
};

// The table: every option of every command.
extern const std::vector<OptionDef> kOptions;

const OptionDef& Option(OptionId id);
// What a value may be, for the help and the completion: the choices, or the
// built-in message specifications' names; empty for any value.
std::vector<std::string> Choices(const OptionDef& option);

// A command line as given: its sources in order, its other operands and the
// last value of each option.
class CArguments
{
public:
    bool Given(OptionId id) const { return m_values.count(id) != 0; }
    // The value (a hex dump as its bytes); "" for an option given without one.
    const std::string& Text(OptionId id) const;
    // The place of the value among the option's choices.
    std::size_t Choice(OptionId id) const;
    // The number of bytes given, or 0.
    std::size_t Count(OptionId id) const;
    // None without --names; English by default.
    Names NamesChosen() const;

    std::vector<Source> sources;
    std::vector<std::string> operands; // NAME=VALUE or numbers

    void Set(OptionId id, std::string value) { m_values[id] = std::move(value); }

private:
    std::map<OptionId, std::string> m_values;
};

// args[0] is the command. Options may come before or among the operands:
// long ones with their value after "=" or as the next argument, short ones
// alone or together ("-jn"), a short one's value attached or next; "--"
// ends them. False after saying the usage error.
bool ParseArguments(const std::vector<std::string>& args, const CommandDef& command, CDiagnostics& diagnostics,
                    CArguments& arguments);

// The command's help, its options drawn from the table.
void AppendHelp(const CommandDef& command, std::string& out);

// ParseArguments, and the help when it is asked for: false when that ends
// the command, with the exit status in status.
bool ReadCommandLine(const std::vector<std::string>& args, const CommandDef& command, std::string& out,
                     CDiagnostics& diagnostics, CArguments& arguments, int& status);

// The options parse and build share. The message specification named by
// --spec (iso87ascii by default), as ChooseSpec gives it.
const message::MessageSpec* SpecChosen(const CArguments& arguments, message::MessageSpec& fileSpec,
                                       CDiagnostics& diagnostics, int& status);
// The form --from or --to chooses, or the message specification's.
message::WireForm FormChosen(const CArguments& arguments, OptionId id, const message::MessageSpec& spec);
// The message specification's framing with the length prefix --length-prefix chooses.
message::Framing FramingChosen(const CArguments& arguments, const message::MessageSpec& spec);

} // namespace cli

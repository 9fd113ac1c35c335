#pragma once

// The orvane-cli program behind its main(): its commands, their inputs and
// the exit status. The standard
// streams are interfaces so that tests drive the whole program in-process;
// files named on the command line are opened through the C library.

#include "iso_bitmap.h"

#include <cstddef>
#include <string>
#include <vector>

namespace cli
{

constexpr int kExitOk = 0;
constexpr int kExitBadInput = 1; // some input was bad, or the output failed
constexpr int kExitUsage = 2;

// Longest input line accepted, terminator excluded: far beyond any bitmap
// with whatever log text around it, and it keeps memory bounded however
// long a line runs.
constexpr std::size_t kMaxLineBytes = 1u << 20;

class CByteSource
{
public:
    virtual ~CByteSource() = default;
    // Up to size bytes; 0 at the end of the input, minus the errno value on
    // a read error. May return fewer bytes than are still to come.
    virtual long long Read(char* buffer, std::size_t size) = 0;
};

class CByteSink
{
public:
    virtual ~CByteSink() = default;
    // All of the bytes: 0, or the errno value of the failure.
    virtual int Write(const char* data, std::size_t size) = 0;
};

struct LeadByteRules
{
    CIsoBitmap::LeadByteRule input = CIsoBitmap::NoLeadByte;     // lines of standard input and files
    CIsoBitmap::LeadByteRule arguments = CIsoBitmap::NoLeadByte; // TEXT arguments
};

struct Environment
{
    CByteSource& in;
    CByteSink& out;
    CByteSink& err;
    LeadByteRules rules;
    std::size_t maxLineBytes = kMaxLineBytes;
    // Where the standard streams lead, as main() finds out; by default to
    // two places, neither of them a terminal.
    bool sameTarget = false;  // standard output and error reach one file, pipe or terminal (2>&1)
    bool outTerminal = false; // standard output is a terminal
    bool errTerminal = false; // standard error is a terminal
};

// args are the command-line arguments after the program name. Catches
// everything; the result is the exit status.
int Run(const std::vector<std::string>& args, Environment& environment);

} // namespace cli

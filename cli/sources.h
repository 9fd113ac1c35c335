#pragma once

// Where the inputs of a command come from: the sources named on the command
// line, each input's place among them, and files.

#include "cli_app.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cli
{

// Where an input came from, for diagnostics and for the JSON "input",
// "source" and "file" members: the 1-based number of a line, a TEXT argument
// or a raw bitmap, and the file it was read from, if any (none: standard input).
enum class InputKind
{
    Line,
    Argument,
    Bitmap,
    Message, // a raw message of a stream
};

struct InputPlace
{
    InputKind kind;
    std::uint64_t number;
    const std::string* file = nullptr;
};

// One place inputs come from, in command-line order.
struct Source
{
    enum Kind
    {
        Text,
        StandardInput,
        File,
    } kind;
    std::string text; // the TEXT, or the file's path
};

bool HasText(const std::vector<Source>& sources);

// "file.txt line 3", "argument 2", "message 5": an input's place in diagnostics.
std::string PlaceText(const InputPlace& place);
// {"input":N,"source":...[,"file":...] without the closing brace.
void AppendJsonStart(const InputPlace& place, std::string& out);

// Removes the terminal's colour and cursor codes (ESC [ ... final byte) that
// coloured logs carry: their numbers are no digits of a bitmap. Returns
// whether any was found.
bool RemoveTerminalCodes(std::string& text);

// The C library's text for an errno value (EIO for 0).
std::string Reason(int error);

// The file's bytes, or null with the errno value in error.
std::unique_ptr<CByteSource> OpenFile(const std::string& path, int& error);

// The whole of a small file (a message specification, a value), or false
// with "cannot read PATH: reason".
bool ReadWholeFile(const std::string& path, std::string& text, std::string& error);

// Whether path names a regular file.
bool IsFile(const std::string& path);

} // namespace cli

#pragma once

// Where the inputs of a command come from, and the reading of a stream of
// any size: the sources named on the command line, files, and readers that
// hand a stream on in chunks or as lines with a bounded amount of memory.

#include "cli_app.h"
#include "output.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cli
{

// Where an input came from, for messages and for the JSON "input", "source"
// and "file" members: the 1-based number of a line, a TEXT argument or a raw
// bitmap, and the file it was read from, if any (none: standard input).
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

// The C library's text for an errno value (EIO for 0).
std::string Reason(int error);

// The file's bytes, or null with the errno value in error.
std::unique_ptr<CByteSource> OpenFile(const std::string& path, int& error);

// The whole of a small file (a message specification, a value), or false
// with "cannot read PATH: reason".
bool ReadWholeFile(const std::string& path, std::string& text, std::string& error);

// Whether path names a regular file.
bool IsFile(const std::string& path);

// Bytes read at most at once, and so the size of a chunk.
constexpr std::size_t kReadSize = 1u << 16;

// What a stream's readers report to.
class CReadHandler
{
public:
    virtual ~CReadHandler() = default;
    // A read came back short: the source has nothing more for now, so
    // whatever is done should be shown (an interactive user waits for it).
    virtual void Paused() = 0;
    // Whether to read on; false stops, as once the output has failed.
    virtual bool ReadOn() const = 0;
};

class CChunkHandler : public CReadHandler
{
public:
    // The next bytes of the stream, as one read returned them.
    virtual void Chunk(const char* data, std::size_t size) = 0;
};

class CLineHandler : public CReadHandler
{
public:
    // A line without its LF and the one CR before it; place.kind is Line.
    virtual void Line(const std::string& line, const InputPlace& place) = 0;
    // A line over the limit, never held whole: reason is
    // "line longer than N bytes".
    virtual void Rejected(const std::string& reason, const InputPlace& place) = 0;
};

// Each source in command-line order, until the output has failed: a TEXT to
// text with its 1-based number among the TEXTs (sources without TEXTs may
// pass an empty function), standard input or an opened file to read, which
// returns the errno value of a read error. A file that cannot be opened or
// read is said to bad: "cannot open PATH: ...", "cannot read PATH: ...".
void ReadSources(const std::vector<Source>& sources, CByteSource& standardInput, const COutput& output,
                 const std::function<void(const std::string& text, std::uint64_t number)>& text,
                 const std::function<int(CByteSource& in, const std::string* path)>& read,
                 const std::function<void(const std::string& message)>& bad);

// Reads source to its end, or until the handler stops it. Both return the
// errno value of a read error, or 0.
int ReadChunks(CByteSource& source, CChunkHandler& handler);

// Splits source into lines on LF, numbered from 1, with file (or null for
// standard input) in their places; a last line without LF counts too, even
// after a read error. A line of more than maxLineBytes bytes, its CR LF
// excluded, is rejected; memory stays bounded by that limit.
int ReadLines(CByteSource& source, const std::string* file, std::size_t maxLineBytes, CLineHandler& handler);

} // namespace cli

// Arbitrary text read as hex dumps line by line: every problem names a line
// and a column inside the text, a message is only ever taken when one is
// finished, and bytes written as a dump in any layout read back the same.
#include "dump.h"

#include "dump_writer.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{

using namespace message;

void Check(bool condition)
{
    condition ? void() : std::abort();
}

void CheckProblem(const Problem& problem, std::string_view text)
{
    Check(problem.place.kind == PlaceKind::Input && problem.offset <= text.size() &&
          English(problem).rfind("line ", 0) == 0 && problem.kind >= ProblemKind::DumpOffsetDigits &&
          problem.kind <= ProblemKind::DumpSecond);
}

void ReadLines(std::string_view text)
{
    CDumpReader reader;
    Problem problem;
    std::uint64_t number = 0;
    for (std::size_t start = 0; start <= text.size();)
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (!reader.Line(text.substr(start, end - start), ++number, start, problem))
            CheckProblem(problem, text);
        if (reader.HasMessage())
            Check(!reader.TakeMessage().empty() && !reader.HasMessage());
        start = end + 1;
    }
    if (!reader.Finish(problem))
        CheckProblem(problem, text);
    if (reader.HasMessage())
        Check(!reader.TakeMessage().empty());
}

// The first byte picks a layout and the case; the rest are the bytes.
void RoundTrip(std::string_view input)
{
    if (input.empty())
        return;
    const auto choice = static_cast<unsigned char>(input[0]);
    const std::string_view bytes = input.substr(1);
    const std::string text = dump_test::WriteDump(bytes, static_cast<dump_test::Layout>(choice % 6), choice & 0x80);
    std::string read;
    Problem problem;
    Check(DumpToBytes(text, read, problem) && read == bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    ReadLines(input);
    std::string bytes;
    Problem problem;
    if (!DumpToBytes(input, bytes, problem))
        CheckProblem(problem, input);
    RoundTrip(input);
    return 0;
}

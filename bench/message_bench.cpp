// Reading and building typical whole messages: an authorisation and a
// financial request (0100, 0200) of 21 fields with 20 EMV tags in field 55,
// and their responses (0110, 0210) of 20 fields with the issuer's EMV data,
// in iso87ascii, iso87binary and cup.
#include "reader.h"
#include "wire_form.h"
#include "writer.h"

#include <benchmark/benchmark.h>

#include <cassert>
#include <string>
#include <vector>

namespace
{

using namespace message;

std::string Bytes(std::string_view hex)
{
    std::string bytes;
    Problem problem;
    const bool read = HexToBytes(hex, bytes, problem);
    assert(read);
    (void)read;
    return bytes;
}

// The chip data of an online authorisation: cryptogram, its inputs and the terminal's data.
const char* const kRequestEmv =
    "9F2608C2C12B098F3DA6E3"
    "9F270180"
    "9F100706011203A00000"
    "9F37049BADBCAB"
    "9F36020012"
    "95050000008000"
    "9A03250815"
    "9C0100"
    "9F0206000000010000"
    "5F2A020840"
    "82023900"
    "9F1A020840"
    "9F0306000000000000"
    "9F3303E0F8C8"
    "9F34031E0300"
    "9F350122"
    "9F1E083132333435363738"
    "8407A0000000031010"
    "9F09020096"
    "9F410400000001";
// The issuer's answer: its authentication data and the response code for the card.
const char* const kResponseEmv = "910A3B7F8A2C1D4E5F6000128A023030";

// Field 55 as the message specification carries it: hex text in an ans field, raw bytes in a b field.
std::string Emv(const MessageSpec& spec, const char* hex)
{
    return spec.fields[55]->content == Content::B ? Bytes(hex) : std::string(hex);
}

BuildInput Request(const MessageSpec& spec, const char* mti)
{
    return BuildInput{mti,
                      {},
                      {{2, "4761739001010119"},
                       {3, "000000"},
                       {4, "000000010000"},
                       {7, "0815123045"},
                       {11, "123456"},
                       {12, "123045"},
                       {13, "0815"},
                       {14, "2512"},
                       {18, "5411"},
                       {22, "051"},
                       {23, "001"},
                       {25, "00"},
                       {32, "412345"},
                       {35, "4761739001010119=25122011758928889"},
                       {37, "522712345678"},
                       {41, "TERM0001"},
                       {42, "MERCHANT0000001"},
                       {43, "ORVANE TEST MERCHANT    SHANGHAI      CN"},
                       {49, "840"},
                       {52, Bytes("0123456789ABCDEF")},
                       {55, Emv(spec, kRequestEmv)}}};
}

BuildInput Response(const MessageSpec& spec, const char* mti)
{
    return BuildInput{mti,
                      {},
                      {{2, "4761739001010119"},
                       {3, "000000"},
                       {4, "000000010000"},
                       {7, "0815123046"},
                       {11, "123456"},
                       {12, "123045"},
                       {13, "0815"},
                       {14, "2512"},
                       {18, "5411"},
                       {22, "051"},
                       {23, "001"},
                       {25, "00"},
                       {32, "412345"},
                       {37, "522712345678"},
                       {38, "A1B2C3"},
                       {39, "00"},
                       {41, "TERM0001"},
                       {42, "MERCHANT0000001"},
                       {49, "840"},
                       {55, Emv(spec, kResponseEmv)}}};
}

// The four messages as a terminal and its acquirer exchange them.
std::vector<BuildInput> TypicalInputs(const MessageSpec& spec)
{
    std::vector<BuildInput> inputs = {Request(spec, "0100"), Response(spec, "0110"), Request(spec, "0200"),
                                      Response(spec, "0210")};
    for (BuildInput& input : inputs)
    {
        if (spec.name == "cup")
            input.header = {Bytes("6000030000"), Bytes("603100000000")};
    }
    return inputs;
}

std::vector<std::string> TypicalMessages(const MessageSpec& spec)
{
    std::vector<std::string> messages;
    for (const BuildInput& input : TypicalInputs(spec))
    {
        std::string built;
        Problem problem;
        const bool ok = BuildMessage(spec, spec.framing, input, BuildOptions{}, built, problem);
        assert(ok);
        (void)ok;
        messages.push_back(std::move(built));
    }
    return messages;
}

void BM_Read(benchmark::State& state, const char* name)
{
    const MessageSpec& spec = *FindBuiltinSpec(name);
    const std::vector<std::string> messages = TypicalMessages(spec);
    Message message;
    Problem problem;
    for (auto _ : state)
    {
        for (const std::string& input : messages)
        {
            if (!ReadMessage(spec, spec.framing, input, ReadOptions{true}, message, problem))
                state.SkipWithError(problem.Text().c_str());
            benchmark::DoNotOptimize(message.values.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * messages.size()));
}

void BM_Build(benchmark::State& state, const char* name)
{
    const MessageSpec& spec = *FindBuiltinSpec(name);
    const std::vector<BuildInput> inputs = TypicalInputs(spec);
    std::string out;
    Problem problem;
    for (auto _ : state)
    {
        for (const BuildInput& input : inputs)
        {
            out.clear();
            if (!BuildMessage(spec, spec.framing, input, BuildOptions{}, out, problem))
                state.SkipWithError(problem.Text().c_str());
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * inputs.size()));
}

} // namespace

BENCHMARK_CAPTURE(BM_Read, iso87ascii, "iso87ascii");
BENCHMARK_CAPTURE(BM_Read, iso87binary, "iso87binary");
BENCHMARK_CAPTURE(BM_Read, cup, "cup");
BENCHMARK_CAPTURE(BM_Build, iso87ascii, "iso87ascii");
BENCHMARK_CAPTURE(BM_Build, iso87binary, "iso87binary");
BENCHMARK_CAPTURE(BM_Build, cup, "cup");

// Times the message library on files of messages, one per line, for
// bench/message_compare.js: reading each message, and building it again from
// the fields read. A line is the message's characters when its message
// specification reads text (iso87ascii), a hex dump otherwise.
//   message_time PASSES COUNT SPEC FILE [SPEC FILE ...]
// Each pass reads (then builds) COUNT messages, going round the file's
// messages; prints one JSON object per file with nanoseconds per message of
// every pass, after an untimed warm-up pass.
#include "reader.h"
#include "wire_form.h"
#include "writer.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace
{

using namespace message;

struct Sample
{
    std::string specName;
    std::string file;
    const MessageSpec* spec = nullptr;
    std::vector<std::string> messages;
    std::vector<BuildInput> inputs;
    bool rebuildsSame = true; // whether building the fields read gives the same bytes
};

bool Load(Sample& sample)
{
    std::ifstream in(sample.file);
    for (std::string line; std::getline(in, line);)
    {
        if (line.empty())
            continue;
        std::string bytes;
        Problem problem;
        if (sample.spec->input == WireForm::Text)
            bytes = line;
        else if (!HexToBytes(line, bytes, problem))
        {
            std::fprintf(stderr, "message_time: %s: %s\n", sample.file.c_str(), problem.Text().c_str());
            return false;
        }
        Message message;
        if (!ReadMessage(*sample.spec, sample.spec->framing, bytes, ReadOptions{}, message, problem))
        {
            std::fprintf(stderr, "message_time: %s: %s\n", sample.file.c_str(), problem.Text().c_str());
            return false;
        }
        BuildInput input;
        input.mti.assign(message.mti, 4);
        for (const HeaderValue& part : message.header)
            input.header.emplace_back(part.bytes);
        for (const FieldValue& field : message.fields)
            input.fields.push_back(FieldInput{field.number, std::string(message.Value(field))});
        std::string built;
        if (!BuildMessage(*sample.spec, sample.spec->framing, input, BuildOptions{}, built, problem))
        {
            std::fprintf(stderr, "message_time: %s: building: %s\n", sample.file.c_str(), problem.Text().c_str());
            return false;
        }
        sample.rebuildsSame = sample.rebuildsSame && built == bytes;
        sample.messages.push_back(std::move(bytes));
        sample.inputs.push_back(std::move(input));
    }
    if (sample.messages.empty())
        std::fprintf(stderr, "message_time: no messages in %s\n", sample.file.c_str());
    return !sample.messages.empty();
}

template <typename Work>
double NanosecondsPerItem(std::size_t count, std::size_t kinds, Work work)
{
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < count; ++i)
        work(i % kinds);
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / static_cast<double>(count);
}

void PrintList(const char* name, const std::vector<double>& values)
{
    std::printf(",\"%s\":[", name);
    for (std::size_t i = 0; i < values.size(); ++i)
        std::printf("%s%.2f", i ? "," : "", values[i]);
    std::printf("]");
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 5 || (argc - 3) % 2 != 0)
    {
        std::fprintf(stderr, "usage: message_time PASSES COUNT SPEC FILE [SPEC FILE ...]\n");
        return 2;
    }
    const int passes = std::stoi(argv[1]);
    const std::size_t count = std::stoul(argv[2]);
    std::vector<Sample> samples;
    for (int i = 3; i + 1 < argc; i += 2)
    {
        Sample sample;
        sample.specName = argv[i];
        sample.file = argv[i + 1];
        sample.spec = FindBuiltinSpec(sample.specName);
        if (sample.spec == nullptr)
        {
            std::fprintf(stderr, "message_time: no built-in message specification %s\n", argv[i]);
            return 2;
        }
        if (!Load(sample))
            return 1;
        samples.push_back(std::move(sample));
    }

    // The checksum keeps the work from being optimised away.
    unsigned long long checksum = 0;
    for (const Sample& sample : samples)
    {
        const MessageSpec& spec = *sample.spec;
        Message message;
        Problem problem;
        std::string out;
        bool failed = false;
        const auto read = [&](std::size_t at) {
            failed |= !ReadMessage(spec, spec.framing, sample.messages[at], ReadOptions{}, message, problem);
            checksum += message.fields.size();
        };
        const auto build = [&](std::size_t at) {
            out.clear();
            failed |= !BuildMessage(spec, spec.framing, sample.inputs[at], BuildOptions{}, out, problem);
            checksum += out.size();
        };
        std::vector<double> readNs, buildNs;
        NanosecondsPerItem(count, sample.messages.size(), read);
        NanosecondsPerItem(count, sample.messages.size(), build);
        for (int pass = 0; pass < passes; ++pass)
        {
            readNs.push_back(NanosecondsPerItem(count, sample.messages.size(), read));
            buildNs.push_back(NanosecondsPerItem(count, sample.messages.size(), build));
        }
        if (failed)
        {
            std::fprintf(stderr, "message_time: %s: %s\n", sample.file.c_str(), problem.Text().c_str());
            return 1;
        }
        std::printf("{\"spec\":\"%s\",\"file\":\"%s\",\"messages\":%zu,\"rebuilds_same\":%s", sample.specName.c_str(),
                    sample.file.c_str(), sample.messages.size(), sample.rebuildsSame ? "true" : "false");
        PrintList("read_ns", readNs);
        PrintList("build_ns", buildNs);
        std::printf(",\"checksum\":%llu}\n", checksum);
    }
    return 0;
}

// Times the core on a file of hex bitmaps, one per line, for bench/compare.js:
// decode (the bitmap button's clear and load) and decode + encode (load,
// then render the hex text). Prints one JSON object of nanoseconds per bitmap,
// each the best of several passes.
#include "iso_bitmap.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace
{

template <typename Pass>
double BestNanosecondsPerItem(std::size_t items, int passes, Pass pass)
{
    double best = 0;
    for (int i = 0; i < passes; ++i)
    {
        const auto start = std::chrono::steady_clock::now();
        pass();
        const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
        const double perItem = elapsed.count() / static_cast<double>(items);
        if (i == 0 || perItem < best)
            best = perItem;
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: core_roundtrip FILE [PASSES]\n");
        return 2;
    }
    std::vector<std::string> lines;
    std::ifstream file(argv[1]);
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    if (lines.empty())
    {
        std::fprintf(stderr, "core_roundtrip: no bitmaps in %s\n", argv[1]);
        return 1;
    }
    const int passes = argc > 2 ? std::stoi(argv[2]) : 5;

    // The checksums keep the work from being optimised away.
    unsigned long long checksum = 0;
    CIsoBitmap bitmap;
    const double decode = BestNanosecondsPerItem(lines.size(), passes, [&] {
        for (const std::string& line : lines)
        {
            bitmap.Clear();
            checksum += static_cast<unsigned long long>(bitmap.FromHex(line, false));
        }
    });
    const double roundTrip = BestNanosecondsPerItem(lines.size(), passes, [&] {
        for (const std::string& line : lines)
        {
            bitmap.Clear();
            bitmap.FromHex(line, false);
            checksum += static_cast<unsigned char>(bitmap.ToHex().back());
        }
    });
    std::printf("{\"count\":%zu,\"decode_ns\":%.2f,\"roundtrip_ns\":%.2f,\"checksum\":%llu}\n", lines.size(), decode,
                roundTrip, checksum);
    return 0;
}

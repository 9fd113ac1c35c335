#include "iso_bitmap.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{

// The round trip of the "位图" button: display text in, hex text out.
void RoundTrip(benchmark::State& state, const std::string& text)
{
    CIsoBitmap bitmap;
    for (auto _ : state)
    {
        bitmap.Clear();
        bitmap.FromHex(text, false);
        std::string hex = bitmap.ToHex();
        benchmark::DoNotOptimize(hex);
    }
}

void BM_RoundTrip32Digits(benchmark::State& state)
{
    RoundTrip(state, "F2 3A 44 81 28 E1 80 1A    00 00 00 00 14 00 00 C0 ");
}

void BM_RoundTrip16Digits(benchmark::State& state)
{
    RoundTrip(state, "72 3A 44 81 28 E1 80 1A    ");
}

} // namespace

BENCHMARK(BM_RoundTrip32Digits);
BENCHMARK(BM_RoundTrip16Digits);

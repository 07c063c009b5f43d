#include "engine/suggest/layoutsuggestion.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A service-style file of 365,000 days: a header block, names with units,
// then comma-separated data. The suggestion reads only its first lines.
std::string longFile()
{
    std::string text = "-BEGIN HEADER-\nNASA/POWER daily\n"
                       "T2M_MAX   Temperature at 2 Meters Maximum (C)\n-END HEADER-\n"
                       "YEAR,DOY,T2M_MAX,T2M_MIN,PRECTOTCORR,RH2M\n";
    text.reserve(365000 * 40);
    for (int day = 0; day < 365000; ++day)
        text += std::to_string(1000 + day / 365) + ',' + std::to_string(day % 365 + 1) +
                ",23.16,9.6,0.0,18.87\n";
    return text;
}

void BM_SuggestLayoutOfLongFile(benchmark::State& state)
{
    const std::string text = longFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(pluvora::suggestLayout(text));
}
BENCHMARK(BM_SuggestLayoutOfLongFile)->Unit(benchmark::kMillisecond);

} // namespace

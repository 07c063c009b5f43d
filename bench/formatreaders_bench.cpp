#include "engine/formats/apsimmetfile.h"
#include "engine/formats/cabofile.h"
#include "engine/formats/dssatweatherfile.h"
#include "engine/formats/ghcndailyfile.h"
#include "engine/formats/powercsvfile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <sstream>
#include <string>

// 365,000 days in each format a reader of its own takes: each must stay
// well under half a second.
namespace {

constexpr int kDays = 365000;

std::string daysText(const char* head, const char* row)
{
    std::string text = head;
    text.reserve(static_cast<std::size_t>(kDays) * 64);
    char line[160];
    for (int i = 0; i < kDays; ++i) {
        const int n = std::snprintf(line, sizeof line, row, 1001 + i / 365, 1 + i % 365, 10.0 + i % 20 * 0.1,
                                    20.0 + i % 15 * 0.1, 5.0 + i % 9 * 0.1, i % 7 == 0 ? 12.5 : 0.0);
        text.append(line, static_cast<std::size_t>(n));
    }
    return text;
}

void BM_ApsimMet(benchmark::State& state)
{
    const std::string text = daysText("[weather.met.weather]\nlatitude = -35.1\ntav = 15\namp = 17\n"
                                      "year day radn maxt mint rain\n () () (MJ/m^2) (oC) (oC) (mm)\n",
                                      "%d %3d %6.1f %5.1f %5.1f %5.1f\n");
    for (auto _ : state) {
        std::istringstream in(text);
        const pluvora::ApsimMetHead head = pluvora::readApsimMetHead(in);
        std::size_t days = 0;
        for (std::string line; std::getline(in, line); ++days)
            benchmark::DoNotOptimize(pluvora::readApsimMetRow(line, head.names.size()));
        if (days != kDays)
            state.SkipWithError("days lost");
    }
}
BENCHMARK(BM_ApsimMet)->Unit(benchmark::kMillisecond);

void BM_DssatWeather(benchmark::State& state)
{
    const std::string text = daysText("*WEATHER\n@ INSI      LAT     LONG  ELEV   TAV   AMP\n"
                                      "  UFGA   29.630  -82.370    10  20.9  13.0\n"
                                      "@   DATE  SRAD  TMAX  TMIN  RAIN\n",
                                      "%04d%03d %5.1f %5.1f %5.1f %5.1f\n");
    for (auto _ : state) {
        std::istringstream in(text);
        const pluvora::DssatHead head = pluvora::readDssatHead(in);
        std::size_t days = 0;
        for (std::string line; std::getline(in, line); ++days)
            benchmark::DoNotOptimize(pluvora::readDssatDay(line, head.columns));
        if (days != kDays)
            state.SkipWithError("days lost");
    }
}
BENCHMARK(BM_DssatWeather)->Unit(benchmark::kMillisecond);

void BM_PowerCsv(benchmark::State& state)
{
    const std::string text = daysText("-BEGIN HEADER-\nLocation: latitude  32.9   longitude 72.8\n-END HEADER-\n"
                                      "YEAR,DOY,ALLSKY_SFC_SW_DWN,T2M_MAX,T2M_MIN,PRECTOTCORR\n",
                                      "%d,%d,%.2f,%.2f,%.2f,%.2f\n");
    for (auto _ : state) {
        std::istringstream in(text);
        const pluvora::PowerCsvHead head = pluvora::readPowerCsvHead(in);
        std::size_t days = 0;
        for (std::string line; std::getline(in, line); ++days)
            benchmark::DoNotOptimize(pluvora::readPowerDay(line, head));
        if (days != kDays)
            state.SkipWithError("days lost");
    }
}
BENCHMARK(BM_PowerCsv)->Unit(benchmark::kMillisecond);

void BM_Cabo(benchmark::State& state)
{
    const std::string text = daysText("* station\n   5.67  51.97     7.  -0.18 -0.55\n",
                                      "   1 %d %3d %6.1f %5.1f %5.1f 0.820 2.8 %5.1f\n");
    for (auto _ : state) {
        std::istringstream in(text);
        pluvora::readCaboHead(in);
        std::size_t days = 0;
        for (std::string line; std::getline(in, line); ++days)
            benchmark::DoNotOptimize(pluvora::readCaboDay(line));
        if (days != kDays)
            state.SkipWithError("days lost");
    }
}
BENCHMARK(BM_Cabo)->Unit(benchmark::kMillisecond);

void BM_GhcnDaily(benchmark::State& state)
{
    // 12,000 months of TMAX, TMIN and PRCP: 365,000 days and more.
    std::string text;
    for (int m = 0; m < 12000; ++m)
        for (const char* element : {"TMAX", "TMIN", "PRCP"}) {
            char head[32];
            std::snprintf(head, sizeof head, "USW00003870%04d%02d%s", 1001 + m / 12, 1 + m % 12, element);
            text += head;
            for (int d = 0; d < 31; ++d)
                text += "  123  0";
            text += '\n';
        }
    for (auto _ : state) {
        std::istringstream in(text);
        pluvora::GhcnDailyReader reader(in, {"TMAX", "TMIN", "PRCP"});
        std::size_t days = 0;
        while (auto day = reader.next())
            ++days;
        if (days < kDays)
            state.SkipWithError("days lost");
    }
}
BENCHMARK(BM_GhcnDaily)->Unit(benchmark::kMillisecond);

} // namespace

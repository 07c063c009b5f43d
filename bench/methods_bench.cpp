#include "engine/methods/angstrom.h"
#include "engine/methods/pancoefficient.h"
#include "engine/methods/penmanmonteith.h"
#include "engine/methods/solarfromtemperature.h"
#include "engine/methods/solargeometry.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

using namespace pluvora::methods;

// Each iteration is one record of a year-long series, so the figures are
// the per-record cost of the formula inside a task stage.
int dayOf(std::int64_t i)
{
    return static_cast<int>(i % 365) + 1;
}

void BM_ClearDay(benchmark::State& state)
{
    const double phi = degreesToRadians(42.0);
    std::int64_t i = 0;
    for (auto _ : state) {
        double Ra = 0, Rso = 0, N = 0;
        benchmark::DoNotOptimize(SolarOFclearDay(dayOf(i++), Ra, phi, 0.25, 0.5, Rso, N));
        benchmark::DoNotOptimize(Ra + Rso + N);
    }
}
BENCHMARK(BM_ClearDay);

void BM_SolarFromTemperature(benchmark::State& state)
{
    const int region = static_cast<int>(state.range(0));
    const double phi = degreesToRadians(42.0);
    std::int64_t i = 0;
    for (auto _ : state) {
        const auto Rs = solarFromTemperature(region, dayOf(i), phi, 28.0 + (i % 7), 12.0);
        ++i;
        benchmark::DoNotOptimize(Rs);
    }
}
BENCHMARK(BM_SolarFromTemperature)->Arg(kRegionMidWestUsa)->Arg(kRegionContinental);

void BM_SolarFromSunshine(benchmark::State& state)
{
    const double phi = degreesToRadians(42.0);
    std::int64_t i = 0;
    for (auto _ : state) {
        const auto Rs = solarFromSunshine(1, SunshineMode::Hours, static_cast<double>(i % 12), dayOf(i), phi);
        ++i;
        benchmark::DoNotOptimize(Rs);
    }
}
BENCHMARK(BM_SolarFromSunshine);

void BM_PanCoefficient(benchmark::State& state)
{
    const int code = static_cast<int>(state.range(0));
    std::int64_t i = 0;
    for (auto _ : state) {
        const double u = 0.5 + static_cast<double>(i % 9);
        const double H = 30.0 + static_cast<double>(i % 60);
        ++i;
        const double Kp = code == kPanTypeUnknown ? unknownPanCoefficient(u, H)
                                                  : panCoefficient(code, u, H, 1000.0);
        benchmark::DoNotOptimize(Kp);
    }
}
BENCHMARK(BM_PanCoefficient)->DenseRange(1, 5);

void BM_PenmanMonteith(benchmark::State& state)
{
    PenmanMonteithInput in;
    in.phi = degreesToRadians(35.0);
    in.z = 300.0;
    std::int64_t i = 0;
    for (auto _ : state) {
        in.J = dayOf(i);
        in.Rs = 10.0 + static_cast<double>(i % 20);
        in.Tmax = 20.0 + static_cast<double>(i % 15);
        in.Tmin = 8.0 + static_cast<double>(i % 10);
        in.RH = 40.0 + static_cast<double>(i % 50);
        in.u = 1.0 + static_cast<double>(i % 5);
        ++i;
        benchmark::DoNotOptimize(alfalfaReferenceET(in));
    }
}
BENCHMARK(BM_PenmanMonteith);

} // namespace

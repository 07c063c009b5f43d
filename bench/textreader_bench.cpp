#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

std::filesystem::path sampleFile(int rows)
{
    auto path = std::filesystem::temp_directory_path() / "pluvora-bench-reader.txt";
    pluvora::TextWriter w(path);
    for (int i = 0; i < rows; ++i)
        w.writeLine("2001\t" + std::to_string(i % 365 + 1) + "\t12.35\t25.1\t12.4\t71\t0.0\t1.2");
    w.close();
    return path;
}

void BM_ReadNumbers(benchmark::State& state)
{
    const auto path = sampleFile(10000);
    for (auto _ : state) {
        pluvora::TextReader r(path);
        double sum = 0;
        while (auto v = r.nextNumber())
            sum += *v;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 10000 * 8);
}
BENCHMARK(BM_ReadNumbers);

} // namespace

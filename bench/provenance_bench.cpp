#include "engine/appfolder/appfolder.h"
#include "engine/columns/datalayout.h"
#include "engine/provenance/decimation.h"
#include "engine/provenance/runprovenance.h"
#include "engine/report/qualityreport.h"
#include "engine/run/processingrun.h"
#include "engine/ui/userfeedback.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kCenturyOfDays = 365000;

class QuietFeedback : public pluvora::UserFeedback {
public:
    void showMessage(pluvora::MessageKind, std::string_view text) override { messages += text; }
    bool askYesNo(std::string_view) override { return false; }
    void playSound(pluvora::Sound) override {}
    void setProgressVisible(bool) override {}
    void gaugeDisplay() override {}
    std::string messages;
};

// A thousand years of days, a seasonal curve with a spike now and then:
// what a chart of a long record has to keep.
void BM_DecimateThousandYears(benchmark::State& state)
{
    std::vector<double> x(kCenturyOfDays), y(kCenturyOfDays);
    for (int i = 0; i < kCenturyOfDays; ++i) {
        x[static_cast<std::size_t>(i)] = i;
        y[static_cast<std::size_t>(i)] = 15 + 10 * std::sin(i / 58.1) + (i % 997 == 0 ? 30 : 0);
    }
    const int columns = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto points = pluvora::decimateMinMax(x, y, 0, kCenturyOfDays - 1, columns);
        benchmark::DoNotOptimize(points.data());
    }
    state.SetItemsProcessed(state.iterations() * kCenturyOfDays);
}
BENCHMARK(BM_DecimateThousandYears)->Arg(1000)->Unit(benchmark::kMicrosecond);

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

void writeStation(const std::filesystem::path& path, int rows)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs("Station 42, generated\nYear DOY Tmax Tmin Rain\n", file);
    int year = 1800, doy = 1;
    for (int i = 0; i < rows; ++i) {
        const int t = i % 30;
        std::fprintf(file, "%d %d %d.4 %d.25 %s\n", year, doy, 15 + t, t - 5, i % 7 == 0 ? "12.5" : "0");
        if (++doy > (isLeap(year) ? 366 : 365)) {
            doy = 1;
            ++year;
        }
    }
    std::fclose(file);
}

// The batch's streamed task-1 run of 100,000 days, as pluvora-batch runs
// it, without and with the account of the days and the quality report.
void BM_BatchRunReport(benchmark::State& state)
{
    constexpr int kRows = 100000;
    const bool report = state.range(0) != 0;
    const auto folderPath = std::filesystem::temp_directory_path() / "pluvora-report-bench";
    std::filesystem::create_directories(folderPath);
    const auto input = folderPath / "station.txt";
    writeStation(input, kRows);
    {
        pluvora::AppFolder folder(folderPath / "app");
        std::filesystem::create_directories(folderPath / "app");
        pluvora::RunRequest request;
        request.taskIndex = 0;
        request.fileName = "station.txt";
        request.rowsBeforeText = "2";
        request.layout = pluvora::layoutFromColumns("Year,DOY,T-max:oC,T-min:oC,Precip:mm");
        request.streamed = true;
        request.inputFile = input;
        for (auto _ : state) {
            QuietFeedback ui;
            pluvora::RunProvenance provenance;
            if (report)
                request.provenance = &provenance;
            const auto outcome = pluvora::runProcessing(request, folder, ui);
            if (!outcome.completed) {
                state.SkipWithError(("run stopped: " + ui.messages).c_str());
                break;
            }
            if (report)
                pluvora::writeQualityReport(folderPath / "report.html", provenance,
                                            {"station.txt", "Year,DOY,T-max:oC,T-min:oC,Precip:mm", 2,
                                             "1, Convert to Maravel/Nitrova format", ""});
        }
    }
    std::filesystem::remove_all(folderPath);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_BatchRunReport)->ArgNames({"report"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

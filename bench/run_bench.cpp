#include "appfolder/appfolder.h"
#include "columns/variablecatalogue.h"
#include "run/processingrun.h"
#include "ui/userfeedback.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

class SilentFeedback : public pluvora::UserFeedback {
public:
    void showMessage(pluvora::MessageKind, std::string_view text) override { messages += text; }
    bool askYesNo(std::string_view) override { return false; }
    void playSound(pluvora::Sound) override {}
    void setProgressVisible(bool) override {}
    void gaugeDisplay() override {}

    std::string messages;
};

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Consecutive days from 1 January 1800, with plausible values. With
// `separator` a comma, every row needs cleaning before it can be read.
std::string stationText(int rows, char separator)
{
    std::string text = "Station 42, generated\nYear DOY Tmax Tmin Rain\n";
    text.reserve(static_cast<std::size_t>(rows) * 32 + 64);
    int year = 1800;
    int doy = 1;
    for (int i = 0; i < rows; ++i) {
        const int t = i % 30;
        text += std::to_string(year);
        text += separator;
        text += std::to_string(doy);
        text += separator;
        text += std::to_string(15 + t) + ".4";
        text += separator;
        text += std::to_string(t - 5) + ".25";
        text += separator;
        text += (i % 7 == 0) ? "12.5" : "0";
        text += '\n';
        if (++doy > (isLeap(year) ? 366 : 365)) {
            doy = 1;
            ++year;
        }
    }
    return text;
}

pluvora::RunRequest taskOneRequest(std::string_view text)
{
    pluvora::RunRequest request;
    request.taskIndex = 0;
    request.fileName = "station.txt";
    request.rowsBeforeText = "2";
    request.variableIndex = {pluvora::kYear, pluvora::kDoy, pluvora::kTmax, pluvora::kTmin,
                             pluvora::kPrecip, -1, -1, -1, -1, -1, -1, -1};
    request.unitShown = {"", "", "oC", "oC", "mm"};
    request.inputText = text;
    return request;
}

// A whole task-1 run: save, end notes, cleaning when needed, substitution,
// missing-value check, checkup and conversion, output loaded for the panel.
void BM_TaskOneRun(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const std::string text = stationText(rows, state.range(1) ? ',' : ' ');
    const auto folderPath = std::filesystem::temp_directory_path()
                            / ("pluvora-run-bench-" + std::to_string(rows) + "-" + std::to_string(state.range(1)));
    std::filesystem::create_directories(folderPath);
    {
        pluvora::AppFolder folder(folderPath);
        const auto request = taskOneRequest(text);
        for (auto _ : state) {
            SilentFeedback ui;
            const auto outcome = pluvora::runProcessing(request, folder, ui);
            if (!outcome.completed) {
                state.SkipWithError(("run stopped: " + ui.messages).c_str());
                break;
            }
            benchmark::DoNotOptimize(outcome.outputPanel->size());
        }
    }
    std::filesystem::remove_all(folderPath);
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(text.size()));
}
BENCHMARK(BM_TaskOneRun)
    ->ArgNames({"rows", "cleaning"})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

#include "engine/appfolder/appfolder.h"
#include "engine/columns/variablecatalogue.h"
#include "engine/run/processingrun.h"
#include "engine/ui/userfeedback.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

class QuietFeedback : public pluvora::UserFeedback {
public:
    void showMessage(pluvora::MessageKind, std::string_view text) override { messages += text; }
    bool askYesNo(std::string_view) override { return false; }
    void playSound(pluvora::Sound) override {}
    void setProgressVisible(bool) override {}
    void gaugeDisplay() override {}

    std::string messages;
};

// Consecutive days from 1 January 1800 with every column tasks 1 and 4 to 7
// read, at a mid latitude so that every day has a sunrise.
std::string everyColumnText(int rows)
{
    std::string text = "Station 42, generated\nYear DOY Solar Tmax Tmin RH Wind Pan Sun Rain\n";
    text.reserve(static_cast<std::size_t>(rows) * 48 + 80);
    int year = 1800;
    int doy = 1;
    for (int i = 0; i < rows; ++i) {
        const int t = i % 30;
        text += std::to_string(year) + ' ' + std::to_string(doy) + ' ' + std::to_string(5 + t % 20) + ".5 "
            + std::to_string(15 + t) + ".4 " + std::to_string(t - 5) + ".25 " + std::to_string(40 + t)
            + " 2.5 " + std::to_string(1 + t % 9) + ".2 " + std::to_string(t % 12) + ".3 "
            + ((i % 7 == 0) ? "12.5" : "0") + '\n';
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        if (++doy > (leap ? 366 : 365)) {
            doy = 1;
            ++year;
        }
    }
    return text;
}

pluvora::RunRequest requestFor(int task, bool rearrange, std::string_view text)
{
    using namespace pluvora;
    RunRequest request;
    request.taskIndex = task - 1;
    request.rearrange = rearrange;
    request.fileName = "station.txt";
    request.rowsBeforeText = "2";
    request.layout = layoutFromColumns("Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,RelHum:%,WndSpd:m/s,PanEvap:mm,SunHr:hr,Precip:mm");
    request.pages.latitudeTask4 = request.pages.latitudeTask5 = request.pages.latitudeTask7 = "40";
    request.pages.elevationTask7 = "300";
    request.inputText = text;
    return request;
}

// A whole run of task 1, the checkup alone or an estimation task on the
// same input, so each can be weighed against task 1.
void BM_EstimationRun(benchmark::State& state)
{
    const int task = static_cast<int>(state.range(0));
    const bool rearrange = state.range(1) != 0;
    constexpr int kRows = 100000;
    const std::string text = everyColumnText(kRows);
    const auto folderPath = std::filesystem::temp_directory_path()
        / ("pluvora-estimate-bench-" + std::to_string(task) + "-" + std::to_string(state.range(1)));
    std::filesystem::create_directories(folderPath);
    {
        pluvora::AppFolder folder(folderPath);
        const auto request = requestFor(task, rearrange, text);
        for (auto _ : state) {
            QuietFeedback ui;
            const auto outcome = pluvora::runProcessing(request, folder, ui);
            // The checkup alone (task 3) ends before the completion when
            // it finds nothing to report.
            if (!outcome.completed && task != 3) {
                state.SkipWithError(("run stopped: " + ui.messages).c_str());
                break;
            }
            benchmark::DoNotOptimize(outcome.outputPanel.has_value());
        }
    }
    std::filesystem::remove_all(folderPath);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_EstimationRun)
    ->ArgNames({"task", "rearrange"})
    ->Args({1, 0})
    ->Args({3, 0})
    ->Args({4, 0})
    ->Args({4, 1})
    ->Args({5, 1})
    ->Args({6, 1})
    ->Args({7, 0})
    ->Args({7, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

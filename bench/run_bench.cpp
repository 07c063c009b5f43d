#include "engine/appfolder/appfolder.h"
#include "engine/columns/variablecatalogue.h"
#include "engine/run/processingrun.h"
#include "engine/table/paneltext.h"
#include "engine/ui/userfeedback.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
    request.layout = pluvora::layoutFromColumns("Year,DOY,T-max:oC,T-min:oC,Precip:mm");
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

namespace {

// Whole runs of task 1 on a station file like the benchmark kit's: three
// header rows, slashed dates, Fahrenheit, inches, mile/hr, W/m2, about 2 %
// of the Tmin values flagged with a letter. Made once per size in a temp
// folder. PLUVORA_BENCH_SKIP_LARGE=1 leaves out the 2,920,000-record size.

void writeKitLikeInput(const std::filesystem::path& path, long records)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    std::fputs("Station 38.5N 98W, synthetic\n"
               "  Date        Tmax    Tmin   Precip     RH   Wind   Solar\n"
               "              oF      oF     inch       %   mile/hr W/m2\n",
               file);
    std::uint64_t seed = 42;
    auto next = [&seed](int range) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((seed >> 33) % static_cast<std::uint64_t>(range));
    };
    int year = 1900;
    int month = 1;
    int day = 1;
    static constexpr int kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (long i = 0; i < records; ++i) {
        const int season = (month * 30 + day) % 365;
        const int tmax = 400 + (season < 182 ? season : 365 - season) * 3 + next(100);
        const int tmin = tmax - 150 - next(100);
        const int precip = next(10) < 3 ? next(120) : 0;
        const char* flag = next(50) == 0 ? "M" : " ";
        std::fprintf(file, "%04d/%02d/%02d %7d.%d %6d.%d%s %6d.%02d %6d %6d.%d %7d.%d\n", year, month, day,
                     tmax / 10, tmax % 10, tmin / 10, tmin % 10, flag, precip / 100, precip % 100,
                     40 + next(55), next(20), next(10), 50 + next(300), next(10));
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        if (++day > kLength[month - 1] + (month == 2 && leap ? 1 : 0)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    std::fclose(file);
}

pluvora::RunRequest kitRequest()
{
    pluvora::RunRequest request;
    request.taskIndex = 0;
    request.fileName = "weather.txt";
    request.rowsBeforeText = "3";
    request.layout = pluvora::layoutFromColumns("Year,Month,Day,T-max:oF,T-min:oF,Precip:inch,RelHum:%,WndSpd:mile/hr,Solar:W/m2");
    return request;
}

struct KitRun {
    std::filesystem::path folder;
    std::filesystem::path input;
    explicit KitRun(long records)
        : folder(std::filesystem::temp_directory_path() / ("pluvora-kit-bench-" + std::to_string(records)))
    {
        std::filesystem::create_directories(folder / "app");
        input = folder / "weather.txt";
        writeKitLikeInput(input, records);
    }
    ~KitRun()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

// What pluvora-batch does: the file read directly (or streamed into the
// run when it must be), the result left in a working file.
void BM_BatchTaskOne(benchmark::State& state)
{
    const long records = state.range(0);
    KitRun kit(records);
    pluvora::AppFolder folder(kit.folder / "app");
    auto request = kitRequest();
    request.streamed = true;
    for (auto _ : state) {
        SilentFeedback ui;
        request.inputFile.clear();
        if (pluvora::readsAsItsPanelText(kit.input))
            request.inputFile = kit.input;
        else
            pluvora::saveTextFileAsPanelText(kit.input, folder.file(pluvora::workfile::kInput));
        const auto outcome = pluvora::runProcessing(request, folder, ui);
        if (!outcome.completed) {
            state.SkipWithError(("run stopped: " + ui.messages).c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * records);
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(std::filesystem::file_size(kit.input)));
}

// What the window does after "Step 4: Process": the panel text in, the
// result loaded as panel text.
void BM_WindowTaskOne(benchmark::State& state)
{
    const long records = state.range(0);
    KitRun kit(records);
    pluvora::AppFolder folder(kit.folder / "app");
    const std::string panel = pluvora::loadTextFile(kit.input);
    auto request = kitRequest();
    request.inputText = panel;
    for (auto _ : state) {
        SilentFeedback ui;
        const auto outcome = pluvora::runProcessing(request, folder, ui);
        if (!outcome.completed) {
            state.SkipWithError(("run stopped: " + ui.messages).c_str());
            break;
        }
        benchmark::DoNotOptimize(outcome.outputPanel->size());
    }
    state.SetItemsProcessed(state.iterations() * records);
}

const bool kRegistered = [] {
    const char* skip = std::getenv("PLUVORA_BENCH_SKIP_LARGE");
    const bool large = !(skip && *skip && std::string(skip) != "0");
    auto* batch = benchmark::RegisterBenchmark("BM_BatchTaskOne", BM_BatchTaskOne);
    batch->ArgName("records")->Arg(365000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
    if (large)
        batch->Arg(2920000);
    benchmark::RegisterBenchmark("BM_WindowTaskOne", BM_WindowTaskOne)
        ->ArgName("records")
        ->Arg(365000)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    return true;
}();

} // namespace

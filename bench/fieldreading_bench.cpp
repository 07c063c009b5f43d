#include "engine/appfolder/appfolder.h"
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

enum Shape { kBlanks, kComma, kQuotedDateComma, kSemicolonDecimalComma };

// A year of days repeated: Year DOY Tmax Tmin Rain, or with a quoted ISO date
// in front, in the shape asked for.
std::string stationText(int rows, Shape shape)
{
    std::string text = "Station 42, generated\nYear DOY Tmax Tmin Rain\n";
    text.reserve(static_cast<std::size_t>(rows) * 48 + 64);
    const char sep = shape == kBlanks ? ' ' : shape == kSemicolonDecimalComma ? ';' : ',';
    const char point = shape == kSemicolonDecimalComma ? ',' : '.';
    for (int i = 0; i < rows; ++i) {
        const int year = 1801 + i / 365; // common years only
        const int doy = 1 + i % 365;
        const int t = i % 30;
        if (shape == kQuotedDateComma) {
            char date[16];
            std::snprintf(date, sizeof date, "\"%04d%03d\"", year, doy);
            text += date;
        } else {
            text += std::to_string(year);
            text += sep;
            text += std::to_string(doy);
        }
        text += sep;
        text += std::to_string(15 + t);
        text += point;
        text += '4';
        text += sep;
        text += std::to_string(t - 5);
        text += point;
        text += "25";
        text += sep;
        text += (i % 7 == 0) ? "12" : "0";
        text += '\n';
    }
    return text;
}

pluvora::DataLayout layoutFor(Shape shape)
{
    using pluvora::FieldSeparator;
    pluvora::DataLayout layout;
    switch (shape) {
    case kBlanks:
        layout = pluvora::layoutFromColumns("Year,DOY,T-max:oC,T-min:oC,Precip:mm");
        break;
    case kComma:
        layout = pluvora::layoutFromColumns("Year,DOY,T-max:oC,T-min:oC,Precip:mm");
        layout.fields = FieldSeparator::Comma;
        break;
    case kQuotedDateComma:
        layout = pluvora::layoutFromColumns("Date:YYYYDDD,T-max:oC,T-min:oC,Precip:mm");
        layout.fields = FieldSeparator::Comma;
        break;
    case kSemicolonDecimalComma:
        layout = pluvora::layoutFromColumns("Year,DOY,T-max:oC,T-min:oC,Precip:mm");
        layout.fields = FieldSeparator::Semicolon;
        layout.decimalComma = true;
        break;
    }
    return layout;
}

// A whole task-1 run per record, for each way of separating fields; the
// delimited ones pay for splitting the fields (target: 1.5 times blanks).
// Streamed is pluvora-batch, whose input takes a one-pass path; not
// streamed is the window, where every input goes through the stages.
void BM_TaskOneByFields(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const auto shape = static_cast<Shape>(state.range(1));
    const bool streamed = state.range(2) != 0;
    const auto folderPath = std::filesystem::temp_directory_path()
                            / ("pluvora-fields-bench-" + std::to_string(state.range(1)));
    std::filesystem::create_directories(folderPath / "app");
    const auto input = folderPath / "station.txt";
    {
        const std::string text = stationText(rows, shape);
        std::FILE* file = std::fopen(input.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    {
        pluvora::AppFolder folder(folderPath / "app");
        pluvora::RunRequest request;
        request.taskIndex = 0;
        request.fileName = "station.txt";
        request.rowsBeforeText = "2";
        request.layout = layoutFor(shape);
        request.substitutionEnabled = false;
        request.streamed = streamed;
        if (streamed)
            request.inputFile = input;
        const std::string panel = streamed ? std::string() : stationText(rows, shape);
        request.inputText = panel;
        for (auto _ : state) {
            QuietFeedback ui;
            const auto outcome = pluvora::runProcessing(request, folder, ui);
            if (!outcome.completed) {
                state.SkipWithError(("run stopped: " + ui.messages).c_str());
                break;
            }
        }
    }
    std::filesystem::remove_all(folderPath);
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_TaskOneByFields)
    ->ArgNames({"rows", "fields", "streamed"})
    ->ArgsProduct({{200000}, {kBlanks, kComma, kQuotedDateComma, kSemicolonDecimalComma}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

} // namespace

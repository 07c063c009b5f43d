// The whole batch program in this process: fuzzed options (first bytes), a
// fuzzed existing weather file and a fuzzed input (the rest). Beyond
// crashes it checks what a user relies on: a failed run leaves the weather
// file byte for byte; a changed weather file means exit 0 and a .old file
// holding its previous bytes; no temporary file stays beside the files the
// run wrote; and a completed run's -o file equals what the window would
// save for the same settings.
#include "fuzzsupport.h"

#include "batch/batchoptions.h"
#include "batch/batchrun.h"
#include "engine/appfolder/appfolder.h"
#include "engine/output/outputactions.h"
#include "engine/run/processingrun.h"
#include "engine/table/paneltext.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <iterator>
#include <optional>
#include <variant>
#include <vector>

using namespace pluvora;
namespace fs = std::filesystem;

namespace {

const char* const kColumnLists[] = {
    "Year,DOY,T-max:oC,T-min:oC,Precip:mm",
    "Year,Month,Day,T-max:oF,T-min:oF,Precip:inch,RelHum:%,Ignore,Solar:W/m2",
    "Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,RelHum,WndSpd:m/s",
    "Year,DOY,PanEvap:mm,WndSpd:m/s,RelHum",
    "Year,Month,Day,T-min:oF,T-max:oF",
    "Year,DOY,SunHr,T-max:oC,T-min:oC",
    "Year,DOY",
    "T-max:oC,Year",
    "Date:YYYY-MM-DD,T-max:oC,T-min:oC,Precip:mm",
    "Date:YYYYDDD,Ignore,T-max:oF,T-min:oF,Precip:0.1 mm",
};
// How the fields are separated, beside the blanks of most layouts.
const std::vector<std::string> kFieldChoices[] = {
    {},
    {"--fields", "comma"},
    {"--fields", "semicolon", "--decimal-comma"},
    {"--fields", "tab", "--trace", "T"},
    {"--fields", "fixed", "--widths", "4,8,14,20,26,32,38,44,50"},
    {"--decimal-comma", "--trace", "-1"},
};
const char* const kRows[] = {"0", "1", "2", "3", "x", "-1", "999999999"};
const char* const kLatitudes[] = {"40.5", "-66", "70", "abc", "", "-33.9"};
const char* const kElevations[] = {"350", "0", "-10", "-431", "9000", "x", "1e308", "-1e308"};
const char* const kFetches[] = {"10", "1000", "0", "-5", "x", "", "2147483647"};
const char* const kSites[] = {"40.5 N 96.25 W 350", "x", "", "91 N 0 E 0"};

std::string readAll(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What the window's Save would write for the run the batch made.
std::optional<std::string> windowResult(const BatchOptions& options, const fs::path& scratchFolder)
{
    RunRequest request = runRequestFor(options);
    request.streamed = false;
    std::string panel;
    try {
        panel = loadTextFile(options.input);
    } catch (const Error&) {
        return std::nullopt;
    }
    request.inputText = panel;
    fs::create_directories(scratchFolder);
    const AppFolder folder(scratchFolder);
    folder.deleteFiles();
    fuzz::SilentFeedback feedback(options.yes ? 0xFF : 0);
    RunOutcome outcome;
    try {
        outcome = runProcessing(request, folder, feedback);
    } catch (const Error&) {
        return std::nullopt;
    }
    if (!outcome.completed || !outcome.outputPanel)
        return std::nullopt;
    std::string text = *outcome.outputPanel;
    switch (outcome.finishing) {
    case Finishing::None:
        break;
    case Finishing::LatitudeLine:
        removeExtraRows(text, outcome.rowsBefore);
        insertLine(text, 1, outcome.latitudeLine);
        break;
    default:
        return std::nullopt;
    }
    const fs::path saved = scratchFolder / "saved.wth";
    saveOutputPanel(saved, text);
    return readAll(saved);
}

} // namespace

// Present in sanitizer builds only.
extern "C" __attribute__((weak)) void __sanitizer_set_report_fd(void* fd);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ByteSource bytes(data, size);
    const std::uint8_t taskByte = bytes.next();
    const int task = taskByte % 9; // 0 and 8 are refused
    const auto& fieldChoice = kFieldChoices[(taskByte / 9) % std::size(kFieldChoices)];
    const std::uint8_t flags = bytes.next();
    const std::uint8_t weatherLength = bytes.next();

    std::vector<std::string> args = {"--task", std::to_string(task), "--rows", bytes.pick(kRows), "--columns",
                                     bytes.pick(kColumnLists)};
    if (flags & 1u)
        args.insert(args.end(), {"--latitude", bytes.pick(kLatitudes)});
    if (flags & 2u)
        args.insert(args.end(), {"--elevation", bytes.pick(kElevations), "--fetch", bytes.pick(kFetches)});
    if (flags & 4u)
        args.insert(args.end(), {"--site", bytes.pick(kSites)});
    if (flags & 8u)
        args.push_back("--yes");
    if (flags & 16u)
        args.push_back("--no-rearrange");
    args.insert(args.end(), fieldChoice.begin(), fieldChoice.end());

    const fs::path folder = fuzz::scratch().path() / "user";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string_view rest = bytes.rest();
    const std::size_t split = std::min<std::size_t>(rest.size(), std::size_t{weatherLength} * 8);
    const std::string weatherBytes(rest.substr(0, split));
    const fs::path weather = folder / "c.wth";
    const fs::path output = folder / "out.wth";
    const fs::path input = fuzz::scratch().write("input.txt", rest.substr(split));
    fuzz::scratch().write("c.wth", weatherBytes);
    fs::copy_file(fuzz::scratch().path() / "c.wth", weather);
    if (task == 2 || (flags & 32u))
        args.insert(args.end(), {"--update", weather.string()});
    if (flags & 64u)
        args.insert(args.end(), {"-o", (flags & 128u) ? std::string("/dev/null") : output.string()});
    args.push_back(input.string());

    const std::vector<std::string_view> views(args.begin(), args.end());
    const auto parsed = parseBatchOptions(views);
    std::optional<BatchOptions> options;
    if (const auto* ok = std::get_if<BatchOptions>(&parsed))
        options = *ok;
    // The program's messages and its standard output go nowhere: millions
    // of runs would drown the fuzzer's own report.
    static const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    static const int savedOut = ::dup(1);
    static const int savedErr = ::dup(2);
    // A sanitizer's report must not go where the program's messages go.
    static const bool reportsKept = [] {
        if (__sanitizer_set_report_fd)
            __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(savedErr)));
        return true;
    }();
    (void)reportsKept;
    std::fflush(stdout);
    ::dup2(quiet, 1);
    ::dup2(quiet, 2);
    const int status = batchMain(views);
    std::fflush(stdout);
    ::dup2(savedOut, 1);
    ::dup2(savedErr, 2);

    const std::string weatherAfter = readAll(weather);
    if (weatherAfter != weatherBytes) {
        if (status != 0 || readAll(folder / "c.wth.old") != weatherBytes)
            std::abort();
    }
    for (const std::string& name : namesIn(folder))
        if (name != "c.wth" && name != "c.wth.old" && name != "out.wth")
            std::abort();
    if (status == 0 && options && !options->update && options->output && *options->output == output) {
        if (const auto expected = windowResult(*options, fuzz::scratch().path() / "window"))
            if (*expected != readAll(output))
                std::abort();
    }
    return 0;
}

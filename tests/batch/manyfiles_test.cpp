#include "batch/runsummary.h"
#include "engine/appfolder/appfolder.h"
#include "engine/columns/variablecatalogue.h"
#include "engine/templates/templatestore.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace pluvora {
namespace {

namespace fs = std::filesystem;

const fs::path kSampleData = PLUVORA_SAMPLE_DATA;
const fs::path kDaymetGolden = fs::path(PLUVORA_BATCH_GOLDEN) / "daymet_v3_demo_2000-2003.wth";
const char* const kDaymet = "daymet_v3_demo_2000-2003.csv";
const char* const kDaymetColumns = "Year,DOY,Ignore,Precip:mm,Ignore,Ignore,T-max:oC,T-min:oC";
const char* const kDaymetSite = "36.0133 N 84.2625 W 279";

struct Ran {
    int status = -1;
    std::string err;
};

// The program with `args`, standard error kept, `env` ("NAME=value") added.
Ran runProgram(const test::TempFolder& temp, const std::vector<std::string>& args,
               const std::vector<std::string>& env = {})
{
    std::string command;
    for (const auto& e : env)
        command += e + " ";
    command += std::string("'") + PLUVORA_BATCH_EXE + "'";
    for (const auto& a : args)
        command += " '" + a + "'";
    const fs::path err = temp.path() / "stderr.txt";
    command += " >/dev/null 2>'" + err.string() + "' </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readFile(err)};
}

std::vector<std::string> daymetArgs(std::vector<std::string> more)
{
    std::vector<std::string> args{"--task", "1", "--rows", "8", "--columns", kDaymetColumns, "--site", kDaymetSite};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// A station folder: `good` copies of the Daymet sample, one file the run
// refuses, and a note the glob leaves out.
fs::path stationFolder(const test::TempFolder& temp, int good)
{
    const fs::path in = temp.path() / "in";
    fs::create_directories(in);
    for (int i = 0; i < good; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "st%03d.csv", i);
        fs::copy_file(kSampleData / kDaymet, in / name);
    }
    fs::copy_file(kSampleData / "eccc_marieville_2014_daily.csv", in / "bad.csv");
    test::writeFile(in / "readme.md", "not a station\n");
    return in;
}

// The summary without its timing column, which no two runs share.
std::string untimed(const fs::path& summary)
{
    return std::regex_replace(test::readFile(summary), std::regex(",[0-9.]+\n"), ",S\n");
}

std::vector<std::string> leftovers(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().front() == '.')
            names.push_back(e.path().filename().string());
    return names;
}

TEST(ManyFiles, FolderGivesOneWholeOutputPerInputAndASummary)
{
    test::TempFolder temp;
    const fs::path in = stationFolder(temp, 3);
    const fs::path out = temp.path() / "out";
    const auto r = runProgram(temp, daymetArgs({in.string(), "--glob", "*.csv", "--out-dir", out.string(),
                                                "--jobs", "2", "--quiet"}));
    EXPECT_EQ(r.status, 1) << r.err;
    for (const char* name : {"st000.wth", "st001.wth", "st002.wth"})
        EXPECT_TRUE(test::readFile(out / name) == test::readFile(kDaymetGolden)) << name;
    EXPECT_FALSE(fs::exists(out / "bad.wth"));
    EXPECT_FALSE(fs::exists(out / "readme.wth"));
    EXPECT_EQ(leftovers(out), std::vector<std::string>{});
    const std::string i = in.string() + "/";
    // The layout has no Solar: each converted file says so.
    const std::string kNoSolar = "notice: No column holds Solar: the weather file gets 0 for it on every day.";
    EXPECT_EQ(untimed(out / "summary.csv"),
              std::string(kSummaryHeader) + "\n" + i
                  + "bad.csv,failed,1,error: Date is missing. Check the input data and try again.,0,0,0,0,S\n"
                  + i + "st000.csv,ok,0," + kNoSolar + ",1460,1460,0,0,S\n" + i + "st001.csv,ok,0," + kNoSolar
                  + ",1460,1460,0,0,S\n" + i + "st002.csv,ok,0," + kNoSolar + ",1460,1460,0,0,S\n");
    EXPECT_NE(r.err.find("notice: 4 files: 3 converted, 1 failed, 0 skipped, 0 not started"), std::string::npos)
        << r.err;
}

// Stopped by SIGTERM after its first file, a run leaves only whole outputs
// and a summary of them; the same command with --skip-existing finishes.
TEST(ManyFiles, StoppedRunLeavesWholeFilesAndResumes)
{
    test::TempFolder temp;
    const fs::path in = stationFolder(temp, 60);
    fs::remove(in / "bad.csv");
    const fs::path out = temp.path() / "out";
    std::vector<std::string> args = daymetArgs({in.string(), "--glob", "*.csv", "--out-dir", out.string(),
                                                "--jobs", "1", "--quiet"});
    args.insert(args.begin(), PLUVORA_BATCH_EXE);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (temp.path() / "err.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, PLUVORA_BATCH_EXE, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(out / "st000.wth") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(pid, SIGTERM);
    int raw = 0;
    ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);

    const auto done = readSummary(out / "summary.csv");
    ASSERT_GE(done.size(), 1u);
    ASSERT_LT(done.size(), 60u) << "the run was not stopped";
    for (const auto& row : done)
        EXPECT_EQ(row.status, "ok") << row.file;
    for (const auto& e : fs::directory_iterator(out)) {
        if (e.path().extension() == ".wth") {
            EXPECT_TRUE(test::readFile(e.path()) == test::readFile(kDaymetGolden)) << e.path();
        }
    }
    EXPECT_EQ(leftovers(out), std::vector<std::string>{});

    const auto again = runProgram(temp, daymetArgs({in.string(), "--glob", "*.csv", "--out-dir", out.string(),
                                                    "--skip-existing", "--quiet"}));
    EXPECT_EQ(again.status, 0) << again.err;
    const auto all = readSummary(out / "summary.csv");
    ASSERT_EQ(all.size(), 60u);
    EXPECT_TRUE(std::all_of(all.begin(), all.end(), [](const FileResult& row) { return row.status == "ok"; }));
}

// Shards of one list, joined, give the summary of the whole list in order.
TEST(ManyFiles, ShardSummariesJoinInInputOrder)
{
    test::TempFolder temp;
    const fs::path in = stationFolder(temp, 4);
    const fs::path whole = temp.path() / "whole";
    const fs::path shards = temp.path() / "shards";
    EXPECT_EQ(runProgram(temp, daymetArgs({in.string(), "--out-dir", whole.string(), "--quiet"})).status, 1);
    for (const char* shard : {"0/3", "1/3", "2/3"})
        runProgram(temp, daymetArgs({in.string(), "--shard", shard, "--out-dir", shards.string(), "--quiet"}));
    EXPECT_TRUE(fs::exists(shards / "summary-2.csv"));
    EXPECT_FALSE(fs::exists(shards / "summary.csv"));
    const auto merged = runProgram(temp, {"--merge-summaries", shards.string()});
    EXPECT_EQ(merged.status, 0) << merged.err;
    EXPECT_EQ(untimed(shards / "summary.csv"), untimed(whole / "summary.csv"));
}

// `spec` saved as the window saves a template, in the per-user folder
// below `data`, with `names` as the list.
AppFolder saveTemplate(const fs::path& data, const std::string& name, const DataTemplate& spec,
                       const std::vector<std::string>& names)
{
    const AppFolder folder(data / kAppFolderName);
    fs::create_directories(folder.path());
    const TemplateStore store(folder);
    store.append(name, spec);
    store.saveNames(names);
    return folder;
}

// A template saved in the window's folder stands for --rows and --columns.
TEST(BatchTemplate, NamedTemplateGivesTheLayoutAndOptionsOverrideIt)
{
    test::TempFolder temp;
    const fs::path data = temp.path() / "data";
    DataTemplate daymet;
    daymet.rowsBefore = 3; // the command line's --rows 8 wins
    const std::vector<std::pair<std::string_view, int>> columns{
        {"Year", -1}, {"DOY", -1}, {"Ignore", -1}, {"Precip", 0}, {"Ignore", -1},
        {"Ignore", -1}, {"T-max", 0}, {"T-min", 0}};
    const auto items = variableItems();
    for (std::size_t c = 0; c < columns.size(); ++c) {
        daymet.variables[c] = static_cast<int>(std::find(items.begin(), items.end(), columns[c].first) - items.begin());
        daymet.units[c] = columns[c].second;
    }
    const AppFolder folder = saveTemplate(data, "Daymet", daymet, {"Daymet", "Other"});
    const std::string env = "XDG_DATA_HOME='" + data.string() + "'";
    const fs::path input = kSampleData / kDaymet;

    const auto r = runProgram(temp, {"--task", "1", "--template", "Daymet", "--rows", "8", "--site", kDaymetSite,
                                     input.string(), "-o", (temp.path() / "t.wth").string()},
                              {env});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(test::readFile(temp.path() / "t.wth") == test::readFile(kDaymetGolden));

    // The same blocks in a file of their own.
    const auto fromFile = runProgram(temp, {"--task", "1", "--template", "Daymet", "--templates",
                                            folder.file(defaultfile::kTemplateSettings).string(), "--rows", "8",
                                            "--site", kDaymetSite, input.string(), "-o",
                                            (temp.path() / "f.wth").string()});
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_TRUE(test::readFile(temp.path() / "f.wth") == test::readFile(kDaymetGolden));

    const auto missing = runProgram(temp, {"--task", "1", "--template", "Daymat", "--site", kDaymetSite,
                                           input.string()},
                                    {env});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.substr(0, missing.err.find("usage:")),
              "pluvora-batch: no template named \"Daymat\"; the templates are:\n  Daymet\n  Other\n");
}

// Columns given with a template are read the way the template reads its
// file: a comma template keeps its fields under --columns.
TEST(BatchTemplate, GivenColumnsKeepTheTemplatesReadingSettings)
{
    test::TempFolder temp;
    const fs::path data = temp.path() / "data";
    DataTemplate csv;
    csv.rowsBefore = 1;
    csv.fields = FieldSeparator::Comma;
    saveTemplate(data, "Csv", csv, {"Csv"});
    const fs::path input = temp.path() / "station.csv";
    test::writeFile(input, "year,day,tmax,tmin,rain\n2001,1,10.5,,0\n2001,2,11.5,2.5,1.5\n2001,3,9.0,1.0,0\n");
    const std::vector<std::string> common{"--task", "1", "--rows", "1", "--columns", "Year,DOY,T-max:oC,T-min:oC,Precip:mm",
                                          "--site", kDaymetSite, input.string(), "-o"};
    auto args = common;
    args.insert(args.begin(), {"--template", "Csv"});
    args.push_back((temp.path() / "t.wth").string());
    const auto r = runProgram(temp, args, {"XDG_DATA_HOME='" + data.string() + "'"});
    args = common;
    args.insert(args.begin(), {"--fields", "comma"});
    args.push_back((temp.path() / "f.wth").string());
    const auto given = runProgram(temp, args);
    EXPECT_EQ(given.status, 0) << given.err;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, given.err);
    EXPECT_TRUE(test::readFile(temp.path() / "t.wth") == test::readFile(temp.path() / "f.wth"));
}

struct BadOptions {
    std::vector<std::string> args;
    const char* message;
};

class ManyFilesUsage : public ::testing::TestWithParam<BadOptions> {};

TEST_P(ManyFilesUsage, RefusedWithStatusTwo)
{
    test::TempFolder temp;
    std::vector<std::string> args = daymetArgs(GetParam().args);
    const auto r = runProgram(temp, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), std::string("pluvora-batch: ") + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Batch, ManyFilesUsage,
    ::testing::Values(BadOptions{{"a", "b"}, "more than one input file"},
                      BadOptions{{"a", "--out-dir", "o", "--jobs", "0"}, "--jobs needs a number of jobs, 1 or more"},
                      BadOptions{{"a", "--out-dir", "o", "--shard", "3/3"}, "--shard needs K/N with 0 <= K < N, e.g. 0/4"},
                      BadOptions{{"a", "--out-dir", "o", "-o", "x"},
                                 "-o and --out-dir do not go together: each input gets its own output"},
                      BadOptions{{"a", "--jobs", "2"}, "--jobs, --skip-existing and --shard need --out-dir"},
                      BadOptions{{"no-such-folder", "--out-dir", "o"}, "No such input: \"no-such-folder\""}));

} // namespace
} // namespace pluvora

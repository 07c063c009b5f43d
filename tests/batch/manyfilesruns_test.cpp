#include "batch/runsummary.h"
#include "runbatch.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

using Outcome = test::BatchOutcome;
std::string quoted(const std::string& arg) { return test::shellQuoted(arg); }
std::string commandFor(const std::vector<std::string>& args) { return test::batchCommand(args); }

Outcome runBatch(const fs::path& logs, const std::vector<std::string>& args, const std::string& prefix = "")
{
    return test::runBatchProgram(logs, args, prefix);
}

const std::string kHead = "Lincoln\r\n40.85 96.75 350\r\nYear\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\r\n"
                          "\t\tMJ/m2\toC\toC\t%\tmm\tmm\r\n";
const std::string kWeather = kHead + "2011\t59\t1.00\t2.0\t3.0\t4\t5.0\t6.0\r\n";
const char* const kColumns = test::kStationColumns;

std::string stationText(int firstDay, int lastDay) { return test::stationDays(firstDay, lastDay); }

// Years of days, so that a file takes a while to write.
std::string longStationText(int years)
{
    std::string text = "Lincoln\nYear DOY Tmax Tmin Rain\n";
    for (int year = 1980; year < 1980 + years; ++year)
        for (int day = 1; day <= 365; ++day)
            text += std::to_string(year) + " " + std::to_string(day) + " 5.5 -2.0 0.5\n";
    return text;
}

std::vector<std::string> task(int number, std::vector<std::string> more)
{
    more.insert(more.begin(), "--quiet");
    return test::stationTask(number, more);
}

std::vector<std::string> hiddenNames(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().front() == '.')
            names.push_back(e.path().filename().string());
    return names;
}

class ManyFilesRun : public ::testing::Test {
protected:
    test::TempFolder logs;
    test::TempFolder dir;
    fs::path in = dir.path() / "in";
    fs::path out = dir.path() / "out";
    void SetUp() override
    {
        fs::create_directories(in);
        fs::create_directories(out);
    }
};

// Task 2 over a folder resumed with --skip-existing: every weather file is
// there, so the inputs whose days it has are skipped and the others still
// appended. Rows out are the rows appended.
TEST_F(ManyFilesRun, Task2ResumedSkipsTheInputsWhoseDaysAreInTheFile)
{
    for (const char* name : {"a", "b", "c"})
        test::writeFile(out / (std::string(name) + ".wth"), kWeather);
    test::writeFile(in / "a.txt", stationText(60, 70));
    test::writeFile(in / "b.txt", stationText(60, 65));
    Outcome r = runBatch(logs.path(), task(2, {in.string(), "--out-dir", out.string()}));
    ASSERT_EQ(r.status, 0) << r.err;
    auto rows = readSummary(out / "summary.csv");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].rowsOut, 11);
    EXPECT_EQ(rows[1].rowsOut, 6);

    test::writeFile(in / "c.txt", stationText(60, 62));
    fs::remove(out / "summary.csv"); // the rows are found again, not kept
    r = runBatch(logs.path(), task(2, {in.string(), "--out-dir", out.string(), "--skip-existing"}));
    EXPECT_EQ(r.status, 0) << r.err;
    rows = readSummary(out / "summary.csv");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].status, "skipped");
    EXPECT_EQ(rows[1].status, "skipped");
    EXPECT_EQ(rows[2].status, "ok");
    EXPECT_EQ(rows[2].rowsOut, 3);
    EXPECT_NE(test::readFile(out / "c.wth").find("2011\t62\t"), std::string::npos);
    EXPECT_FALSE(fs::exists(out / "a.txt"));
    EXPECT_EQ(hiddenNames(out), std::vector<std::string>{});
}

// Partial files of a run that was killed go with the next run, whatever
// their length of name; the run's own go on every way it can end.
TEST_F(ManyFilesRun, PartialFilesNeverStay)
{
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string id = std::to_string(gone);
    test::writeFile(out / (".pluvora-part-" + id + "-0"), "half");
    test::writeFile(out / ("..pluvora-part-" + id + "-3.k2j4h5g6"), "half");
    test::writeFile(out / ".notes", "the user's own");
    // A name as long as a file system takes, less the extension.
    const std::string longName(251, 'x');
    const std::string station = longStationText(20);
    for (int i = 0; i < 40; ++i)
        test::writeFile(in / ((i == 0 ? longName : "s" + std::to_string(100 + i)) + ".txt"), station);
    Outcome r = runBatch(logs.path(), task(1, {in.string(), "--out-dir", out.string(), "--jobs", "2"}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(out / (longName + ".wth")));
    EXPECT_EQ(hiddenNames(out), std::vector<std::string>{".notes"});

    // Stopped twice while writing: the second stop ends the running jobs.
    const fs::path again = dir.path() / "again";
    const pid_t run = ::fork();
    ASSERT_GE(run, 0);
    if (run == 0) {
        ::setpgid(0, 0);
        const std::string command = commandFor(task(1, {in.string(), "--out-dir", again.string(), "--jobs", "2"}))
                                    + " 2>/dev/null";
        ::execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    auto writing = [&] {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(again, ec))
            if (e.path().filename().string().starts_with("."))
                return true;
        return false;
    };
    while (!writing() && !fs::exists(again / "summary.csv") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    ::kill(run, SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ::kill(run, SIGTERM);
    int raw = 0;
    ASSERT_EQ(::waitpid(run, &raw, 0), run);
    EXPECT_EQ(hiddenNames(again), std::vector<std::string>{});
}

// The figures of each row say what happened to its file: the missing signs
// of a comma file counted, and a job that could not start told as failed,
// the others going on.
TEST_F(ManyFilesRun, EveryRowSaysWhatHappenedToItsFile)
{
    // The empty notes are no column the run reads.
    test::writeFile(in / "a.csv", "year,doy,tmax,tmin,rain,note\n2011,60,5.5,-2,-99,\n2011,61,5.5,-2,0.5,\n"
                                  "2011,62,5.5,-99,0.5,\n2011,63,5.5,,0.5,\n");
    Outcome r = runBatch(logs.path(), {"--task", "1", "--rows", "1", "--fields", "comma", "--columns", kColumns,
                                       "--site", "40.5 N 96.25 W 350", "--no-substitution", (in / "a.csv").string(),
                                       "--out-dir", out.string(), "--quiet"});
    auto rows = readSummary(out / "summary.csv");
    ASSERT_EQ(rows.size(), 1u) << r.err;
    EXPECT_EQ(rows[0].rowsIn, 4);
    EXPECT_EQ(rows[0].missingValues, 3);

    for (int i = 0; i < 6; ++i)
        test::writeFile(in / ("s" + std::to_string(i) + ".txt"), stationText(60, 90));
    bool refused = false;
    for (int files = 5; files <= 24; ++files) {
        const fs::path few = dir.path() / ("few" + std::to_string(files));
        r = runBatch(logs.path(), task(1, {in.string(), "--glob", "s*.txt", "--out-dir", few.string(), "--jobs", "4"}),
                     "ulimit -n " + std::to_string(files) + ";");
        refused = refused || r.err.find("Cannot start a job") != std::string::npos;
        if (!fs::exists(few / "summary.csv"))
            continue;
        int ok = 0;
        for (const FileResult& row : readSummary(few / "summary.csv")) {
            EXPECT_TRUE(row.status == "ok" || row.status == "failed") << files << ": " << row.file;
            EXPECT_EQ(row.status == "ok", row.exitCode == 0) << files << ": " << row.file;
            EXPECT_EQ(row.status == "ok", fs::exists(few / fs::path(row.file).filename().replace_extension(".wth")))
                << files << ": " << row.file;
            ok += row.status == "ok";
        }
        EXPECT_NE(r.err.find("notice: 6 files: " + std::to_string(ok) + " converted"), std::string::npos)
            << files << ": " << r.err;
    }
    EXPECT_TRUE(refused);
}

// A run that has nothing to do, or no folder for its working files, says
// so and fails; a long name is no reason to fail.
TEST_F(ManyFilesRun, NothingToConvertOrNoTemporaryFolderFails)
{
    Outcome r = runBatch(logs.path(), task(1, {in.string(), "--out-dir", out.string()}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: There is no file to convert in the inputs given.\n");
    test::writeFile(in / "a.txt", stationText(60, 61));
    r = runBatch(logs.path(), task(1, {in.string(), "--glob", "*.csv", "--out-dir", out.string()}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: No file of the inputs given matches --glob \"*.csv\".\n");
    r = runBatch(logs.path(), task(1, {in.string(), "--out-dir", out.string()}), "TMPDIR=/no/such/folder");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: Cannot use the temporary folder \"/no/such/folder\" named by TMPDIR: No such file or "
                     "directory\n");
    EXPECT_FALSE(fs::exists(out / "summary.csv"));
}

// Shards are joined only when they are 0 to N-1 of one run, each whole;
// otherwise the merge names what is wrong and writes nothing.
TEST_F(ManyFilesRun, ShardSummariesAreCheckedBeforeTheyAreJoined)
{
    for (int i = 0; i < 5; ++i)
        test::writeFile(in / ("s" + std::to_string(i) + ".txt"), stationText(60, 61));
    for (const char* shard : {"0/3", "1/3", "2/3"})
        ASSERT_EQ(runBatch(logs.path(), task(1, {in.string(), "--shard", shard, "--out-dir", out.string()})).status, 0);
    Outcome r = runBatch(logs.path(), {"--merge-summaries", out.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "notice: shards 0 to 2 joined into " + (out / "summary.csv").string() + ": 5 rows of 5 inputs\n");
    ASSERT_EQ(readSummary(out / "summary.csv").size(), 5u);

    struct Broken {
        std::function<void(const fs::path&)> harm;
        std::string message;
    };
    const std::string header = "file,status,exit code,first message,data rows in,rows out,flagged days,missing "
                               "values,seconds\n";
    const std::vector<Broken> cases{
        {[](const fs::path& d) { fs::remove(d / "summary-2.csv"); },
         "summary-2.csv of the 3 shards is missing from \"DIR\""},
        {[](const fs::path& d) {
             test::writeFile(d / "summary-3.csv", test::readFile(d / "summary-1.csv"));
             test::writeFile(d / ".summary-3.shard", "3 4 5\n");
         },
         "\"summary-3.csv\" is shard 3 of 4 over 5 inputs, \"summary-0.csv\" of 3 over 5: remove the stale ones"},
        {[](const fs::path& d) { fs::remove(d / ".summary-1.shard"); },
         "\"summary-1.csv\" does not say which shard of which run it is: run that shard again"},
        {[&](const fs::path& d) { test::writeFile(d / "summary-1.csv", header + "\"in/s1.txt,ok,0,,2,2,0,0,0.1\n"); },
         "Row 2 of \"DIR/summary-1.csv\" cannot be read: a quote is not closed"},
        {[&](const fs::path& d) { test::writeFile(d / "summary-1.csv", header + "in/s1.txt,ok,0,,2,2,0,0\n"); },
         "Row 2 of \"DIR/summary-1.csv\" cannot be read"},
        {[](const fs::path& d) { test::writeFile(d / "summary-1.csv", "in/s1.txt,ok,0,,2,2,0,0,0.1\n"); },
         "\"DIR/summary-1.csv\" does not begin with the summary's header"},
        {[](const fs::path& d) { test::writeFile(d / "summary-99999999999999999999.csv", "x"); },
         "\"summary-99999999999999999999.csv\" names no shard a run writes: remove it"},
    };
    for (const Broken& c : cases) {
        const fs::path copy = dir.path() / "copy";
        fs::remove_all(copy);
        fs::copy(out, copy);
        fs::remove(copy / "summary.csv");
        c.harm(copy);
        r = runBatch(logs.path(), {"--merge-summaries", copy.string()});
        std::string message = c.message;
        for (std::size_t at; (at = message.find("DIR")) != std::string::npos;)
            message.replace(at, 3, copy.string());
        EXPECT_EQ(r.status, 1) << message;
        EXPECT_EQ(r.err, "error: " + message + "\n");
        EXPECT_FALSE(fs::exists(copy / "summary.csv")) << message;
    }
}

// File names a spreadsheet would run as formulas are quoted, and read back
// as they are, so a resumed run still knows them.
TEST_F(ManyFilesRun, FormulaLikeFileNamesAreQuotedInTheSummary)
{
    for (const char* name : {"=1+2.txt", "@sum.txt", "-5.txt", "+x.txt", "plain.txt"})
        test::writeFile(in / name, stationText(60, 61));
    const std::string cd = "cd " + quoted(in.string()) + " &&";
    Outcome r = runBatch(logs.path(),
                         task(1, {"--out-dir", out.string(), "--", "=1+2.txt", "@sum.txt", "-5.txt", "+x.txt", "plain.txt"}),
                         cd);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = test::readFile(out / "summary.csv");
    for (const char* name : {"'=1+2.txt,ok", "'@sum.txt,ok", "'-5.txt,ok", "'+x.txt,ok", "\nplain.txt,ok"})
        EXPECT_NE(text.find(name), std::string::npos) << name << "\n" << text;
    const auto rows = readSummary(out / "summary.csv");
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].file, "=1+2.txt");
    r = runBatch(logs.path(), task(1, {"--out-dir", out.string(), "--skip-existing", "--", "=1+2.txt"}), cd);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(readSummary(out / "summary.csv")[0].status, "ok");
}

// What a message names is what went wrong.
TEST_F(ManyFilesRun, MessagesSayWhatIsWrong)
{
    test::writeFile(in / "a.txt", stationText(60, 61));
    Outcome r = runBatch(logs.path(), {"--suggest", in.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: \"" + in.string() + "\" is a folder: --suggest takes one file.\n");
    r = runBatch(logs.path(), task(1, {"--template", "Daymet", "--templates", in.string(), (in / "a.txt").string()}));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "pluvora-batch: --template: \"" + in.string() + "\" is a folder, not a template file");
    fs::create_directories(out / "summary.csv");
    r = runBatch(logs.path(), task(1, {in.string(), "--out-dir", out.string()}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("1 files: 1 converted, 0 failed, 0 skipped, 0 not started"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("; no summary\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("summary in"), std::string::npos) << r.err;
}

} // namespace
} // namespace pluvora

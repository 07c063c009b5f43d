#include "batch/runsummary.h"
#include "runbatch.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

using test::stationTask;
using Outcome = test::BatchOutcome;

Outcome runBatch(const fs::path& logs, const std::vector<std::string>& args)
{
    return test::runBatchProgram(logs, args);
}

// Every file below `folder` with its content, to see that a refused run
// changed nothing.
std::map<std::string, std::string> contentOf(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file())
            files[fs::relative(e.path(), folder).string()] = test::readFile(e.path());
    return files;
}

const std::string kHead = "Lincoln\r\n40.85 96.75 350\r\nYear\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\r\n"
                          "\t\tMJ/m2\toC\toC\t%\tmm\tmm\r\n";

std::string stationText(int firstDay, int lastDay) { return test::stationDays(firstDay, lastDay); }
std::vector<std::string> task(int number, std::vector<std::string> more) { return stationTask(number, more); }

// A run whose files would overwrite its input or one another: refused
// before anything is written, every file as it was.
struct Clash {
    const char* name;
    // The arguments, given the folder holding in.txt, site.wth and link.txt
    // (a link to in.txt).
    std::function<std::vector<std::string>(const fs::path&)> args;
    // The message after "pluvora-batch: ", given the folder.
    std::function<std::string(const fs::path&)> message;
};

class OutputPaths : public ::testing::TestWithParam<Clash> {};
void PrintTo(const Clash& c, std::ostream* os) { *os << c.name; }

TEST_P(OutputPaths, AClashIsRefusedBeforeAnythingIsWritten)
{
    test::TempFolder logs;
    test::TempFolder dir;
    const fs::path d = dir.path();
    dir.write("in.txt", stationText(60, 61));
    dir.write("site.wth", kHead + "2011\t59\t1.00\t2.0\t3.0\t4\t5.0\t6.0\r\n");
    fs::create_symlink("in.txt", d / "link.txt");
    const std::vector<std::string> args = GetParam().args(d);
    const auto before = contentOf(d);
    const Outcome r = runBatch(logs.path(), args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "pluvora-batch: " + GetParam().message(d));
    EXPECT_EQ(contentOf(d), before);
}

std::string at(const fs::path& d, const char* name) { return (d / name).string(); }

INSTANTIATE_TEST_SUITE_P(
    Batch, OutputPaths,
    ::testing::Values(
        Clash{"ReportOverTheWeatherFile",
              [](const fs::path& d) {
                  return task(2, {"--update", at(d, "site.wth"), "--report", at(d, "site.wth"), at(d, "in.txt")});
              },
              [](const fs::path&) { return std::string("--report must not name the weather file given to --update"); }},
        Clash{"FlagsOverTheWeatherFileThroughADot",
              [](const fs::path& d) {
                  return task(2, {"--update", at(d, "site.wth"), "--flags", at(d, "./site.wth"), at(d, "in.txt")});
              },
              [](const fs::path&) { return std::string("--flags must not name the weather file given to --update"); }},
        Clash{"FlagsOverTheBackup",
              [](const fs::path& d) {
                  return task(2, {"--update", at(d, "site.wth"), "--flags", at(d, "site.wth.old"), at(d, "in.txt")});
              },
              [](const fs::path& d) {
                  return "--flags must not name the file " + at(d, "site.wth.old") + " that --update keeps";
              }},
        Clash{"InputIsTheBackup",
              [](const fs::path& d) {
                  fs::copy_file(d / "in.txt", d / "site.wth.old");
                  return task(2, {"--update", at(d, "site.wth"), at(d, "site.wth.old")});
              },
              [](const fs::path& d) {
                  return "the input file must not be the file " + at(d, "site.wth.old") + " that --update keeps";
              }},
        Clash{"OutputOverTheWeatherFile",
              [](const fs::path& d) {
                  return task(2, {"--update", at(d, "site.wth"), "-o", at(d, "site.wth"), at(d, "in.txt")});
              },
              [](const fs::path&) { return std::string("-o must not name the weather file given to --update"); }},
        Clash{"ReportOverTheInput",
              [](const fs::path& d) { return task(1, {"--report", at(d, "in.txt"), at(d, "in.txt")}); },
              [](const fs::path&) { return std::string("--report must not name the input file"); }},
        Clash{"FlagsOverTheInputThroughALink",
              [](const fs::path& d) { return task(1, {"--flags", at(d, "link.txt"), at(d, "in.txt")}); },
              [](const fs::path&) { return std::string("--flags must not name the input file"); }},
        Clash{"OutputOverTheInput",
              [](const fs::path& d) { return task(1, {"-o", at(d, "in.txt"), at(d, "link.txt")}); },
              [](const fs::path&) { return std::string("-o must not name the input file"); }},
        Clash{"FlagsOverTheOutput",
              [](const fs::path& d) { return task(1, {"--flags", at(d, "x.csv"), "-o", at(d, "x.csv"), at(d, "in.txt")}); },
              [](const fs::path&) { return std::string("--flags must not name the file given to -o"); }},
        Clash{"ReportOverTheFlags",
              [](const fs::path& d) {
                  return task(1, {"--flags", at(d, "x.csv"), "--report", at(d, "x.csv"), at(d, "in.txt")});
              },
              [](const fs::path&) { return std::string("--flags must not name the file given to --report"); }},
        // Many files: the output of one input is another input.
        Clash{"Task2OutDirIsTheInputFolder",
              [](const fs::path& d) { return task(2, {d.string(), "--glob", "*.txt", "--out-dir", d.string()}); },
              [](const fs::path& d) {
                  return "the output \"" + at(d, "in.txt") + "\" of \"" + at(d, "in.txt")
                         + "\" would replace the input \"" + at(d, "in.txt")
                         + "\": give an --out-dir that holds no input";
              }},
        Clash{"EstimateOverAWeatherFileInput",
              [](const fs::path& d) {
                  return std::vector<std::string>{"--task", "4", "--rows", "4", "--columns",
                                                  "Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC", "--latitude", "40",
                                                  at(d, "site.wth"), "--out-dir", d.string()};
              },
              [](const fs::path& d) {
                  return "the output \"" + at(d, "site.wth") + "\" of \"" + at(d, "site.wth")
                         + "\" would replace the input \"" + at(d, "site.wth")
                         + "\": give an --out-dir that holds no input";
              }}),
    [](const auto& param) { return std::string(param.param.name); });

// Devices take any number of outputs: nothing is kept there to lose.
TEST(OutputPathsDevices, OneDeviceTakesEveryOutput)
{
    test::TempFolder logs;
    const fs::path in = logs.write("in.txt", stationText(60, 61));
    const Outcome r = runBatch(logs.path(), task(1, {"-o", "/dev/null", "--flags", "/dev/null", "--report",
                                                     "/dev/null", in.string()}));
    EXPECT_EQ(r.status, 0) << r.err;
}

// Two inputs of one name in different folders: whichever shard gets the
// second, it is refused in favour of the first, as a run over the whole
// list would.
TEST(OutputPathsShards, OneNameInTwoFoldersIsFoundInEveryShard)
{
    test::TempFolder logs;
    test::TempFolder dir;
    const fs::path first = dir.path() / "north";
    const fs::path second = dir.path() / "south";
    fs::create_directories(first);
    fs::create_directories(second);
    test::writeFile(first / "a.txt", stationText(60, 70));
    test::writeFile(second / "a.txt", stationText(60, 65));
    const fs::path out = dir.path() / "out";
    for (const char* shard : {"0/2", "1/2"}) {
        const Outcome r = runBatch(logs.path(), task(1, {first.string(), second.string(), "--shard", shard,
                                                         "--out-dir", out.string(), "--quiet"}));
        EXPECT_EQ(r.status, shard[0] == '0' ? 0 : 1) << shard << r.err;
    }
    const auto north = readSummary(out / "summary-0.csv");
    const auto south = readSummary(out / "summary-1.csv");
    ASSERT_EQ(north.size(), 1u);
    ASSERT_EQ(south.size(), 1u);
    EXPECT_EQ(north[0].status, "ok");
    EXPECT_EQ(south[0].status, "failed");
    EXPECT_EQ(south[0].firstMessage, "notice: " + (out / "a.wth").string() + " is the output of "
                                         + (first / "a.txt").string() + " already");
    EXPECT_NE(test::readFile(out / "a.wth").find("2011\t70\t"), std::string::npos);
}

} // namespace
} // namespace pluvora

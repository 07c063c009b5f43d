#include "engine/provenance/flagreasons.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

const fs::path kFlagsGolden = fs::path(PLUVORA_BATCH_GOLDEN) / "flags";

int runBatchQuietly(const test::TempFolder& temp, const std::vector<std::string>& args)
{
    std::string command = "'" + std::string(PLUVORA_BATCH_EXE) + "'";
    for (const auto& a : args)
        command += " '" + a + "'";
    command += " >'" + (temp.path() / "out.txt").string() + "' 2>'" + (temp.path() / "err.txt").string() + "'";
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

void writeText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Substituted precipitation and task 4's estimate, with a note line
// between the days.
TEST(BatchFlags, EstimateRunGivesTheGoldenCodes)
{
    test::TempFolder temp;
    const fs::path flags = temp.path() / "flags.csv";
    const int status = runBatchQuietly(temp, {"--task", "4", "--rows", "2", "--latitude", "40.8", "--columns",
                                              "Year,Month,Day,T-max:oC,T-min:oC,Precip:mm", "--flags", flags.string(),
                                              (kFlagsGolden / "estimate_input.txt").string(), "-o",
                                              (temp.path() / "out.wth").string()});
    EXPECT_EQ(status, 0) << test::readFile(temp.path() / "err.txt");
    EXPECT_EQ(test::readFile(flags), test::readFile(kFlagsGolden / "estimate_flags.csv"));
}

// A checkup that lists days: the flags name the variables each test names
// (every one for a date fault), and the report lists each day with its
// input line and reason, also though the run stopped.
TEST(BatchFlags, CheckupFaultsAreFlaggedOnTheirDaysAndLines)
{
    test::TempFolder temp;
    const fs::path input = temp.path() / "in.txt";
    writeText(input, "yr mo dy tx tn pr\n"
                     "2000 1 1 10 5 0\n"
                     "2000 1 2 5 10 0\n"
                     "sensor moved\n"
                     "2000 1 4 10 5 0\n"
                     "2000 1 5 10 5 -99\n"
                     "2000 1 6 70 5 0\n");
    const fs::path flags = temp.path() / "flags.csv";
    const fs::path report = temp.path() / "report.html";
    const int status = runBatchQuietly(temp, {"--task", "3", "--rows", "1", "--columns",
                                              "Year,Month,Day,T-max:oC,T-min:oC,Precip:mm", "--flags", flags.string(),
                                              "--report", report.string(), input.string()});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(test::readFile(flags), "Date,T-max,T-min,Precip\r\n"
                                     "2000-01-01,M,M,M\r\n"
                                     "2000-01-02,MF,MF,M\r\n"
                                     "2000-01-04,MF,MF,MF\r\n"
                                     "2000-01-05,M,M,S\r\n"
                                     "2000-01-06,MF,M,M\r\n");
    const std::string html = test::readFile(report);
    for (const auto& [date, line, reason] : std::vector<std::tuple<std::string, int, std::string>>{
             {"2000-01-02", 3, kReasonTmaxNotAboveTmin}, {"2000-01-04", 5, kReasonGap}, {"2000-01-06", 7, kReasonTmaxHigh}})
        EXPECT_NE(html.find("<tr><td>" + date + "</td><td class=\"n\">" + std::to_string(line) + "</td><td>" + reason
                            + "</td></tr>"),
                  std::string::npos)
            << date;
    // Self-contained: nothing to run, nothing to fetch.
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("src="), std::string::npos);
    EXPECT_EQ(html.find("href="), std::string::npos);
    EXPECT_NE(html.find("@page { size: A4"), std::string::npos);
}

// Rows the missing-value check stops on are listed by line in the report.
TEST(BatchFlags, MissingValueRowsAreListedByLine)
{
    test::TempFolder temp;
    const fs::path input = temp.path() / "in.txt";
    writeText(input, "yr mo dy tx tn\n2000 1 1 10 5\n2000 1 2 10\n");
    const fs::path report = temp.path() / "report.html";
    const int status = runBatchQuietly(temp, {"--task", "3", "--rows", "1", "--columns",
                                              "Year,Month,Day,T-max:oC,T-min:oC", "--report", report.string(),
                                              input.string()});
    EXPECT_EQ(status, 1);
    // The row as the check reports it: rewritten by the substitution.
    EXPECT_NE(test::readFile(report).find("<td class=\"n\">3</td><td>missing values: <code>2000\t1\t2\t10\t</code>"),
              std::string::npos);
}

// A run the missing values stop still writes every day: the flags give the
// lacking values X and F, and the report counts them as no value. Blank
// fields and comma fields alike.
TEST(BatchFlags, ARunStoppedByMissingValuesFlagsEveryDay)
{
    struct Case {
        std::vector<std::string> reading;
        const char* text;
    };
    for (const Case& c : {Case{{}, "yr doy tx tn pr\n2011 60 5.5 -2 0.5\n2011 61 5.5 -2\n2011 62 5.5 -2 0.5\n"},
                          Case{{"--fields", "comma", "--no-substitution"},
                               "yr,doy,tx,pr,tn\n2011,60,5.5,0.5,-2\n2011,61,5.5,,-2\n2011,62,5.5,0.5,-2\n"}}) {
        test::TempFolder temp;
        const fs::path input = temp.path() / "in.txt";
        writeText(input, c.text);
        const fs::path flags = temp.path() / "flags.csv";
        const fs::path report = temp.path() / "report.html";
        const bool comma = !c.reading.empty();
        std::vector<std::string> args{"--task", "1", "--rows", "1", "--columns",
                                      comma ? "Year,DOY,T-max:oC,Precip:mm,T-min:oC" : "Year,DOY,T-max:oC,T-min:oC,Precip:mm",
                                      "--site", "40.5 N 96.25 W 350", "--flags", flags.string(), "--report",
                                      report.string(), input.string()};
        args.insert(args.end(), c.reading.begin(), c.reading.end());
        EXPECT_EQ(runBatchQuietly(temp, args), 1);
        EXPECT_EQ(test::readFile(flags), comma ? "Date,T-max,Precip,T-min\r\n"
                                                 "2011-03-01,M,M,M\r\n"
                                                 "2011-03-02,M,XF,M\r\n"
                                                 "2011-03-03,M,M,M\r\n"
                                               : "Date,T-max,T-min,Precip\r\n"
                                                 "2011-03-01,M,M,M\r\n"
                                                 "2011-03-02,M,M,XF\r\n"
                                                 "2011-03-03,M,M,M\r\n");
        const std::string html = test::readFile(report);
        // Precip: two values, one day without, that day flagged.
        EXPECT_NE(html.find("<tr><td class=\"n\">2</td><td class=\"n\">0.50</td><td class=\"n\">0.50</td><td "
                            "class=\"n\">0.50</td><td class=\"n\">1</td><td class=\"n\">0</td><td class=\"n\">1</td>"),
                  std::string::npos)
            << html;
        EXPECT_NE(html.find("<td class=\"n\">3</td><td>missing values: <code>2011"), std::string::npos) << html;
    }
}

// A file where most days are at fault: the report lists the first of them
// and counts the rest; the flags file still marks every one.
TEST(BatchFlags, ReportListsTheFirstFlaggedDaysAndCountsTheRest)
{
    test::TempFolder temp;
    std::string text = "Station 9\nYear DOY Tmax Tmin\n";
    for (int i = 0; i < 1200; ++i)
        text += std::to_string(2001 + i / 365) + " " + std::to_string(i % 365 + 1) + " 5.0 9.0\n";
    const fs::path input = temp.path() / "faults.txt";
    writeText(input, text);
    const fs::path flags = temp.path() / "flags.csv";
    const fs::path report = temp.path() / "report.html";
    EXPECT_EQ(runBatchQuietly(temp, {"--task", "3", "--rows", "2", "--columns", "Year,DOY,T-max:oC,T-min:oC",
                                     "--flags", flags.string(), "--report", report.string(), input.string()}),
              1);
    const std::string html = test::readFile(report);
    std::size_t rows = 0;
    for (auto at = html.find("T-max not above T-min</td></tr>"); at != std::string::npos;
         at = html.find("T-max not above T-min</td></tr>", at + 1))
        ++rows;
    EXPECT_EQ(rows, 1000u);
    EXPECT_NE(html.find("<p>The first 1000 flagged days are listed; 200 more are left out. The flags file marks "
                        "every one.</p>"),
              std::string::npos);
    const std::string marks = test::readFile(flags);
    std::size_t flagged = 0;
    for (auto at = marks.find(",MF,MF\r\n"); at != std::string::npos; at = marks.find(",MF,MF\r\n", at + 1))
        ++flagged;
    EXPECT_EQ(flagged, 1200u);
}

// The flags file and the report, byte for byte, on shared sample files and
// on a hand-made file with a fault of every kind the checkup tells apart:
// a run that holds less of its days must still write the same files.
struct ReportCase {
    const char* name;
    const char* input; // in the samples folder, or beside the goldens
    std::vector<std::string> args;
    int status = 0;
};

void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }

class BatchReportGolden : public ::testing::TestWithParam<ReportCase> {};

TEST_P(BatchReportGolden, FlagsAndReportAreTheGoldenBytes)
{
    const auto& c = GetParam();
    const fs::path golden = fs::path(PLUVORA_BATCH_GOLDEN) / "report";
    const fs::path input = fs::exists(golden / c.input) ? golden / c.input : fs::path(PLUVORA_SAMPLE_DATA) / c.input;
    test::TempFolder temp;
    const fs::path flags = temp.path() / "flags.csv";
    const fs::path report = temp.path() / "report.html";
    auto args = c.args;
    args.insert(args.end(), {"--flags", flags.string(), "--report", report.string(), input.string(), "-o",
                             (temp.path() / "out.txt").string()});
    EXPECT_EQ(runBatchQuietly(temp, args), c.status) << test::readFile(temp.path() / "err.txt");
    const std::string stem = std::string(c.name);
    EXPECT_TRUE(test::readFile(flags) == test::readFile(golden / (stem + "_flags.csv"))) << stem;
    EXPECT_TRUE(test::readFile(report) == test::readFile(golden / (stem + "_report.html"))) << stem;
}

INSTANTIATE_TEST_SUITE_P(
    Batch, BatchReportGolden,
    ::testing::Values(
        ReportCase{"daymet_task1", "daymet_v3_demo_2000-2003.csv",
                   {"--task", "1", "--rows", "8", "--columns", "Year,DOY,Ignore,Precip:mm,Ignore,Ignore,T-max:oC,T-min:oC",
                    "--site", "36.0133 N 84.2625 W 279"}},
        ReportCase{"knmi_task7", "knmi_debilt_260_1993_si_units.txt",
                   {"--task", "7", "--rows", "2", "--columns",
                    "Year,Month,Day,Solar:MJ/m2/d,T-max:oC,T-min:oC,RelHum,WndSpd:m/s", "--latitude", "52.1",
                    "--elevation", "2"}},
        ReportCase{"checkup", "checkup_input.txt",
                   {"--task", "3", "--rows", "2", "--columns", "Year,Month,Day,T-max:oC,T-min:oC,Precip:mm"},
                   1}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace pluvora

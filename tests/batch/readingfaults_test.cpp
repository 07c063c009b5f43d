#include "engine/tasks/datacheckup.h"
#include "engine/tasks/readingnotices.h"
#include "batchmessages.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

// Input that a run used to read wrong without a word, and what the batch
// program now says about it: the exact standard error, the exit status and
// rows the output must hold.
struct ReadingCase {
    const char* name;
    std::string input;
    std::vector<std::string> args;
    int status;
    std::string err;
    std::vector<std::string> outHolds;
};

std::string quoted(const std::string& arg)
{
    std::string q = "'";
    for (char c : arg)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string line(const char* kind, std::string_view text) { return std::string(kind) + ": " + std::string(text) + "\n"; }

class BatchReading : public ::testing::TestWithParam<ReadingCase> {};

const std::string kCommaSplits = "Input line 2 holds 20,5: with blank-separated fields a comma splits it into two "
                                 "values. If the comma is the decimal mark, choose it (--decimal-comma).";

TEST_P(BatchReading, SaysWhatItReadAndWhere)
{
    const ReadingCase& c = GetParam();
    test::TempFolder temp;
    std::string command = quoted(PLUVORA_BATCH_EXE);
    for (const auto& a : c.args)
        command += " " + quoted(a);
    command += " " + quoted(temp.write("in.txt", c.input).string());
    const fs::path out = temp.path() / "stdout.txt";
    const fs::path err = temp.path() / "stderr.txt";
    command += " >" + quoted(out.string()) + " 2>" + quoted(err.string()) + " </dev/null";
    const int raw = std::system(command.c_str());
    const std::string output = test::readFile(out);
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, c.status);
    EXPECT_EQ(test::withoutZeroNotices(test::readFile(err)), c.err);
    for (const auto& row : c.outHolds)
        EXPECT_NE(output.find(row), std::string::npos) << row << " not in\n" << output;
}

const std::vector<std::string> kSite = {"--site", "1 N 1 W 1"};

std::vector<std::string> task(int number, const char* columns, std::vector<std::string> more = {})
{
    std::vector<std::string> args = {"--task", std::to_string(number), "--rows", "1", "--columns", columns};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    Dates, BatchReading,
    ::testing::Values(
        ReadingCase{"SevenDigitYydoyIsYearAndDay", "date tx tn\n1996365 20 10\n1996366 21 11\n1997001 22 12\n",
                    task(1, "YYDOY,T-max:oC,T-min:oC", kSite), 0, "",
                    {"\n1996\t365\t", "\n1996\t366\t", "\n1997\t1\t"}},
        ReadingCase{"SixDigitYydoyIsRefusedWithItsPlace", "date tx tn\n96001 20 10\n960102 21 11\n",
                    task(1, "YYDOY,T-max:oC,T-min:oC", kSite), 1,
                    line("error", kWrongDoy) + line("note", "input line 3, column 1"), {}},
        ReadingCase{"EightDigitYydoyIsRefusedWithItsPlace", "date tx tn\n19960101 20 10\n",
                    task(3, "YYDOY,T-max:oC,T-min:oC"), 1,
                    line("error", kWrongDoy) + line("note", "input line 2, column 1"), {}},
        ReadingCase{"FebruaryTwentyNinthOfACommonYear", "y m d tx tn\n2019 2 28 20 10\n2019 2 29 21 11\n",
                    task(1, "Year,Month,Day,T-max:oC,T-min:oC", kSite), 1,
                    line("error", kDataFormatProblem) + line("note", "input line 3, column 3"), {}},
        ReadingCase{"FebruaryThirtiethAfterABlankRow", "y m d tx tn\n2020 2 29 20 10\n        \n2020 2 30 21 11\n",
                    task(3, "Year,Month,Day,T-max:oC,T-min:oC"), 1,
                    line("error", kDataFormatProblem) + line("note", "input line 4, column 3"), {}},
        ReadingCase{"MonthThirteen", "y m d tx tn\n2019 12 31 20 10\n2019 13 1 21 11\n",
                    task(3, "Year,Month,Day,T-max:oC,T-min:oC"), 1,
                    line("error", kDataFormatProblem) + line("note", "input line 3, column 2"), {}},
        ReadingCase{"Day366OfACommonYearThenDayOne", "y doy tx tn\n2019 365 20 10\n2019 366 21 11\n2020 1 22 12\n",
                    task(3, "Year,DOY,T-max:oC,T-min:oC"), 1, line("warning", kDataErrorsSpottedTask3),
                    {"\t2020 / 1\r\n"}}),
    [](const auto& param) { return std::string(param.param.name); });

const std::string kShifted = std::string(kValueCountsDiffer) + "2 rows hold 4, but line 2 holds 5. " + kShiftedColumns;

INSTANTIATE_TEST_SUITE_P(
    Notices, BatchReading,
    ::testing::Values(
        ReadingCase{"DecimalCommaInTaskOne", "y doy tx tn\n2001 1 20,5 10\n2001 2 21 11\n2001 3 22 12\n",
                    task(1, "Year,DOY,T-max:oC,T-min:oC", kSite), 0,
                    line("notice", kCommaSplits) + line("notice", kShifted), {"\n2001\t1\t"}},
        ReadingCase{"DecimalCommaInTheCheckup", "y doy tx tn\n2001 1 20,5 10\n2001 2 21 11\n2001 3 22 12\n",
                    task(3, "Year,DOY,T-max:oC,T-min:oC"), 0,
                    line("notice", kCommaSplits) + line("notice", kShifted) + line("information", kNoSuspiciousData),
                    {}},
        // Every row alike: no count differs, yet each value is read as two.
        ReadingCase{"DecimalCommaInEveryRow", "y doy tx tn\n2001 1 20,5 10,0\n2001 2 21,0 11,5\n",
                    task(3, "Year,DOY,T-max:oC,T-min:oC"), 0,
                    line("notice", kCommaSplits) + line("information", kNoSuspiciousData), {}},
        // A blank line ends the data; the rows below it are told, not read.
        ReadingCase{"BlankLineEndsTheData", "y doy tx tn\n2001 1 20 10\n\n2001 2 21 11\n2001 3 22 12\n",
                    task(3, "Year,DOY,T-max:oC,T-min:oC"), 0,
                    line("notice", "The data end at input line 3, a line shorter than five characters: 2 lines "
                                   "below it are not read.") +
                        line("information", kNoSuspiciousData),
                    {}},
        // A time after the date belongs to it: T-max is the value after it.
        ReadingCase{"TimeAfterTheDateIsPassedOver", "date time tx tn\n2001-01-01 12:00 20 10\n2001-01-02 12:00 21 11\n",
                    task(1, "Date:YYYY-MM-DD,T-max:oC,T-min:oC", kSite), 0, "", {"\n2001\t1\t0.00\t20.0\t10.0\t"}},
        ReadingCase{"SubstitutedRainInTaskOne",
                    "y doy tx tn p\n2001 1 20 10 -99\n2001 2 21 11 -99.0\n2001 3 22 12 0\n2001 4 22 12 -99\n",
                    task(1, "Year,DOY,T-max:oC,T-min:oC,Precip:mm", kSite), 0,
                    line("notice", "Column 5 (Precip): 3 values taken as missing (sign -99) were replaced by 0.01 "
                                   "on input lines 2, 3 and 5."),
                    {"\n2001\t1\t"}},
        ReadingCase{"SubstitutedTminUnderAnEstimate", "y doy tx tn\n2001 1 20 -99\n2001 2 21 11\n",
                    task(4, "Year,DOY,T-max:oC,T-min:oC", {"--latitude", "35"}), 0,
                    line("notice", std::string("Column 4 (T-min): 1 value taken as missing (sign -99) was replaced by 0.01 on "
                                               "input line 2. ")
                                       + kEstimatesRestOnSubstitute),
                    {}}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace pluvora

#include "engine/table/fieldreading.h"
#include "engine/tasks/datacheckup.h"
#include "engine/tasks/missingvalues.h"
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
        // A row with a field more shifts the picked fields: the pick says so.
        ReadingCase{"PickTellsARowWithAFieldMore", "y doy st tx tn\n2001 1 A 20 10\n2001 2 A 9 21 11\n2001 3 A 22 12\n",
                    task(3, "Year,DOY,T-max:oC,T-min:oC", {"--pick", "1,2,4,5"}), 1,
                    line("notice", "Data rows hold different numbers of fields before the pick: 2 rows hold 5, but "
                                   "line 3 holds 6. The fields picked from such rows may be other columns.") +
                        "warning: Data erros are spotted!\n",
                    {}},
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

std::string flagNotice(int column, const char* name, int count, const char* lines)
{
    return line("notice", "Column " + std::to_string(column) + " (" + name + "): " + std::to_string(count)
                              + (count == 1 ? " value" : " values")
                              + " with a flag glued after the number (12.8Q, 90.0*) read as the number on input "
                              + (count == 1 ? "line " : "lines ") + lines + ".");
}

INSTANTIATE_TEST_SUITE_P(
    ServicesOwnForms, BatchReading,
    ::testing::Values(
        // Texts and empty fields taken as missing are told apart from the sign.
        ReadingCase{"MissingTextsAndEmptyFields",
                    "y,doy,tx,tn,p\n2001,1,20,10,NA\n2001,2,21,,0.2\n2001,3,22,12,-99\n2001,4,22,12,null\n",
                    task(1, "Year,DOY,T-max:oC,T-min:oC,Precip:mm", {"--site", "1 N 1 W 1", "--fields", "comma",
                                                                      "--missing", "NA,null"}),
                    0,
                    line("notice", "Column 4 (T-min): 1 value taken as missing (empty field or NA,null) was "
                                   "replaced by 0.01 on input line 3.")
                        + line("notice", "Column 5 (Precip): 1 value taken as missing (sign -99) was replaced by "
                                         "0.01 on input line 4.")
                        + line("notice", "Column 5 (Precip): 2 values taken as missing (empty field or NA,null) "
                                         "were replaced by 0.01 on input lines 2 and 5."),
                    {"\n2001\t2\t0.00\t21.0\t0.0\t0\t0.2\t0.0\r\n"}},
        ReadingCase{"MissingTextInBlankRowsWithoutSubstitution", "y doy tx tn p\n2001 1 20 10 M\n2001 2 21 11 0\n",
                    task(1, "Year,DOY,T-max:oC,T-min:oC,Precip:mm",
                         {"--site", "1 N 1 W 1", "--missing", "M", "--no-substitution"}),
                    1, line("error", kMissingValuesFound) + line("note", "input line 2, column 5"), {}},
        // A service's flags: still the number, now counted per column.
        ReadingCase{"GluedFlagsInBlankRows", "y doy tx tn p\n2001 1 20.1M 10 0.2\n2001 2 21 11* 0.3T\n2001 3 22Q 12 0\n",
                    task(1, "Year,DOY,T-max:oC,T-min:oC,Precip:mm", kSite), 0,
                    flagNotice(3, "T-max", 2, "2 and 4") + flagNotice(4, "T-min", 1, "3")
                        + flagNotice(5, "Precip", 1, "3"),
                    {"\n2001\t2\t0.00\t21.0\t11.0\t0\t0.3\t0.0\r\n"}},
        ReadingCase{"GluedFlagsInCommaFields", "y,doy,tx,tn,p\n2001,1,90.0*,50,0.39G\n2001,2,70,52,12.8Q\n",
                    task(1, "Year,DOY,T-max:oF,T-min:oF,Precip:mm", {"--site", "1 N 1 W 1", "--fields", "comma"}), 0,
                    flagNotice(3, "T-max", 1, "2") + flagNotice(5, "Precip", 2, "2 and 3"),
                    {"\n2001\t1\t0.00\t32.2\t10.0\t0\t0.4\t0.0\r\n"}},
        // kJ and Wh a square metre, humidity as a fraction.
        ReadingCase{"KilojoulesWattHoursAndAFraction",
                    "y doy sr tx tn rh\n2001 1 15000 20 10 0.853\n2001 2 4000 21 11 1\n",
                    task(1, "Year,DOY,Solar:kJ/m2/d,T-max:oC,T-min:oC,RelHum:fraction", kSite), 0, "",
                    {"\n2001\t1\t15.00\t20.0\t10.0\t85\t0.0\t0.0\r\n", "\n2001\t2\t4.00\t21.0\t11.0\t100\t0.0\t0.0\r\n"}},
        ReadingCase{"WattHours", "y doy sr tx tn\n2001 1 4000 20 10\n",
                    task(1, "Year,DOY,Solar:Wh/m2/d,T-max:oC,T-min:oC", kSite), 0, "",
                    {"\n2001\t1\t14.40\t20.0\t10.0\t0\t0.0\t0.0\r\n"}},
        // 600 minutes of sunshine are 10 hours, no day of 600 hours.
        ReadingCase{"SunshineInMinutes", "y doy tx tn ss\n2001 1 20 10 600\n2001 2 21 11 720\n",
                    task(3, "Year,DOY,T-max:oC,T-min:oC,SunHr:min"), 0, line("information", kNoSuspiciousData), {}},
        ReadingCase{"DayInTwoRowsWithTimes",
                    "date,tx,tn\n2004-01-05 00:00,20,10\n2004-01-05 12:00,21,11\n2004-01-06 00:00,22,12\n",
                    task(1, "Date:YYYY-MM-DD,T-max:oC,T-min:oC", {"--site", "1 N 1 W 1", "--fields", "comma"}), 1,
                    line("error", repeatedDayMessage(20040105)) + line("note", "input line 3, column 1"), {}}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace pluvora

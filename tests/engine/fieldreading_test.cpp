#include "engine/appfolder/appfolder.h"
#include "engine/columns/datetext.h"
#include "engine/error.h"
#include "engine/run/processingrun.h"
#include "engine/table/fieldreading.h"
#include "engine/tasks/datacheckup.h"
#include "engine/tasks/missingvalues.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

using namespace pluvora;
using namespace pluvora::test;

namespace {

// Three days as a blank-separated file: what every other layout of the same
// data must convert to, byte for byte.
constexpr const char* kBlankColumns = "Year,Month,Day,T-max:oC,T-min:oC,Precip:mm";
constexpr const char* kBlankText = "Station 9\nyr mo dy tx tn pr\n"
                                   "2019 2 27 10.5 2.25 0\n"
                                   "2019 2 28 11 -3 1.2\n"
                                   "2019 3 1 -0.5 -7.5 12\n";

struct Layout {
    const char* name;
    const char* columns;
    const char* reading;
    const char* text;
};

RunOutcome runTaskOne(const std::string& columns, const std::string& reading, const std::string& text,
                      RecordingFeedback& ui, const AppFolder& folder, bool substitution = true)
{
    RunRequest request;
    request.taskIndex = 0;
    request.fileName = "in.txt";
    request.rowsBeforeText = "2";
    request.layout = layoutFromColumns(columns);
    parseReadingText(reading, request.layout);
    request.substitutionEnabled = substitution;
    request.inputText = text;
    return runProcessing(request, folder, ui);
}

// The names row, copied as it stands, differs with the layout.
std::string withoutNamesRow(const std::string& panel)
{
    const std::size_t first = panel.find('\n') + 1;
    return panel.substr(0, first) + panel.substr(panel.find('\n', first) + 1);
}

class SameDataOtherLayout : public ::testing::TestWithParam<Layout> {};

} // namespace

TEST_P(SameDataOtherLayout, ConvertsLikeTheBlankSeparatedFile)
{
    TempFolder dir;
    AppFolder folder(dir.path());
    RecordingFeedback blankUi;
    const RunOutcome blank = runTaskOne(kBlankColumns, "", kBlankText, blankUi, folder);
    ASSERT_TRUE(blank.completed);

    RecordingFeedback ui;
    const Layout& c = GetParam();
    const RunOutcome other = runTaskOne(c.columns, c.reading, c.text, ui, folder);
    ASSERT_TRUE(other.completed) << (ui.messages().empty() ? "" : ui.messages().front());
    EXPECT_EQ(withoutNamesRow(*other.outputPanel), withoutNamesRow(*blank.outputPanel));
    EXPECT_EQ(ui.messages(), blankUi.messages());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SameDataOtherLayout,
    ::testing::Values(
        Layout{"QuotedCsvWithDateAndFlags", "Date:YYYY-MM-DD,T-max:oC,Ignore,T-min:oC,Precip:mm", "fields=comma",
               "Station 9\n\"Date\",\"Tmax\",\"flag\",\"Tmin\",\"Rain\"\n"
               "\"2019-02-27\",\"10.5\",\"\",\"2.25\",\"0\"\n"
               "\"2019-02-28T00:00\",\"11\",\"E, est.\",\"-3\",\"1.2\"\n"
               "\"2019-03-01\",\"-0.5\",\"say \"\"M\"\"\",\"-7.5\",\"12\"\n"},
        Layout{"SemicolonDecimalComma", "Date:DD.MM.YYYY,T-max:oC,T-min:oC,Precip:mm",
               "fields=semicolon decimal-comma",
               "Station 9\nDatum;Tx;Tn;RR\n27.02.2019;10,5;2,25;0\n28.2.2019 00:00;11;-3;1,2\n01.03.2019;-0,5;-7,5;12\n"},
        Layout{"TabsWithYearAndDayOfYear", "Date:YYYYDDD,T-max:oC,T-min:oC,Precip:mm", "fields=tab",
               "Station 9\nd\ttx\ttn\tpr\n2019058\t10.5\t2.25\t0\n2019059\t11\t-3\t+1.2\n2019060\t-0.5\t-7.5\t12\n"},
        Layout{"FixedWidthsWithABlankIgnoredField", "Year,Month,Day,Ignore,T-max:oC,T-min:oC,Precip:mm",
               "fields=fixed widths=4,7,10,14,20,26,32",
               "Station 9\nyr mo dy  sr    tx    tn    pr\n"
               "2019 2 27 1.1  10.5  2.25     0\n"
               "2019 2 28         11    -3   1.2\n"
               "2019 3  1 2.0  -0.5  -7.5    12\n"},
        Layout{"BlanksWithSlashedDate", "Date:MM/DD/YYYY,T-max:oC,T-min:oC,Precip:mm", "",
               "Station 9\ndate tx tn pr\n2/27/2019 10.5 2.25 0\n02/28/2019 11 -3 1.2\n3/1/2019 -0.5 -7.5 12\n"},
        Layout{"BlanksWithDateAndATimeColumn", "Date:YYYY-MM-DD,Ignore,T-max:oC,T-min:oC,Precip:mm", "",
               "Station 9\ndate time tx tn pr\n2019-02-27 00:00 10.5 2.25 0\n2019-02-28 06:30 11 -3 1.2\n"
               "2019-03-01 00:00 -0.5 -7.5 12\n"},
        Layout{"BlanksWithDecimalComma", kBlankColumns, "decimal-comma",
               "Station 9\nyr mo dy tx tn pr\n2019 2 27 10,5 2,25 0\n2019 2 28 11 -3 1,2\n2019 3 1 -0,5 -7,5 12\n"},
        // Numbers as programs write them, with an exponent.
        Layout{"BlanksWithExponents", kBlankColumns, "",
               "Station 9\nyr mo dy tx tn pr\n2019 2 27 1.05E+01 2.25 0.0E+00\n2019 2 28 11 -3.0e+00 1.2\n"
               "2019 3 1 -5.00E-01 -7.5 1.2E+01\n"},
        Layout{"CsvWithExponentsAndMonthNames", "Date:DD-MON-YYYY,T-max:oC,T-min:oC,Precip:mm", "fields=comma",
               "Station 9\ndate,tx,tn,pr\n27-feb-2019,1.05E+01,2.25,0\n28-Feb-2019,11,-3e0,1.2\n01-MRT-2019,-0.5,-7.5,1.2e1\n"},
        Layout{"CsvWithDayMonthNameYear", "Date:DD MON YYYY,T-max:oC,T-min:oC,Precip:mm", "fields=comma",
               "Station 9\ndate,tx,tn,pr\n27 f\xC3\xA9vr. 2019,10.5,2.25,0\n28 Febrero 2019,11,-3,1.2\n"
               "1 mars 2019 00:00,-0.5,-7.5,12\n"},
        Layout{"TabsWithDashedYearAndDay", "Date:YYYY-DDD,T-max:oC,T-min:oC,Precip:mm", "fields=tab",
               "Station 9\nd\ttx\ttn\tpr\n2019-058\t10.5\t2.25\t0\n2019-59\t11\t-3\t1.2\n2019-060\t-0.5\t-7.5\t12\n"},
        // Texts that mean nothing here are only texts: a missing-value list
        // changes no value it does not name.
        Layout{"CsvWithMissingTextsNotFound", kBlankColumns, "fields=comma missing=NA,-99.9,***",
               "Station 9\nyr,mo,dy,tx,tn,pr\n2019,2,27,10.5,2.25,0\n2019,2,28,11,-3,1.2\n2019,3,1,-0.5,-7.5,12\n"}),
    [](const auto& test) { return std::string(test.param.name); });

namespace {

const std::string kRepeatedDay27February = repeatedDayMessage(20190227);

struct Fault {
    const char* name;
    const char* columns;
    const char* reading;
    const char* dataRow; // the second of three data rows, input line 4
    bool substitution;
    const char* message;
    int column;
};

class FieldFault : public ::testing::TestWithParam<Fault> {};

} // namespace

TEST_P(FieldFault, StopsNamingLineAndColumn)
{
    const Fault& f = GetParam();
    TempFolder dir;
    AppFolder folder(dir.path());
    RecordingFeedback ui;
    const std::string text = std::string("Station 9\nnames\n2019-02-27,1,0,0\n") + f.dataRow + "\n2019-03-01,1,0,0\n";
    const RunOutcome outcome = runTaskOne(f.columns, f.reading, text, ui, folder, f.substitution);
    EXPECT_FALSE(outcome.completed);
    ASSERT_FALSE(ui.messages().empty());
    EXPECT_EQ(ui.messages().back(), std::string("error: ") + f.message);
    ASSERT_TRUE(outcome.badInput.has_value());
    EXPECT_EQ(outcome.badInput->line, 4);
    EXPECT_EQ(outcome.badInput->column, f.column);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldFault,
    ::testing::Values(
        Fault{"TextInAReadColumn", "Date:YYYY-MM-DD,T-max:oC,T-min:oC,Precip:mm", "fields=comma",
              "2019-02-28,1,n/a,0", true, kInvalidNumericInput, 3},
        Fault{"NotADate", "Date:YYYY-MM-DD,T-max:oC,T-min:oC,Precip:mm", "fields=comma", "28/02/2019,1,0,0", true,
              kInvalidNumericInput, 1},
        Fault{"ImpossibleDate", "Date:YYYY-MM-DD,T-max:oC,T-min:oC,Precip:mm", "fields=comma", "2019-02-29,1,0,0",
              true, kDataFormatProblem, 1},
        Fault{"EmptyFieldWithoutSubstitution", "Date:YYYY-MM-DD,T-max:oC,T-min:oC,Precip:mm", "fields=comma",
              "2019-02-28,1, ,0", false, kMissingValuesFound, 3},
        Fault{"ShortRowWithoutSubstitution", "Date:YYYY-MM-DD,T-max:oC,T-min:oC,Precip:mm", "fields=comma",
              "2019-02-28,1,0", false, kMissingValuesFound, 4},
        Fault{"EmptyDateEvenWithSubstitution", "Date:YYYY-MM-DD,T-max:oC,T-min:oC,Precip:mm", "fields=comma",
              ",1,0,0", true, kMissingValuesFound, 1},
        Fault{"MissingTextWithoutSubstitution", "Date:YYYY-MM-DD,T-max:oC,T-min:oC,Precip:mm",
              "fields=comma missing=NA,null", "2019-02-28,1,null,0", false, kMissingValuesFound, 3},
        // Two readings of one day, twelve hours apart: not joined in silence.
        Fault{"DayInTwoRowsWithTimes", "Date:YYYY-MM-DD,T-max:oC,T-min:oC,Precip:mm", "fields=comma",
              "2019-02-27T12:00,1,0,0", true, kRepeatedDay27February.c_str(), 1}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(FieldReading, EmptyFieldTakesTheSubstitute)
{
    TempFolder dir;
    AppFolder folder(dir.path());
    RecordingFeedback blankUi;
    RecordingFeedback ui;
    const RunOutcome blank = runTaskOne(kBlankColumns, "", "S\nn\n2019 2 27 10 2 -99\n2019 2 28 11 3 1\n", blankUi,
                                        folder);
    const RunOutcome csv = runTaskOne(kBlankColumns, "fields=comma", "S\nn\n2019,2,27,10,2,\n2019,2,28,11,3,1\n", ui,
                                      folder);
    ASSERT_TRUE(blank.completed);
    ASSERT_TRUE(csv.completed);
    EXPECT_EQ(*csv.outputPanel, *blank.outputPanel);
}

TEST(DateText, ReadsEveryFormatAndRefusesWhatIsNoDay)
{
    struct Case {
        const char* text;
        int format;
        DateText::Kind kind;
        int year, month, day;
    };
    using K = DateText::Kind;
    const Case cases[] = {
        {"1980-01-05", 0, K::Date, 1980, 1, 5},   {"1980-01-05T00:00", 0, K::Date, 1980, 1, 5},
        {"19800105", 1, K::Date, 1980, 1, 5},     {"2000060", 2, K::Date, 2000, 2, 29},
        {"2001366", 2, K::Impossible, 0, 0, 0},   {"1980/1/5", 3, K::Date, 1980, 1, 5},
        {"05/01/1980", 4, K::Date, 1980, 1, 5},   {"01/05/1980", 5, K::Date, 1980, 1, 5},
        {"5.1.1980", 6, K::Date, 1980, 1, 5},     {"05-01-1980", 7, K::Date, 1980, 1, 5},
        {"2019-02-29", 0, K::Impossible, 0, 0, 0}, {"1980-13-01", 0, K::Impossible, 0, 0, 0},
        {"80-01-05", 0, K::NotADate, 0, 0, 0},    {"1980-01-05", 3, K::NotADate, 0, 0, 0},
        {"1980105", 1, K::NotADate, 0, 0, 0},     {"", 0, K::NotADate, 0, 0, 0},
        {"2003-001", 8, K::Date, 2003, 1, 1},     {"2004-366", 8, K::Date, 2004, 12, 31},
        {"2003-366", 8, K::Impossible, 0, 0, 0},  {"03-001", 8, K::NotADate, 0, 0, 0},
        {"01-jan-2004", 9, K::Date, 2004, 1, 1},  {"1-DEC-2004 06:00", 9, K::Date, 2004, 12, 1},
        {"31-apr-2004", 9, K::Impossible, 0, 0, 0}, {"01-xyz-2004", 9, K::NotADate, 0, 0, 0},
        {"1 Jan 2022", 10, K::Date, 2022, 1, 1},  {"5 Okt. 2022", 10, K::Date, 2022, 10, 5},
        {"01-jan-2004", 10, K::NotADate, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const DateText date = readDateText(c.text, c.format);
        EXPECT_EQ(date.kind, c.kind) << c.text;
        if (c.kind == K::Date) {
            EXPECT_EQ(date.year, c.year) << c.text;
            EXPECT_EQ(date.month, c.month) << c.text;
            EXPECT_EQ(date.day, c.day) << c.text;
        }
    }
}

// A month's name in each language the names table covers, full and short;
// one start two months share names none.
TEST(DateText, MonthNamesOfEveryLanguage)
{
    const std::pair<const char*, int> names[] = {
        {"January", 1},  {"ene", 1},  {"janeiro", 1}, {"janv.", 1}, {"Januar", 1},  {"gen", 1},   {"jan", 1},
        {"feb", 2},      {"fev", 2},  {"f\xC3\xA9vrier", 2},       {"febbraio", 2}, {"mrt", 3},  {"M\xC3\xA4rz", 3},
        {"mar\xC3\xA7o", 3}, {"abr", 4}, {"avr.", 4},  {"mayo", 5},  {"mai", 5},     {"mag", 5},   {"mei", 5},
        {"juin", 6},     {"giu", 6},  {"juil", 7},    {"lug", 7},   {"ago", 8},     {"ao\xC3\xBBt", 8}, {"sept.", 9},
        {"set", 9},      {"out", 10}, {"ott", 10},    {"okt", 10},  {"NOV", 11},    {"dic", 12},  {"dez", 12},
        {"jui", 0},      {"ju", 0},   {"month", 0},   {"", 0},
    };
    for (const auto& [name, month] : names)
        EXPECT_EQ(monthFromName(name), month) << name;
}

// Missing texts compare as written; a number with a flag glued on reads
// as the number; an exponent reads whole.
TEST(FieldReading, MissingTextsFlagsAndExponents)
{
    DataLayout layout = layoutFromColumns("Year,T-max:oC,T-min:oC,Precip:mm,Ignore");
    parseReadingText("fields=comma missing=-99.9,NA", layout);
    const FieldRowWriter rows(layout, 5, std::string_view("-99"));
    std::string scratch;
    FieldRowWriter::Tokens tokens;
    const FieldRowWriter::Result row = rows.split("2001,-99.90,NA,0.39G,1.04E+01", scratch, tokens);
    ASSERT_EQ(row.message, nullptr);
    EXPECT_EQ(tokens[1], "-99.90");
    EXPECT_EQ(tokens[2], "-99");
    EXPECT_EQ(tokens[3], "0.39");
    EXPECT_EQ(tokens[4], "0");
    EXPECT_EQ(row.filled, 1u << 2);
    EXPECT_EQ(row.flagged, 1u << 3);
    const FieldRowWriter::Result second = rows.split("2001,-99.9,,1.04E+01,x", scratch, tokens);
    EXPECT_EQ(tokens[1], "-99");
    EXPECT_EQ(tokens[2], "-99");
    EXPECT_EQ(tokens[3], "10.4");
    EXPECT_EQ(second.filled, (1u << 1) | (1u << 2));
    EXPECT_EQ(rows.missingLabel(), "empty field or -99.9,NA");

    char plain[kLongestPlainNumber];
    const auto read = [&](const char* text, bool signedOnly) {
        const char* end = plainFromExponent(text, '.', signedOnly, plain);
        return end ? std::string(static_cast<const char*>(plain), end) : std::string("none");
    };
    EXPECT_EQ(read("1.04E+01", true), "10.4");
    EXPECT_EQ(read("-5e-3", true), "-0.005");
    EXPECT_EQ(read("1e3", true), "none");
    EXPECT_EQ(read("1e3", false), "1000");
    EXPECT_EQ(read("-0.0E+00", true), "0");
    EXPECT_EQ(read("1E+300", true), "none");
    EXPECT_EQ(read("E+01", true), "none");
    EXPECT_EQ(read("1.5E+01x", true), "none");
}

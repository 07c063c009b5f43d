#include "engine/suggest/layoutsuggestion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace pluvora;

namespace {

std::filesystem::path sample(const std::string& name)
{
    return std::filesystem::path(PLUVORA_SAMPLE_DATA) / name;
}

struct ServiceFile {
    const char* file;
    const char* options; // what a careful user writes from the file's notes
};

class SuggestsRealFile : public testing::TestWithParam<ServiceFile> {};

std::string fileTestName(const testing::TestParamInfo<ServiceFile>& info)
{
    std::string name = info.param.file;
    name = name.substr(0, name.find('_'));
    return name + "_" + std::to_string(info.index);
}

} // namespace

TEST_P(SuggestsRealFile, AsACarefulUserWouldDescribeIt)
{
    const LayoutSuggestion s = suggestLayoutOfFile(sample(GetParam().file));
    std::string reasons;
    for (const auto& line : suggestionReasons(s))
        reasons += line + "\n";
    EXPECT_EQ(suggestionOptions(s), GetParam().options) << reasons;
}

INSTANTIATE_TEST_SUITE_P(
    Services, SuggestsRealFile,
    testing::Values(
        ServiceFile{"agrimet_faln_2015_daily.csv",
                    "--rows 1 --fields comma --columns \"Year,Month,Day,T-min:oF,T-max:oF,Solar:Langley,DewPt:oF,Ignore,ET:inch\""},
        ServiceFile{"daymet_v3_demo_2000-2003.csv",
                    "--rows 8 --fields comma --columns \"Year,DOY,Ignore,Precip:mm,Ignore,Ignore,T-max:oC,T-min:oC,VapPr:Pa\""},
        ServiceFile{"eccc_marieville_2014_daily.csv",
                    "--rows 25 --fields comma --pick 2-4,6,8,20 --columns \"Year,Month,Day,T-max:oC,T-min:oC,Precip:mm\""},
        ServiceFile{"knmi_debilt_260_1993-1994_daily.txt",
                    "--rows 49 --fields comma --pick 2,5,13,15,20-21,23,36,41 --columns \"Date:YYYYMMDD,WndSpd:0.1 m/s,T-min:0.1 oC,T-max:0.1 oC,SunHr%:%,Solar:J/cm2,Precip:0.1 mm,RelHum:%,ET:0.1 mm\" --trace -1"},
        ServiceFile{"nasa_power_chakwal_2000-2002_daily.csv",
                    "--rows 33 --fields comma --pick 1-4,11-12,15-16 --columns \"Year,Month,Day,Solar:kWh/m2/d,T-max:oC,T-min:oC,RelHum:%,Precip:mm\" --sign -999"},
        ServiceFile{"silo_apsim_wagga_72150.met",
                    "--rows 23 --columns \"Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,Precip:mm,PanEvap:mm,VapPr:hPa\" --missing \"?,*,NaN\""},
        ServiceFile{"silo_ppd_wagga_72150.txt",
                    "--rows 37 --pick 1,3,5,7,9,11,13 --columns \"Date:YYYYMMDD,T-max:oC,T-min:oC,Precip:mm,PanEvap:mm,Solar:MJ/m2/d,VapPr:hPa\""}),
    fileTestName);

namespace {

struct SmallFile {
    const char* name;
    const char* text;
    const char* options;
};

class SuggestsSmallFile : public testing::TestWithParam<SmallFile> {};

std::string nameOf(const testing::TestParamInfo<SmallFile>& info) { return info.param.name; }

} // namespace

TEST_P(SuggestsSmallFile, FromItsHeaderAndValues)
{
    const LayoutSuggestion s = suggestLayout(GetParam().text);
    std::string reasons;
    for (const auto& line : suggestionReasons(s))
        reasons += line + "\n";
    EXPECT_EQ(suggestionOptions(s), GetParam().options) << reasons;
}

// Layouts written from each service's published column names.
INSTANTIATE_TEST_SUITE_P(
    Layouts, SuggestsSmallFile,
    testing::Values(
        SmallFile{"CimisEnglishUnits",
                  "Stn Id,Stn Name,CIMIS Region,Date,Jul,ETo (in),qc,Precip (in),qc,"
                  "Sol Rad (Ly/day),qc,Avg Vap Pres (mBars),qc,Max Air Temp (F),qc,"
                  "Min Air Temp (F),qc\n"
                  "2,FivePoints,SJV,1/1/2020,1,0.03,,0.00,,201,,7.1,,57.2,,33.4,\n"
                  "2,FivePoints,SJV,1/2/2020,2,0.04,,0.01,,180,,7.5,,59.0,,35.1,\n"
                  "2,FivePoints,SJV,1/3/2020,3,0.02,,0.12,,95,,8.0,,52.3,,40.2,\n",
                  "--rows 1 --fields comma --pick 4,8,10,12,14,16 "
                  "--columns \"Date:MM/DD/YYYY,Precip:inch,Solar:Langley,VapPr:hPa,T-max:oF,T-min:oF\""},
        SmallFile{"MeteostatHeaderless",
                  "2021-06-01,17.2,11.5,23.4,0.3,,250,9.4,25.9,1016.2,540\n"
                  "2021-06-02,18.0,12.1,24.9,0.0,,260,8.1,22.3,1017.0,600\n"
                  "2021-06-03,16.1,10.9,21.0,5.2,,240,12.6,40.7,1012.9,120\n",
                  "--rows 0 --fields comma --columns \"Date:YYYY-MM-DD\""},
        SmallFile{"CdoUnitsUnknown",
                  "\"STATION\",\"NAME\",\"DATE\",\"PRCP\",\"TMAX\",\"TMIN\"\n"
                  "\"USW00003870\",\"GREER, SC US\",\"1983-01-01\",\"0.06\",\"47\",\"40\"\n"
                  "\"USW00003870\",\"GREER, SC US\",\"1983-01-02\",\"0.63\",\"46\",\"37\"\n"
                  "\"USW00003870\",\"GREER, SC US\",\"1983-01-03\",\"0.00\",\"52\",\"30\"\n",
                  "--rows 1 --fields comma --columns \"Ignore,Ignore,Date:YYYY-MM-DD\""},
        SmallFile{"UnknownNamesSuggestNothingWrong",
                  "station report\n"
                  "aa bb cc dd ee\n"
                  "1 12.5 3.1 0.0 88\n"
                  "2 13.0 2.2 1.5 91\n"
                  "3 11.1 1.0 0.0 79\n",
                  "--rows 2 --columns \"\""},
        SmallFile{"YearMonthDayFromValues",
                  "1990 1 30 -2.5 -9.0 0.0\n"
                  "1990 1 31 -1.0 -7.5 2.1\n"
                  "1990 2 1 0.5 -5.0 0.0\n"
                  "1990 2 2 1.0 -4.0 0.0\n",
                  "--rows 0 --columns \"Year,Month,Day\""},
        SmallFile{"SemicolonWithDecimalComma",
                  "jahr;monat;tag;tmax (°C);tmin (°C);niederschlag\n"
                  "2019;7;1;31,5;17,2;0,0\n"
                  "2019;7;2;29,0;16,4;3,5\n",
                  "--rows 1 --fields semicolon --decimal-comma "
                  "--columns \"Year,Month,Day,T-max:oC,T-min:oC,Precip:mm\""},
        // Names after a marker that stands alone belong to the fields after it.
        SmallFile{"MarkerBeforeTheNames",
                  "@  DATE  SRAD  TMAX  TMIN  RAIN\n"
                  "2021001   5.2  12.1   3.0   0.0\n"
                  "2021002   6.0  13.4   2.5   1.2\n"
                  "2021003   4.9  11.0   1.0   0.0\n",
                  "--rows 1 --fields fixed --widths 7,13,19,25,31 --columns \"Date:YYYYDDD,Solar:MJ/m2/d,T-max:oC,T-min:oC,Precip:mm\" --sign -99"},
        // Temperatures in tenths: the rain of the same service is in tenths too,
        // though its values fit mm as well.
        SmallFile{"GhcnStyleTenths",
                  "DATE,PRCP,TMAX,TMIN\n"
                  "1983-01-01,3,156,72\n"
                  "1983-01-02,163,117,-11\n"
                  "1983-01-03,0,89,-39\n"
                  "1983-01-04,0,122,-50\n",
                  "--rows 1 --fields comma --columns \"Date:YYYY-MM-DD,Precip:0.1 mm,T-max:0.1 oC,T-min:0.1 oC\""},
        // Right-aligned values that touch when negative: fixed widths, no header.
        SmallFile{"FixedWidthsThatTouch",
                  "  1982   1   1  5.20 -3.50-10.20  0.00\n"
                  "  1982   1   2  6.10 -1.00 -8.40  1.20\n"
                  "  1982   1   3  4.00-12.30-20.10  0.00\n"
                  "  1982   1   4  7.30  2.00 -5.00  0.40\n"
                  "  1982   1   5  8.80  3.10 -2.20  0.00\n"
                  "  1982   1   6  3.10-11.00-15.60  0.00\n",
                  "--rows 0 --fields fixed --widths 6,10,14,20,26,32,38 --columns \"Year,Month,Day\""},
        // Dates found by their values: quoted, and under a units row.
        SmallFile{"QuotedIsoDate",
                  "\"when\",\"tmax (C)\",\"tmin (C)\"\n"
                  "\"2019-01-01\",-7.4,-15.3\n"
                  "\"2019-01-02\",-2.0,-9.9\n",
                  "--rows 1 --fields comma --columns \"Date:YYYY-MM-DD,T-max:oC,T-min:oC\""},
        SmallFile{"SlashedDateUnderAUnitsRow",
                  "day Tmax Tmin\n"
                  "- (C) (C)\n"
                  "2020/06/01 28.1 15.2\n"
                  "2020/06/02 29.4 16.0\n",
                  "--rows 2 --columns \"Date:YYYY/MM/DD,T-max:oC,T-min:oC\""},
        // A unit row of words the unit table knows.
        SmallFile{"UnitWordsRow",
                  "date;tmin;tmax;globrad;precip\n"
                  ";C_deg;C_deg;J cm-2;mm\n"
                  "01.01.1991;-1.5;1.0;52;0.3\n"
                  "02.01.1991;-2.0;0.5;160;0.0\n"
                  "03.01.1991;-4.0;-1.0;163;0.0\n",
                  "--rows 2 --fields semicolon --columns \"Date:DD.MM.YYYY,T-min:oC,T-max:oC,Solar:J/cm2,Precip:mm\""},
        SmallFile{"TraceWordInTheRain",
                  "ano;mes;dia;tmax;tmin;prec\n"
                  "2004;1;1;11,7;1,6;Ip\n"
                  "2004;1;2;12,0;2,2;0,0\n"
                  "2004;1;3;10,1;0,4;3,5\n",
                  "--rows 1 --fields semicolon --decimal-comma --columns \"Year,Month,Day,T-max:oC,T-min:oC,Precip:mm\" --trace Ip"},
        // A run reads "07:01" as two numbers: the columns after it say so.
        SmallFile{"TimeOfDayIsTwoNumbersToARun",
                  "year month day time tmax(C) tmin(C)\n"
                  "1990 1 30 07:01 -2.5 -9.0\n"
                  "1990 1 31 07:02 -1.0 -7.5\n"
                  "1990 2 1 07:00 0.5 -5.0\n",
                  "--rows 1 --columns \"Year,Month,Day,Ignore,Ignore,T-max:oC,T-min:oC\""},
        // A year of two digits and a day of year under a DATE name.
        SmallFile{"FiveDigitDssatDates",
                  "@DATE  SRAD  TMAX  TMIN  RAIN\n"
                  "82001   5.9  24.4  15.6  19.0\n"
                  "82002   7.2  22.8   7.2   0.0\n",
                  "--rows 1 --fields fixed --widths 5,11,17,23,29 --columns \"YYDOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,Precip:mm\" --sign -99"},
        // One day under a long header block: the last lines set the fields.
        SmallFile{"ShortReplyUnderAHeaderBlock",
                  "-BEGIN HEADER-\nT2M_MIN   Temperature Minimum (C)\nT2M_MAX   Temperature Maximum (C)\n"
                  "PS        Surface Pressure (kPa)\n-END HEADER-\n"
                  "YEAR,DOY,T2M_MIN,T2M_MAX,PS\n"
                  "1983,1,-25.37,-22.7,69.23\n",
                  "--rows 6 --fields comma --columns \"Year,DOY,T-min:oC,T-max:oC\" --sign -999"},
        SmallFile{"MissingSignProposed",
                  "YEAR DOY T2M_MAX T2M_MIN PRECTOTCORR\n"
                  "2001 1 12.1 3.0 -999\n"
                  "2001 2 -999 2.5 0.0\n"
                  "2001 3 13.4 -999 1.2\n",
                  "--rows 1 --columns \"Year,DOY,T-max:oC,T-min:oC,Precip:mm\" --sign -999"}),
    nameOf);

// A line per month and element is no row of days: its reader turns the
// lines into days, and the layout is that of those days.
TEST(LayoutSuggestion, GhcnMonthLinesAreReadAsDays)
{
    const LayoutSuggestion s = suggestLayoutOfFile(sample("ghcnd_USW00003870_1983-1985.dly"));
    EXPECT_TRUE(s.readAsDays);
    EXPECT_EQ(s.format.rfind("GHCN-Daily file: read as days", 0), 0u) << s.format;
}

TEST(LayoutSuggestion, TextWithoutDataSuggestsNothing)
{
    for (const char* text : {"", "\n\n", "just a note\nand another\n", "\"a\",\"b\"\n"}) {
        const LayoutSuggestion s = suggestLayout(text);
        EXPECT_FALSE(s.anyAssigned()) << text;
    }
}

TEST(LayoutSuggestion, UserTableWinsOverTheBuiltInOne)
{
    SuggestionTables tables = SuggestionTables::builtIn();
    tables.addNames("tmax\tT-min\toC\n");
    const LayoutSuggestion s = suggestLayout("year doy tmax\n2001 1 3.5\n2001 2 4.0\n", tables);
    EXPECT_EQ(suggestionOptions(s), "--rows 1 --columns \"Year,DOY,T-min:oC\"");
}

namespace pluvora {
extern const char* const kBuiltInColumnNames;
}

// Every line of the names table can be reached: a line whose name and
// context an earlier line has already must offer a variable or a unit the
// earlier ones do not, or the values could never choose it.
TEST(LayoutSuggestion, EveryLineOfTheNamesTableCanBeReached)
{
    std::istringstream table(kBuiltInColumnNames);
    std::map<std::string, std::set<std::string>> offered; // name and context -> variable:unit
    int lines = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string> cells;
        std::stringstream split(line);
        for (std::string cell; std::getline(split, cell, '\t');)
            cells.push_back(cell);
        ASSERT_GE(cells.size(), 2u) << line;
        ++lines;
        const std::string key = normaliseHeaderName(cells[0]) + "|" + (cells.size() > 3 ? cells[3] : "");
        std::vector<std::string> units;
        std::stringstream unitList(cells.size() > 2 ? cells[2] : "");
        for (std::string unit; std::getline(unitList, unit, '|');)
            units.push_back(cells[1] + ":" + unit);
        if (units.empty())
            units.push_back(cells[1] + ":");
        auto& known = offered[key];
        const bool adds = std::any_of(units.begin(), units.end(), [&](const std::string& u) { return !known.count(u); });
        EXPECT_TRUE(adds) << "never reached: " << line;
        known.insert(units.begin(), units.end());
    }
    EXPECT_GT(lines, 400);
}

// Files in a crop model's or a service's own format are told by their first
// lines and read by that format's rules; every other file is left to the
// generic suggestion.

#include "engine/error.h"
#include "engine/formats/knownformat.h"
#include "engine/suggest/layoutsuggestion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace pluvora {
namespace {

const std::filesystem::path kData = PLUVORA_TEST_DATA;

struct FormatCase {
    const char* file; // under tests/data
    const char* format; // "" for none
    const char* options;
    const char* site; // as --site takes it, or what the header lacks
};

const FormatCase kCases[] = {
    {"formats/dssat_UFGA8201.WTH", "DSSAT weather file",
     "--rows 5 --fields fixed --widths 5,11,17,23,29,47 --columns \"YYDOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,Precip:mm\" --sign -99",
     "29.63 N 82.37 W 10"},
    // Its longitude is written positive for a site in the west; taken as written.
    {"formats/dssat_UFGA2101.WTH", "DSSAT weather file",
     "--rows 5 --fields fixed --widths 7,13,19,25,31,37 --columns "
     "\"Date:YYYYDDD,Solar:MJ/m2/d,T-max:oC,T-min:oC,Precip:mm,DewPt:oC\" --sign -99",
     "29.803 N 82.411 E 160"},
    {"formats/apsim_KE_Kitui_1985-01-02.met", "APSIM weather file",
     "--rows 8 --columns \"Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,Precip:mm,VapPr:hPa,WndSpd:m/s\" --missing \"?,*,NaN\"",
     "latitude -1.375, longitude 37.985; no elevation"},
    {"formats/cabo_pcse_NL1.990", "CABO weather file",
     "--rows 1 --columns \"Ignore,Year,DOY,Solar:kJ/m2/d,T-min:oC,T-max:oC,VapPr:kPa,WndSpd:m/s,Precip:mm\" --sign -99",
     "51.97 N 5.67 E 7"},
    {"samples/nasa_power_chakwal_2000-2002_daily.csv", "NASA POWER file",
     "--rows 33 --fields comma --pick 1-4,11-12,15-16 --columns "
     "\"Year,Month,Day,Solar:kWh/m2/d,T-max:oC,T-min:oC,RelHum:%,Precip:mm\" --sign -999",
     "32.9348 N 72.8576 E 448.45"},
    {"samples/ghcnd_USW00003870_1983-1985.dly", "GHCN-Daily file",
     "--rows 1 --columns \"Year,Month,Day,T-max:0.1 oC,T-min:0.1 oC,Precip:0.1 mm,WndSpd:0.1 m/s,SunHr:min\" --sign -9999",
     ""},
    {"samples/gsod_637900-99999_moshi_1995.op", "NOAA GSOD file",
     "--rows 1 --pick 3,18-20,6,14 --columns \"Date:YYYYMMDD,T-max:oF,T-min:oF,Precip:inch,DewPt:oF,WndSpd:knot\" "
     "--missing \"9999.9,999.9,99.99\"",
     ""},
    {"formats/epic_sample.DLY", "EPIC/APEX daily weather file",
     "--rows 0 --fields fixed --widths 6,10,14,20,26,32,38,44,50 --columns "
     "\"Year,Month,Day,Solar:MJ/m2/d,T-max:oC,T-min:oC,Precip:mm,RelHum:fraction,WndSpd:m/s\" --sign -99",
     ""},
    {"formats/swat_sample.pcp", "SWAT precipitation file",
     "--rows 4 --fields fixed --widths 7,12 --columns \"Date:YYYYDDD,Precip:mm\" --sign -99", "41.8 N 93.7 W 330"},
    // Two stations: a run reads one, picked by the user.
    {"formats/swat_sample.tmp", "SWAT temperature file",
     "--rows 4 --fields fixed --widths 7,12,17,22,27 --columns \"Date:YYYYDDD\" --sign -99", ""},
    // Generic layouts, fixed widths without a header among them.
    {"samples/inta_nh0358_castelar_2003-2005.DAT", "", "", ""},
    {"samples/knmi_debilt_260_1993-1994_daily.txt", "", "", ""},
    {"samples/silo_ppd_wagga_72150.txt", "", "", ""},
    {"samples/pyfao56_azmet_maricopa_2003-2005.wth", "", "", ""},
    {"samples/daisy_dwf_vredepeel_1985-1988.dwf", "", "", ""},
    {"formats/pcse_nl1.csv", "", "", ""},
};

TEST(KnownFormat, EachFormatIsToldByItsFirstLinesWithItsLayoutAndSite)
{
    for (const FormatCase& c : kCases) {
        SCOPED_TRACE(c.file);
        const LayoutSuggestion s = suggestLayoutOfFile(kData / c.file);
        const std::string name = s.format.substr(0, s.format.find(':'));
        EXPECT_EQ(name, c.format);
        if (*c.format == '\0')
            continue;
        EXPECT_EQ(suggestionOptions(s), c.options);
        EXPECT_EQ(s.site.complete() ? siteOptionText(s.site) : s.site.any() ? siteDescription(s.site) : "", c.site);
        EXPECT_EQ(suggestionReasons(s).front(), s.format);
    }
}

std::string daysOf(const char* file)
{
    const auto format = recogniseFormatOfFile(kData / file);
    EXPECT_TRUE(format && format->readAsDays);
    std::ifstream in(kData / file, std::ios::binary);
    std::ostringstream out;
    writeFormatDays(*format, in, out);
    return out.str();
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Values cut from the .dly line by hand: columns 22 + 8 (day - 1), 5 wide.
TEST(KnownFormat, GhcnLinesOfMonthsBecomeOneRowADay)
{
    const auto lines = linesOf(daysOf("samples/ghcnd_USW00003870_1983-1985.dly"));
    ASSERT_EQ(lines.size(), 1u + 365 + 366 + 365);
    EXPECT_EQ(lines[0], "GHCN-Daily file read as days: Year Month Day TMAX TMIN PRCP AWND TSUN");
    std::ifstream raw(kData / "samples/ghcnd_USW00003870_1983-1985.dly");
    std::map<std::string, std::string> month;
    for (std::string line; std::getline(raw, line);)
        if (line.compare(11, 6, "198402") == 0)
            month[line.substr(17, 4)] = line;
    auto value = [&](const char* element, int day) {
        const std::string& line = month.at(element);
        const std::string text = line.substr(21 + 8 * static_cast<std::size_t>(day - 1), 5);
        const bool failed = line[21 + 8 * static_cast<std::size_t>(day - 1) + 6] != ' ';
        return failed ? -9999 : std::stoi(text);
    };
    for (int day = 1; day <= 29; ++day) {
        std::istringstream row(lines[static_cast<std::size_t>(1 + 365 + 31 + day - 1)]);
        int year, m, d, tmax, tmin, prcp;
        row >> year >> m >> d >> tmax >> tmin >> prcp;
        EXPECT_EQ(year * 10000 + m * 100 + d, 19840200 + day);
        EXPECT_EQ(tmax, value("TMAX", day)) << day;
        EXPECT_EQ(tmin, value("TMIN", day)) << day;
        EXPECT_EQ(prcp, value("PRCP", day)) << day;
    }
}

// Status lines (station -999) between the days are left out; the days
// are the file's own rows.
TEST(KnownFormat, CaboDaysLeaveOutTheStatusLines)
{
    const auto lines = linesOf(daysOf("formats/cabo_pcse_NL1.990"));
    ASSERT_EQ(lines.size(), 1u + 365);
    EXPECT_EQ(lines[1], "1 1990   1   770.  -0.2   0.7   0.820   2.8   0.0");
    for (std::size_t k = 1; k < lines.size(); ++k)
        EXPECT_EQ(lines[k].rfind("1 1990", 0), 0u) << lines[k];
}

TEST(KnownFormat, ALineTheFormatDoesNotAllowStopsTheReadingNamingIt)
{
    std::ifstream in(kData / "formats/cabo_pcse_NL1.990", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    text.replace(text.find("   1 1990   3"), 13, "   1 1990   x");
    const auto format = recogniseFormat(text);
    ASSERT_TRUE(format);
    std::istringstream from(text);
    std::ostringstream out;
    try {
        writeFormatDays(*format, from, out);
        FAIL() << "read on";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("(line 35)"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace pluvora

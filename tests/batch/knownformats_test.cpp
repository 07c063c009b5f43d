// A file in a crop model's or a service's own format converts with
// --columns auto alone: read by its format's rules, its site from its
// header where the header gives one.

#include "runbatch.h"
#include "tempfolder.h"

#include "engine/formats/dssatweatherfile.h"
#include "engine/io/numbertext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

const fs::path kData = PLUVORA_TEST_DATA;

struct AutoCase {
    const char* file;
    std::vector<std::string> more;
    int status;
    const char* siteLine; // the weather file's second line, or the error
};

const AutoCase kAutoCases[] = {
    {"formats/dssat_UFGA8201.WTH", {}, 0, "29.63 82.37 10  Lat (deg), long (deg), elev(m)"},
    {"formats/cabo_pcse_NL1.990", {}, 0, "51.97 -5.67 7  Lat (deg), long (deg), elev(m)"},
    {"samples/nasa_power_chakwal_2000-2002_daily.csv", {}, 0, "32.9348 -72.8576 448.45  Lat (deg), long (deg), elev(m)"},
    // No solar in the file: a weather file would get 0 for it, so the run
    // is refused, as for any layout without a Solar column.
    {"samples/ghcnd_USW00003870_1983-1985.dly", {"--site", "34.88 N 82.22 W 296"}, 1,
     "error: The layout suggested from the file is not sure enough to convert it: give the columns by hand.\n"},
    {"formats/epic_sample.DLY", {"--site", "40 N 90 W 200"}, 0, "40 90 200  Lat (deg), long (deg), elev(m)"},
    // Rain alone: refused for task 1 as above.
    {"formats/swat_sample.pcp", {}, 1,
     "error: The layout suggested from the file is not sure enough to convert it: give the columns by hand.\n"},
    // A header without the elevation cannot give the site: nothing is guessed.
    {"formats/apsim_KE_Kitui_1985-01-02.met", {}, 2,
     "error: --site is required for task 1, and for task 6 unless --no-rearrange is given: the header of the file "
     "gives latitude -1.375, longitude 37.985; no elevation\n"},
};

std::string errorLines(const std::string& err)
{
    std::string kept;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("error: ", 0) == 0)
            kept += line + "\n";
    return kept;
}

TEST(KnownFormats, ConvertWithColumnsAutoAndTheSiteOfTheHeader)
{
    for (const AutoCase& c : kAutoCases) {
        SCOPED_TRACE(c.file);
        test::TempFolder temp;
        const fs::path out = temp.path() / "out.wth";
        std::vector<std::string> args{"--task", "1", "--columns", "auto", (kData / c.file).string(), "-o", out.string()};
        args.insert(args.end(), c.more.begin(), c.more.end());
        const test::BatchOutcome r = test::runBatchProgram(temp.path(), args);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.status == 1) {
            EXPECT_EQ(errorLines(r.err), c.siteLine);
            EXPECT_NE(r.err.find("notice: not sure: Solar: no column was found"), std::string::npos) << r.err;
            EXPECT_FALSE(fs::exists(out));
            continue;
        }
        if (c.status != 0) {
            EXPECT_EQ(errorLines(r.err), c.siteLine);
            EXPECT_FALSE(fs::exists(out));
            continue;
        }
        std::istringstream text(test::readFile(out));
        std::string title, site;
        std::getline(text, title);
        std::getline(text, site);
        if (!site.empty() && site.back() == '\r')
            site.pop_back();
        EXPECT_EQ(site, c.siteLine);
    }
}

// Without a format whose header states the site, leaving --site out is the
// usage error it always was.
TEST(KnownFormats, NoSiteInTheHeaderIsTheUsageErrorAsBefore)
{
    for (const char* file : {"samples/ghcnd_USW00003870_1983-1985.dly", "samples/daymet_v3_demo_2000-2003.csv"}) {
        test::TempFolder temp;
        const auto r = test::runBatchProgram(temp.path(), {"--task", "1", "--columns", "auto", (kData / file).string()});
        EXPECT_EQ(r.status, 2) << file;
        EXPECT_EQ(r.err.rfind("pluvora-batch: --site is required for task 1, and for task 6 unless --no-rearrange is "
                              "given\nusage: pluvora-batch",
                              0),
                  0u)
            << r.err;
    }
}

// A folder of stations in such formats converts each with the site of its
// own header; one file without one refuses the run as a missing --site did.
TEST(KnownFormats, AFolderTakesEachFilesOwnSite)
{
    test::TempFolder temp;
    const fs::path in = temp.path() / "in";
    fs::create_directories(in);
    fs::copy_file(kData / "formats/dssat_UFGA8201.WTH", in / "UFGA8201.WTH");
    fs::copy_file(kData / "formats/cabo_pcse_NL1.990", in / "NL1.990");
    const fs::path out = temp.path() / "out";
    auto r = test::runBatchProgram(temp.path(), {"--task", "1", "--columns", "auto", "--quiet", in.string(), "--out-dir",
                                                 out.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    auto siteLine = [&](const char* name) {
        std::istringstream text(test::readFile(out / name));
        std::string line;
        std::getline(text, line);
        std::getline(text, line);
        return line.substr(0, line.find("  Lat"));
    };
    EXPECT_EQ(siteLine("UFGA8201.wth"), "29.63 82.37 10");
    EXPECT_EQ(siteLine("NL1.wth"), "51.97 -5.67 7");

    fs::copy_file(kData / "samples/daymet_v3_demo_2000-2003.csv", in / "daymet.csv");
    r = test::runBatchProgram(temp.path(), {"--task", "1", "--columns", "auto", "--quiet", in.string(), "--out-dir",
                                            (temp.path() / "out2").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("pluvora-batch: --site is required for task 1", 0), 0u) << r.err;
    EXPECT_FALSE(fs::exists(temp.path() / "out2"));
}

// Every day of the weather file against the same day read by the DSSAT
// reader on its own: the spans under the @ row, not the blanks.
TEST(KnownFormats, DssatDaysConvertAsTheFileHoldsThem)
{
    test::TempFolder temp;
    const fs::path input = kData / "formats/dssat_UFGA8201.WTH";
    const fs::path out = temp.path() / "out.wth";
    const auto r = test::runBatchProgram(temp.path(), {"--task", "1", "--columns", "auto", input.string(), "-o", out.string()});
    ASSERT_EQ(r.status, 0) << r.err;

    std::ifstream in(input);
    const DssatHead head = readDssatHead(in);
    std::istringstream converted(test::readFile(out));
    std::string line;
    for (int k = 0; k < 4; ++k)
        std::getline(converted, line);
    int days = 0;
    for (std::string row; std::getline(in, row);) {
        const DssatDay day = readDssatDay(row, head.columns);
        ASSERT_TRUE(std::getline(converted, line));
        std::istringstream fields(line);
        std::string year, doy, solar, tmax, tmin, rh, rain;
        fields >> year >> doy >> solar >> tmax >> tmin >> rh >> rain;
        EXPECT_EQ(year + "/" + doy, std::to_string(day.year) + "/" + std::to_string(day.doy));
        EXPECT_EQ(solar, formatFixed(*day.values[0], 2)) << line;
        EXPECT_EQ(tmax, formatFixed(*day.values[1], 1)) << line;
        EXPECT_EQ(tmin, formatFixed(*day.values[2], 1)) << line;
        EXPECT_EQ(rain, formatFixed(*day.values[3], 1)) << line;
        ++days;
    }
    EXPECT_EQ(days, 365);
}

} // namespace
} // namespace pluvora

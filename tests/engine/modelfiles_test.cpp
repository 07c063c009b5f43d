// The checks a model file passes before a byte of it is written, and the
// header values computed from the days, on day logs written by hand.

#include "engine/appfolder/appfolder.h"
#include "engine/columns/columnlayout.h"
#include "engine/modelfiles/dayscan.h"
#include "engine/modelfiles/modelfiles.h"
#include "engine/modelfiles/modelvalues.h"

#include "engine/run/processingrun.h"
#include "engine/table/paneltext.h"

#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

// A day-log line: date, DOY, then solar, T-max, T-min, rain, RH, wind, dew
// point, vapour pressure and ET ("-" for no value).
std::string dayLine(int year, int month, int day, int doy, std::string values)
{
    return std::to_string(year) + ' ' + std::to_string(month) + ' ' + std::to_string(day) + ' '
        + std::to_string(doy) + ' ' + values + '\n';
}

const std::string kGoodValues = "12 20 10 1.5 70 2 - - -";

struct RefusalCase {
    const char* name;
    ModelFormat format;
    std::string days;
    std::string message; // empty: written
};

// Named in test logs by its case name, not its bytes.
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class ModelFileRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ModelFileRefusal, StopsBeforeAnyByteNamingTheDayAndRule)
{
    const RefusalCase& c = GetParam();
    test::TempFolder temp;
    const fs::path days = temp.write("Days.~", c.days);
    const fs::path target = temp.path() / "out";
    ModelFileSettings settings;
    settings.format = c.format;
    settings.source = "in.txt";
    // The polar night is the one case the batch's latitude limit keeps out.
    const ModelSite site = modelSiteOf(c.name == std::string("NoSunriseForReferenceEt") ? "80 0 2" : "52.1 -5.18 2",
                                       "in.txt");
    if (c.message.empty()) {
        EXPECT_NO_THROW(writeModelFiles(days, site, settings, target));
        return;
    }
    try {
        writeModelFiles(days, site, settings, target);
        ADD_FAILURE() << "written";
    } catch (const ModelFileRefused& refused) {
        EXPECT_EQ(refused.what(), c.message);
    }
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(fs::exists(temp.path() / "out.001"));
}

const std::string kTwoGoodDays = dayLine(2001, 1, 1, 1, kGoodValues) + dayLine(2001, 1, 2, 2, kGoodValues);

INSTANTIATE_TEST_SUITE_P(
    Rules, ModelFileRefusal,
    ::testing::Values(
        RefusalCase{"Written", ModelFormat::Dssat, kTwoGoodDays, ""},
        RefusalCase{"DayMissing", ModelFormat::Apsim, dayLine(2001, 1, 1, 1, kGoodValues) + dayLine(2001, 1, 3, 3, kGoodValues),
                    "The APSIM file is not written: 2001-01-03: the day before it is missing."},
        RefusalCase{"YearEndsOnDay365", ModelFormat::PcseCsv,
                    dayLine(2000, 12, 30, 365, kGoodValues) + dayLine(2001, 1, 1, 1, kGoodValues),
                    "The PCSE CSV file is not written: 2001-01-01: the day before it is missing."},
        RefusalCase{"NewYearAfterDay365", ModelFormat::Cabo,
                    dayLine(2001, 12, 31, 365, kGoodValues) + dayLine(2002, 1, 1, 1, kGoodValues), ""},
        RefusalCase{"DaysOutOfOrder", ModelFormat::Dssat, dayLine(2001, 1, 2, 2, kGoodValues) + dayLine(2001, 1, 1, 1, kGoodValues),
                    "The DSSAT file is not written: 2001-01-01: the day before it is missing."},
        RefusalCase{"NoSolar", ModelFormat::Dssat, dayLine(2001, 1, 1, 1, "- 20 10 1.5 70 2 - - -"),
                    "The DSSAT file is not written: 2001-01-01: Solar has no value (fill it first)."},
        RefusalCase{"NoRain", ModelFormat::Apsim, dayLine(2001, 1, 1, 1, "12 20 10 - 70 2 - - -"),
                    "The APSIM file is not written: 2001-01-01: Precip has no value (fill it first)."},
        RefusalCase{"NoWindForPcse", ModelFormat::PcseCsv, kTwoGoodDays + dayLine(2001, 1, 3, 3, "12 20 10 1.5 70 - - - -"),
                    "The PCSE CSV file is not written: 2001-01-03: WndSpd has no value (fill it first)."},
        RefusalCase{"NoWindNeededForDssat", ModelFormat::Dssat, dayLine(2001, 1, 1, 1, "12 20 10 1.5 70 - - - -"), ""},
        RefusalCase{"NoHumidityForCabo", ModelFormat::Cabo, dayLine(2001, 1, 1, 1, "12 20 10 1.5 - 2 - - -"),
                    "The CABO file is not written: 2001-01-01: RelHum, DewPt or VapPr has no value (fill it first)."},
        RefusalCase{"DewPointIsHumidityEnough", ModelFormat::Cabo, dayLine(2001, 1, 1, 1, "12 20 10 1.5 - 2 5 - -"), ""},
        RefusalCase{"TmaxBelowTmin", ModelFormat::Dssat, kTwoGoodDays + dayLine(2001, 1, 3, 3, "12 9 10 1.5 70 2 - - -"),
                    "The DSSAT file is not written: 2001-01-03: T-max is below T-min."},
        RefusalCase{"SolarBelowZero", ModelFormat::Apsim, dayLine(2001, 1, 1, 1, "-0.1 20 10 1.5 70 2 - - -"),
                    "The APSIM file is not written: 2001-01-01: solar radiation is below 0."},
        RefusalCase{"SolarAbove40", ModelFormat::PcseCsv, dayLine(2001, 1, 1, 1, "40.1 20 10 1.5 70 2 - - -"),
                    "The PCSE CSV file is not written: 2001-01-01: solar radiation is above 40 MJ/m2."},
        RefusalCase{"SolarAbove40OnlyWarnsApsim", ModelFormat::Apsim, dayLine(2001, 1, 1, 1, "40.1 20 10 1.5 70 2 - - -"), ""},
        RefusalCase{"RainFillingItsDssatSpan", ModelFormat::Dssat, dayLine(2001, 1, 1, 1, "12 20 10 1000.5 70 2 - - -"), ""},
        RefusalCase{"RainWiderThanDssatSpan", ModelFormat::Dssat, dayLine(2001, 1, 1, 1, "12 20 10 10000 70 2 - - -"),
                    "The DSSAT file is not written: 2001-01-01: RAIN 10000.0 is wider than its 6-character DSSAT column."},
        RefusalCase{"WindInKmPerDayWiderThanDssatSpan", ModelFormat::Dssat, dayLine(2001, 1, 1, 1, "12 20 10 1 70 116 - - -"),
                    "The DSSAT file is not written: 2001-01-01: WIND 10022.4 is wider than its 6-character DSSAT column."},
        RefusalCase{"NoWindForReferenceEt", ModelFormat::AquaCrop, dayLine(2001, 1, 1, 1, "12 20 10 1.5 70 - - - -"),
                    "The AquaCrop file is not written: 2001-01-01: WndSpd has no value (fill it first)."},
        RefusalCase{"NoHumidityForReferenceEt", ModelFormat::Stics, dayLine(2001, 1, 1, 1, "12 20 10 1.5 - 2 - - -"),
                    "The STICS file is not written: 2001-01-01: RelHum has no value (fill it first)."},
        RefusalCase{"NoSunriseForReferenceEt", ModelFormat::AquaCrop, dayLine(2001, 12, 21, 355, "0 -20 -30 0 70 2 - - -"),
                    "The AquaCrop file is not written: 2001-12-21: the Penman-Monteith reference ET has no value "
                    "(no sunrise or sunset)."},
        RefusalCase{"NoDays", ModelFormat::Apsim, "", "The APSIM file is not written: there are no days to write."}),
    [](const auto& param) { return std::string(param.param.name); });

// Days with the mean temperature of month m equal to m + 10 * (year - 2001):
// DSSAT averages the months over the whole record, APSIM each year's
// figures, over the complete years when there is one.
TEST(ModelFileHeader, TavAndAmpAsEachModelComputesThem)
{
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    auto yearOf = [&](int year, int months) {
        std::string days;
        int doy = 0;
        for (int month = 1; month <= months; ++month)
            for (int day = 1; day <= lengths[month - 1]; ++day) {
                const int tmean = month + 10 * (year - 2001);
                days += dayLine(year, month, day, ++doy,
                                "12 " + std::to_string(tmean + 1) + " " + std::to_string(tmean - 1) + " 0 70 2 - - -");
            }
        return days;
    };
    test::TempFolder temp;
    // 2001 whole, January 2002: the partial year leaves APSIM's figures alone.
    DayScan scan = scanDays(temp.write("a.~", yearOf(2001, 12) + yearOf(2002, 1)), ModelFormat::Dssat, ModelSite{});
    // January over both years: (31 * 1 + 31 * 11) / 62 = 6.
    EXPECT_NEAR(scan.dssatTav, (6.0 + 77.0) / 12, 1e-9);
    EXPECT_NEAR(scan.dssatAmp, 12.0 - 2.0, 1e-9);
    EXPECT_NEAR(scan.apsimTav, 6.5, 1e-9);
    EXPECT_NEAR(scan.apsimAmp, 11.0, 1e-9);
    EXPECT_EQ(scan.apsimFirstYear, 2001);
    EXPECT_EQ(scan.apsimLastYear, 2001);
    // Two whole years: 6.5 and 16.5, each with a range of 11.
    scan = scanDays(temp.write("b.~", yearOf(2001, 12) + yearOf(2002, 12)), ModelFormat::Apsim, ModelSite{});
    EXPECT_NEAR(scan.apsimTav, 11.5, 1e-9);
    EXPECT_NEAR(scan.apsimAmp, 11.0, 1e-9);
    // Only part of a year: that part.
    scan = scanDays(temp.write("c.~", yearOf(2001, 3)), ModelFormat::Apsim, ModelSite{});
    EXPECT_NEAR(scan.apsimTav, 2.0, 1e-9);
    EXPECT_NEAR(scan.apsimAmp, 2.0, 1e-9);
    EXPECT_EQ(scan.apsimFirstYear, 0);
}

// FAO-56, Table 2.3: e°(10 °C) = 1.228 kPa, e°(15 °C) = 1.705 kPa.
TEST(ModelFileHeader, VapourPressureFromEachHumidityForm)
{
    ModelDay day;
    day.tmax = 20;
    day.tmin = 10;
    EXPECT_FALSE(vapourPressure(day));
    day.relHum = 50;
    EXPECT_NEAR(*vapourPressure(day), 0.5 * 1.705, 0.001);
    day.dewPt = 10;
    EXPECT_NEAR(*vapourPressure(day), 1.228, 0.001);
    day.vapPr = 0.9;
    EXPECT_DOUBLE_EQ(*vapourPressure(day), 0.9);
}

// The days a model file is written from are the stages' days, however the
// run went: in one pass, or in the stages after a pass given up part way.
TEST(ModelFileDays, StreamedRunKeepsTheStagesDays)
{
    const std::string head = "Station 7\nyr mo dy tx tn pr rh ws sr\nunits\n";
    const std::string rows = "1900 1 1 41 30 0.25 72.5 3.1 120.4\n1900 1 2 43.1 31 0 80 2 95\n";
    const std::pair<const char*, std::string> cases[] = {
        {"OnePass", rows},
        // A token the one pass does not read: the stages read every day again.
        {"GivenUpAfterTwoDays", rows + "1900 1 3 41 30 0.00000000000000000000000000000000000000000001 70 3 120\n"},
        {"SubstitutedSign", rows + "1900 1 3 41 30 -99 70 3 120\n"},
    };
    for (const auto& [name, data] : cases) {
        auto daysOf = [&](bool streamed) {
            test::TempFolder dir;
            AppFolder folder(dir.path());
            test::RecordingFeedback ui;
            const fs::path source = dir.write("in.txt", head + data);
            const std::string panel = loadTextFile(source);
            RunRequest request;
            request.taskIndex = 0;
            request.fileName = "in.txt";
            request.rowsBeforeText = "3";
            request.layout = layoutFromColumns("Year,Month,Day,T-max:oF,T-min:oF,Precip:inch,RelHum:%,"
                                               "WndSpd:mile/hr,Solar:W/m2");
            request.inputText = panel;
            request.streamed = streamed;
            if (streamed)
                request.inputFile = source;
            DayLog days(dir.path() / "Days.~");
            request.days = &days;
            const RunOutcome outcome = runProcessing(request, folder, ui);
            EXPECT_TRUE(outcome.completed) << name;
            days.close();
            return test::readFile(days.file());
        };
        const std::string stages = daysOf(false);
        EXPECT_EQ(daysOf(true), stages) << name;
        EXPECT_EQ(std::count(stages.begin(), stages.end(), '\n'), std::count(data.begin(), data.end(), '\n')) << name;
    }
}

} // namespace
} // namespace pluvora

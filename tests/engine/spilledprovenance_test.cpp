#include "engine/appfolder/appfolder.h"
#include "engine/fill/gapfill.h"
#include "engine/provenance/flagsfile.h"
#include "engine/provenance/runprovenance.h"
#include "engine/report/qualityreport.h"
#include "engine/run/processingrun.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace pluvora;
using namespace pluvora::test;

namespace {

// A long batch run keeps most of its days in a file of its scratch folder;
// its flags file and report must be what they are with every day in memory.

using Columns = std::vector<std::pair<int, std::string>>;

const Columns kTemperatures{{kYear, ""}, {kDoy, ""}, {kTmax, "oC"}, {kTmin, "oC"}, {kPrecip, "mm"}};

struct SpillCase {
    const char* name;
    int task;
    bool substitution;
    bool interpolate;
    std::string data;
};

void PrintTo(const SpillCase& c, std::ostream* os) { *os << c.name; }

// Days with a fault every 7th, a missing value every 11th, two days
// missing every 50th unless no gaps are asked for, and, when asked, two
// days swapped.
std::string station(int days, bool swapped = false, bool dateGaps = true)
{
    std::string text;
    std::vector<std::string> rows;
    for (int i = 0; i < days; ++i) {
        if (dateGaps && (i % 50 == 49 || i % 50 == 48))
            continue;
        const bool fault = i % 7 == 3;
        const std::string tmax = i % 11 == 5 ? "-99" : std::to_string(20 + i % 9) + ".5";
        rows.push_back(std::to_string(2001 + i / 365) + " " + std::to_string(i % 365 + 1) + " " + tmax + " "
                       + (fault ? "31.0" : std::to_string(8 + i % 5) + ".25") + " " + (i % 4 == 0 ? "3.5" : "0")
                       + "\n");
    }
    if (swapped)
        std::swap(rows[40], rows[41]);
    for (const auto& row : rows)
        text += row;
    return text;
}

struct Written {
    std::string flags;
    std::string report;
};

Written writtenFor(const SpillCase& c, std::size_t daysInMemory)
{
    TempFolder dir;
    AppFolder folder{dir.path()};
    RecordingFeedback ui;
    RunRequest request;
    request.fileName = "in.txt";
    request.rowsBeforeText = "1";
    request.taskIndex = c.task - 1;
    request.substitutionEnabled = c.substitution;
    request.pages.latitudeTask4 = request.pages.latitudeTask5 = request.pages.latitudeTask7 = "40";
    request.pages.elevationTask7 = "300";
    for (std::size_t i = 0; i < kTemperatures.size(); ++i)
        request.layout.setColumn(static_cast<int>(i) + 1, kTemperatures[i].first,
                                 unitIndex(kTemperatures[i].first, kTemperatures[i].second));
    if (c.interpolate)
        request.fill = defaultInterpolation();
    const std::string input = "yr doy tx tn pr\n" + c.data;
    request.inputText = input;
    RunProvenance provenance;
    if (daysInMemory > 0)
        provenance.spillTo(dir.path(), daysInMemory);
    request.provenance = &provenance;
    runProcessing(request, folder, ui);
    return {flagsFileText(provenance),
            qualityReportHtml(provenance, {"in.txt", "Year,DOY,T-max:oC,T-min:oC,Precip:mm", 1, "task", ""})};
}

class SpilledDays : public ::testing::TestWithParam<SpillCase> {};

TEST_P(SpilledDays, WriteTheFlagsAndReportOfDaysHeldInMemory)
{
    const Written held = writtenFor(GetParam(), 0);
    const Written spilled = writtenFor(GetParam(), 16);
    EXPECT_GT(held.flags.size(), 3000u);
    EXPECT_EQ(spilled.flags, held.flags);
    EXPECT_EQ(spilled.report, held.report);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SpilledDays,
    ::testing::Values(SpillCase{"Checkup", 3, true, false, station(400)},
                      SpillCase{"CheckupOfSwappedDays", 3, true, false, station(400, true)},
                      SpillCase{"Conversion", 1, true, false, station(400)},
                      SpillCase{"MissingValuesStopTheRun", 1, false, false, station(400)},
                      SpillCase{"SolarEstimate", 4, true, false, station(400)},
                      SpillCase{"FilledGaps", 3, true, true, station(400, false, false)}),
    [](const ::testing::TestParamInfo<SpillCase>& run) { return std::string(run.param.name); });

// Past the cap the report still lists the first flagged days and counts
// the rest.
TEST(SpilledDays, ReportListsTheFirstFlaggedDaysAndCountsTheRest)
{
    const SpillCase faults{"Faults", 3, true, false, station(9000)};
    const Written held = writtenFor(faults, 0);
    const Written spilled = writtenFor(faults, 64);
    EXPECT_EQ(spilled.report, held.report);
    EXPECT_NE(spilled.report.find("<p>The first 1000 flagged days are listed; "), std::string::npos);
    EXPECT_NE(spilled.report.find(" more are left out. The flags file marks every one.</p>"), std::string::npos);
    EXPECT_EQ(spilled.flags, held.flags);
}

} // namespace

namespace {

// A file missing every other day: past ten thousand gaps a chart draws a
// band per pixel column, not per gap, and the table still counts them all.
TEST(SpilledDays, ReportOfCountlessGapsStaysBounded)
{
    std::string data;
    for (int i = 0; i < 24000; i += 2)
        data += std::to_string(1900 + i / 365) + " " + std::to_string(i % 365 + 1) + " 20.5 10.5 0\n";
    const Written spilled = writtenFor({"Gaps", 3, true, false, data}, 64);
    std::size_t bands = 0;
    const std::string band = "fill=\"#ddd\"><title>";
    for (auto at = spilled.report.find(band); at != std::string::npos; at = spilled.report.find(band, at + 1))
        ++bands;
    EXPECT_GT(bands, 0u);
    EXPECT_LE(bands, 3u * 652u); // three charts of 652 pixel columns
    EXPECT_NE(spilled.report.find("<p>And 11799 more gaps.</p>"), std::string::npos);
}

} // namespace

#include "engine/error.h"
#include "engine/io/backupreplace.h"
#include "engine/output/outputactions.h"
#include "engine/table/paneltext.h"
#include "engine/tasks/weatherfileupdate.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

const std::string kHead = "Site\r\n40.5 96.25 350  Lat (deg), long (deg), elev(m)\r\n"
                          "Year\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\r\n"
                          "\t\tMJ/m2\toC\toC\t%\tmm\tmm\r\n";
// Panel text: the trimmed head of a converted output.
const std::string kPanelHead = "Station\nYear\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\n"
                               "\t\tMJ/m2\toC\toC\t%\tmm\tmm\n";

std::string day(int year, int doy) { return std::to_string(year) + "\t" + std::to_string(doy) + "\t1.00\t2.0\t3.0\t4\t5.0\t6.0"; }
std::string fileRow(int year, int doy) { return day(year, doy) + "\r\n"; }
// The file ends on 2010 day 365.
const std::string kExisting = kHead + fileRow(2010, 363) + fileRow(2010, 364) + fileRow(2010, 365);

std::string panel(const std::vector<std::pair<int, int>>& days, const std::string& head = kPanelHead)
{
    std::string text = head;
    for (const auto& [year, doy] : days)
        text += day(year, doy) + "\n";
    text.pop_back();
    return text;
}

std::string appended(const std::vector<std::pair<int, int>>& days)
{
    std::string text = kExisting;
    for (const auto& [year, doy] : days)
        text += fileRow(year, doy);
    return text;
}

struct UpdateCase {
    const char* name;
    std::string newData;
    std::vector<bool> answers;
    UpdateResult result;
    std::optional<std::string> updated; // nothing: the file stays as it was
    std::vector<std::string> calls;
};

const std::vector<std::string> kUpdatedCalls = {"sound: exclamation",
                                                std::string("information: ") + weatherFileUpdatedMessage("site.wth")};
const std::vector<std::string> kNoNeedCalls = {"sound: exclamation", std::string("information: ") + kNoNeedToUpdate};
const std::vector<std::string> kProblemCalls = {"sound: error", std::string("error: ") + kUpdateProblems};

std::vector<std::string> gapThen(bool yes)
{
    std::vector<std::string> calls = {"sound: error", std::string("ask: ") + kUpdateGapQuestion};
    if (yes)
        calls.insert(calls.end(), kUpdatedCalls.begin(), kUpdatedCalls.end());
    return calls;
}

class WeatherFileUpdate : public ::testing::TestWithParam<UpdateCase> {
protected:
    test::TempFolder appDir;
    test::TempFolder userDir; // the weather file lives outside the application folder
    AppFolder folder{appDir.path()};
    test::RecordingFeedback ui;
    fs::path site = userDir.write("site.wth", kExisting);
};

TEST_P(WeatherFileUpdate, AppendsOnlyTheDaysAfterTheFilesEnd)
{
    const UpdateCase& c = GetParam();
    for (bool yes : c.answers)
        ui.scriptAnswer(yes);
    EXPECT_EQ(updateWeatherFile(site, c.newData, folder, ui), c.result);
    EXPECT_EQ(ui.calls, c.calls);
    if (c.updated) {
        EXPECT_EQ(test::readFile(site), *c.updated);
        EXPECT_EQ(test::readFile(userDir.path() / "site.wth.old"), kExisting);
        EXPECT_FALSE(folder.exists(workfile::kForUpdate));
    } else {
        EXPECT_EQ(test::readFile(site), kExisting);
        EXPECT_FALSE(fs::exists(userDir.path() / "site.wth.old"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Update, WeatherFileUpdate,
    ::testing::Values(
        UpdateCase{"OverlapContinuesWithoutAQuestion",
                   panel({{2010, 362}, {2010, 363}, {2010, 364}, {2010, 365}, {2011, 1}, {2011, 2}, {2011, 3}}),
                   {}, UpdateResult::Updated, appended({{2011, 1}, {2011, 2}, {2011, 3}}), kUpdatedCalls},
        UpdateCase{"GapAnsweredYes", panel({{2011, 5}, {2011, 6}}), {true}, UpdateResult::Updated,
                   appended({{2011, 5}, {2011, 6}}), gapThen(true)},
        UpdateCase{"GapAnsweredNo", panel({{2011, 5}, {2011, 6}}), {false}, UpdateResult::Declined,
                   std::nullopt, gapThen(false)},
        UpdateCase{"EndsOnTheLastDay", panel({{2010, 364}, {2010, 365}}), {}, UpdateResult::NotNeeded,
                   std::nullopt, kNoNeedCalls},
        UpdateCase{"EndsBeforeTheLastDay", panel({{2010, 300}, {2010, 301}}), {}, UpdateResult::NotNeeded,
                   std::nullopt, kNoNeedCalls},
        UpdateCase{"OnlyTheLastRowIsNew", panel({{2010, 364}, {2010, 365}, {2011, 1}}), {},
                   UpdateResult::Updated, appended({{2011, 1}}), kUpdatedCalls},
        // After a row the file already has, a gap is still a gap.
        UpdateCase{"GapAfterTheLastDayIsAsked", panel({{2010, 364}, {2010, 365}, {2011, 9}}), {false},
                   UpdateResult::Declined, std::nullopt, gapThen(false)},
        UpdateCase{"SingleRow", panel({{2011, 1}}), {}, UpdateResult::Failed, std::nullopt, kProblemCalls},
        UpdateCase{"OneRowPerYear", panel({{2011, 1}, {2012, 1}, {2013, 1}}), {}, UpdateResult::Failed,
                   std::nullopt, kProblemCalls},
        UpdateCase{"EmptyPanel", "", {}, UpdateResult::Failed, std::nullopt, kProblemCalls},
        // Only rows in date order pair up; the day-by-day run above the pair
        // belongs to the data, header lines with numbers do not.
        UpdateCase{"HeaderLinesThatBeginWithTheYear",
                   panel({{2011, 1}, {2011, 2}}, "2011 weather of the station\n\n" + kPanelHead + "2011 5 stations\n"),
                   {}, UpdateResult::Updated, appended({{2011, 1}, {2011, 2}}), kUpdatedCalls},
        UpdateCase{"BlankLinesAboveAndBelowTheData", "\n\n" + panel({{2011, 1}, {2011, 2}}) + "\n\n", {},
                   UpdateResult::Updated, appended({{2011, 1}, {2011, 2}}), kUpdatedCalls},
        // Rows a blank line apart still pair up; no blank line enters the file.
        UpdateCase{"DoubleSpacedRows", kPanelHead + day(2010, 365) + "\n\n" + day(2011, 1) + "\n\n" + day(2011, 2),
                   {}, UpdateResult::Updated, appended({{2011, 1}, {2011, 2}}), kUpdatedCalls}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(WeatherFileUpdateStart, NewDataBeginningOn31DecemberKeepThatDay)
{
    test::TempFolder dir;
    const fs::path site = dir.write("site.wth", kHead + fileRow(2010, 363) + fileRow(2010, 364));
    test::RecordingFeedback ui;
    EXPECT_EQ(updateWeatherFile(site, panel({{2010, 365}, {2011, 1}, {2011, 2}}), AppFolder(dir.path()), ui),
              UpdateResult::Updated);
    EXPECT_EQ(test::readFile(site), kHead + fileRow(2010, 363) + fileRow(2010, 364) + fileRow(2010, 365)
                                        + fileRow(2011, 1) + fileRow(2011, 2));
}

TEST(WeatherFileUpdateStart, UpdatingTwiceKeepsTheOnceUpdatedFileAsBackup)
{
    test::TempFolder dir;
    const fs::path site = dir.write("site.wth", kExisting);
    test::RecordingFeedback ui;
    const AppFolder folder(dir.path());
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(site, mode);
    ASSERT_EQ(updateWeatherFile(site, panel({{2011, 1}, {2011, 2}}), folder, ui), UpdateResult::Updated);
    EXPECT_EQ(fs::status(site).permissions(), mode); // still readable by whoever could read it
    const std::string once = test::readFile(site);
    ASSERT_EQ(updateWeatherFile(site, panel({{2011, 3}, {2011, 4}}), folder, ui), UpdateResult::Updated);
    EXPECT_EQ(test::readFile(dir.path() / "site.wth.old"), once);
    EXPECT_EQ(test::readFile(site), appended({{2011, 1}, {2011, 2}, {2011, 3}, {2011, 4}}));
}

struct RowFault {
    const char* name;
    std::string existing;
    std::string newData;
    std::string message;
};

class WeatherFileUpdateRows : public ::testing::TestWithParam<RowFault> {};

TEST_P(WeatherFileUpdateRows, NameTheRowAndReplaceNothing)
{
    const RowFault& c = GetParam();
    test::TempFolder dir;
    const fs::path site = dir.write("site.wth", c.existing);
    test::RecordingFeedback ui;
    try {
        updateWeatherFile(site, c.newData, AppFolder(dir.path()), ui);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), c.message);
    }
    EXPECT_EQ(test::readFile(site), c.existing);
    EXPECT_FALSE(fs::exists(dir.path() / "site.wth.old"));
}

INSTANTIATE_TEST_SUITE_P(
    Update, WeatherFileUpdateRows,
    ::testing::Values(
        RowFault{"Day366OfACommonYearInTheNewData", kExisting, panel({{2010, 364}, {2010, 365}, {2010, 366}, {2011, 1}}),
                 updateRowMessage(noSuchDayMessage(2010, 366), 6, kNewDataSource, "2010 366 1.00 2.0 3.0 4 5.0 6.0")},
        RowFault{"Day366AmongTheAppendedRows", kExisting, panel({{2011, 1}, {2011, 2}, {2011, 366}}),
                 updateRowMessage(noSuchDayMessage(2011, 366), 6, kNewDataSource, "2011 366 1.00 2.0 3.0 4 5.0 6.0")},
        RowFault{"DayZeroAtTheFilesEnd", kHead + fileRow(2010, 364) + fileRow(2010, 0), panel({{2011, 1}, {2011, 2}}),
                 updateRowMessage(noSuchDayMessage(2010, 0), 6, "site.wth", "2010 0 1.00 2.0 3.0 4 5.0 6.0")},
        RowFault{"TextAmongTheFilesRows", kExisting + "end of data\r\n", panel({{2011, 1}, {2011, 2}}),
                 updateRowMessage(kInvalidNumericInput, 8, "site.wth", "end of data")},
        RowFault{"NoDataRowsInTheFile", kHead, panel({{2011, 1}, {2011, 2}}), noDataRowsMessage("site.wth")}),
    [](const auto& param) { return std::string(param.param.name); });

// `count` days on from 1 January of `year`.
std::vector<std::pair<int, int>> daysFrom(int year, int count)
{
    std::vector<std::pair<int, int>> days;
    for (int doy = 1; static_cast<int>(days.size()) < count; ++doy) {
        if (doy > (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0) ? 366 : 365)) {
            doy = 1;
            ++year;
        }
        days.emplace_back(year, doy);
    }
    return days;
}

// New data far longer than a read block (a row may straddle two blocks):
// the file gets every row, in order, from the panel text and from the work
// file alike; blank lines and a CR the panel left at a line's end go.
TEST(LongUpdate, RowsOverManyReadBlocksAreAppendedWhole)
{
    const auto days = daysFrom(2011, 30000);
    std::string newData = panel(days);
    newData.insert(newData.find("2011\t3\t"), "\n  \n");
    newData.insert(newData.find("\n", newData.find("2040\t5\t")), "\r");
    for (const bool fromWorkFile : {false, true}) {
        SCOPED_TRACE(fromWorkFile);
        test::TempFolder dir;
        test::RecordingFeedback ui;
        const AppFolder folder(dir.path());
        const fs::path site = dir.write("site.wth", kExisting);
        if (fromWorkFile) {
            UpdateSettings settings;
            settings.newDataStart = 3;
            const auto writeNewData = [&](const fs::path& workFile) { savePanelText(workFile, newData); };
            ASSERT_EQ(updateWeatherFileFromWorkFile(site, writeNewData, folder, ui, systemFileOperations(), settings),
                      UpdateResult::Updated);
        } else {
            ASSERT_EQ(updateWeatherFile(site, newData, folder, ui), UpdateResult::Updated);
        }
        EXPECT_TRUE(test::readFile(site) == appended(days));
        EXPECT_EQ(test::readFile(dir.path() / "site.wth.old"), kExisting);
        EXPECT_EQ(ui.calls, kUpdatedCalls);
    }
}

// A row that cannot be a day far into the new data is named by its own
// line, however many blocks were read before it, and nothing is replaced.
TEST(LongUpdate, ABadRowFarIntoTheDataIsNamedByItsLine)
{
    auto days = daysFrom(2011, 30000);
    days[25000].second = 400;
    test::TempFolder dir;
    test::RecordingFeedback ui;
    const fs::path site = dir.write("site.wth", kExisting);
    try {
        updateWeatherFile(site, panel(days), AppFolder(dir.path()), ui);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        const auto [year, doy] = days[25000];
        EXPECT_EQ(error.what(), updateRowMessage(noSuchDayMessage(year, doy), 25000 + 4, kNewDataSource,
                                                 std::to_string(year) + " 400 1.00 2.0 3.0 4 5.0 6.0"));
    }
    EXPECT_EQ(test::readFile(site), kExisting);
}

// Days the file lacks are looked for a part of the rows at a time: one the
// file lacks far down the rows is still the one named.
TEST(LongUpdate, AnEarlierDayTheFileLacksIsFoundPastTheFirstPart)
{
    const auto days = daysFrom(1000, 600000);
    std::string existing = kHead;
    for (std::size_t i = 0; i < days.size(); ++i)
        if (i != 590000)
            existing += fileRow(days[i].first, days[i].second);
    test::TempFolder dir;
    test::RecordingFeedback ui;
    const fs::path site = dir.write("site.wth", existing);
    UpdateSettings settings;
    settings.findEarlierDays = true;
    EXPECT_EQ(updateWeatherFile(site, panel(days), AppFolder(dir.path()), ui, systemFileOperations(), settings),
              UpdateResult::Earlier);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{
                              "sound: error", std::string("warning: ")
                                                  + earlierDaysMessage("site.wth", days[590000].first,
                                                                       days[590000].second)}));
}

// Fails the file step numbered `failAt` (counting from 0) and passes the
// others to the real file system.
class FaultyOperations : public FileOperations {
public:
    explicit FaultyOperations(int failAt) : mFailAt(failAt) {}
    int steps = 0;

    fs::path createUnique(const fs::path& folder, const std::string& prefix) override
    {
        step();
        return systemFileOperations().createUnique(folder, prefix);
    }
    void writeAll(const fs::path& file, std::string_view content) override
    {
        // A disk that fills up half way.
        if (steps++ == mFailAt) {
            systemFileOperations().writeAll(file, content.substr(0, content.size() / 2));
            throw Error("No space left on device");
        }
        systemFileOperations().writeAll(file, content);
    }
    void copyInto(const fs::path& from, const fs::path& to) override
    {
        step();
        systemFileOperations().copyInto(from, to);
    }
    void rename(const fs::path& from, const fs::path& to) override
    {
        step();
        systemFileOperations().rename(from, to);
    }
    void remove(const fs::path& file) noexcept override { systemFileOperations().remove(file); }

private:
    void step()
    {
        if (steps++ == mFailAt)
            throw Error("injected failure");
    }
    int mFailAt;
};

TEST(WeatherFileUpdateSafety, AFailingFileStepLeavesTheFileWholeAndNamesTheStep)
{
    const std::string newData = panel({{2011, 1}, {2011, 2}});
    FaultyOperations counting(-1);
    {
        test::TempFolder dir;
        test::RecordingFeedback ui;
        const fs::path site = dir.write("site.wth", kExisting);
        ASSERT_EQ(updateWeatherFile(site, newData, AppFolder(dir.path()), ui, counting), UpdateResult::Updated);
    }
    ASSERT_EQ(counting.steps, 6);
    const std::vector<std::string> stepNames = {"create a temporary file", "write the updated file",
                                                "make the backup file",    "make the backup file",
                                                "make the backup file",    "put the updated file in place"};
    for (int failAt = 0; failAt < counting.steps; ++failAt) {
        SCOPED_TRACE(failAt);
        test::TempFolder dir;
        test::TempFolder appDir;
        test::RecordingFeedback ui;
        const fs::path site = dir.write("site.wth", kExisting);
        const std::string olderBackup = "an older backup\r\n";
        dir.write("site.wth.old", olderBackup);
        FaultyOperations faulty(failAt);
        try {
            updateWeatherFile(site, newData, AppFolder(appDir.path()), ui, faulty);
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind("Could not " + stepNames[static_cast<std::size_t>(failAt)] + " for \"site.wth\"", 0), 0u)
                << message;
            EXPECT_NE(message.find("The file is unchanged."), std::string::npos);
        }
        EXPECT_EQ(test::readFile(site), kExisting);
        // The older backup is replaced only by a whole copy of the file.
        const std::string backup = test::readFile(dir.path() / "site.wth.old");
        EXPECT_TRUE(backup == olderBackup || backup == kExisting) << backup;
        // No temporary file stays behind.
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"site.wth", "site.wth.old"}));
        EXPECT_EQ(ui.messages(), std::vector<std::string>{}); // no success claimed
    }
}

TEST(OutputNames, ProposedAndSavedNames)
{
    EXPECT_EQ(getNameOnlyNoExt("/data/site2010.txt"), "site2010");
    EXPECT_EQ(getNameOnlyNoExt("site.2010.txt"), "site");
    EXPECT_EQ(getNameOnlyNoExt("Output.~"), "Output");
    EXPECT_EQ(getNameOnlyNoExt("site2010"), "");
    EXPECT_EQ(getNameOnlyNoExt(""), "");
    EXPECT_EQ(withSaveExtension("/d/result", 0), fs::path("/d/result.wth"));
    EXPECT_EQ(withSaveExtension("/d/result", 1), fs::path("/d/result.txt"));
    EXPECT_EQ(withSaveExtension("/d/result.dat", 1), fs::path("/d/result.dat"));
}

} // namespace
} // namespace pluvora

#include "engine/error.h"
#include "engine/io/backupreplace.h"
#include "engine/tasks/weatherfileupdate.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pluvora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kHead = "Site\r\n40.5 96.25 350\r\nYear\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\r\n"
                          "\t\tMJ/m2\toC\toC\t%\tmm\tmm\r\n";
const std::string kPanelHead = "Station\nYear\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\n"
                               "\t\tMJ/m2\toC\toC\t%\tmm\tmm\n";
const std::string kNewDay = "2000\t59\t1.00\t2.0\t3.0\t4\t5.0\t6.0";

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

UpdateSettings convertedByTheRun()
{
    UpdateSettings settings;
    settings.newDataStart = 3;
    return settings;
}

class WeatherFileKeeping : public ::testing::Test {
protected:
    test::TempFolder appDir;
    test::TempFolder userDir;
    AppFolder folder{appDir.path()};
    test::RecordingFeedback ui;

    UpdateResult update(const fs::path& file, const std::string& newData = kPanelHead + kNewDay,
                        const UpdateSettings& settings = convertedByTheRun())
    {
        return updateWeatherFile(file, newData, folder, ui, systemFileOperations(), settings);
    }
};

// A fixed-width file with LF line ends, blank lines among its rows and at
// its end: every line keeps its text, line ends become CR LF, the blank
// lines at the end go, and one new day is appended in the program's layout.
TEST_F(WeatherFileKeeping, ExistingLinesKeepTheirTextAndOneNewDayAppends)
{
    const std::string existing = "Site\n40.5 96.25 350\nYear DOY Solar\n  units\n"
                                 "  2000   057  22.20\n\n  2000   058  21.10 \n \n\n";
    const fs::path site = userDir.write("site.wth", existing);
    ASSERT_EQ(update(site), UpdateResult::Updated);
    EXPECT_EQ(test::readFile(site), "Site\r\n40.5 96.25 350\r\nYear DOY Solar\r\n  units\r\n"
                                    "  2000   057  22.20\r\n\r\n  2000   058  21.10 \r\n"
                                    + kNewDay + "\r\n");
    EXPECT_EQ(test::readFile(userDir.path() / "site.wth.old"), existing);
}

struct LostLine {
    const char* name;
    std::string tail;
    std::size_t line;
    std::string quoted;
};

class WeatherFileLostLines : public ::testing::TestWithParam<LostLine> {};

// Rows that are no day of a year after 0, and anything after an end mark,
// would vanish in an update: it is refused, naming the first of them.
TEST_P(WeatherFileLostLines, AreNamedAndNothingIsReplaced)
{
    const LostLine& c = GetParam();
    test::TempFolder dir;
    const std::string existing = kHead + "2000\t57\t1.0\r\n" + c.tail;
    const fs::path site = dir.write("site.wth", existing);
    test::RecordingFeedback ui;
    try {
        updateWeatherFile(site, kPanelHead + kNewDay, AppFolder(dir.path()), ui, systemFileOperations(),
                          convertedByTheRun());
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), lineWouldBeLostMessage(c.line, "site.wth", c.quoted));
    }
    EXPECT_EQ(test::readFile(site), existing);
    EXPECT_FALSE(fs::exists(dir.path() / "site.wth.old"));
}

INSTANTIATE_TEST_SUITE_P(
    Update, WeatherFileLostLines,
    ::testing::Values(LostLine{"EndMarkAndNotes", "0 0 end of data\r\nmeasured by hand\r\n", 6, "0 0 end of data"},
                      LostLine{"NegativeYear", "-2000\t58\t1.0\r\n2000\t58\t1.0\r\n", 6, "-2000 58 1.0"},
                      LostLine{"YearZeroAtTheEnd", "\r\n0\t0\r\n", 7, "0 0"}),
    [](const auto& param) { return std::string(param.param.name); });

// A second update of the same file waits for the first; when the first
// takes longer than the wait allows, the second is refused and changes
// nothing.
TEST_F(WeatherFileKeeping, AnUpdateUnderWayMakesTheNextWaitThenRefuse)
{
    const std::string existing = kHead + "2000\t58\t1.0\r\n";
    const fs::path site = userDir.write("site.wth", existing);
    const int held = ::open(site.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    UpdateSettings settings = convertedByTheRun();
    settings.lockWait = 300ms;
    try {
        update(site, kPanelHead + kNewDay, settings);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), updateStillRunningMessage("site.wth", 300ms));
    }
    ::close(held);
    EXPECT_EQ(ui.notices, std::vector<std::string>{waitingForUpdateMessage("site.wth", 300ms)});
    EXPECT_EQ(ui.messages(), std::vector<std::string>{});
    EXPECT_EQ(test::readFile(site), existing);
    EXPECT_EQ(namesIn(userDir.path()), std::vector<std::string>{"site.wth"});
}

// Another program that writes the file while the update runs wins: the
// update is dropped, not the other program's change.
class ChangesTheFileWhileWriting : public FileOperations {
public:
    explicit ChangesTheFileWhileWriting(fs::path file) : mFile(std::move(file)) {}
    fs::path createUnique(const fs::path& folder, const std::string& prefix) override
    {
        return systemFileOperations().createUnique(folder, prefix);
    }
    void writeAll(const fs::path& file, std::string_view content) override
    {
        systemFileOperations().writeAll(file, content);
        test::writeFile(mFile, test::readFile(mFile) + "2000\t59\tby hand\r\n");
    }
    void copyInto(const fs::path& from, const fs::path& to) override { systemFileOperations().copyInto(from, to); }
    void rename(const fs::path& from, const fs::path& to) override { systemFileOperations().rename(from, to); }
    void remove(const fs::path& file) noexcept override { systemFileOperations().remove(file); }

private:
    fs::path mFile;
};

TEST_F(WeatherFileKeeping, AFileChangedDuringTheUpdateIsLeftToTheChange)
{
    const std::string existing = kHead + "2000\t58\t1.0\r\n";
    const fs::path site = userDir.write("site.wth", existing);
    ChangesTheFileWhileWriting ops(site);
    try {
        updateWeatherFile(site, kPanelHead + kNewDay, folder, ui, ops, convertedByTheRun());
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), changedDuringUpdateMessage("site.wth"));
    }
    EXPECT_EQ(test::readFile(site), existing + "2000\t59\tby hand\r\n");
    EXPECT_EQ(namesIn(userDir.path()), std::vector<std::string>{"site.wth"});
}

TEST_F(WeatherFileKeeping, LinksLeadToTheFileTheyName)
{
    const std::string existing = kHead + "2000\t58\t1.0\r\n";
    const fs::path real = userDir.write("real.wth", existing);
    fs::create_symlink(real, userDir.path() / "site.wth");
    fs::create_hard_link(real, userDir.path() / "hard.wth");
    ASSERT_EQ(update(userDir.path() / "site.wth"), UpdateResult::Updated);
    EXPECT_TRUE(fs::is_symlink(userDir.path() / "site.wth"));
    EXPECT_EQ(test::readFile(real), existing + kNewDay + "\r\n");
    EXPECT_EQ(test::readFile(userDir.path() / "hard.wth"), existing + kNewDay + "\r\n");
    EXPECT_EQ(test::readFile(userDir.path() / "site.wth.old"), existing);
    EXPECT_EQ(namesIn(userDir.path()),
              (std::vector<std::string>{"hard.wth", "real.wth", "site.wth", "site.wth.old"}));
}

// Run as root, an update keeps the file's owner, group and mode.
TEST_F(WeatherFileKeeping, TheUpdatedFileKeepsItsOwnerAndMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make a file of another owner";
    const fs::path site = userDir.write("site.wth", kHead + "2000\t58\t1.0\r\n");
    ASSERT_EQ(::chown(site.c_str(), 65534, 65534), 0);
    fs::permissions(site, fs::perms(0664));
    ASSERT_EQ(update(site), UpdateResult::Updated);
    struct stat info {};
    ASSERT_EQ(::stat(site.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 0664u);
}

TEST_F(WeatherFileKeeping, AWeatherFileThatIsNoRegularFileIsRefusedAtOnce)
{
    const fs::path fifo = userDir.path() / "pipe.wth";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const fs::path& file : {fifo, fs::path("/dev/zero")}) {
        try {
            update(file);
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), notARegularFileMessage(file.filename().string()));
        }
    }
    const fs::path longLine = userDir.write("long.wth", kHead + std::string(2 << 20, '7'));
    try {
        update(longLine);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), lineTooLongMessage(5, "long.wth"));
    }
}

} // namespace
} // namespace pluvora

#include "engine/tasks/etbypm.h"
#include "engine/tasks/etfromevap.h"
#include "engine/tasks/weatherfileupdate.h"
#include "batchmessages.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& arg)
{
    std::string q = "'";
    for (char c : arg)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string commandFor(const std::vector<std::string>& args)
{
    std::string command = quoted(PLUVORA_BATCH_EXE);
    for (const auto& a : args)
        command += " " + quoted(a);
    return command;
}

// The batch in a shell, with a time limit so a hang fails instead of
// stopping the suite.
Outcome runBatch(const test::TempFolder& logs, const std::vector<std::string>& args, const std::string& tag = "")
{
    const fs::path out = logs.path() / ("stdout" + tag + ".txt");
    const fs::path err = logs.path() / ("stderr" + tag + ".txt");
    const std::string command = "timeout 60 " + commandFor(args) + " >" + quoted(out.string()) + " 2>"
                                + quoted(err.string()) + " </dev/null";
    const int raw = std::system(command.c_str());
    Outcome r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = test::readFile(out);
    r.err = test::readFile(err);
    return r;
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::string kWeatherHead = "Lincoln\r\n40.85 96.75 350\r\nYear\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET\r\n"
                                 "\t\tMJ/m2\toC\toC\t%\tmm\tmm\r\n";
const char* const kColumns = "Year,DOY,T-max:oC,T-min:oC,Precip:mm";

std::string input(int firstDay, int lastDay)
{
    std::string text = "Lincoln\nYear DOY Tmax Tmin Rain\n";
    for (int day = firstDay; day <= lastDay; ++day)
        text += "2011 " + std::to_string(day) + " 5.5 -2.0 0.5\n";
    return text;
}

std::vector<std::string> updateArgs(const fs::path& weather, const fs::path& in)
{
    return {"--task", "2", "--rows", "2", "--columns", kColumns, "--update", weather.string(), in.string()};
}

// The days of a weather file, in file order.
std::vector<int> daysOf(const std::string& file)
{
    std::vector<int> days;
    std::size_t start = 0;
    for (int line = 0; start < file.size(); ++line) {
        const std::size_t end = file.find('\n', start);
        if (line >= 4)
            days.push_back(std::atoi(file.c_str() + file.find('\t', start) + 1));
        start = end + 1;
    }
    return days;
}

std::vector<int> dayRange(int first, int last)
{
    std::vector<int> days;
    for (int d = first; d <= last; ++d)
        days.push_back(d);
    return days;
}

class BatchSafety : public ::testing::Test {
protected:
    test::TempFolder logs;
    test::TempFolder dir;
    // The file ends on 28 February 2011.
    fs::path weather = dir.write("c.wth", kWeatherHead + "2011\t58\t1.00\t2.0\t3.0\t4\t5.0\t6.0\r\n"
                                                      + "2011\t59\t1.00\t2.0\t3.0\t4\t5.0\t6.0\r\n");
};

// Two runs on one weather file at once: March, and March with April. In
// either order every day lands once and both succeed.
TEST_F(BatchSafety, TwoUpdatesAtOnceKeepEveryDay)
{
    const fs::path march = logs.write("march.txt", input(60, 90));
    const fs::path spring = logs.write("spring.txt", input(60, 120));
    for (int round = 0; round < 3; ++round) {
        const std::string original = test::readFile(weather);
        Outcome first;
        std::thread other([&] { first = runBatch(logs, updateArgs(weather, march), "march"); });
        const Outcome second = runBatch(logs, updateArgs(weather, spring), "spring");
        other.join();
        EXPECT_EQ(first.status, 0) << first.err;
        EXPECT_EQ(second.status, 0) << second.err;
        EXPECT_EQ(daysOf(test::readFile(weather)), dayRange(58, 120));
        test::writeFile(weather, original);
        fs::remove(dir.path() / "c.wth.old");
    }
}

// The lock is held by another process: the run says it waits, then updates.
TEST_F(BatchSafety, AnUpdateWaitsForTheOneUnderWay)
{
    const fs::path in = logs.write("in.txt", input(60, 61));
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const int fd = ::open(weather.c_str(), O_RDONLY);
        ::flock(fd, LOCK_EX);
        ::usleep(1500 * 1000);
        ::_exit(0);
    }
    ::usleep(300 * 1000);
    const Outcome r = runBatch(logs, updateArgs(weather, in));
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(test::withoutZeroNotices(r.err), "notice: " + waitingForUpdateMessage("c.wth", std::chrono::seconds(60))
                         + "\ninformation: " + weatherFileUpdatedMessage("c.wth") + "\n");
    EXPECT_EQ(daysOf(test::readFile(weather)), dayRange(58, 61));
}

// A daily job appends one day; a gap answered No is told apart from
// "nothing new" by the exit status.
TEST_F(BatchSafety, OneNewDayAppendsAndAGapNotAppendedExitsWith3)
{
    const fs::path oneDay = logs.write("one.txt", input(60, 60));
    Outcome r = runBatch(logs, updateArgs(weather, oneDay));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(daysOf(test::readFile(weather)), dayRange(58, 60));

    r = runBatch(logs, updateArgs(weather, oneDay));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(test::withoutZeroNotices(r.err), std::string("information: ") + kNoNeedToUpdate + "\n");

    const fs::path later = logs.write("later.txt", input(70, 71));
    r = runBatch(logs, updateArgs(weather, later));
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(test::withoutZeroNotices(r.err), std::string("question: ") + kUpdateGapQuestion + " [No]\n");
    EXPECT_EQ(daysOf(test::readFile(weather)), dayRange(58, 60));
}

// An update that comes late with an earlier month: its days are not in the
// file, so they are not appended, said, and told apart from "nothing new".
TEST_F(BatchSafety, EarlierDaysTheFileLacksAreNotAppendedAndExitWith3)
{
    Outcome r = runBatch(logs, [&] {
        auto args = updateArgs(weather, logs.write("april.txt", input(91, 120)));
        args.push_back("--yes");
        return args;
    }());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string withApril = test::readFile(weather);

    r = runBatch(logs, updateArgs(weather, logs.write("march.txt", input(60, 90))));
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(test::withoutZeroNotices(r.err), "warning: " + earlierDaysMessage("c.wth", 2011, 60) + "\n");
    EXPECT_NE(r.out.find("2011\t90\t"), std::string::npos);
    EXPECT_EQ(test::readFile(weather), withApril);

    r = runBatch(logs, updateArgs(weather, logs.write("again.txt", input(100, 110))));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(test::withoutZeroNotices(r.err), std::string("information: ") + kNoNeedToUpdate + "\n");
}

TEST_F(BatchSafety, OutputOntoDevicesAndLinks)
{
    const fs::path in = logs.write("in.txt", input(60, 61));
    const std::vector<std::string> task1 = {"--task", "1", "--rows", "2", "--columns", kColumns, "--site",
                                            "40.5 N 96.25 W 350", in.string(), "-o"};
    auto withOutput = [&](const std::string& output) {
        std::vector<std::string> args = task1;
        args.push_back(output);
        return args;
    };
    const Outcome toStdout = runBatch(logs, withOutput("/dev/stdout"));
    EXPECT_EQ(toStdout.status, 0) << toStdout.err;
    EXPECT_NE(toStdout.out.find("2011\t61\t"), std::string::npos);
    // Appended to by the shell: the result joins what is there.
    const fs::path log = logs.write("log.txt", "earlier\n");
    const std::string appending = commandFor(withOutput("/dev/stdout")) + " >>" + quoted(log.string()) + " 2>/dev/null";
    ASSERT_EQ(std::system(appending.c_str()), 0);
    EXPECT_EQ(test::readFile(log), "earlier\n" + toStdout.out);
    const Outcome toNull = runBatch(logs, withOutput("/dev/null"));
    EXPECT_EQ(toNull.status, 0) << toNull.err;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    fs::create_symlink("real.wth", dir.path() / "link.wth");
    const Outcome viaLink = runBatch(logs, withOutput((dir.path() / "link.wth").string()));
    EXPECT_EQ(viaLink.status, 0) << viaLink.err;
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.wth"));
    EXPECT_EQ(test::readFile(dir.path() / "real.wth"), toStdout.out);

    // A weather file that is a FIFO would hang the run: it is refused.
    const fs::path fifo = dir.path() / "pipe.wth";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const Outcome pipe = runBatch(logs, updateArgs(fifo, in));
    EXPECT_EQ(pipe.status, 1);
    EXPECT_NE(pipe.err.find(notARegularFileMessage("pipe.wth")), std::string::npos) << pipe.err;
}

TEST_F(BatchSafety, FetchAndElevationOutsideTheirRangeAreRefused)
{
    const fs::path pan = logs.write("pan.txt", "h\n2001 1 8 2 60\n");
    for (const char* fetch : {"0", "-5"}) {
        const Outcome r = runBatch(logs, {"--task", "6", "--rows", "1", "--columns",
                                          "Year,DOY,PanEvap:mm,WndSpd:m/s,RelHum", "--no-rearrange", "--fetch",
                                          fetch, pan.string()});
        EXPECT_EQ(r.status, 1) << fetch;
        EXPECT_EQ(r.err, std::string("error: ") + kFetchOutOfRange + "\n") << fetch;
    }
    const fs::path pm = logs.write("pm.txt", "h\n2001 1 20 25 15 60 2\n");
    for (const char* elevation : {"-1e308", "-431"}) {
        const Outcome r = runBatch(logs, {"--task", "7", "--rows", "1", "--columns",
                                          "Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,RelHum,WndSpd:m/s",
                                          "--latitude", "40", "--elevation", elevation, "--no-rearrange",
                                          pm.string()});
        EXPECT_EQ(r.status, 1) << elevation;
        EXPECT_EQ(r.err, std::string("error: ") + kElevationTooLow + "\n") << elevation;
    }
}

// A fetch past the fitted 1000 m is computed with a notice; a day whose
// coefficient is not above 0 stops the run, named.
TEST_F(BatchSafety, LongFetchesAreComputedUntilTheCoefficientIsNotPositive)
{
    const fs::path pan = logs.write("pan.txt", "h\n2001 1 8 2 60\n2001 2 8 2 60\n");
    struct Case {
        const char* panCode;
        const char* fetch;
        int status;
        std::string out;
        std::string err;
    };
    const std::string title = std::string(kPanTitle) + "green fetch with ";
    const std::string notice = std::string("notice: ") + kFetchBeyondFitted + "\n";
    for (const Case& c : {Case{"1", "1000", 0, title + "1000 m.h\r\n2001\t1\t8\t2\t60\t\t6.4\r\n2001\t2\t8\t2\t60\t\t6.4\r\n", ""},
                          Case{"1", "2000", 0, title + "2000 m.h\r\n2001\t1\t8\t2\t60\t\t6.5\r\n2001\t2\t8\t2\t60\t\t6.5\r\n", notice},
                          Case{"1", "5000", 0, title + "5000 m.h\r\n2001\t1\t8\t2\t60\t\t6.5\r\n2001\t2\t8\t2\t60\t\t6.5\r\n", notice},
                          Case{"2", "2147483647", 1, "",
                               notice + "error: " + "No value can be estimated for input line 2, date 2001 / 1: the pan "
                                   "coefficient is not above 0 at this fetch, wind speed and humidity. Check the fetch.\n"}}) {
        const Outcome r = runBatch(logs, {"--task", "6", "--rows", "1", "--columns",
                                          "Year,DOY,PanEvap:mm,WndSpd:m/s,RelHum", "--no-rearrange", "--pan", c.panCode,
                                          "--fetch", c.fetch, pan.string()});
        EXPECT_EQ(r.status, c.status) << c.fetch;
        EXPECT_EQ(r.out, c.out) << c.fetch;
        EXPECT_EQ(r.err, c.err) << c.fetch;
    }
}

// Each failure names the real file and the reason in the user's words.
TEST_F(BatchSafety, FailuresNameTheFileAndTheReason)
{
    const fs::path in = logs.write("in.txt", input(60, 61));
    const std::vector<std::string> task1 = {"--task", "1", "--rows", "2", "--columns", kColumns, "--site",
                                            "40.5 N 96.25 W 350", in.string(), "-o"};
    std::vector<std::string> full = task1;
    full.push_back("/dev/full");
    Outcome r = runBatch(logs, full);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(test::withoutZeroNotices(r.err), "error: Cannot write file \"/dev/full\": No space left on device\n");

    fs::create_directory(dir.path() / "c.wth.old");
    r = runBatch(logs, updateArgs(weather, in));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(test::withoutZeroNotices(r.err), "error: Could not make the backup file for \"c.wth\" (c.wth.old is a folder). The file is "
                     "unchanged.\n");

    const std::string command = "TMPDIR=/no/such/folder " + commandFor(full) + " 2>" + quoted((logs.path() / "e.txt").string());
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_EQ(test::readFile(logs.path() / "e.txt"),
              "error: Cannot use the temporary folder \"/no/such/folder\" named by TMPDIR: No such file or directory\n");
}

// Killed at random points by SIGINT, SIGTERM or SIGHUP, a run leaves the
// output and the weather file old or new, whole, and no temporary file.
TEST_F(BatchSafety, KillsAtRandomPointsLeaveNoTemporaryFiles)
{
    const fs::path in = logs.write("big.txt", input(60, 365) + [] {
        std::string more;
        for (int year = 2012; year < 2040; ++year)
            for (int day = 1; day <= 365; ++day)
                more += std::to_string(year) + " " + std::to_string(day) + " 5.5 -2.0 0.5\n";
        return more;
    }());
    const std::string originalWeather = test::readFile(weather);
    const fs::path out = dir.path() / "out.wth";
    test::writeFile(out, "old output\r\n");
    std::mt19937 random(12345);
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    std::string updatedWeather;
    for (int round = 0; round < 30; ++round) {
        const bool update = round % 2 == 1;
        std::vector<std::string> args = update ? updateArgs(weather, in)
                                               : std::vector<std::string>{"--task", "1", "--rows", "2", "--columns",
                                                                          kColumns, "--site", "40.5 N 96.25 W 350",
                                                                          in.string(), "-o", out.string()};
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int devnull = ::open("/dev/null", O_RDWR);
            ::dup2(devnull, 1);
            ::dup2(devnull, 2);
            std::vector<char*> argv{const_cast<char*>(PLUVORA_BATCH_EXE)};
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(PLUVORA_BATCH_EXE, argv.data());
            ::_exit(127);
        }
        ::usleep(std::uniform_int_distribution<int>(0, 400000)(random));
        ::kill(child, signals[round % 3]);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string weatherNow = test::readFile(weather);
        if (weatherNow != originalWeather) {
            if (updatedWeather.empty())
                updatedWeather = weatherNow;
            EXPECT_EQ(weatherNow, updatedWeather) << round;
            EXPECT_EQ(test::readFile(dir.path() / "c.wth.old"), originalWeather);
            test::writeFile(weather, originalWeather);
        }
        const std::string output = test::readFile(out);
        EXPECT_TRUE(output == "old output\r\n" || output.ends_with("2039\t365\t0.00\t5.5\t-2.0\t0\t0.5\t0.0\r\n"))
            << round << ": " << output.substr(0, 40) << "..." << output.substr(output.size() - 40);
        std::vector<std::string> names = namesIn(dir.path());
        names.erase(std::remove(names.begin(), names.end(), "c.wth.old"), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"c.wth", "out.wth"})) << round;
        fs::remove(dir.path() / "c.wth.old");
    }
}

} // namespace
} // namespace pluvora

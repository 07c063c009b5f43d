#include "engine/tasks/weatherfileupdate.h"
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

const fs::path kUpdate = fs::path(PLUVORA_TEST_DATA) / "update";

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

// pluvora-batch task 2 on the update sample, with the weather file in a
// folder of its own.
class BatchUpdate : public ::testing::Test {
protected:
    test::TempFolder temp;
    test::TempFolder weatherDir;
    fs::path site = weatherDir.path() / "site.wth";
    std::string original = test::readFile(kUpdate / "site.wth");

    void SetUp() override { test::writeFile(site, original); }

    Outcome run(std::vector<std::string> extra, const fs::path& input = kUpdate / "input.txt")
    {
        std::vector<std::string> args = {"--task", "2", "--rows", "2", "--columns",
                                         "Year,DOY,T-max:oC,T-min:oC,Precip:mm"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(input.string());
        std::string command = quoted(PLUVORA_BATCH_EXE);
        for (const auto& a : args)
            command += " " + quoted(a);
        const fs::path out = temp.path() / "stdout.txt";
        const fs::path err = temp.path() / "stderr.txt";
        command += " >" + quoted(out.string()) + " 2>" + quoted(err.string()) + " </dev/null";
        const int raw = std::system(command.c_str());
        Outcome r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = test::readFile(out);
        r.err = test::readFile(err);
        return r;
    }

    // The converted data with the trimmed head, as task 2 leaves them.
    std::string converted() const
    {
        const std::string expected = test::readFile(kUpdate / "expected.wth");
        std::string text = "Lincoln NE station, daily\r\n";
        const std::size_t names = expected.find("Year\t");
        const std::size_t from2010 = expected.find("2010\t362");
        text += expected.substr(names, expected.find("2010\t360") - names);
        return text + expected.substr(from2010);
    }
};

TEST_F(BatchUpdate, UpdatesTheFileAndWritesNothingToStandardOutput)
{
    const Outcome r = run({"--update", site.string(), "-o", (temp.path() / "unused.wth").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::withoutZeroNotices(r.err), "information: " + weatherFileUpdatedMessage("site.wth") + "\n");
    EXPECT_EQ(test::readFile(site), test::readFile(kUpdate / "expected.wth"));
    EXPECT_EQ(test::readFile(weatherDir.path() / "site.wth.old"), original);
    EXPECT_FALSE(fs::exists(temp.path() / "unused.wth"));

    // The same data again: nothing new, so the data go to standard output
    // and both files stay as they are.
    const Outcome again = run({"--update", site.string()});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(test::withoutZeroNotices(again.err), std::string("information: ") + kNoNeedToUpdate + "\n");
    EXPECT_EQ(again.out, converted());
    EXPECT_EQ(test::readFile(site), test::readFile(kUpdate / "expected.wth"));
    EXPECT_EQ(test::readFile(weatherDir.path() / "site.wth.old"), original);
}

TEST_F(BatchUpdate, GapAnsweredNoKeepsTheFileAndWritesTheData)
{
    // The file now ends on 2010 day 360; the data begin on day 362.
    original = original.substr(0, original.find("2010\t361"));
    test::writeFile(site, original);
    const fs::path output = temp.path() / "new.wth";
    const Outcome r = run({"--update", site.string(), "-o", output.string()});
    EXPECT_EQ(r.status, 3); // new days, not appended
    EXPECT_EQ(test::withoutZeroNotices(r.err), std::string("question: ") + kUpdateGapQuestion + " [No]\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::readFile(output), converted());
    EXPECT_EQ(test::readFile(site), original);
    EXPECT_FALSE(fs::exists(weatherDir.path() / "site.wth.old"));

    const Outcome yes = run({"--update", site.string(), "--yes"});
    EXPECT_EQ(yes.status, 0);
    EXPECT_EQ(yes.out, "");
    EXPECT_EQ(test::readFile(weatherDir.path() / "site.wth.old"), original);
}

// The run converted the data itself, so it knows where they begin: the
// single new day a daily job brings is appended.
TEST_F(BatchUpdate, ASingleNewDayIsAppended)
{
    const fs::path single = temp.write("single.txt", "Station\r\nYear DOY Tmax Tmin Rain\r\n2011 1 1 0 0\r\n");
    const Outcome r = run({"--update", site.string()}, single);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(test::withoutZeroNotices(r.err), "information: " + weatherFileUpdatedMessage("site.wth") + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::readFile(site), original + "2011\t1\t0.00\t1.0\t0.0\t0\t0.0\t0.0\r\n");
}

TEST_F(BatchUpdate, Task2NeedsTheFileAndOtherTasksRefuseIt)
{
    EXPECT_EQ(run({}).status, 2);
    const Outcome other = run({"--task", "3", "--update", site.string()});
    EXPECT_EQ(other.status, 2);
    EXPECT_NE(other.err.find("--update is only for task 2"), std::string::npos);

    // Data left out of the update would overwrite the weather file itself.
    const Outcome same = run({"--update", site.string(), "-o", (weatherDir.path() / "." / "site.wth").string()});
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.err.find("-o must not name the weather file"), std::string::npos);
    EXPECT_EQ(test::readFile(site), original);
}

} // namespace
} // namespace pluvora

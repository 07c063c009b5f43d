#include "batch/scratchfolder.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A child that has ended; reaped, its id belongs to no process any more.
pid_t endedProcess(bool reap)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    siginfo_t info{};
    if (reap)
        ::waitpid(child, nullptr, 0);
    else
        ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT);
    return child;
}

std::string quoted(const std::string& arg) { return "'" + arg + "'"; }

struct Run {
    int status = -1;
    std::string err;
};

// pluvora-batch with TMPDIR set to `tmp`.
Run runBatch(const pluvora::test::TempFolder& temp, const fs::path& tmp, const std::vector<std::string>& args)
{
    std::string command = "TMPDIR=" + quoted(tmp.string()) + " " + quoted(PLUVORA_BATCH_EXE);
    for (const auto& a : args)
        command += " " + quoted(a);
    const fs::path err = temp.path() / "stderr.txt";
    command += " >/dev/null 2>" + quoted(err.string()) + " </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, pluvora::test::readFile(err)};
}

const char* const kColumns = "Year,DOY,T-max:oC,T-min:oC";

} // namespace

class ScratchFolderSignal : public ::testing::TestWithParam<int> {};

// The folder holds a full copy of the user's input: an interrupted run must
// not leave it behind, and must still end by the signal it got.
TEST_P(ScratchFolderSignal, RemovesTheLiveFolderThenEndsByTheSignal)
{
    pluvora::test::TempFolder temp;
    const pid_t child = ::fork();
    if (child == 0) {
        removeScratchFolderOnSignal();
        ScratchFolder folder(temp.path());
        pluvora::test::writeFile(folder.path() / "Input.~", "2001 1 20 10\n");
        for (;;)
            ::pause();
    }
    bool ready = false;
    for (int i = 0; i < 1000 && !ready; ++i) {
        for (const auto& e : fs::directory_iterator(temp.path()))
            ready = ready || fs::exists(e.path() / "Input.~");
        if (!ready)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(ready);
    ::kill(child, GetParam());
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), GetParam());
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Signals, ScratchFolderSignal, ::testing::Values(SIGINT, SIGTERM, SIGHUP));

TEST(ScratchFolder, ARunClearsFoldersOfEndedRunsOnly)
{
    pluvora::test::TempFolder temp;
    const fs::path tmp = temp.path() / "tmp";
    const std::string dead = "pluvora-batch-" + std::to_string(endedProcess(true)) + "-a1b2c3";
    const pid_t zombie = endedProcess(false);
    const std::string unreaped = "pluvora-batch-" + std::to_string(zombie) + "-g7h8i9";
    const std::string live = "pluvora-batch-" + std::to_string(::getpid()) + "-d4e5f6";
    for (const auto& name : {dead, unreaped, live, std::string("pluvora-batch-x1y2z3"), std::string("other")}) {
        fs::create_directories(tmp / name);
        pluvora::test::writeFile(tmp / name / "Input.~", "kept?");
    }
    pluvora::test::writeFile(tmp / "pluvora-batch-1-file", "a file, not a folder");
    const auto input = temp.write("in.txt", "2001 1 20 10\n2001 2 21 11\n");

    const auto r = runBatch(temp, tmp, {"--task", "3", "--rows", "0", "--columns", kColumns, input.string()});
    ::waitpid(zombie, nullptr, 0);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> kept{live, "other", "pluvora-batch-1-file", "pluvora-batch-x1y2z3"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(namesIn(tmp), kept);
}

TEST(BatchMessages, NameTheOutputFileNotItsPartFile)
{
    pluvora::test::TempFolder temp;
    const auto input = temp.write("in.txt", "2001 1 20 10\n2001 2 21 11\n");
    const fs::path output = temp.path() / "missing" / "out.wth";
    const auto r = runBatch(temp, temp.path(), {"--task", "1", "--rows", "0", "--columns", kColumns, "--site",
                                                "40 N 96 W 350", input.string(), "-o", output.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\nerror: Cannot "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" file \"" + output.string() + "\": "), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(output.string() + "."), std::string::npos) << r.err;
}

#include "engine/error.h"
#include "engine/io/backupreplace.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct stat statOf(const fs::path& file)
{
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
    return info;
}

// Fails the named step and passes every other to the real file system.
class FailingStep : public FileOperations {
public:
    explicit FailingStep(std::string step) : mStep(std::move(step)) {}
    fs::path createUnique(const fs::path& folder, const std::string& prefix) override
    {
        fail("create");
        return systemFileOperations().createUnique(folder, prefix);
    }
    void writeAll(const fs::path& file, std::string_view content) override
    {
        // Half the content reaches the disk before it is full.
        systemFileOperations().writeAll(file, content.substr(0, content.size() / 2));
        fail("write");
        systemFileOperations().writeAll(file, content);
    }
    void copyInto(const fs::path& from, const fs::path& to) override
    {
        fail("copy");
        systemFileOperations().copyInto(from, to);
    }
    void rename(const fs::path& from, const fs::path& to) override
    {
        fail("rename");
        systemFileOperations().rename(from, to);
    }
    void remove(const fs::path& file) noexcept override { systemFileOperations().remove(file); }
    void flush(const fs::path& file) override
    {
        fail("fsync");
        systemFileOperations().flush(file);
    }

private:
    void fail(const std::string& step)
    {
        if (step == mStep)
            throw std::system_error(ENOSPC, std::generic_category(), "injected " + step);
    }
    std::string mStep;
};

// Each step of a write fails in turn: the file keeps its old content, mode
// and name, nothing else is left in the folder, and the message names the
// file the user knows with the reason. Through a hard link (written in
// place) and without one (renamed).
TEST(SafeFileWrite, AFailingStepLeavesTheFileAsItWas)
{
    for (bool hardLinked : {false, true}) {
        for (const char* step : {"create", "write", "fsync", "rename", "copy"}) {
            if (std::string(step) == (hardLinked ? "rename" : "copy"))
                continue; // a step that path does not take
            SCOPED_TRACE(std::string(step) + (hardLinked ? " hard-linked" : ""));
            test::TempFolder dir;
            const fs::path target = dir.write("out.wth", "old content\r\n");
            fs::permissions(target, fs::perms(0640));
            if (hardLinked)
                fs::create_hard_link(target, dir.path() / "other.wth");
            FailingStep ops(step);
            try {
                writeAtomically(target, "new content, longer than the old\r\n", ops);
                ADD_FAILURE() << "no error";
            } catch (const Error& error) {
                const std::string message = error.what();
                EXPECT_EQ(message.rfind("Cannot write file \"" + target.string() + "\": ", 0), 0u) << message;
                EXPECT_NE(message.find("No space left on device"), std::string::npos) << message;
            }
            EXPECT_EQ(test::readFile(target), "old content\r\n");
            EXPECT_EQ(statOf(target).st_mode & 07777, 0640u);
            EXPECT_EQ(namesIn(dir.path()), hardLinked ? (std::vector<std::string>{"other.wth", "out.wth"})
                                                      : std::vector<std::string>{"out.wth"});
        }
    }
}

// A write through each kind of name a user can give.
TEST(SafeFileWrite, LinksKeepPointingAtTheNewContent)
{
    test::TempFolder dir;
    const fs::path real = dir.write("real.wth", "old\r\n");
    fs::create_symlink("real.wth", dir.path() / "link.wth");
    fs::create_hard_link(real, dir.path() / "hard.wth");
    fs::create_symlink("missing.wth", dir.path() / "dangling.wth");

    writeAtomically(dir.path() / "link.wth", "through the link\r\n");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.wth"));
    EXPECT_EQ(test::readFile(real), "through the link\r\n");
    EXPECT_EQ(test::readFile(dir.path() / "hard.wth"), "through the link\r\n");

    writeAtomically(dir.path() / "hard.wth", "through the hard link\r\n");
    EXPECT_EQ(test::readFile(real), "through the hard link\r\n");
    EXPECT_EQ(statOf(real).st_ino, statOf(dir.path() / "hard.wth").st_ino);

    writeAtomically(dir.path() / "dangling.wth", "a new file\r\n");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "dangling.wth"));
    EXPECT_EQ(test::readFile(dir.path() / "missing.wth"), "a new file\r\n");

    fs::create_directory(dir.path() / "folder.wth");
    EXPECT_THROW(writeAtomically(dir.path() / "folder.wth", "x"), Error);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"dangling.wth", "folder.wth", "hard.wth",
                                                              "link.wth", "missing.wth", "real.wth"}));
}

TEST(SafeFileWrite, DevicesAndPipesAreWrittenStraightInto)
{
    writeAtomically("/dev/null", "nothing\r\n");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    test::TempFolder dir;
    const fs::path fifo = dir.path() / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = test::readFile(fifo); });
    writeAtomically(fifo, "through the pipe\r\n");
    reader.join();
    EXPECT_EQ(received, "through the pipe\r\n");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"pipe"});
}

TEST(SafeFileWrite, NewFilesFollowTheUmaskAndReplacedOnesKeepTheirMode)
{
    test::TempFolder dir;
    for (mode_t mask : {mode_t(022), mode_t(077), mode_t(002)}) {
        const mode_t old = ::umask(mask);
        const fs::path file = dir.path() / ("new" + std::to_string(mask));
        writeAtomically(file, "x");
        ::umask(old);
        EXPECT_EQ(statOf(file).st_mode & 0777, 0666u & ~mask) << mask;
    }
    const fs::path shared = dir.write("shared.wth", "old");
    fs::permissions(shared, fs::perms(0664));
    const mode_t old = ::umask(077);
    writeAtomically(shared, "new");
    ::umask(old);
    EXPECT_EQ(statOf(shared).st_mode & 07777, 0664u);
}

// Runs `body` in a child process as the unprivileged user nobody; the
// child's exit status says whether every expectation held.
void asAnotherUser(const std::function<bool()>& body)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Root may write anything, so the refusal is tried as another user; as a
// user the test runs as it is.
TEST(SafeFileWrite, AFileTheUserMayNotWriteIsRefusedInAFolderTheyMayWrite)
{
    test::TempFolder dir;
    fs::permissions(dir.path(), fs::perms(0777));
    const fs::path locked = dir.write("locked.wth", "keep me");
    fs::permissions(locked, fs::perms(0444));
    const auto attempt = [&] {
        try {
            writeAtomically(locked, "overwritten");
            return false;
        } catch (const Error& error) {
            return std::string(error.what()) == "Cannot write file \"" + locked.string() + "\": Permission denied";
        }
    };
    if (::geteuid() == 0)
        asAnotherUser(attempt);
    else
        EXPECT_TRUE(attempt());
    EXPECT_EQ(test::readFile(locked), "keep me");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"locked.wth"});
}

// Another user's file that this one may write (a group file) keeps its
// owner: it is written in place, as the new file could not be given away.
// As root, the owner is simply kept.
TEST(SafeFileWrite, AReplacedFileKeepsItsOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make a file of another owner";
    test::TempFolder dir;
    fs::permissions(dir.path(), fs::perms(0777));
    const fs::path file = dir.write("shared.wth", "old");
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    fs::permissions(file, fs::perms(0666));
    writeAtomically(file, "by root");
    EXPECT_EQ(statOf(file).st_uid, 65534u);
    EXPECT_EQ(statOf(file).st_gid, 65534u);
    EXPECT_EQ(statOf(file).st_mode & 07777, 0666u);

    ASSERT_EQ(::chown(file.c_str(), 0, 0), 0);
    const ino_t before = statOf(file).st_ino;
    asAnotherUser([&] {
        writeAtomically(file, "by nobody");
        return true;
    });
    EXPECT_EQ(test::readFile(file), "by nobody");
    EXPECT_EQ(statOf(file).st_uid, 0u);
    EXPECT_EQ(statOf(file).st_ino, before);
}

TEST(SafeFileWrite, TheProgramsOwnFilesUseOneFixedTemporaryName)
{
    test::TempFolder dir;
    const fs::path settings = dir.write("Option.pvd", "old");
    dir.write("Option.pvd.new", "left by a killed write");
    writeFileWhole(
        settings, [](const fs::path& part) { test::writeFile(part, "new"); }, TemporaryName::Fixed);
    EXPECT_EQ(test::readFile(settings), "new");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"Option.pvd"});
}

// A backup name taken by a folder is said as such, before anything moves.
TEST(SafeFileWrite, ABackupNameThatIsAFolderIsNamed)
{
    test::TempFolder dir;
    const fs::path file = dir.write("d.wth", "old");
    fs::create_directory(dir.path() / "d.wth.old");
    try {
        replaceKeepingBackup(file, "new");
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Could not make the backup file for \"d.wth\" (d.wth.old is a folder). The file is unchanged.");
    }
    EXPECT_EQ(test::readFile(file), "old");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"d.wth", "d.wth.old"}));
}

} // namespace
} // namespace pluvora

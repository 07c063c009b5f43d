#include "batch/scratchfolder.h"

#include "engine/error.h"
#include "engine/io/backupreplace.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "pluvora-batch-";

// Where a run over many files wants to hear of a signal, or -1.
std::atomic<int> gWakeFd{-1};

// The one live folder, for the signal thread.
std::mutex gLiveMutex;
fs::path gLive;

// The process id in "pluvora-batch-<pid>-..."; 0 when the name is not one.
pid_t ownerOf(std::string_view name)
{
    if (!name.starts_with(kPrefix))
        return 0;
    name.remove_prefix(kPrefix.size());
    long pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (ec != std::errc() || end == name.data() || end == name.data() + name.size() || *end != '-'
        || pid <= 0)
        return 0;
    return static_cast<pid_t>(pid);
}

bool processGone(pid_t pid)
{
    // EPERM means it runs under another user: not ours to judge.
    if (::kill(pid, 0) != 0)
        return errno == ESRCH;
    // A killed run that its parent has not reaped yet holds no files.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t nameEnd = line.rfind(')');
    return nameEnd != std::string::npos && nameEnd + 2 < line.size() && line[nameEnd + 2] == 'Z';
}

sigset_t endingSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

void removeLiveFolder()
{
    std::lock_guard lock(gLiveMutex);
    if (gLive.empty())
        return;
    // Renamed first, so a stage still running cannot create a file in it
    // after the removal.
    fs::path dying = gLive;
    dying += "-ending";
    std::error_code ec;
    fs::rename(gLive, dying, ec);
    fs::remove_all(ec ? gLive : dying, ec);
    gLive.clear();
}

} // namespace

ScratchFolder::ScratchFolder(const fs::path& parent)
{
    clearStaleScratchFolders(parent);
    std::string pattern = (parent / (std::string(kPrefix) + std::to_string(::getpid()) + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw Error("Cannot create a temporary folder in \"" + parent.string() + "\"");
    mPath = pattern;
    std::lock_guard lock(gLiveMutex);
    gLive = mPath;
}

ScratchFolder::~ScratchFolder()
{
    std::lock_guard lock(gLiveMutex);
    std::error_code ec;
    fs::remove_all(mPath, ec);
    if (gLive == mPath)
        gLive.clear();
}

int clearStaleScratchFolders(const fs::path& parent)
{
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path folder = it->path();
        const pid_t owner = ownerOf(folder.filename().string());
        struct stat info {};
        if (owner == 0 || owner == ::getpid() || ::lstat(folder.c_str(), &info) != 0
            || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || !processGone(owner))
            continue;
        std::error_code removeError;
        if (fs::remove_all(folder, removeError) > 0 && !removeError)
            ++removed;
    }
    return removed;
}

void removeScratchFolderOnSignal()
{
    const sigset_t set = endingSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    // The caller waits until the thread has started: a run over many files
    // forks its workers next, and a fork taken while the thread is still
    // starting can leave a child holding a lock nobody will release (seen
    // under the address sanitizer's allocator).
    // Static: the thread still notifies after the caller may have returned.
    static std::atomic<bool> started{false};
    std::thread([set] {
        started.store(true);
        started.notify_one();
        int signal = 0;
        for (;;) {
            while (::sigwait(&set, &signal) != 0) {
            }
            const int wake = gWakeFd.load();
            if (wake < 0)
                break;
            const unsigned char byte = static_cast<unsigned char>(signal);
            [[maybe_unused]] const auto written = ::write(wake, &byte, 1);
        }
        pluvora::removeTemporaryFilesForExit();
        removeLiveFolder();
        // End as the signal would have, so a caller sees what stopped us.
        std::signal(signal, SIG_DFL);
        ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        ::raise(signal);
        std::_Exit(128 + signal);
    }).detach();
    started.wait(false);
}

void reportSignalsTo(int fd) { gWakeFd.store(fd); }

} // namespace pluvora

#include "batch/manyfiles.h"

#include "batch/batchrun.h"
#include "batch/inputlist.h"
#include "batch/progressline.h"
#include "batch/runsummary.h"
#include "batch/scratchfolder.h"
#include "batch/stderrfeedback.h"
#include "error.h"
#include "io/backupreplace.h"
#include "io/textwriter.h"
#include "stage/taskcatalogue.h"
#include "run/usertermsmessage.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <map>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// What a job's process tells the run besides its exit status.
struct JobCounts {
    long rowsIn = 0;
    long rowsOut = 0;
    long flaggedDays = 0;
    long missingValues = 0;
};

struct Job {
    std::size_t index = 0;
    int countsFd = -1;   // read end; end of file when the process is gone
    int messagesFd = -1; // the process's standard error, an unlinked file
    fs::path part;       // the output until it is whole
    Clock::time_point start;
};

// An unlinked file to hold a process's standard error.
int anonymousFile()
{
    std::string pattern = (fs::temp_directory_path() / "pluvora-batch-log-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw Error("Cannot create a temporary file in \"" + fs::temp_directory_path().string() + "\"");
    ::unlink(pattern.c_str());
    return fd;
}

std::string readAll(int fd)
{
    std::string text;
    ::lseek(fd, 0, SEEK_SET);
    char block[1 << 14];
    for (ssize_t got; (got = ::read(fd, block, sizeof block)) > 0;)
        text.append(block, static_cast<std::size_t>(got));
    return text;
}

bool isDataRowStart(std::string_view line)
{
    std::size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9')
        ++digits;
    return digits >= 4 && (digits == line.size() || static_cast<unsigned char>(line[digits]) <= 32);
}

// Data rows of the input (after the header rows, up to the first line
// shorter than 5 characters) and how many of their values are the missing
// sign.
void countInput(const fs::path& input, int rowsBefore, const std::string& sign, JobCounts& counts)
{
    std::ifstream in(input, std::ios::binary);
    std::string line;
    for (int skipped = 0; skipped < rowsBefore && std::getline(in, line); ++skipped) {
    }
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() < 5)
            break;
        ++counts.rowsIn;
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && static_cast<unsigned char>(line[i]) <= 32)
                ++i;
            const std::size_t start = i;
            while (i < line.size() && static_cast<unsigned char>(line[i]) > 32)
                ++i;
            if (i > start && std::string_view(line).substr(start, i - start) == sign)
                ++counts.missingValues;
        }
    }
}

long countLines(const fs::path& file, bool (*counts)(std::string_view))
{
    std::ifstream in(file, std::ios::binary);
    long n = 0;
    for (std::string line; std::getline(in, line);)
        n += counts(line) ? 1 : 0;
    return n;
}

// The checkup lists each flagged day as a tab and its date.
bool isFlaggedDay(std::string_view line) { return line.size() > 1 && line[0] == '\t' && line[1] >= '0' && line[1] <= '9'; }

// The job's process: the run of one file as a single-file call would do
// it, with standard error going to the run's log of that file.
[[noreturn]] void runJob(const BatchOptions& options, const fs::path& input, const fs::path& target,
                         const fs::path& part, int messagesFd, int countsFd)
{
    // The run over many files decides when a job stops; a Ctrl-C at the
    // terminal reaches it alone.
    ::setpgid(0, 0);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    ::pthread_sigmask(SIG_SETMASK, &none, nullptr);

    ::dup2(messagesFd, STDERR_FILENO);
    const int reportFd = anonymousFile();
    ::dup2(reportFd, STDOUT_FILENO);

    BatchOptions one = options;
    one.input = input.string();
    one.inputs = {one.input};
    one.outDir.reset();
    if (options.task == 2)
        one.update = target.string();
    one.output = part.string();

    int status = EXIT_FAILURE;
    try {
        status = runBatchFile(one);
    } catch (const std::exception& e) {
        StderrFeedback::line("error", inUserTerms(e.what(), {}, target.string()));
    }
    std::fflush(stdout);

    JobCounts counts;
    try {
        countInput(input, std::atoi(one.rowsText.c_str()), one.sign, counts);
        const fs::path written = fs::exists(part) ? part : options.task == 2 ? target : fs::path();
        if (!written.empty())
            counts.rowsOut = countLines(written, [](std::string_view line) { return isDataRowStart(line); });
        const std::string report = readAll(reportFd);
        std::size_t start = 0;
        while (start < report.size()) {
            std::size_t end = report.find('\n', start);
            if (end == std::string::npos)
                end = report.size();
            counts.flaggedDays += isFlaggedDay(std::string_view(report).substr(start, end - start)) ? 1 : 0;
            start = end + 1;
        }
    } catch (const std::exception&) {
        // Counts are a courtesy; the conversion's own status stands.
    }
    [[maybe_unused]] const auto written = ::write(countsFd, &counts, sizeof counts);
    std::_Exit(status);
}

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

} // namespace

fs::path outputNameFor(const fs::path& input, const BatchOptions& options)
{
    const int task = options.task;
    const bool weatherFile = task == 1 || task == 2
        || (task >= 4 && kTasks[static_cast<std::size_t>(task - 1)].rearrangeOffered && options.rearrange);
    return input.stem().string() + (weatherFile ? ".wth" : ".txt");
}

int runManyFiles(const BatchOptions& options)
{
    std::vector<fs::path> files;
    try {
        files = expandInputs(options.inputs, options.glob);
    } catch (const Error& error) {
        std::fprintf(stderr, "pluvora-batch: %s\n%s", error.what(), kBatchUsage);
        return 2;
    }
    if (options.shardGiven)
        files = shardOf(files, options.shardIndex, options.shardCount);

    const fs::path outDir = *options.outDir;
    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (!fs::is_directory(outDir)) {
        StderrFeedback::line("error", "Cannot create the folder \"" + outDir.string() + "\"");
        return EXIT_FAILURE;
    }
    const fs::path summaryFile =
        outDir / (options.shardGiven ? "summary-" + std::to_string(options.shardIndex) + ".csv" : "summary.csv");

    // A resumed run keeps what the earlier run found out about the files
    // it does not convert again.
    std::map<std::string, FileResult> earlier;
    if (options.skipExisting && fs::exists(summaryFile)) {
        try {
            for (auto& row : readSummary(summaryFile))
                earlier[row.file] = std::move(row);
        } catch (const Error&) {
        }
    }

    int wake[2];
    if (::pipe(wake) != 0) {
        StderrFeedback::line("error", "Cannot start the run");
        return EXIT_FAILURE;
    }
    ::fcntl(wake[0], F_SETFL, O_NONBLOCK);
    reportSignalsTo(wake[1]);

    const int jobLimit = options.jobs > 0 ? options.jobs
                                          : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    std::vector<FileResult> results(files.size());
    std::vector<bool> reached(files.size(), false);
    std::map<pid_t, Job> running;
    std::map<fs::path, std::size_t> outputs; // which input owns an output name
    ProgressLine progress(files.size(), options.quiet);
    int signals = 0;
    std::size_t next = 0;
    const auto runStart = Clock::now();

    auto finish = [&](pid_t pid, int status) {
        Job job = running.at(pid);
        running.erase(pid);
        JobCounts counts;
        const bool told = ::read(job.countsFd, &counts, sizeof counts) == static_cast<ssize_t>(sizeof counts);
        ::close(job.countsFd);
        const std::string messages = readAll(job.messagesFd);
        ::close(job.messagesFd);

        FileResult& r = results[job.index];
        r.seconds = std::chrono::duration<double>(Clock::now() - job.start).count();
        r.firstMessage = firstLine(messages);
        r.rowsIn = counts.rowsIn;
        r.rowsOut = counts.rowsOut;
        r.flaggedDays = counts.flaggedDays;
        r.missingValues = counts.missingValues;
        const fs::path target = outDir / outputNameFor(files[job.index], options);
        std::error_code renameError;
        if (WIFEXITED(status) && told) {
            r.exitCode = WEXITSTATUS(status);
            r.status = r.exitCode == 0 ? "ok" : "failed";
            // Whatever the job wrote is whole: it went through a safe write.
            // Task 2 has updated the weather file itself; what it wrote is
            // the days it did not add, which must not take its place.
            if (fs::exists(job.part))
                fs::rename(job.part, options.task == 2 ? fs::path(target).replace_extension(".txt") : target,
                           renameError);
            if (renameError) {
                r.status = "failed";
                r.exitCode = EXIT_FAILURE;
                r.firstMessage = "error: Cannot write \"" + target.string() + "\"";
            }
        } else {
            fs::remove(job.part, renameError);
            r.exitCode = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : EXIT_FAILURE;
            r.status = signals > 1 ? "stopped" : "failed";
            if (r.firstMessage.empty() && WIFSIGNALED(status))
                r.firstMessage = "notice: ended by signal " + std::to_string(WTERMSIG(status));
        }
        if (r.status == "failed") {
            progress.interject("notice: " + r.file + " failed with exit status " + std::to_string(r.exitCode)
                               + "\n" + messages);
        }
        progress.fileDone(r.status == "failed");
    };

    auto start = [&](std::size_t index) {
        const fs::path& input = files[index];
        FileResult& r = results[index];
        r.file = input.string();
        reached[index] = true;
        const fs::path name = outputNameFor(input, options);
        const fs::path target = outDir / name;
        if (const auto [at, fresh] = outputs.emplace(name, index); !fresh) {
            r.status = "failed";
            r.exitCode = EXIT_FAILURE;
            r.firstMessage = "notice: " + target.string() + " is the output of " + files[at->second].string()
                           + " already";
            progress.interject(r.firstMessage + "\n");
            progress.fileDone(true);
            return;
        }
        if (options.skipExisting && fs::exists(target)) {
            if (const auto found = earlier.find(r.file); found != earlier.end() && found->second.status != "failed")
                r = found->second;
            else
                r.status = "skipped";
            progress.fileDone(false);
            return;
        }
        int counts[2];
        if (::pipe(counts) != 0)
            throw Error("Cannot start a job");
        Job job;
        job.index = index;
        job.countsFd = counts[0];
        job.messagesFd = anonymousFile();
        job.part = outDir / ("." + name.string() + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(index));
        job.start = Clock::now();
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid < 0)
            throw Error("Cannot start a job");
        if (pid == 0) {
            ::close(counts[0]);
            ::close(wake[0]);
            ::close(wake[1]);
            for (const auto& other : running) {
                ::close(other.second.countsFd);
                ::close(other.second.messagesFd);
            }
            runJob(options, input, target, job.part, job.messagesFd, counts[1]);
        }
        // Set from both sides, so a signal sent at once still finds it.
        ::setpgid(pid, pid);
        ::close(counts[1]);
        running.emplace(pid, job);
    };

    int exitStatus = EXIT_SUCCESS;
    try {
        for (;;) {
            while (signals == 0 && next < files.size() && static_cast<int>(running.size()) < jobLimit)
                start(next++);
            if (running.empty())
                break;
            std::vector<pollfd> watched;
            std::vector<pid_t> owners;
            watched.push_back({wake[0], POLLIN, 0});
            for (const auto& [pid, job] : running) {
                watched.push_back({job.countsFd, POLLIN, 0});
                owners.push_back(pid);
            }
            const int ready = ::poll(watched.data(), watched.size(), progress.refreshMillis());
            progress.tick();
            if (ready <= 0)
                continue;
            if (watched[0].revents) {
                unsigned char byte;
                while (::read(wake[0], &byte, 1) == 1) {
                    if (++signals == 1) {
                        progress.interject("notice: stopping: no new files are started; the running ones "
                                           "finish (signal again to stop them)\n");
                    } else {
                        for (const auto& entry : running)
                            ::kill(-entry.first, SIGTERM);
                    }
                }
            }
            for (std::size_t i = 1; i < watched.size(); ++i) {
                if (!(watched[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                // The counts come last, just before the process ends.
                int status = 0;
                if (::waitpid(owners[i - 1], &status, 0) == owners[i - 1])
                    finish(owners[i - 1], status);
            }
        }
    } catch (const std::exception& e) {
        StderrFeedback::line("error", e.what());
        for (const auto& entry : running)
            ::kill(-entry.first, SIGTERM);
        while (!running.empty()) {
            int status = 0;
            const pid_t pid = ::waitpid(-1, &status, 0);
            if (pid < 0)
                break;
            if (running.count(pid))
                finish(pid, status);
        }
        exitStatus = EXIT_FAILURE;
    }
    reportSignalsTo(-1);
    ::close(wake[0]);
    ::close(wake[1]);
    // Jobs that were stopped leave their scratch folders behind.
    clearStaleScratchFolders(fs::temp_directory_path());
    progress.clear();

    std::vector<FileResult> done;
    int failed = 0, skipped = 0, converted = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!reached[i])
            continue;
        done.push_back(results[i]);
        const std::string& status = results[i].status;
        if (status == "failed" || status == "stopped")
            ++failed;
        else if (status == "skipped")
            ++skipped;
        else
            ++converted;
    }
    try {
        const std::string text = summaryText(done);
        writeFileWhole(summaryFile, [&text](const fs::path& part) {
            TextWriter sink(part);
            sink.write(text);
            sink.close();
        });
    } catch (const std::exception& e) {
        StderrFeedback::line("error", inUserTerms(e.what(), {}, summaryFile.string()));
        exitStatus = EXIT_FAILURE;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - runStart).count();
    char total[256];
    std::snprintf(total, sizeof total, "%zu files: %d converted, %d failed, %d skipped, %zu not started, in %.1f s",
                  files.size(), converted, failed, skipped, files.size() - done.size(), seconds);
    StderrFeedback::line("notice", std::string(total) + "; summary in " + summaryFile.string());
    if (done.size() < files.size())
        StderrFeedback::line("notice", "run the same command with --skip-existing to convert the rest");
    if (failed > 0 || done.size() < files.size())
        exitStatus = EXIT_FAILURE;
    return exitStatus;
}

int runMergeSummaries(const std::string& folder)
{
    try {
        const int joined = mergeSummaries(folder);
        StderrFeedback::line("notice", std::to_string(joined) + " summaries joined into "
                                           + (fs::path(folder) / "summary.csv").string());
        return EXIT_SUCCESS;
    } catch (const std::exception& e) {
        StderrFeedback::line("error", e.what());
        return EXIT_FAILURE;
    }
}

} // namespace pluvora

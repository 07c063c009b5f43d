#include "batch/manyfiles.h"

#include "batch/batchrun.h"
#include "batch/inputlist.h"
#include "batch/progressline.h"
#include "batch/runsummary.h"
#include "batch/scratchfolder.h"
#include "batch/stderrfeedback.h"
#include "engine/error.h"
#include "engine/io/numbertext.h"
#include "engine/io/backupreplace.h"
#include "engine/columns/variablecatalogue.h"
#include "engine/io/textwriter.h"
#include "engine/run/usertermsmessage.h"
#include "engine/stage/taskcatalogue.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <cstdint>
#include <map>
#include <optional>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
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

// One file for a worker: which input, and where its output goes until it
// is whole.
struct Task {
    std::uint32_t index = 0;
    char part[4096] = {};
};

// A worker's answer for one file; `messages` bytes of its standard error
// follow.
struct Answer {
    std::uint32_t index = 0;
    int status = 0;
    bool targetChanged = false; // task 2: the weather file was updated
    JobCounts counts;
    std::uint32_t messages = 0;
};

// What a worker's standard error may carry back per file: enough for the
// first message and a failure's story.
constexpr std::size_t kMessageLimit = 16 * 1024;

// A file in memory to hold a process's standard error or report: no
// file system work per job.
int anonymousFile()
{
    const int fd = ::memfd_create("pluvora-batch-job", 0);
    if (fd < 0)
        throw Error("Cannot start a job");
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
// shorter than 5 characters) and how many of the values the run reads are
// missing: the missing sign, or an empty field where fields have a
// separator.
void countInput(const fs::path& input, const BatchOptions& run, JobCounts& counts)
{
    const DataLayout& layout = run.layout;
    const char separator = layout.fields == FieldSeparator::Comma       ? ','
                         : layout.fields == FieldSeparator::Semicolon ? ';'
                         : layout.fields == FieldSeparator::Tab       ? '\t'
                                                                      : '\0';
    // The fields of a row that become columns the run reads, 0-based.
    std::vector<bool> read;
    auto readAs = [&](std::size_t field, int column) {
        if (read.size() <= field)
            read.resize(field + 1, false);
        read[field] = layout.variable(column) > kIgnore;
    };
    if (run.pick) {
        for (std::size_t k = 0; k < run.pick->fields.size() && k < kColumnBoxes; ++k)
            if (run.pick->fields[k] >= 1)
                readAs(static_cast<std::size_t>(run.pick->fields[k] - 1), static_cast<int>(k) + 1);
    } else {
        for (int column = 1; column <= kColumnBoxes; ++column)
            readAs(static_cast<std::size_t>(column - 1), column);
    }
    const auto signValue = parseDecimal(run.sign);
    auto missing = [&](std::size_t field, std::string_view token) {
        if (field >= read.size() || !read[field])
            return false;
        if (token.size() >= 2 && token.front() == '"' && token.back() == '"')
            token = token.substr(1, token.size() - 2);
        if (token.empty() || token == run.sign)
            return true;
        const auto value = parseDecimal(token);
        return value && signValue && *value == *signValue;
    };
    std::ifstream in(input, std::ios::binary);
    std::string line;
    for (int skipped = 0, rows = std::atoi(run.rowsText.c_str()); skipped < rows && std::getline(in, line); ++skipped) {
    }
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() < 5)
            break;
        ++counts.rowsIn;
        const std::string_view row = line;
        std::size_t field = 0;
        if (separator != '\0') {
            for (std::size_t start = 0;; ++field) {
                const std::size_t end = row.find(separator, start);
                std::string_view token = row.substr(start, end == std::string_view::npos ? row.npos : end - start);
                while (!token.empty() && static_cast<unsigned char>(token.front()) <= 32)
                    token.remove_prefix(1);
                while (!token.empty() && static_cast<unsigned char>(token.back()) <= 32)
                    token.remove_suffix(1);
                counts.missingValues += missing(field, token) ? 1 : 0;
                if (end == std::string_view::npos)
                    break;
                start = end + 1;
            }
            continue;
        }
        for (std::size_t i = 0; i < row.size(); ++field) {
            while (i < row.size() && static_cast<unsigned char>(row[i]) <= 32)
                ++i;
            const std::size_t start = i;
            while (i < row.size() && static_cast<unsigned char>(row[i]) > 32)
                ++i;
            if (i > start)
                counts.missingValues += missing(field, row.substr(start, i - start)) ? 1 : 0;
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

bool readWhole(int fd, void* data, std::size_t size)
{
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::read(fd, bytes, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool writeWhole(int fd, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(fd, bytes, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

// One file as a single-file call would convert it, standard output and
// error caught for the run's records.
Answer convertOne(const BatchOptions& options, const fs::path& input, const fs::path& target,
                  const fs::path& part, std::string& messages)
{
    const int messagesFd = anonymousFile();
    const int reportFd = anonymousFile();
    ::dup2(messagesFd, STDERR_FILENO);
    ::dup2(reportFd, STDOUT_FILENO);

    BatchOptions one = options;
    one.input = input.string();
    one.inputs = {one.input};
    one.outDir.reset();
    if (options.task == 2)
        one.update = target.string();
    one.output = part.string();
    // Several files, each written whole where it belongs.
    if (modelFormatWritesManyFiles(options.format))
        one.output = target.string();

    // Task 2 tells what it appended by the weather file before and after.
    auto stateOf = [&target]() {
        struct stat info {};
        return ::stat(target.c_str(), &info) == 0
            ? std::optional(std::tuple{info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec})
            : std::nullopt;
    };
    auto dataRows = [](const fs::path& file) {
        return countLines(file, [](std::string_view line) { return isDataRowStart(line); });
    };
    const auto before = stateOf();
    long rowsBefore = 0;
    if (options.task == 2 && before) {
        try {
            rowsBefore = dataRows(target);
        } catch (const std::exception&) {
        }
    }

    Answer answer;
    answer.status = EXIT_FAILURE;
    try {
        answer.status = runBatchFile(one, &one);
    } catch (const std::exception& e) {
        StderrFeedback::line("error", inUserTerms(e.what(), {}, target.string()));
    }
    std::fflush(stdout);

    JobCounts& counts = answer.counts;
    try {
        countInput(input, one, counts);
        answer.targetChanged = options.task == 2 && stateOf() != before;
        if (options.task == 2)
            counts.rowsOut = answer.targetChanged ? dataRows(target) - rowsBefore : 0;
        else if (fs::exists(part))
            counts.rowsOut = dataRows(part);
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
    messages = readAll(messagesFd);
    if (messages.size() > kMessageLimit)
        messages.resize(kMessageLimit);
    ::close(messagesFd);
    ::close(reportFd);
    return answer;
}

// A worker process: converts the files the run hands it, one at a time,
// until the run closes its task pipe. Many files per process keep the
// cost of a process off each file.
[[noreturn]] void workerLoop(const BatchOptions& options, const std::vector<fs::path>& files,
                             const fs::path& outDir, int tasksFd, int answersFd)
{
    // The run decides when a worker stops; a Ctrl-C at the terminal
    // reaches the run alone.
    ::setpgid(0, 0);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    ::pthread_sigmask(SIG_SETMASK, &none, nullptr);

    Task task;
    while (readWhole(tasksFd, &task, sizeof task)) {
        const fs::path& input = files.at(task.index);
        std::string messages;
        Answer answer = convertOne(options, input, outDir / outputNameFor(input, options), task.part, messages);
        answer.index = task.index;
        answer.messages = static_cast<std::uint32_t>(messages.size());
        if (!writeWhole(answersFd, &answer, sizeof answer) || !writeWhole(answersFd, messages.data(), messages.size()))
            break;
    }
    std::_Exit(EXIT_SUCCESS);
}

// The first message that is more than advice; the first notice when
// there is none, so a failure's row names its failure.
std::string firstLine(const std::string& text)
{
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line(text.data() + start, end - start);
        if (line.rfind("notice: ", 0) != 0 && line.rfind("note: ", 0) != 0)
            return std::string(line);
        start = end + 1;
    }
    return text.substr(0, text.find('\n'));
}

// A job's output until it is whole: a short hidden name of the run's
// process and the input's place, so a long input name cannot make it too
// long, and the temporary file beside it starts with it too.
constexpr std::string_view kPartPrefix = ".pluvora-part-";

fs::path partFor(const fs::path& outDir, pid_t run, std::size_t index)
{
    return outDir / (std::string(kPartPrefix) + std::to_string(run) + "-" + std::to_string(index));
}

// The run that left a partial file: the process id in its name, with or
// without the temporary file's extra dot; 0 when the name is not one.
pid_t partOwner(std::string_view name)
{
    if (name.starts_with(".."))
        name.remove_prefix(1);
    if (!name.starts_with(kPartPrefix))
        return 0;
    name.remove_prefix(kPartPrefix.size());
    const std::size_t dash = name.find('-');
    const auto pid = parseInteger(name.substr(0, dash));
    return dash != std::string_view::npos && pid && *pid > 0 ? static_cast<pid_t>(*pid) : 0;
}

// Removes the partial files in `outDir` of this run whose name begins with
// `prefix` (all of this run's when empty), and those of runs that no
// longer run.
void removePartialFiles(const fs::path& outDir, const std::string& prefix = {})
{
    std::error_code ec;
    for (fs::directory_iterator it(outDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const pid_t owner = partOwner(name);
        if (owner == 0)
            continue;
        const bool ours = owner == ::getpid()
            && (prefix.empty() || name == prefix || name.starts_with("." + prefix + "."));
        const bool gone = owner != ::getpid() && ::kill(owner, 0) != 0 && errno == ESRCH;
        std::error_code removeError;
        if (ours || gone)
            fs::remove(it->path(), removeError);
    }
}

// Everything the run writes for `input` in `outDir`: its output, and for
// task 2 the backup of the weather file and the days not appended.
std::vector<fs::path> writtenFor(const fs::path& input, const fs::path& outDir, const BatchOptions& options)
{
    const fs::path target = outDir / outputNameFor(input, options);
    if (options.task != 2)
        return {target};
    return {target, backupPathFor(target), fs::path(target).replace_extension(".txt")};
}

// The first file the run would write over one of its inputs, told as the
// reason to refuse the run; compared as files, so links and other names of
// the folder are found too.
std::optional<std::string> outputOverInput(const std::vector<fs::path>& files, const fs::path& outDir,
                                           const fs::path& summaryFile, const BatchOptions& options)
{
    std::map<std::pair<dev_t, ino_t>, std::size_t> inputs;
    for (std::size_t i = 0; i < files.size(); ++i) {
        struct stat info {};
        if (::stat(files[i].c_str(), &info) == 0)
            inputs.emplace(std::pair{info.st_dev, info.st_ino}, i);
    }
    auto inputAt = [&](const fs::path& file) -> std::optional<std::size_t> {
        struct stat info {};
        if (::stat(file.c_str(), &info) != 0)
            return std::nullopt;
        const auto found = inputs.find({info.st_dev, info.st_ino});
        return found == inputs.end() ? std::nullopt : std::optional(found->second);
    };
    for (const fs::path& input : files)
        for (const fs::path& written : writtenFor(input, outDir, options))
            if (const auto at = inputAt(written))
                return "the output \"" + written.string() + "\" of \"" + input.string()
                       + "\" would replace the input \"" + files[*at].string()
                       + "\": give an --out-dir that holds no input";
    if (const auto at = inputAt(summaryFile))
        return "the summary \"" + summaryFile.string() + "\" would replace the input \"" + files[*at].string()
               + "\": give an --out-dir that holds no input";
    return std::nullopt;
}

} // namespace

fs::path outputNameFor(const fs::path& input, const BatchOptions& options)
{
    const int task = options.task;
    const bool weatherFile = task == 1 || task == 2
        || (task >= 4 && kTasks[static_cast<std::size_t>(task - 1)].rearrangeOffered && options.rearrange);
    if (task == 1 && options.format != ModelFormat::Wth)
        return input.stem().string() + std::string(modelFormatExtension(options.format));
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
    // Without --site, every file's own header must state its site.
    if (options.columnsAuto && !options.siteLine && siteNeeded(options) &&
        (files.empty() || !std::all_of(files.begin(), files.end(),
                                       [](const fs::path& file) { return headerMayGiveSite(file.string()); }))) {
        std::fprintf(stderr, "pluvora-batch: %s\n%s", kSiteRequired, kBatchUsage);
        return 2;
    }
    if (files.empty()) {
        StderrFeedback::line("error", options.glob == "*" ? std::string("There is no file to convert in the inputs given.")
                                                          : "No file of the inputs given matches --glob \""
                                                                + options.glob + "\".");
        return EXIT_FAILURE;
    }
    fs::path temporary;
    try {
        temporary = temporaryFolder();
    } catch (const Error& error) {
        StderrFeedback::line("error", error.what());
        return EXIT_FAILURE;
    }

    const fs::path outDir = *options.outDir;
    const fs::path summaryFile =
        outDir / (options.shardGiven ? "summary-" + std::to_string(options.shardIndex) + ".csv" : "summary.csv");
    if (const auto clash = outputOverInput(files, outDir, summaryFile, options)) {
        std::fprintf(stderr, "pluvora-batch: %s\n%s", clash->c_str(), kBatchUsage);
        return 2;
    }
    // Two inputs of one name are found in the whole list, so that every
    // shard gives the name to the same input.
    std::vector<std::optional<std::size_t>> earlierOwner(files.size());
    {
        std::map<fs::path, std::size_t> owners;
        for (std::size_t i = 0; i < files.size(); ++i)
            if (const auto [at, fresh] = owners.emplace(outputNameFor(files[i], options), i); !fresh)
                earlierOwner[i] = at->second;
    }
    std::vector<fs::path> everyFile = files;
    std::vector<std::optional<std::size_t>> owned = earlierOwner;
    if (options.shardGiven) {
        files = shardOf(everyFile, options.shardIndex, options.shardCount);
        owned.clear();
        for (std::size_t i = static_cast<std::size_t>(options.shardIndex); i < everyFile.size();
             i += static_cast<std::size_t>(options.shardCount))
            owned.push_back(earlierOwner[i]);
    }

    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (!fs::is_directory(outDir)) {
        StderrFeedback::line("error", "Cannot create the folder \"" + outDir.string() + "\"");
        return EXIT_FAILURE;
    }

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
    ::fcntl(wake[0], F_SETFD, FD_CLOEXEC);
    reportSignalsTo(wake[1]);

    // Partial files of runs that were killed are of no use to anyone.
    removePartialFiles(outDir);
    int jobLimit = options.jobs > 0 ? options.jobs : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    std::vector<FileResult> results(files.size());
    std::vector<bool> reached(files.size(), false);
    ProgressLine progress(files.size(), options.quiet);
    int signals = 0;
    std::size_t next = 0;
    // A file taken from the list that no worker could start yet.
    std::optional<std::size_t> pending;
    bool startingStopped = false;
    const auto runStart = Clock::now();

    struct Worker {
        pid_t pid = 0;
        int tasksFd = -1;
        int answersFd = -1;
        std::optional<std::size_t> busy; // the file it converts
        fs::path part;
        Clock::time_point start;
    };
    std::vector<Worker> workers;

    auto spawn = [&]() {
        int tasks[2], answers[2];
        auto cannotStart = [] { return Error(std::string("Cannot start a job: ") + std::strerror(errno)); };
        if (::pipe(tasks) != 0)
            throw cannotStart();
        if (::pipe(answers) != 0) {
            const Error error = cannotStart();
            ::close(tasks[0]);
            ::close(tasks[1]);
            throw error;
        }
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid < 0) {
            const Error error = cannotStart();
            for (const int fd : {tasks[0], tasks[1], answers[0], answers[1]})
                ::close(fd);
            throw error;
        }
        if (pid == 0) {
            // Other workers' pipes stay with the run, so each worker sees
            // the end of its own task pipe.
            for (const Worker& other : workers) {
                ::close(other.tasksFd);
                ::close(other.answersFd);
            }
            ::close(wake[0]);
            ::close(wake[1]);
            ::close(tasks[1]);
            ::close(answers[0]);
            workerLoop(options, files, outDir, tasks[0], answers[1]);
        }
        // Set from both sides, so a signal sent at once still finds it.
        ::setpgid(pid, pid);
        ::close(tasks[0]);
        ::close(answers[1]);
        Worker worker;
        worker.pid = pid;
        worker.tasksFd = tasks[1];
        worker.answersFd = answers[0];
        workers.push_back(worker);
    };

    auto record = [&](const Worker& worker, const Answer* answer, const std::string& messages, int waitStatus) {
        const std::size_t index = *worker.busy;
        FileResult& r = results[index];
        r.seconds = std::chrono::duration<double>(Clock::now() - worker.start).count();
        r.firstMessage = firstLine(messages);
        const fs::path target = outDir / outputNameFor(files[index], options);
        std::error_code renameError;
        if (answer) {
            r.rowsIn = answer->counts.rowsIn;
            r.rowsOut = answer->counts.rowsOut;
            r.flaggedDays = answer->counts.flaggedDays;
            r.missingValues = answer->counts.missingValues;
            r.exitCode = answer->status;
            r.status = r.exitCode == 0 ? "ok" : "failed";
            // Task 2 resumed: an input whose days the file has already.
            const bool alreadyIn = options.task == 2 && options.skipExisting && r.exitCode == 0
                && !answer->targetChanged;
            if (alreadyIn) {
                if (const auto found = earlier.find(r.file); found != earlier.end() && found->second.status != "failed")
                    r = found->second;
                else
                    r.status = "skipped";
                fs::remove(worker.part, renameError);
            }
            // Whatever the job wrote is whole: it went through a safe write.
            // Task 2 has updated the weather file itself; what it wrote is
            // the days it did not add, which must not take its place.
            if (!alreadyIn && fs::exists(worker.part))
                fs::rename(worker.part,
                           options.task == 2 ? fs::path(target).replace_extension(".txt") : target, renameError);
            if (renameError) {
                r.status = "failed";
                r.exitCode = EXIT_FAILURE;
                r.firstMessage = "error: Cannot write \"" + target.string() + "\"";
            }
        } else {
            // The worker ended in the middle of the file, maybe with the
            // temporary file of the part's safe write beside it.
            removePartialFiles(outDir, worker.part.filename().string());
            r.exitCode = WIFSIGNALED(waitStatus) ? 128 + WTERMSIG(waitStatus) : EXIT_FAILURE;
            r.status = signals > 1 ? "stopped" : "failed";
            if (r.firstMessage.empty() && WIFSIGNALED(waitStatus))
                r.firstMessage = "notice: ended by signal " + std::to_string(WTERMSIG(waitStatus));
        }
        if (r.status == "failed")
            progress.interject("notice: " + r.file + " failed with exit status " + std::to_string(r.exitCode) + "\n"
                               + messages);
        progress.fileDone(r.status == "failed");
    };

    // The next file that needs converting, its result set for the others.
    auto nextToConvert = [&]() -> std::optional<std::size_t> {
        while (next < files.size()) {
            const std::size_t index = next++;
            const fs::path& input = files[index];
            FileResult& r = results[index];
            r.file = input.string();
            if (options.formatGiven)
                r.format = std::string(modelFormatName(options.format));
            reached[index] = true;
            const fs::path target = outDir / outputNameFor(input, options);
            if (owned[index]) {
                r.status = "failed";
                r.exitCode = EXIT_FAILURE;
                r.firstMessage = "notice: " + target.string() + " is the output of "
                               + everyFile[*owned[index]].string() + " already";
                progress.interject(r.firstMessage + "\n");
                progress.fileDone(true);
                continue;
            }
            // Task 2's weather file is there from the start: whether an
            // input's days are in it is found by its job.
            if (options.skipExisting && options.task != 2 && fs::exists(target)) {
                if (const auto found = earlier.find(r.file);
                    found != earlier.end() && found->second.status != "failed")
                    r = found->second;
                else
                    r.status = "skipped";
                progress.fileDone(false);
                continue;
            }
            return index;
        }
        return std::nullopt;
    };

    auto hire = [&](Worker& worker, std::size_t index) {
        Task task;
        task.index = static_cast<std::uint32_t>(index);
        worker.part = partFor(outDir, ::getpid(), index);
        std::snprintf(task.part, sizeof task.part, "%s", worker.part.c_str());
        worker.busy = index;
        worker.start = Clock::now();
        if (!writeWhole(worker.tasksFd, &task, sizeof task))
            throw Error("Cannot hand a file to a job");
    };

    auto retire = [&](std::size_t at) {
        Worker& worker = workers[at];
        ::close(worker.tasksFd);
        ::close(worker.answersFd);
        int status = 0;
        ::waitpid(worker.pid, &status, 0);
        workers.erase(workers.begin() + static_cast<std::ptrdiff_t>(at));
        return status;
    };

    int exitStatus = EXIT_SUCCESS;
    try {
        for (;;) {
            // Idle workers get the next files; more workers while there is
            // work for them.
            if (signals == 0 && !startingStopped) {
                for (Worker& worker : workers) {
                    if (worker.busy)
                        continue;
                    if (const auto index = pending ? std::exchange(pending, std::nullopt) : nextToConvert())
                        hire(worker, *index);
                }
                while (static_cast<int>(workers.size()) < jobLimit && next < files.size()) {
                    const auto index = pending ? std::exchange(pending, std::nullopt) : nextToConvert();
                    if (!index)
                        break;
                    try {
                        spawn();
                    } catch (const Error& error) {
                        // The workers there are go on with the files; with
                        // none, the file is told failed and no more start.
                        jobLimit = static_cast<int>(workers.size());
                        if (workers.empty()) {
                            FileResult& r = results[*index];
                            r.status = "failed";
                            r.exitCode = EXIT_FAILURE;
                            r.firstMessage = std::string("error: ") + error.what();
                            progress.interject(r.firstMessage + "\n");
                            progress.fileDone(true);
                            startingStopped = true;
                        } else {
                            pending = index;
                            progress.interject("notice: " + std::string(error.what()) + "; the run goes on with "
                                               + std::to_string(workers.size()) + " jobs\n");
                        }
                        break;
                    }
                    hire(workers.back(), *index);
                }
            }
            // Workers without work go; the run ends with the last.
            for (std::size_t i = workers.size(); i-- > 0;)
                if (!workers[i].busy)
                    retire(i);
            if (workers.empty())
                break;

            std::vector<pollfd> watched;
            watched.push_back({wake[0], POLLIN, 0});
            for (const Worker& worker : workers)
                watched.push_back({worker.answersFd, POLLIN, 0});
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
                        for (const Worker& worker : workers)
                            ::kill(-worker.pid, SIGTERM);
                    }
                }
            }
            for (std::size_t i = watched.size() - 1; i >= 1; --i) {
                if (!(watched[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const std::size_t at = i - 1;
                Answer answer;
                std::string messages;
                bool answered = readWhole(workers[at].answersFd, &answer, sizeof answer);
                if (answered) {
                    messages.resize(answer.messages);
                    answered = readWhole(workers[at].answersFd, messages.data(), messages.size());
                }
                if (answered) {
                    record(workers[at], &answer, messages, 0);
                    workers[at].busy.reset();
                } else {
                    // The worker died with its file: a crash, or stopped.
                    const Worker lost = workers[at];
                    const int status = retire(at);
                    record(lost, nullptr, {}, status);
                }
            }
        }
    } catch (const std::exception& e) {
        StderrFeedback::line("error", e.what());
        for (const Worker& worker : workers)
            ::kill(-worker.pid, SIGTERM);
        while (!workers.empty()) {
            const Worker lost = workers.back();
            const int status = retire(workers.size() - 1);
            if (lost.busy)
                record(lost, nullptr, {}, status);
        }
        exitStatus = EXIT_FAILURE;
    }
    removePartialFiles(outDir);
    reportSignalsTo(-1);
    ::close(wake[0]);
    ::close(wake[1]);
    // Jobs that were stopped leave their scratch folders behind.
    clearStaleScratchFolders(temporary);
    progress.clear();

    std::vector<FileResult> done;
    int failed = 0, stopped = 0, skipped = 0, converted = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        // Taken from the list but never handed to a job: not started.
        if (!reached[i] || results[i].status.empty())
            continue;
        done.push_back(results[i]);
        const std::string& status = results[i].status;
        if (status == "failed")
            ++failed;
        else if (status == "stopped")
            ++stopped;
        else if (status == "skipped")
            ++skipped;
        else
            ++converted;
    }
    bool summaryWritten = false;
    try {
        const std::string text = summaryText(done);
        writeFileWhole(summaryFile, [&text](const fs::path& part) {
            TextWriter sink(part);
            sink.write(text);
            sink.close();
        });
        if (options.shardGiven)
            writeShardMark(outDir, {options.shardIndex, options.shardCount, everyFile.size()});
        summaryWritten = true;
    } catch (const std::exception& e) {
        StderrFeedback::line("error", inUserTerms(e.what(), {}, summaryFile.string()));
        exitStatus = EXIT_FAILURE;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - runStart).count();
    char total[256];
    std::snprintf(total, sizeof total, "%zu files: %d converted, %d failed, %d skipped, %zu not started, in %.1f s",
                  files.size(), converted, failed + stopped, skipped, files.size() - done.size(), seconds);
    StderrFeedback::line("notice", std::string(total)
                                       + (summaryWritten ? "; summary in " + summaryFile.string() : "; no summary"));
    if (done.size() < files.size())
        StderrFeedback::line("notice", "run the same command with --skip-existing to convert the rest");
    if (failed + stopped > 0 || done.size() < files.size())
        exitStatus = EXIT_FAILURE;
    return exitStatus;
}

int runMergeSummaries(const std::string& folder)
{
    try {
        const MergedSummaries joined = mergeSummaries(folder);
        std::string told = "shards 0 to " + std::to_string(joined.shards - 1) + " joined into "
                         + (fs::path(folder) / "summary.csv").string() + ": " + std::to_string(joined.rows)
                         + " rows of " + std::to_string(joined.inputs) + " inputs";
        if (joined.rows < joined.inputs)
            told += "; the others were not started: run the shards again with --skip-existing";
        StderrFeedback::line("notice", told);
        return EXIT_SUCCESS;
    } catch (const std::exception& e) {
        StderrFeedback::line("error", e.what());
        return EXIT_FAILURE;
    }
}

} // namespace pluvora

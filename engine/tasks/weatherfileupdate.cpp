#include "engine/tasks/weatherfileupdate.h"

#include "engine/error.h"
#include "engine/io/numbertext.h"
#include "engine/table/paneltext.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

// Head rows of a weather file: site name, coordinates, column names, units.
constexpr std::size_t kHeadRows = 4;
// Lines quoted in a message are cut here; a weather row is shorter.
constexpr std::size_t kQuotedLineLimit = 60;

bool isSeparator(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view nextToken(std::string_view line, std::size_t& pos)
{
    while (pos < line.size() && isSeparator(line[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !isSeparator(line[pos]))
        ++pos;
    return line.substr(start, pos - start);
}

// A line read as a weather row: year, day of year, and the rest of the line
// from the character after the day's digits (the tab before the solar
// radiation in a weather file).
struct Row {
    enum Kind { Blank, NotARow, Read } kind = Blank;
    int year = 0;
    int day = 0;
    std::string_view rest;
};

Row readRow(std::string_view line)
{
    Row row;
    std::size_t pos = 0;
    const std::string_view yearToken = nextToken(line, pos);
    if (yearToken.empty())
        return row;
    row.kind = Row::NotARow;
    const auto year = parseInteger(yearToken);
    if (!year)
        return row;
    row.year = *year;
    const auto day = parseInteger(nextToken(line, pos));
    if (!day)
        return row;
    row.day = *day;
    row.rest = line.substr(pos);
    row.kind = Row::Read;
    return row;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days since 1 January of year 1 of the proleptic calendar, or nothing for
// a day that its year does not have.
std::optional<long long> dateOf(int year, int day)
{
    if (year < 1 || day < 1 || day > (isLeapYear(year) ? 366 : 365))
        return std::nullopt;
    const long long before = static_cast<long long>(year) - 1;
    return before * 365 + before / 4 - before / 100 + before / 400 + day;
}

// The weather file's lines one at a time, split as the panel splits text:
// at LF, with one CR before it dropped. Memory stays flat in the file's
// size; a line longer than any weather row is refused.
class LineReader {
public:
    static constexpr std::size_t kLongestLine = 1 << 20;

    LineReader(int fd, std::string name, std::size_t longestLine = kLongestLine)
        : mFd(fd), mName(std::move(name)), mLongestLine(longestLine), mBuffer(kBlock)
    {
        if (::lseek(mFd, 0, SEEK_SET) != 0)
            throw Error("Cannot read file \"" + mName + "\": " + std::strerror(errno));
    }

    bool next(std::string_view& line)
    {
        mLine.clear();
        for (;;) {
            if (mPos == mLen && !fill()) {
                if (mLine.empty() && !mPartial)
                    return false;
                mPartial = false;
                break;
            }
            const char* begin = mBuffer.data() + mPos;
            const void* found = std::memchr(begin, '\n', mLen - mPos);
            const std::size_t take = found ? static_cast<std::size_t>(static_cast<const char*>(found) - begin)
                                           : mLen - mPos;
            mLine.append(begin, take);
            mPartial = true;
            if (mLine.size() > mLongestLine)
                throw Error(lineTooLongMessage(mNumber + 1, mName));
            mPos += take;
            if (found) {
                ++mPos;
                mPartial = false;
                break;
            }
        }
        ++mNumber;
        if (!mLine.empty() && mLine.back() == '\r')
            mLine.pop_back();
        line = mLine;
        return true;
    }
    std::size_t number() const { return mNumber; }

private:
    static constexpr std::size_t kBlock = 1 << 18;

    bool fill()
    {
        for (;;) {
            const ssize_t got = ::read(mFd, mBuffer.data(), mBuffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw Error("Cannot read file \"" + mName + "\": " + std::strerror(errno));
            mPos = 0;
            mLen = static_cast<std::size_t>(got);
            return got > 0;
        }
    }

    int mFd;
    std::string mName;
    std::size_t mLongestLine;
    std::vector<char> mBuffer;
    std::size_t mPos = 0;
    std::size_t mLen = 0;
    std::string mLine;
    bool mPartial = false;
    std::size_t mNumber = 0;
};

bool isBlank(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return isSeparator(c); });
}

// What a first reading of the existing file found: its last day, and how
// many of its lines the updated file keeps (all but blank ones at its end).
struct ExistingFile {
    long long lastDate = 0;
    std::size_t keptLines = 0;
};

ExistingFile scanExistingFile(int fd, const std::string& name)
{
    LineReader reader(fd, name);
    ExistingFile file;
    std::optional<Row> last;
    std::string lastLine;
    std::size_t lastNumber = 0;
    std::string_view line;
    while (reader.next(line)) {
        const std::size_t number = reader.number();
        if (!isBlank(line))
            file.keptLines = number;
        if (number <= kHeadRows)
            continue;
        const Row row = readRow(line);
        if (row.kind == Row::Blank)
            continue;
        if (row.kind == Row::NotARow)
            throw Error(updateRowMessage(kInvalidNumericInput, number, name, line));
        // An end mark or a row before year 1 is no day: the update could
        // not keep it in its place, and dropping it would lose the user's
        // text.
        if (row.year <= 0)
            throw Error(lineWouldBeLostMessage(number, name, line));
        last = row;
        lastLine = line;
        lastNumber = number;
    }
    if (!last)
        throw Error(noDataRowsMessage(name));
    const Row lastRow = readRow(lastLine);
    const auto date = dateOf(lastRow.year, lastRow.day);
    if (!date)
        throw Error(updateRowMessage(noSuchDayMessage(lastRow.year, lastRow.day), lastNumber, name, lastLine));
    file.lastDate = *date;
    return file;
}

void putRow(const PutText& put, const Row& row)
{
    char number[16];
    put(std::string_view(number, static_cast<std::size_t>(
                                     std::to_chars(number, number + sizeof number, row.year).ptr - number)));
    put("\t");
    put(std::string_view(number, static_cast<std::size_t>(
                                     std::to_chars(number, number + sizeof number, row.day).ptr - number)));
    put(row.rest);
    put("\r\n");
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
           && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The weather file, open and locked against other updates for as long as
// this lives. Advisory: it keeps two runs of this program apart.
class LockedWeatherFile {
public:
    LockedWeatherFile(const fs::path& real, const std::string& name, UserFeedback& ui,
                      std::chrono::milliseconds wait)
    {
        bool told = false;
        const auto deadline = std::chrono::steady_clock::now() + wait;
        for (;;) {
            // Not blocking: a FIFO would wait for a writer here.
            mFd = ::open(real.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (mFd < 0)
                throw Error("Cannot open file \"" + real.string() + "\": " + std::strerror(errno));
            if (::fstat(mFd, &mInfo) != 0)
                throw Error("Cannot open file \"" + real.string() + "\": " + std::strerror(errno));
            if (S_ISDIR(mInfo.st_mode))
                throw Error("Cannot open file \"" + real.string() + "\": it is a folder");
            if (!S_ISREG(mInfo.st_mode))
                throw Error(notARegularFileMessage(name));
            while (::flock(mFd, LOCK_EX | LOCK_NB) != 0) {
                // A file system without locks: nothing to wait for.
                if (errno != EWOULDBLOCK && errno != EINTR)
                    break;
                if (std::chrono::steady_clock::now() >= deadline)
                    throw Error(updateStillRunningMessage(name, wait));
                if (!told) {
                    ui.notice(waitingForUpdateMessage(name, wait));
                    told = true;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            // The run we waited for has put a new file in place: lock that.
            struct stat now {};
            if (::stat(real.c_str(), &now) == 0 && now.st_dev == mInfo.st_dev && now.st_ino == mInfo.st_ino) {
                ::fstat(mFd, &mInfo);
                return;
            }
            ::close(mFd);
            mFd = -1;
        }
    }
    ~LockedWeatherFile()
    {
        if (mFd >= 0)
            ::close(mFd);
    }
    LockedWeatherFile(const LockedWeatherFile&) = delete;
    LockedWeatherFile& operator=(const LockedWeatherFile&) = delete;

    int fd() const { return mFd; }
    // Whether `real` still is the file as it was when locked.
    bool unchanged(const fs::path& real) const
    {
        struct stat now {};
        return ::stat(real.c_str(), &now) == 0 && sameFile(now, mInfo);
    }

private:
    int mFd = -1;
    struct stat mInfo {};
};

// A row of the new data with its date; rows that cannot be dated end the
// update, naming the row by its line (`index` from 0).
struct DatedRow {
    Row row;
    long long date = 0;
};

DatedRow datedNewRow(std::string_view line, std::size_t index)
{
    const Row row = readRow(line);
    if (row.kind != Row::Read)
        throw Error(updateRowMessage(kInvalidNumericInput, index + 1, kNewDataSource, line));
    const auto date = dateOf(row.year, row.day);
    if (!date)
        throw Error(updateRowMessage(noSuchDayMessage(row.year, row.day), index + 1, kNewDataSource, line));
    return {row, *date};
}

// The new data's lines, read back from the work file savePanelText wrote,
// as the panel's text splits them: the work file's CR LF goes, then one CR
// the panel line itself ended with. Memory stays flat in the number of
// lines; a line is held whole, however long, as the panel held it.
class NewDataLines {
public:
    explicit NewDataLines(const fs::path& file)
        : mFd(::open(file.c_str(), O_RDONLY | O_CLOEXEC)),
          mReader(checkedFd(mFd, file), file.string(), std::numeric_limits<std::size_t>::max())
    {
    }
    ~NewDataLines() { ::close(mFd); }
    NewDataLines(const NewDataLines&) = delete;
    NewDataLines& operator=(const NewDataLines&) = delete;

    bool next(std::string_view& line)
    {
        if (!mReader.next(line))
            return false;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return true;
    }
    // The next line that is not blank, as the rows of the new data are.
    bool nextRow(std::string_view& line)
    {
        while (next(line))
            if (readRow(line).kind != Row::Blank)
                return true;
        return false;
    }
    // Reads on so that the next line read is line `index`.
    void skipTo(std::size_t index)
    {
        std::string_view line;
        while (mReader.number() < index && next(line)) {
        }
    }
    // The line last read, from 0.
    std::size_t index() const { return mReader.number() - 1; }

private:
    static int checkedFd(int fd, const fs::path& file)
    {
        if (fd < 0)
            throw Error("Cannot read file \"" + file.string() + "\": " + std::strerror(errno));
        return fd;
    }

    int mFd;
    LineReader mReader;
};

// Finds where the new data begin, one line after another, so that the
// lines need not be held: for each row it keeps only the row above it and
// where the run of days ending there began.
class DataStartFinder {
public:
    // Takes line `index`; true once the start is known.
    bool take(std::string_view line, std::size_t index)
    {
        const Row row = readRow(line);
        if (row.kind == Row::Blank)
            return false;
        const auto date = row.kind == Row::Read ? dateOf(row.year, row.day) : std::nullopt;
        const bool afterUpper = date && mUpper && mUpper->date;
        if (afterUpper && mUpper->year == row.year && *date > *mUpper->date) {
            mStart = mUpper->runStart;
            return true;
        }
        const bool continues = afterUpper && *date == *mUpper->date + 1;
        mUpper = Upper{row.year, date, continues ? mUpper->runStart : index};
        return false;
    }
    std::optional<std::size_t> start() const { return mStart; }

private:
    struct Upper {
        int year = 0;
        std::optional<long long> date;
        std::size_t runStart = 0;
    };
    std::optional<Upper> mUpper;
    std::optional<std::size_t> mStart;
};

// Where the rows of the new data begin: `given` when the data have that
// many lines, otherwise as firstNewDataRow finds it.
std::optional<std::size_t> newDataStartOf(const fs::path& file, std::optional<std::size_t> given)
{
    NewDataLines lines(file);
    DataStartFinder finder;
    std::string_view line;
    while (lines.next(line)) {
        if (given && lines.index() >= *given)
            return given;
        if (!finder.start() && finder.take(line, lines.index()) && !given)
            return finder.start();
    }
    return finder.start();
}

struct DayOfYear {
    int year = 0;
    int day = 0;
};

// The first row of the new data, from `start`, whose day the weather file
// does not have; every row there is dated already. The rows are taken a
// bounded number at a time, the file read once for each such part.
std::optional<DayOfYear> firstDayNotInFile(const fs::path& newData, std::size_t start, int fd,
                                           const std::string& name)
{
    constexpr std::size_t kRowsAtATime = std::size_t{1} << 19;
    struct DatedDay {
        long long date;
        DayOfYear day;
    };
    NewDataLines lines(newData);
    lines.skipTo(start);
    std::vector<DatedDay> rows;
    std::vector<long long> dates;
    std::string_view line;
    for (bool more = true; more;) {
        rows.clear();
        while (rows.size() < kRowsAtATime && (more = lines.nextRow(line))) {
            const DatedRow row = datedNewRow(line, lines.index());
            rows.push_back({row.date, {row.row.year, row.row.day}});
        }
        if (rows.empty())
            break;
        dates.clear();
        for (const DatedDay& row : rows)
            dates.push_back(row.date);
        std::sort(dates.begin(), dates.end());
        dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
        std::vector<bool> inFile(dates.size(), false);
        LineReader reader(fd, name);
        std::string_view fileLine;
        while (reader.next(fileLine)) {
            if (reader.number() <= kHeadRows)
                continue;
            const Row row = readRow(fileLine);
            const auto date = row.kind == Row::Read ? dateOf(row.year, row.day) : std::nullopt;
            if (!date)
                continue;
            const auto at = std::lower_bound(dates.begin(), dates.end(), *date);
            if (at != dates.end() && *at == *date)
                inFile[static_cast<std::size_t>(at - dates.begin())] = true;
        }
        for (const DatedDay& row : rows) {
            const auto at = std::lower_bound(dates.begin(), dates.end(), row.date);
            if (!inFile[static_cast<std::size_t>(at - dates.begin())])
                return row.day;
        }
    }
    return std::nullopt;
}

} // namespace

std::string weatherFileUpdatedMessage(std::string_view fileName)
{
    return std::string(fileName) + " is now updated. The origina file is renamed to '"
           + std::string(fileName) + ".old.'";
}

std::string updateRowMessage(std::string_view problem, std::size_t lineNumber, std::string_view source,
                             std::string_view line)
{
    std::string quoted(line.substr(0, kQuotedLineLimit));
    for (char& c : quoted)
        if (c == '\t')
            c = ' ';
    if (line.size() > kQuotedLineLimit)
        quoted += "...";
    return std::string(problem) + " in line " + std::to_string(lineNumber) + " of "
           + std::string(source) + ": \"" + quoted + "\". The weather file is not updated.";
}

std::string noSuchDayMessage(int year, int dayOfYear)
{
    return "Day " + std::to_string(dayOfYear) + " does not exist in year " + std::to_string(year);
}

std::string earlierDaysMessage(std::string_view fileName, int year, int dayOfYear)
{
    return "The output data hold days before the end of " + std::string(fileName)
           + " that it does not have, the first " + std::to_string(year) + " / " + std::to_string(dayOfYear)
           + ": they are not appended.";
}

std::string noDataRowsMessage(std::string_view fileName)
{
    return std::string(fileName)
           + " holds no data rows after its four head rows. The weather file is not updated.";
}

std::string lineWouldBeLostMessage(std::size_t lineNumber, std::string_view fileName, std::string_view line)
{
    return updateRowMessage("A line that is not a day of a year after 0 and that an update would drop",
                            lineNumber, fileName, line);
}

std::string notARegularFileMessage(std::string_view fileName)
{
    return std::string(fileName) + " is not a regular file. The weather file is not updated.";
}

std::string waitingForUpdateMessage(std::string_view fileName, std::chrono::milliseconds wait)
{
    return "Another update of " + std::string(fileName) + " is under way; waiting up to "
           + std::to_string(std::chrono::duration_cast<std::chrono::seconds>(wait).count())
           + " s for it to finish.";
}

std::string updateStillRunningMessage(std::string_view fileName, std::chrono::milliseconds wait)
{
    return "Another update of " + std::string(fileName) + " did not finish within "
           + std::to_string(std::chrono::duration_cast<std::chrono::seconds>(wait).count())
           + " s. The weather file is not updated.";
}

std::string changedDuringUpdateMessage(std::string_view fileName)
{
    return std::string(fileName)
           + " was changed by another program during the update. The weather file is not updated.";
}

std::string lineTooLongMessage(std::size_t lineNumber, std::string_view fileName)
{
    return "Line " + std::to_string(lineNumber) + " of " + std::string(fileName)
           + " is longer than any weather row (over 1 MB). The weather file is not updated.";
}

void showFirstUpdateNotice(int task, bool& noticePending, UserFeedback& ui)
{
    if (task == 2 || !noticePending)
        return;
    ui.showMessage(MessageKind::Information, kFirstUpdateNotice);
    noticePending = false;
}

std::optional<std::size_t> firstNewDataRow(const std::vector<std::string_view>& lines)
{
    DataStartFinder finder;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (finder.take(lines[i], i))
            break;
    return finder.start();
}

UpdateResult updateWeatherFile(const fs::path& existing, std::string_view newData, const AppFolder& folder,
                               UserFeedback& ui, FileOperations& ops, const UpdateSettings& settings)
{
    const auto writeNewData = [newData](const fs::path& workFile) { savePanelText(workFile, newData); };
    return updateWeatherFileFromWorkFile(existing, writeNewData, folder, ui, ops, settings);
}

UpdateResult updateWeatherFileFromWorkFile(const fs::path& existing, const NewDataWriter& writeNewData,
                                           const AppFolder& folder, UserFeedback& ui, FileOperations& ops,
                                           const UpdateSettings& settings)
{
    const std::string name = existing.filename().string();
    // Through a symbolic link the file it names is updated.
    const fs::path real = followLinks(existing);
    const LockedWeatherFile locked(real, name, ui, settings.lockWait);
    const ExistingFile file = scanExistingFile(locked.fd(), name);

    const fs::path newData = folder.file(workfile::kForUpdate);
    writeNewData(newData);
    const auto start = newDataStartOf(newData, settings.newDataStart);
    if (!start) {
        reportError(ui, kUpdateProblems);
        return UpdateResult::Failed;
    }

    // The first row on or after the file's last day.
    NewDataLines lines(newData);
    lines.skipTo(*start);
    std::string_view line;
    std::optional<DatedRow> found;
    while (lines.nextRow(line)) {
        DatedRow row = datedNewRow(line, lines.index());
        if (row.date >= file.lastDate) {
            found = row;
            break;
        }
    }
    // A row the file already has is passed over; the one after it must
    // then continue the file like any first new row.
    if (found && found->date == file.lastDate)
        found = lines.nextRow(line) ? std::optional(datedNewRow(line, lines.index())) : std::nullopt;
    if (!found && settings.findEarlierDays) {
        if (const auto lacking = firstDayNotInFile(newData, *start, locked.fd(), name)) {
            ui.playSound(Sound::Error);
            ui.showMessage(MessageKind::Warning, earlierDaysMessage(name, lacking->year, lacking->day));
            return UpdateResult::Earlier;
        }
    }
    if (!found) {
        ui.playSound(Sound::Exclamation);
        ui.showMessage(MessageKind::Information, kNoNeedToUpdate);
        return UpdateResult::NotNeeded;
    }
    // The row's text lives in the reader's buffer, which reading on reuses.
    const std::string foundLine(line);
    const std::size_t foundIndex = lines.index();
    if (found->date > file.lastDate + 1) {
        ui.playSound(Sound::Error);
        if (!ui.askYesNo(kUpdateGapQuestion))
            return UpdateResult::Declined;
    }
    // No day that its year lacks may enter the file, and blank lines are
    // no days: checked before anything is written.
    while (lines.nextRow(line))
        datedNewRow(line, lines.index());

    const auto content = [&](const PutText& put) {
        // The file's own lines keep their text; only the line ends change.
        LineReader reader(locked.fd(), name);
        std::string_view fileLine;
        while (reader.number() < file.keptLines && reader.next(fileLine)) {
            put(fileLine);
            put("\r\n");
        }
        putRow(put, readRow(foundLine));
        NewDataLines appended(newData);
        appended.skipTo(foundIndex + 1);
        std::string_view row;
        while (appended.nextRow(row)) {
            put(row);
            put("\r\n");
        }
    };
    replaceKeepingBackup(existing, content, ops, [&] {
        if (!locked.unchanged(real))
            throw ReplaceStopped(changedDuringUpdateMessage(name));
    });
    folder.remove(workfile::kForUpdate);
    ui.playSound(Sound::Exclamation);
    ui.showMessage(MessageKind::Information, weatherFileUpdatedMessage(name));
    return UpdateResult::Updated;
}

} // namespace pluvora

#include "tasks/weatherfileupdate.h"

#include "error.h"
#include "io/numbertext.h"
#include "table/paneltext.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

// Head rows of a weather file: site name, coordinates, column names, units.
constexpr std::size_t kHeadRows = 4;
// Lines quoted in a message are cut here; a weather row is shorter.
constexpr std::size_t kQuotedLineLimit = 60;

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string readBytes(const fs::path& path)
{
    std::error_code ec;
    if (fs::is_directory(path, ec))
        throw Error("Cannot open file \"" + path.string() + "\": it is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error("Cannot open file \"" + path.string() + "\": " + std::strerror(errno));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw Error("Cannot read file \"" + path.string() + "\"");
    return bytes;
}

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

std::optional<long long> rowDate(std::string_view line)
{
    const Row row = readRow(line);
    if (row.kind != Row::Read)
        return std::nullopt;
    return dateOf(row.year, row.day);
}

void appendLine(std::string& out, std::string_view line)
{
    out += line;
    out += "\r\n";
}

void appendRow(std::string& out, const Row& row)
{
    out += std::to_string(row.year);
    out += '\t';
    out += std::to_string(row.day);
    out += row.rest;
    out += "\r\n";
}

// The existing file as it will start the updated one, and its last day.
struct ExistingFile {
    std::string content;
    long long lastDate = 0;
};

ExistingFile readExistingFile(const fs::path& path)
{
    const std::string name = path.filename().string();
    const std::string bytes = readBytes(path);
    const std::vector<std::string_view> lines = splitLines(bytes);
    ExistingFile file;
    file.content.reserve(bytes.size() + bytes.size() / 8 + 4096);
    std::size_t index = 0;
    for (; index < lines.size() && index < kHeadRows; ++index)
        appendLine(file.content, lines[index]);

    std::optional<Row> last;
    std::size_t lastIndex = 0;
    for (; index < lines.size(); ++index) {
        const Row row = readRow(lines[index]);
        if (row.kind == Row::Blank)
            continue;
        if (row.kind == Row::NotARow)
            throw Error(updateRowMessage(kInvalidNumericInput, index + 1, name, lines[index]));
        // Year 0 marks the end of the data; a negative year is no day.
        if (row.year == 0)
            break;
        if (row.year < 0)
            continue;
        appendRow(file.content, row);
        last = row;
        lastIndex = index;
    }
    if (!last)
        throw Error(noDataRowsMessage(name));
    const auto date = dateOf(last->year, last->day);
    if (!date)
        throw Error(updateRowMessage(noSuchDayMessage(last->year, last->day), lastIndex + 1, name,
                                     lines[lastIndex]));
    file.lastDate = *date;
    return file;
}

// A row of the new data with its date; rows that cannot be dated end the
// update, naming the row.
struct DatedRow {
    Row row;
    long long date = 0;
};

DatedRow datedNewRow(const std::vector<std::string_view>& lines, std::size_t index)
{
    const Row row = readRow(lines[index]);
    if (row.kind != Row::Read)
        throw Error(updateRowMessage(kInvalidNumericInput, index + 1, kNewDataSource, lines[index]));
    const auto date = dateOf(row.year, row.day);
    if (!date)
        throw Error(updateRowMessage(noSuchDayMessage(row.year, row.day), index + 1, kNewDataSource,
                                     lines[index]));
    return {row, *date};
}

std::size_t nextNonBlank(const std::vector<std::string_view>& lines, std::size_t index)
{
    while (index < lines.size() && readRow(lines[index]).kind == Row::Blank)
        ++index;
    return index;
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

std::string noDataRowsMessage(std::string_view fileName)
{
    return std::string(fileName)
           + " holds no data rows after its four head rows. The weather file is not updated.";
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
    // Blank lines between rows are passed over: rows apart are still a pair.
    const auto rowAbove = [&lines](std::size_t index) -> std::optional<std::size_t> {
        while (index > 0)
            if (readRow(lines[--index]).kind != Row::Blank)
                return index;
        return std::nullopt;
    };
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const Row lower = readRow(lines[i]);
        const auto lowerDate = rowDate(lines[i]);
        const auto upperIndex = rowAbove(i);
        if (!lowerDate || !upperIndex)
            continue;
        const Row upper = readRow(lines[*upperIndex]);
        const auto upperDate = rowDate(lines[*upperIndex]);
        if (!upperDate || upper.year != lower.year || *lowerDate <= *upperDate)
            continue;
        std::size_t start = *upperIndex;
        long long date = *upperDate;
        for (auto above = rowAbove(start); above; above = rowAbove(start)) {
            const auto aboveDate = rowDate(lines[*above]);
            if (!aboveDate || *aboveDate != date - 1)
                break;
            start = *above;
            date = *aboveDate;
        }
        return start;
    }
    return std::nullopt;
}

UpdateResult updateWeatherFile(const fs::path& existing, std::string_view newData, const AppFolder& folder,
                               UserFeedback& ui, FileOperations& ops)
{
    const std::string name = existing.filename().string();
    ExistingFile file = readExistingFile(existing);

    savePanelText(folder.file(workfile::kForUpdate), newData);
    const std::vector<std::string_view> lines = splitLines(newData);
    const auto start = firstNewDataRow(lines);
    if (!start) {
        reportError(ui, kUpdateProblems);
        return UpdateResult::Failed;
    }

    // The first row on or after the file's last day.
    std::size_t index = nextNonBlank(lines, *start);
    std::optional<DatedRow> found;
    for (; index < lines.size(); index = nextNonBlank(lines, index + 1)) {
        DatedRow row = datedNewRow(lines, index);
        if (row.date >= file.lastDate) {
            found = row;
            break;
        }
    }
    // A row the file already has is passed over; the one after it must
    // then continue the file like any first new row.
    if (found && found->date == file.lastDate) {
        index = nextNonBlank(lines, index + 1);
        found = index < lines.size() ? std::optional(datedNewRow(lines, index)) : std::nullopt;
    }
    if (!found) {
        ui.playSound(Sound::Exclamation);
        ui.showMessage(MessageKind::Information, kNoNeedToUpdate);
        return UpdateResult::NotNeeded;
    }
    if (found->date > file.lastDate + 1) {
        ui.playSound(Sound::Error);
        if (!ui.askYesNo(kUpdateGapQuestion))
            return UpdateResult::Declined;
    }

    appendRow(file.content, found->row);
    // The rest is copied as it is, but no day that its year lacks may
    // enter the file, and blank lines are no days.
    for (std::size_t i = nextNonBlank(lines, index + 1); i < lines.size(); i = nextNonBlank(lines, i + 1)) {
        datedNewRow(lines, i);
        appendLine(file.content, lines[i]);
    }

    replaceKeepingBackup(existing, file.content, ops);
    folder.remove(workfile::kForUpdate);
    ui.playSound(Sound::Exclamation);
    ui.showMessage(MessageKind::Information, weatherFileUpdatedMessage(name));
    return UpdateResult::Updated;
}

} // namespace pluvora

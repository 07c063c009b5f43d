#include "engine/tasks/readingnotices.h"

#include "engine/columns/variablecatalogue.h"
#include "engine/io/numbertext.h"
#include "engine/io/textreader.h"
#include "engine/table/fieldreading.h"
#include "engine/tasks/missingvalues.h"

#include <algorithm>

namespace pluvora {

namespace {

std::string listOf(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += i + 1 == items.size() ? " and " : ", ";
        text += items[i];
    }
    return text;
}

} // namespace

std::string ReadingNotices::namedLines(const Substitutions& s)
{
    const long unnamed = s.count - static_cast<long>(s.firstLines.size());
    std::vector<std::string> lines;
    for (int line : s.firstLines)
        lines.push_back(std::to_string(line));
    if (unnamed > 0)
        lines.push_back(std::to_string(unnamed) + " more");
    return listOf(lines);
}

ReadingNotices::ReadingNotices(const RunContext& run, std::optional<int> sign)
    : mSign(sign)
    , mColumnCount(run.columnCount)
{
    for (int column = 1; column <= mColumnCount && column <= kColumnBoxes; ++column) {
        const auto at = static_cast<std::size_t>(column);
        mVariable[at] = run.columns.columnVariable[at];
        // An ignored value is read and dropped: its substitute changes nothing.
        mTold[at] = mVariable[at] > kIgnore && mVariable[at] < kVariableCount;
    }
}

void ReadingNotices::findGroup(int values)
{
    mLastValues = values;
    for (std::size_t i = 0; i < mGroups.size(); ++i)
        if (mGroups[i].values == values) {
            mLastGroup = i;
            return;
        }
    mGroups.push_back(Group{values, 0, {}});
    mLastGroup = mGroups.size() - 1;
}

void ReadingNotices::scanInput(const RunContext& run, bool valuesToo)
{
    auto isFlag = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '*'; };
    constexpr std::size_t kPiece = 64; // the readers' longest token
    auto isValue = [](char c) { return (c >= '0' && c <= '9') || c == '-' || c == '.'; };
    TextReader reader(run.file(workfile::kInput));
    std::string line;
    int lineNumber = 0;
    while (reader.readLine(line)) {
        if (++lineNumber <= run.rowsBefore)
            continue;
        // Tokens as the cleaning leaves them: runs of value characters.
        int values = 0;
        int described = 0;
        int delimiters = 0;
        const std::size_t size = line.size();
        for (std::size_t i = 0; i < size;) {
            while (i < size && !isValue(line[i]))
                delimiters += isFieldDelimiter(line[i++]);
            if (i == size)
                break;
            const std::size_t start = i;
            while (i < size && isValue(line[i]))
                ++i;
            // 1.04E+01 is one value, as the cleaning writes it.
            std::size_t length = i - start;
            char plain[kLongestPlainNumber];
            const char* plainEnd = nullptr;
            if (i + 2 < size && (line[i] == 'e' || line[i] == 'E') && (line[i + 1] == '+' || line[i + 1] == '-')) {
                std::size_t k = i + 2;
                while (k < size && line[k] >= '0' && line[k] <= '9')
                    ++k;
                plainEnd = plainFromExponent(std::string_view(line).substr(start, k - start), '.', true, plain);
                if (plainEnd)
                    i = k;
            }
            ++values;
            described += delimiters < mColumnCount;
            if (!valuesToo || values > mColumnCount)
                continue;
            if (!plainEnd && i < size && isFlag(line[i])) {
                std::size_t k = i;
                while (k < size && isFlag(line[k]))
                    ++k;
                if (k == size || !isValue(line[k]))
                    flagged(lineNumber, values);
            }
            if (mSign && length <= kPiece) {
                const auto value = plainEnd ? parseDecimal(std::string_view(plain, static_cast<std::size_t>(plainEnd - plain)))
                                            : parseDecimal(std::string_view(line).substr(start, length));
                if (value && roundsToSign(*value, *mSign))
                    substituted(lineNumber, values);
            }
        }
        row(lineNumber, delimiters > 0 ? described : values);
    }
}

std::optional<std::string> ReadingNotices::valueCountNotice() const
{
    if (mGroups.size() < 2)
        return std::nullopt;
    const auto most = std::max_element(mGroups.begin(), mGroups.end(),
                                       [](const Group& a, const Group& b) { return a.rows < b.rows; });
    std::vector<std::pair<int, int>> odd; // line, values
    long oddRows = 0;
    for (auto g = mGroups.begin(); g != mGroups.end(); ++g) {
        if (g == most)
            continue;
        oddRows += g->rows;
        for (int line : g->firstLines)
            odd.emplace_back(line, g->values);
    }
    std::sort(odd.begin(), odd.end());
    if (odd.size() > kLinesNamed)
        odd.resize(kLinesNamed);
    std::vector<std::string> named;
    for (const auto& [line, values] : odd)
        named.push_back("line " + std::to_string(line) + " holds " + std::to_string(values));
    std::string text = kValueCountsDiffer + std::to_string(most->rows)
        + (most->rows == 1 ? " row holds " : " rows hold ") + std::to_string(most->values) + ", but "
        + listOf(named);
    if (oddRows > static_cast<long>(odd.size()))
        text += " (" + std::to_string(oddRows) + " rows in all)";
    return text + ". " + kShiftedColumns;
}

std::vector<std::string> ReadingNotices::substitutionNotices(std::string_view substitute, int task) const
{
    std::vector<std::string> notices;
    if (!mSign)
        return notices;
    auto tell = [&](int column, const Substitutions& s, const std::string& what) {
        if (s.count == 0)
            return;
        const int code = mVariable[static_cast<std::size_t>(column)];
        std::string text = "Column " + std::to_string(column) + " (" + std::string(variableInfo(code).item)
            + "): " + std::to_string(s.count) + (s.count == 1 ? " value" : " values") + " taken as missing (" + what
            + (s.count == 1 ? ") was" : ") were") + " replaced by " + std::string(substitute) + " on input "
            + (s.count == 1 ? "line " : "lines ") + namedLines(s) + ".";
        if (task >= 4 && task <= 7)
            text += std::string(" ") + kEstimatesRestOnSubstitute;
        notices.push_back(std::move(text));
    };
    for (int column = 1; column <= mColumnCount; ++column) {
        tell(column, mSubstitutions[static_cast<std::size_t>(column)], "sign " + std::to_string(*mSign));
        tell(column, mFilled[static_cast<std::size_t>(column)], mMissingLabel);
    }
    return notices;
}

std::vector<std::string> ReadingNotices::flagNotices() const
{
    std::vector<std::string> notices;
    for (int column = 1; column <= mColumnCount; ++column) {
        const Substitutions& s = mFlagged[static_cast<std::size_t>(column)];
        if (s.count == 0)
            continue;
        const int code = mVariable[static_cast<std::size_t>(column)];
        notices.push_back("Column " + std::to_string(column) + " (" + std::string(variableInfo(code).item)
                          + "): " + std::to_string(s.count) + (s.count == 1 ? " value" : " values")
                          + " with a flag glued after the number (12.8Q, 90.0*) read as the number on input "
                          + (s.count == 1 ? "line " : "lines ") + namedLines(s) + ".");
    }
    return notices;
}

int ReadingNotices::lineBeforeSubstitution(int line) const
{
    for (int blank : mBlankRows)
        if (blank <= line)
            ++line;
    return line;
}

void ReadingNotices::tell(UserFeedback& ui, std::string_view substitute, int task, bool substituted) const
{
    if (const auto counts = valueCountNotice())
        ui.notice(*counts);
    if (substituted)
        for (const auto& text : substitutionNotices(substitute, task))
            ui.notice(text);
    for (const auto& text : flagNotices())
        ui.notice(text);
}

std::optional<std::string> decimalCommaNotice(const std::filesystem::path& file, int rowsBefore)
{
    constexpr int kRowsLookedAt = 100;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    TextReader reader(file);
    std::string line;
    for (int i = 0; i < rowsBefore && reader.readLine(line); ++i) {
    }
    for (int row = 1; row <= kRowsLookedAt && reader.readLine(line); ++row) {
        // Blank-separated values, each of digits with one comma inside: a
        // line of comma-separated fields has more commas to a value.
        std::size_t p = 0;
        int values = 0;
        std::string_view found;
        while (p < line.size()) {
            while (p < line.size() && (line[p] == ' ' || line[p] == '\t' || line[p] == '\r'))
                ++p;
            const std::size_t start = p;
            while (p < line.size() && line[p] != ' ' && line[p] != '\t' && line[p] != '\r')
                ++p;
            if (p == start)
                break;
            ++values;
            std::string_view token(line.data() + start, p - start);
            if (!token.empty() && token.front() == '-')
                token.remove_prefix(1);
            const auto comma = token.find(',');
            if (found.empty() && comma != std::string_view::npos && comma > 0 && comma + 1 < token.size() &&
                token.find(',', comma + 1) == std::string_view::npos &&
                std::all_of(token.begin(), token.begin() + static_cast<std::ptrdiff_t>(comma), isDigit) &&
                std::all_of(token.begin() + static_cast<std::ptrdiff_t>(comma) + 1, token.end(), isDigit))
                found = std::string_view(line.data() + start, p - start);
        }
        if (values >= 2 && !found.empty())
            return "Input line " + std::to_string(rowsBefore + row) + " holds " + std::string(found) +
                   ": with blank-separated fields a comma splits it into two values. If the comma is the "
                   "decimal mark, choose it (--decimal-comma).";
    }
    return std::nullopt;
}

} // namespace pluvora

#pragma once

#include "engine/stage/runcontext.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

inline constexpr const char* kValueCountsDiffer = "Data rows hold different numbers of values: ";
inline constexpr const char* kShiftedColumns = "A decimal comma (10,5) or an empty field shifts every later column.";
inline constexpr const char* kEstimatesRestOnSubstitute =
    "The estimates of those days rest on the substitute, not on a measured value.";

// What a run learns about its data rows while it splits them, told to the
// user as notices that never stop the work:
// - rows that hold different numbers of values: a decimal comma (10,5) or
//   an empty field shifts every later column, and nothing else would say so;
// - values replaced by the missing-value substitute, which the tasks then
//   use as if they had been measured.
// Rows read as blank-separated whose values hold a comma between digits
// ("11,5"): the comma splits each into two values. Looks at the first data
// rows of `file` and names the first such value; nothing when none.
std::optional<std::string> decimalCommaNotice(const std::filesystem::path& file, int rowsBefore);

class ReadingNotices {
public:
    // Lines named per notice; the rest are counted.
    static constexpr std::size_t kLinesNamed = 5;

    // `sign`: the missing-value sign when substitution is on.
    ReadingNotices(const RunContext& run, std::optional<int> sign);

    // A comma or semicolon between fields: in such rows only the values of
    // the described fields count, so a text field beyond them ("NO RECORD")
    // is no shift.
    static constexpr bool isFieldDelimiter(char c) { return c == ',' || c == ';'; }

    // One data row: its line in the input and how many values it holds
    // (in the described fields, when it has field delimiters). A row
    // without any is passed over by every stage.
    void row(int line, int values)
    {
        if (values == 0) {
            mBlankRows.push_back(line);
            return;
        }
        if (values != mLastValues)
            findGroup(values);
        Group& group = mGroups[mLastGroup];
        ++group.rows;
        if (group.firstLines.size() < kLinesNamed)
            group.firstLines.push_back(line);
    }

    // Value `column` (1-based) of the row on `line` is replaced by the
    // substitute. Only the columns the task reads are told.
    void substituted(int line, int column)
    {
        if (column < 1 || column > mColumnCount || !mTold[static_cast<std::size_t>(column)])
            return;
        Substitutions& s = mSubstitutions[static_cast<std::size_t>(column)];
        if (s.firstLines.size() < kLinesNamed)
            s.firstLines.push_back(line);
        ++s.count;
    }

    // Value `column` of the row on `line` was an empty field or a missing
    // text, now replaced by the substitute.
    void filled(int line, int column)
    {
        if (column >= 1 && column <= mColumnCount && mTold[static_cast<std::size_t>(column)])
            count(mFilled[static_cast<std::size_t>(column)], line);
    }

    // Value `column` had a quality flag glued after it ("12.8Q"), which
    // was dropped.
    void flagged(int line, int column)
    {
        if (column >= 1 && column <= mColumnCount && mTold[static_cast<std::size_t>(column)])
            count(mFlagged[static_cast<std::size_t>(column)], line);
    }

    // What a filled value was, for its notice: "empty field or NA, null".
    void setMissingLabel(std::string label) { mMissingLabel = std::move(label); }

    // Reads the rows of "Input.~" after the header rows, before cleaning:
    // how many values each holds and, with `values` and a sign, which of
    // the task's values the substitution will replace and which carry a
    // glued flag. Without `values` the field pass has told those.
    void scanInput(const RunContext& run, bool values = true);

    std::optional<std::string> valueCountNotice() const;
    std::vector<std::string> substitutionNotices(std::string_view substitute, int task) const;
    std::vector<std::string> flagNotices() const;

    // The substitution drops rows without values: the line of the input
    // that became `line` of the substituted rows.
    int lineBeforeSubstitution(int line) const;

    // Both kinds, in that order.
    // `substituted`: false when a gap fill took the missing values instead.
    void tell(UserFeedback& ui, std::string_view substitute, int task, bool substituted = true) const;

private:
    struct Group {
        int values = 0;
        long rows = 0;
        std::vector<int> firstLines;
    };
    struct Substitutions {
        long count = 0;
        std::vector<int> firstLines;
    };

    void findGroup(int values);
    static std::string namedLines(const Substitutions& s);
    static void count(Substitutions& s, int line)
    {
        if (s.firstLines.size() < kLinesNamed)
            s.firstLines.push_back(line);
        ++s.count;
    }

    std::optional<int> mSign;
    int mColumnCount;
    std::array<int, kColumnBoxes + 1> mVariable{};
    std::array<bool, kColumnBoxes + 1> mTold{};
    std::vector<Group> mGroups;
    std::size_t mLastGroup = 0;
    int mLastValues = -1;
    std::array<Substitutions, kColumnBoxes + 1> mSubstitutions{};
    std::array<Substitutions, kColumnBoxes + 1> mFilled{};
    std::array<Substitutions, kColumnBoxes + 1> mFlagged{};
    std::string mMissingLabel = "empty field";
    std::vector<int> mBlankRows; // in line order
};

} // namespace pluvora

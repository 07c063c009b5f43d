#pragma once

#include "engine/columns/variablecatalogue.h"

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pluvora {

// How a data row splits into fields. Blanks is the reading every stage has
// always done (runs of blanks and tabs); the others are turned into it by
// one pass before the stages see the data.
enum class FieldSeparator { Blanks, Comma, Semicolon, Tab, Fixed };

// The column layout of one data source: what "Step 2" holds, what a
// template and the last session store and what `--columns` describes.
struct DataLayout {
    int rowsBefore = 0;
    FieldSeparator fields = FieldSeparator::Blanks;
    // Fixed widths: the character position (1-based, inclusive) where each
    // field ends, ascending.
    std::vector<int> fieldEnds;
    bool decimalComma = false;
    // A precipitation field holding exactly this text is a trace (a
    // service's code for less than half its smallest step, such as -1) and
    // reads as 0; empty for none. One word: no blanks.
    std::string traceCode;
    // Fields holding exactly one of these texts ("NA", "null", "-99.9") are
    // missing values, as an empty delimited field is. Words without blanks
    // or commas.
    std::vector<std::string> missingTexts;
    // Per column 1 to 12 (index 0 is column 1): variable code and the index
    // of the unit in that variable's unit list, -1 for none.
    std::array<int, kColumnBoxes> variables = filled(-1);
    std::array<int, kColumnBoxes> units = filled(-1);

    int variable(int column) const { return variables[index(column)]; }
    int unit(int column) const { return units[index(column)]; }
    void setColumn(int column, int variableCode, int unitIndex = -1)
    {
        variables[index(column)] = variableCode;
        units[index(column)] = unitIndex;
    }
    // The unit the column's index names in its variable's list; empty when
    // there is none.
    std::string_view unitText(int column) const;

    // Whether the rows are read as they always were, with no pass before
    // the stages: blank-separated, decimal points, no Date column.
    bool readsAsBlankSeparated() const;

    bool operator==(const DataLayout&) const = default;

private:
    static constexpr std::size_t index(int column) { return static_cast<std::size_t>(column - 1); }
    static constexpr std::array<int, kColumnBoxes> filled(int value)
    {
        std::array<int, kColumnBoxes> a{};
        a.fill(value);
        return a;
    }
};

// A column or reading text that cannot be understood; what() says where.
class LayoutTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    LayoutTextError(const std::string& what, std::string namesOffered)
        : std::runtime_error(what), offered(std::move(namesOffered))
    {
    }
    // For an unknown name, what would have done: "the variables are Ignore,
    // Year, ..." or "its units are oC, oF, ..."; empty otherwise.
    std::string offered;
};

// The columns as "Year,Month,Day,T-max:oF,Ignore,Precip:inch": columns 1 to
// 12 in order, a variable name with ':' and a unit where the variable has
// units; an empty item leaves its column unselected. Unselected columns at
// the end are left out.
std::string columnsText(const DataLayout& layout);
// Sets the columns of `layout` from such a text; the other settings stay.
// A variable with a single unit gets it when none is given.
void parseColumnsText(std::string_view text, DataLayout& layout);
DataLayout layoutFromColumns(std::string_view text);

// The layout of the columns left once those marked in `removed` (index 0 is
// column 1) are taken out of the rows: later columns move left, the
// reading settings stay.
DataLayout withoutColumns(const DataLayout& layout, const std::vector<bool>& removed);

// The reading settings as blank-separated words: "fields=comma",
// "widths=5,11,17", "decimal-comma", "trace=-1", "missing=NA,null"; empty
// for blank-separated fields without decimal comma, trace code or missing
// texts. Unknown words are skipped, so that a later
// setting does not stop an older reader.
std::string readingText(const DataLayout& layout);
void parseReadingText(std::string_view text, DataLayout& layout);

std::string_view fieldSeparatorName(FieldSeparator fields);
// Throws LayoutTextError for a name not in blanks|comma|semicolon|tab|fixed.
FieldSeparator fieldSeparatorFromName(std::string_view name);
// "5,11,17": ascending positions of 1 or more.
std::vector<int> parseFieldEnds(std::string_view text);
// "NA,M,null": comma-separated texts, none empty or holding a blank.
std::vector<std::string> parseMissingTexts(std::string_view text);
std::string missingTextsText(const std::vector<std::string>& texts);

} // namespace pluvora

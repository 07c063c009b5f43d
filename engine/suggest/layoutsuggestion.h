#pragma once

#include "engine/columns/datalayout.h"
#include "engine/site/siteinheader.h"
#include "engine/suggest/suggestiontables.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

enum class Confidence { Low, Medium, High };
std::string_view confidenceName(Confidence confidence);

// What the suggestion makes of one field of the data rows.
struct SuggestedColumn {
    int field = 0;                  // 1-based field of the data rows
    std::string header;             // its name in the names row, as written
    std::string variable = "Ignore";// a variable box item
    std::string unit;               // a unit of that variable, "" for none
    Confidence confidence = Confidence::Low;
    std::string reason;             // one line: why this, or why nothing
    // The measured variable the column's name stands for, kept when the
    // column is left Ignore: such a column is weather data left unread.
    std::string namedVariable;
    // For a column whose name is not known: the variables its values fit.
    std::vector<std::string> mightHold;
    // Columns a run reads from this field when nothing is picked: a time
    // of day in blank-separated rows without a Date column is one per part
    // ("07:01" is two numbers).
    int runFields = 1;
};

// A layout read off a file's own header and values. A column the
// suggestion is unsure of stays Ignore: a wrong guess that runs in silence
// is worse than none.
struct LayoutSuggestion {
    bool found = false;             // data rows were found at all
    int rowsBefore = 0;             // lines above the first data row
    Confidence rowsConfidence = Confidence::Low;
    std::string fields = "blanks";  // blanks, comma, semicolon, tab or fixed
    std::vector<int> fieldEnds;     // fixed: where each field ends, 1-based
    bool decimalComma = false;
    int fieldCount = 0;             // fields of a data row
    std::vector<SuggestedColumn> columns;     // one per field
    // Fields to keep, in order, when the data need more than the twelve
    // column boxes; empty when every field fits.
    std::vector<int> picked;
    std::optional<int> missingSign; // the sign value the data use
    std::string traceCode;          // a precipitation trace code, "" for none
    std::vector<std::string> missingTexts; // words the data write for a missing value
    std::vector<std::string> notes; // what the data hold that no setting reads
    // A crop model's or a service's own format, told by its first lines:
    // "DSSAT weather file: fields by the spans under the @ row"; "" for none.
    std::string format;
    SiteInHeader site; // from the header of such a format
    // The file is read through its format's reader as rows of days, and
    // the layout is that of those rows.
    bool readAsDays = false;

    // The columns the boxes get: with `picking`, the picked fields (the
    // batch picks them before anything else); otherwise fields 1 to 12.
    // Trailing Ignores are dropped.
    std::vector<const SuggestedColumn*> boxColumns(bool picking = true) const;
    // Suggested columns beyond the twelfth field, which the window's boxes
    // cannot reach without removing columns first.
    std::vector<const SuggestedColumn*> outOfReach() const;
    bool anyAssigned() const;
};

// Reads at most the first `maxLines` lines of `text`. Never throws on any
// input; what it cannot read it leaves unsuggested.
LayoutSuggestion suggestLayout(std::string_view text,
                               const SuggestionTables& tables = SuggestionTables::builtIn(),
                               int maxLines = 3000);

// The suggestion for a file, from its first 256 KiB. Throws Error when the
// file cannot be read.
LayoutSuggestion suggestLayoutOfFile(const std::filesystem::path& path,
                                     const SuggestionTables& tables = SuggestionTables::builtIn());

// The first 256 KiB of a file, cut after its last whole line, in UTF-8:
// what a suggestion reads. Throws Error when the file cannot be read.
std::string firstLinesOfFile(const std::filesystem::path& path);

// The suggestion as a column layout; see boxColumns for `picking`.
DataLayout suggestedLayout(const LayoutSuggestion& suggestion, bool picking);

// The command-line options that run the suggestion, on one line:
// --rows N [--fields F] [--decimal-comma] [--pick LIST] --columns "..." [--sign S] [--trace T] [--missing LIST]
std::string suggestionOptions(const LayoutSuggestion& suggestion);
// One line per reason: the rows, the fields, each column, then the notes.
std::vector<std::string> suggestionReasons(const LayoutSuggestion& suggestion);

} // namespace pluvora

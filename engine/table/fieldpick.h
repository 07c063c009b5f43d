#pragma once

#include "engine/columns/datalayout.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// Which fields of each data row to keep, 1-based, in the order to keep
// them: "1-5,18,22" keeps fields 1 to 5, then 18, then 22. What the window's
// "Remove input data columns..." does, for a file with more fields than the
// twelve columns, and in any order.
struct FieldPick {
    std::vector<int> fields;
};

// Nothing for a text that is not a list of field numbers and ranges.
std::optional<FieldPick> parseFieldPick(std::string_view text);

// The picked fields of `row` as a row of the same kind, so the layout still
// reads it. With blank-separated fields they are counted as cut and awk
// count them: each run of non-blanks is one, letters included; the kept ones
// are joined by tabs. With a
// separator they lie between separators (a quoted separator is text) and are
// joined by it, an empty one kept. With fixed widths each keeps its width
// and the text after the last end is one more field. A field the row does
// not have is left out (fixed: blanks), so a short row stays short.
// Gives how many fields the row has.
int pickFields(std::string_view row, const FieldPick& pick, const DataLayout& layout, std::string& out);

// The field ends of fixed-width rows after the pick.
std::vector<int> pickedFieldEnds(const DataLayout& layout, const FieldPick& pick);

// Copies `source` to `target` with its first `rowsBefore` lines unchanged
// and every later line reduced to its picked fields. Gives a notice when the
// rows hold different numbers of fields: the picked ones of some rows are
// then other columns, which nothing after the pick can see.
std::optional<std::string> pickFieldsOfFile(const std::filesystem::path& source, const std::filesystem::path& target,
                                            int rowsBefore, const FieldPick& pick, const DataLayout& layout);

} // namespace pluvora

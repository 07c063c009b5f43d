#pragma once

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

// The picked fields of `row`, joined by tabs. Fields are counted as a run
// reads them once the row is cleaned: runs of digits, "-" and "."; a blank,
// comma, quote or letter between them separates. A field the row does not
// have is left out, so a short row stays short.
void pickFields(std::string_view row, const FieldPick& pick, std::string& out);

// Copies `source` to `target` with its first `rowsBefore` lines unchanged
// and every later line reduced to its picked fields.
void pickFieldsOfFile(const std::filesystem::path& source, const std::filesystem::path& target,
                      int rowsBefore, const FieldPick& pick);

} // namespace pluvora

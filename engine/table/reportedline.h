#pragma once

#include <optional>
#include <string_view>

namespace pluvora {

// How a report line that names its input line starts: "input line 12, column 3: ...".
inline constexpr std::string_view kReportedLinePrefix = "input line ";

// The line of the input panel (1-based) that a line of the missing-value
// report shows, searched among the data rows. Substitution rewrites rows
// before the report is made (tabs between values, three decimals, the
// substitute for the sign), so a row matches by text or, failing that,
// value by value: equal numbers at the report's precision, or the
// substitute text in place of any value.
std::optional<int> findReportedLine(std::string_view reportLine, std::string_view panelText,
                                    int rowsBefore, std::string_view substitute);

} // namespace pluvora

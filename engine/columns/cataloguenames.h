#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pluvora {

// Variable and unit names as people type them on a command line: matched
// without regard to case, so "langley" is "Langley" and "t-max" is "T-max".
// The window's lists hold the exact texts; these find the one meant.

// The variable code of `name`, or nothing.
std::optional<int> findVariable(std::string_view name);
// The unit index of `unit` in the unit list of variable `code`, or nothing.
std::optional<int> findUnit(int code, std::string_view unit);

// "Ignore, Year, Month, ..." and "MJ/m2/d, Langley, ...": what a message
// about an unknown name offers instead.
std::string variableNameList();
std::string unitNameList(int code);

} // namespace pluvora

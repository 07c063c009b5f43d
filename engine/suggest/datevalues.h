#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Dates told by their values, for the layout suggestion.
namespace pluvora::suggest {

bool realDate(int y, int m, int d);
// A date token's text without quotes and a time part ("1980-01-01T00:00").
std::string_view datePart(std::string_view token);
// The format of a column of date tokens (a Date unit, or "YYYYDDD"), or
// nothing when not every token is a date of one format.
std::optional<std::string> dateFormatOf(const std::vector<std::string_view>& tokens);

} // namespace pluvora::suggest

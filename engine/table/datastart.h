#pragma once

#include <string_view>

namespace pluvora {

// The number of lines of the panel text (lines apart by '\n') above its
// first data row: the first line whose blank-separated tokens are all
// plain decimal numbers. All of them when no line is.
int headerRowsOf(std::string_view panel);

} // namespace pluvora

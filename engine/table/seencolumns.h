#pragma once

#include "engine/columns/datalayout.h"

#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// How a data row splits into the columns a user sees: by runs of blanks
// and tabs (what a run reads), or by one delimiter, where a field in double
// quotes may hold the delimiter.
enum class FieldSplit { Blanks, Comma, Semicolon, Tab };

// The split of the column panel's fields setting; fixed widths have no
// separator to keep, so their columns are taken as blank-separated.
FieldSplit fieldSplitOf(FieldSeparator fields);

// The columns of `line`, each a view into it, in order.
std::vector<std::string_view> seenFields(std::string_view line, FieldSplit split);

// One column of the data as the removal dialog shows it.
struct SeenColumn {
    std::string header; // the field of the last header row above it, or ""
    std::string sample; // the first data row's value in it, or ""
};

// Every column of the widest data row of the panel text (lines apart by
// '\n'; the first `rowsBefore` lines are header rows).
std::vector<SeenColumn> describeSeenColumns(std::string_view panel, int rowsBefore,
                                            FieldSplit split);

// The panel text with column k of every data row left out where
// `remove[k-1]` is set. What is kept is copied byte for byte: blank-split
// columns each followed by a tab, as the alignment writes them; delimited
// fields joined by their delimiter, quotes and all. Header rows stay as
// they are, and a column beyond `remove` is always kept.
std::string removeSeenColumns(std::string_view panel, int rowsBefore,
                              const std::vector<bool>& remove, FieldSplit split);

} // namespace pluvora

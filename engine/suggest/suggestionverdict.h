#pragma once

#include "engine/columns/weatherfilevariables.h"
#include "engine/suggest/layoutsuggestion.h"

#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// Said when a suggested layout is not sure enough to run; the problems
// follow, one a line.
inline constexpr const char* kSuggestionNotSure =
    "The layout suggested from the file is not sure enough to convert it: give the columns by hand.";

// Whether a suggested layout may run on its own. A suggestion that misses
// a variable the result needs, or leaves a column unread that its name or
// values mark as weather data, would write a guess or a 0 in silence.
struct SuggestionVerdict {
    std::vector<std::string> problems;  // one line each; empty when it may run
    bool mayRun() const { return problems.empty(); }
};

// Judges the columns the suggestion gives (see boxColumns for `picking`)
// for a run of `task` (1 to 7): the weather file's variables must each have
// a column the suggestion is at least likely of, and no column the task
// reads may be left unread though its name marks it as weather data.
SuggestionVerdict judgeSuggestion(const LayoutSuggestion& suggestion, bool picking, int task, bool rearrange);

} // namespace pluvora

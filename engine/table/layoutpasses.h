#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/ui/userfeedback.h"

#include <array>
#include <string>
#include <string_view>

namespace pluvora {

// The menu commands that reshape the input panel. Each saves the panel text
// to "Input.~", streams it row by row into "Output.~" with the header rows
// copied unchanged, and returns the new panel text. The caller replaces the
// panel only with a returned text, so a pass that throws leaves it as it was.

inline constexpr int kRemovableColumns = 30;
// Flag k-1 set: the k-th number token of each data row is dropped.
using ColumnRemoveFlags = std::array<bool, kRemovableColumns>;

// Every character of a data row that is not a digit, "-", ".", blank or tab
// becomes a blank, and each row gains one blank where its line end was.
std::string cleanInputData(const AppFolder& folder, UserFeedback& ui, std::string_view panel,
                           int rowsBefore);

// Each data row becomes its number tokens, each followed by a tab; a row
// without any becomes an empty line.
std::string alignData(const AppFolder& folder, UserFeedback& ui, std::string_view panel,
                      int rowsBefore);

// As alignData, leaving out the flagged tokens; tokens after the 30th stay.
std::string removeColumns(const AppFolder& folder, UserFeedback& ui, std::string_view panel,
                          int rowsBefore, const ColumnRemoveFlags& remove);

// Whether "Clean input data" explains itself first: "DSMA1.~" holds 0 once
// the user asked not to be told again. It is a working file, so the choice
// lasts until the program ends.
bool cleanExplanationWanted(const AppFolder& folder);
void rememberCleanExplanation(const AppFolder& folder, bool showAgain);

} // namespace pluvora

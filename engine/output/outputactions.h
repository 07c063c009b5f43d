#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/ui/documentopener.h"
#include "engine/ui/userfeedback.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace pluvora {

// The output panel's save dialog: description and pattern pairs, "|" apart.
inline constexpr const char* kOutputSaveFilter = "Maravel weather files (.wth)|*.wth|Text files(*.txt)|*.txt";
inline constexpr const char* kNoSpreadsheetProgram = "Sorry, neither Excel nor QuattroPro is available.";
// The copy a spreadsheet program gets when none takes the ".xls" one.
inline constexpr std::string_view kSpreadsheetFallbackName = "~.wb1";

// The file name of `path` without folder and extension, the extension
// starting at the first "." of the name; a name without "." gives "".
std::string getNameOnlyNoExt(std::string_view path);

// The name the output is saved under: a name without an extension gets the
// one of the selected filter (0: ".wth", otherwise ".txt").
std::filesystem::path withSaveExtension(const std::filesystem::path& chosen, int filterIndex);

// "Save": the panel's lines, each ended by CR LF, written in one step so
// that a crash never leaves a half-written file. Throws Error.
void saveOutputPanel(const std::filesystem::path& target, std::string_view panelText);

// "~1.xls", "~2.xls", ...: the first such name not yet in the application
// folder.
std::string nextSpreadsheetCopyName(const AppFolder& folder);

// Hands a copy of the output panel's text to the spreadsheet program: as
// the next "~N.xls", else as "~.wb1" (replacing an older one). Tells the
// user when neither is taken. Returns the copy the desktop took, if any.
std::filesystem::path loadInSpreadsheet(std::string_view panelText, const AppFolder& folder,
                                        DocumentOpener& opener, UserFeedback& ui);

} // namespace pluvora

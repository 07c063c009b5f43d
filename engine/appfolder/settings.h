#pragma once

#include "engine/appfolder/appfolder.h"

#include <filesystem>
#include <optional>
#include <string>

namespace pluvora {

// The settings file "Option.pvd": seven CR LF lines.
//   1 folder for input files      2 folder for weather files
//   3 elastic window (1/0)        4 horizontal scroll bar (1/0)
//   5 spacer enabled (1/0)        6 missing-value substitution (1/0)
//   7 missing-value sign, a tab, the substitution text
//   8 suggest a layout when a file is opened (1/0); written only when off,
//     so a file of seven lines, as every older file is, means on
// The members start at what the window shows when there is no file.
struct Settings {
    // As stored; an empty line stands for the application folder, so the
    // file shipped to every user can leave both lines empty.
    std::string inputFolder;
    std::string weatherFolder;
    bool elasticWindow = false;
    bool horizontalScrollBar = false;
    bool spacerEnabled = false;
    bool substitutionEnabled = true;
    std::string missingSign = "-99";
    std::string substitution = "0.01";
    bool suggestLayout = true;

    bool operator==(const Settings&) const = default;
};

// Reads a settings file. Lines 3 to 7 that are missing read as off, sign
// "0" and an empty substitution, which is what a file left with only its
// two folder lines gives. A flag that is not a whole number reads as off;
// a sign that is not one keeps the default sign and substitution, since
// the substitution text after it cannot be told apart reliably.
// Throws Error when the file cannot be opened.
Settings readSettingsFile(const std::filesystem::path& path);

// The application folder's settings, or nothing when the file is missing
// or cannot be opened.
std::optional<Settings> readSettings(const AppFolder& folder);

// All seven lines, replacing the file safely.
void writeSettingsFile(const std::filesystem::path& path, const Settings& settings);

// Close-time rewrite: the folder lines stay as they are in the file (the
// application folder when there is none); everything else comes from
// `current`. Folders changed by opening files are not kept across runs.
void saveSettingsOnClose(const AppFolder& folder, const Settings& current);

// The folders dialog's OK: a file of just the two folder lines. The other
// lines are written again when the main window closes.
void saveFolderSettings(const AppFolder& folder, const std::string& inputFolder,
                        const std::string& weatherFolder);

// The folder lines as the folders dialog shows them: the file's lines 1
// and 2, the application folder for a missing file or an empty line.
struct FolderLines {
    std::string inputFolder;
    std::string weatherFolder;
};
FolderLines readFolderLines(const AppFolder& folder);

// `text`, or the application folder when it is empty.
std::string folderOrAppFolder(const std::string& text, const AppFolder& folder);

} // namespace pluvora

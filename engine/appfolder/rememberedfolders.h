#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/appfolder/settings.h"

#include <filesystem>
#include <optional>
#include <string>

namespace pluvora {

// Where the file dialogs start: one folder for input files, one for the
// weather files being updated. Opening or updating a file moves them for
// the rest of the run only; the settings file keeps its folder lines until
// the folders dialog changes them.
struct RememberedFolders {
    std::string inputFiles;
    std::string weatherFiles;
    // The default folder for output files as the user set it (settings
    // line 2 or the folders dialog); empty when none is set.
    std::string defaultOutput;

    // Where the output's Save starts: the default output folder when one
    // is set, else the folder for input files.
    const std::string& outputSaveStart() const { return defaultOutput.empty() ? inputFiles : defaultOutput; }

    // From the settings read at start-up; the application folder for a
    // missing settings file. An empty folder line (no default folder set)
    // gives `unsetStart` when one is given (the window passes the user's
    // last or home folder, never the hidden application folder), else the
    // application folder.
    static RememberedFolders load(const std::optional<Settings>& settings, const AppFolder& folder,
                                  const std::string& unsetStart = {});

    // The folder of the input file just opened, ending with a separator.
    void inputFileOpened(const std::filesystem::path& file);
    // The folder of the weather file just updated, ending with a separator.
    void weatherFileUpdated(const std::filesystem::path& file);
    // The folders dialog's texts as typed (an empty box means the
    // application folder, as in the settings file).
    void setFromDialog(const std::string& input, const std::string& weather, const AppFolder& folder);
};

// The folder holding `file`, ending with a separator.
std::string folderOf(const std::filesystem::path& file);

} // namespace pluvora

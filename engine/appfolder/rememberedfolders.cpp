#include "engine/appfolder/rememberedfolders.h"

namespace pluvora {

namespace fs = std::filesystem;

namespace {

// A folder the user chose: not empty and not the application folder, which
// the folders dialog shows when nothing was chosen.
std::string userFolder(const std::string& text, const AppFolder& folder)
{
    const auto trimmed = [](fs::path path) {
        path = path.lexically_normal();
        return path.has_filename() ? path : path.parent_path();
    };
    if (text.empty() || trimmed(text) == trimmed(folder.path()))
        return {};
    return text;
}

} // namespace

RememberedFolders RememberedFolders::load(const std::optional<Settings>& settings,
                                          const AppFolder& folder, const std::string& unsetStart)
{
    RememberedFolders folders;
    if (settings) {
        folders.inputFiles = settings->inputFolder;
        folders.weatherFiles = settings->weatherFolder;
        folders.defaultOutput = userFolder(settings->weatherFolder, folder);
        if (!unsetStart.empty()) {
            if (folders.inputFiles.empty())
                folders.inputFiles = unsetStart;
            if (folders.weatherFiles.empty())
                folders.weatherFiles = unsetStart;
        }
    }
    folders.inputFiles = folderOrAppFolder(folders.inputFiles, folder);
    folders.weatherFiles = folderOrAppFolder(folders.weatherFiles, folder);
    return folders;
}

void RememberedFolders::inputFileOpened(const fs::path& file) { inputFiles = folderOf(file); }

void RememberedFolders::weatherFileUpdated(const fs::path& file) { weatherFiles = folderOf(file); }

void RememberedFolders::setFromDialog(const std::string& input, const std::string& weather,
                                      const AppFolder& folder)
{
    inputFiles = folderOrAppFolder(input, folder);
    weatherFiles = folderOrAppFolder(weather, folder);
    defaultOutput = userFolder(weather, folder);
}

std::string folderOf(const fs::path& file)
{
    std::string text = file.parent_path().string();
    if (text.empty() || text.back() != fs::path::preferred_separator)
        text += fs::path::preferred_separator;
    return text;
}

} // namespace pluvora

#include "engine/appfolder/rememberedfolders.h"

namespace pluvora {

namespace fs = std::filesystem;

RememberedFolders RememberedFolders::load(const std::optional<Settings>& settings,
                                          const AppFolder& folder, const std::string& unsetStart)
{
    RememberedFolders folders;
    if (settings) {
        folders.inputFiles = settings->inputFolder;
        folders.weatherFiles = settings->weatherFolder;
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
}

std::string folderOf(const fs::path& file)
{
    std::string text = file.parent_path().string();
    if (text.empty() || text.back() != fs::path::preferred_separator)
        text += fs::path::preferred_separator;
    return text;
}

} // namespace pluvora

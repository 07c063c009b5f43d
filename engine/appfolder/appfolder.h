#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace pluvora {

// Fixed names of the working files that carry data between the stages of a
// run. They live in the application folder.
namespace workfile {
inline constexpr std::string_view kInput = "Input.~";
inline constexpr std::string_view kTemp = "temp.~";
inline constexpr std::string_view kOutput = "Output.~";
inline constexpr std::string_view kOut = "Out.~";
inline constexpr std::string_view kReport = "Report.~";
inline constexpr std::string_view kForUpdate = "forUpdate.~";
inline constexpr std::string_view kDontShowAgain = "DSMA1.~";
} // namespace workfile

// Files the program keeps for itself in the application folder. A missing
// one is copied from the installed defaults at start-up, in this order.
namespace defaultfile {
inline constexpr std::string_view kFavoriteNames = "FavoriteNames.pvd";
inline constexpr std::string_view kFavoriteUrls = "FavoriteURLs.pvd";
inline constexpr std::string_view kGearBmp = "Gear.bmp";
inline constexpr std::string_view kGearGif = "Gear.gif";
inline constexpr std::string_view kHomepage = "Homepage.pvd";
inline constexpr std::string_view kHotlinks = "Hotlinks.pvd";
inline constexpr std::string_view kLastSessionTemplate = "Last Session Template.pvd";
inline constexpr std::string_view kOption = "Option.pvd";
inline constexpr std::string_view kTemplateList = "TemplateList.pvd";
inline constexpr std::string_view kTemplateSettings = "TemplateSettings.pvd";

inline constexpr std::array<std::string_view, 10> kSeedOrder = {
    kFavoriteNames, kFavoriteUrls, kGearBmp, kGearGif, kHomepage,
    kHotlinks, kLastSessionTemplate, kOption, kTemplateList, kTemplateSettings,
};
} // namespace defaultfile

// The application folder's own name inside the platform's per-user data folder.
inline constexpr std::string_view kAppFolderName = "Pluvora2016_1";
// Shown when the platform gives no per-user data folder.
inline constexpr std::string_view kFolderPathNotFound = "Could not find the folder path.";

// The per-user folder that holds the settings, templates, browser lists and
// working files. File names are matched without regard to letter case, so a
// user's "templatelist.pvd" is the program's "TemplateList.pvd".
class AppFolder {
public:
    explicit AppFolder(std::filesystem::path directory);

    // Start-up: kAppFolderName under the platform's per-user data folder,
    // set up as by setUp. An empty `platformFolder` throws
    // Error(kFolderPathNotFound).
    static AppFolder prepare(const std::filesystem::path& platformFolder,
                             const std::filesystem::path& defaultsFolder);
    // Start-up at a known folder: created when missing, missing default
    // files copied from `defaultsFolder` (none when it is empty), stale
    // working files deleted. Throws Error when the folder cannot be created.
    static AppFolder setUp(const std::filesystem::path& directory,
                           const std::filesystem::path& defaultsFolder);

    const std::filesystem::path& path() const { return mPath; }
    // The folder as text, ending with a separator.
    std::string pathText() const;

    // The existing file whose name matches `name` in any letter case, or the
    // path for a new file of exactly that name.
    std::filesystem::path file(std::string_view name) const;
    bool exists(std::string_view name) const;
    // Removes the file if present; true when it is gone.
    bool remove(std::string_view name) const;

    // Copies each default file that is missing here from `defaultsFolder`.
    // A default that is missing there too is passed over: the readers of
    // each file cope with its absence.
    void seedDefaultFiles(const std::filesystem::path& defaultsFolder) const;

    // Deletes the working files ("*.~") and the spreadsheet copies
    // ("~*.xls"), names in any letter case. A file another program holds
    // open stays; the next start or close tries again.
    void deleteFiles() const;

private:
    std::filesystem::path mPath;
};

} // namespace pluvora

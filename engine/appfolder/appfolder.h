#pragma once

#include <filesystem>
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

// The per-user folder that holds the settings, templates, browser lists and
// working files. File names are matched without regard to letter case, so a
// user's "templatelist.pvd" is the program's "TemplateList.pvd".
class AppFolder {
public:
    explicit AppFolder(std::filesystem::path directory);

    const std::filesystem::path& path() const { return mPath; }
    // The folder as text, ending with a separator.
    std::string pathText() const;

    // The existing file whose name matches `name` in any letter case, or the
    // path for a new file of exactly that name.
    std::filesystem::path file(std::string_view name) const;
    bool exists(std::string_view name) const;
    // Removes the file if present; true when it is gone.
    bool remove(std::string_view name) const;

private:
    std::filesystem::path mPath;
};

} // namespace pluvora

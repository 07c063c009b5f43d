#include "engine/appfolder/appfolder.h"

#include "engine/error.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool sameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return lower(x) == lower(y); });
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && sameNameIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size()
        && sameNameIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

bool isWorkingFile(std::string_view name) { return endsWithIgnoringCase(name, ".~"); }

bool isSpreadsheetCopy(std::string_view name)
{
    return startsWithIgnoringCase(name, "~") && endsWithIgnoringCase(name, ".xls");
}

template <typename Match>
void deleteMatching(const fs::path& folder, Match matches)
{
    std::error_code ec;
    std::vector<fs::path> doomed;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_directory(typeError) && matches(it->path().filename().string()))
            doomed.push_back(it->path());
    }
    for (const fs::path& file : doomed) {
        std::error_code removeError;
        fs::remove(file, removeError);
    }
}

} // namespace

AppFolder::AppFolder(fs::path directory)
    : mPath(std::move(directory))
{
}

AppFolder AppFolder::prepare(const fs::path& platformFolder, const fs::path& defaultsFolder)
{
    if (platformFolder.empty())
        throw Error(std::string(kFolderPathNotFound));
    return setUp(platformFolder / kAppFolderName, defaultsFolder);
}

AppFolder AppFolder::setUp(const fs::path& directory, const fs::path& defaultsFolder)
{
    AppFolder folder(directory);
    std::error_code ec;
    // A fresh account may not have the platform's data folder yet either.
    fs::create_directories(folder.path(), ec);
    if (!fs::is_directory(folder.path(), ec))
        throw Error("Could not create the folder \"" + folder.path().string() + "\".");
    folder.seedDefaultFiles(defaultsFolder);
    folder.deleteFiles();
    return folder;
}

std::string AppFolder::pathText() const
{
    std::string text = mPath.string();
    if (text.empty() || text.back() != fs::path::preferred_separator)
        text += fs::path::preferred_separator;
    return text;
}

fs::path AppFolder::file(std::string_view name) const
{
    fs::path exact = mPath / name;
    std::error_code ec;
    if (fs::exists(exact, ec))
        return exact;
    for (fs::directory_iterator it(mPath, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (sameNameIgnoringCase(candidate, name))
            return it->path();
    }
    return exact;
}

bool AppFolder::exists(std::string_view name) const
{
    std::error_code ec;
    return fs::exists(file(name), ec);
}

bool AppFolder::remove(std::string_view name) const
{
    std::error_code ec;
    fs::remove(file(name), ec);
    return !fs::exists(file(name), ec);
}

void AppFolder::seedDefaultFiles(const fs::path& defaultsFolder) const
{
    if (defaultsFolder.empty())
        return;
    const AppFolder source(defaultsFolder);
    for (std::string_view name : defaultfile::kSeedOrder) {
        if (exists(name))
            continue;
        const fs::path from = source.file(name);
        std::error_code ec;
        if (!fs::is_regular_file(from, ec))
            continue;
        // Copy under a passing name first, so a failed copy never leaves a
        // half file that would count as present at the next start.
        const fs::path to = mPath / name;
        fs::path part = to;
        part += ".part";
        if (fs::copy_file(from, part, fs::copy_options::overwrite_existing, ec))
            fs::rename(part, to, ec);
        if (ec) {
            std::error_code removeError;
            fs::remove(part, removeError);
        }
    }
}

void AppFolder::deleteFiles() const
{
    deleteMatching(mPath, isWorkingFile);
    deleteMatching(mPath, isSpreadsheetCopy);
}

} // namespace pluvora

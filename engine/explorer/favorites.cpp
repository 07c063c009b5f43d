#include "engine/explorer/favorites.h"

#include "engine/appfolder/safefile.h"
#include "engine/explorer/explorerfiles.h"

#include <algorithm>

namespace pluvora {

namespace {

std::vector<std::string> linesOf(const AppFolder& folder, std::string_view name)
{
    if (!folder.exists(name))
        return {};
    return readTextLines(folder.file(name)).value_or(std::vector<std::string>{});
}

void writeBoth(const AppFolder& folder, const std::vector<std::string>& names,
               const std::vector<std::string>& addresses)
{
    writeLinesSafely(folder.file(defaultfile::kFavoriteNames), names);
    writeLinesSafely(folder.file(defaultfile::kFavoriteUrls), addresses);
}

} // namespace

std::vector<std::string> loadFavoriteNames(const AppFolder& folder)
{
    return linesOf(folder, defaultfile::kFavoriteNames);
}

std::optional<std::string> favoriteAddress(const AppFolder& folder, int position)
{
    if (position < 0 || !folder.exists(defaultfile::kFavoriteUrls))
        return std::nullopt;
    const auto lines = readTextLines(folder.file(defaultfile::kFavoriteUrls));
    if (!lines || static_cast<std::size_t>(position) >= lines->size())
        return std::nullopt;
    return (*lines)[static_cast<std::size_t>(position)];
}

bool favoriteNameIsUsed(const std::vector<std::string>& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

void addFavorite(const AppFolder& folder, std::vector<std::string> names, const std::string& name,
                 const std::string& address)
{
    names.push_back(oneLine(name));
    std::vector<std::string> addresses = linesOf(folder, defaultfile::kFavoriteUrls);
    addresses.push_back(oneLine(address));
    writeBoth(folder, names, addresses);
}

FavoriteEditor::FavoriteEditor(const AppFolder& folder)
    : mFolder(folder)
    , mNames(linesOf(folder, defaultfile::kFavoriteNames))
    , mAddresses(linesOf(folder, defaultfile::kFavoriteUrls))
{
}

void FavoriteEditor::choose(int position)
{
    mChosen = position >= 0 && position < static_cast<int>(mNames.size()) ? position : -1;
}

bool FavoriteEditor::rename(const std::string& text)
{
    if (mChosen < 0)
        return false;
    mNames[static_cast<std::size_t>(mChosen)] = oneLine(text);
    return true;
}

bool FavoriteEditor::removeChosen()
{
    if (mChosen < 0)
        return false;
    const auto position = static_cast<std::size_t>(mChosen);
    mNames.erase(mNames.begin() + mChosen);
    if (position < mAddresses.size())
        mAddresses.erase(mAddresses.begin() + mChosen);
    writeBoth(mFolder, mNames, mAddresses);
    choose(0);
    return true;
}

void FavoriteEditor::save() const { writeBoth(mFolder, mNames, mAddresses); }

} // namespace pluvora

#pragma once

#include "engine/appfolder/appfolder.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// "FavoriteNames.pvd" and "FavoriteURLs.pvd" are parallel lists: line k of
// one belongs to line k of the other. Every change rewrites both files,
// each one whole before it replaces the old one, so a failure or a crash
// never pairs a name with another favorite's address.

// The names in menu order; empty when the file is missing.
std::vector<std::string> loadFavoriteNames(const AppFolder& folder);
// The address of the favorite at `position` (from 0); nothing when the
// file or the line is missing.
std::optional<std::string> favoriteAddress(const AppFolder& folder, int position);

// Shown when a new favorite's name is taken; letter case counts.
inline constexpr const char* kNameAlreadyUsed = "The name is already used. Specify a new name.";
bool favoriteNameIsUsed(const std::vector<std::string>& names, std::string_view name);

// "Add to favorites": `names` (the saved names the dialog lists) with
// `name` (cut at a line break) appended replace the names file; `address` is appended to the
// addresses file, which is created when missing. Throws Error when a file
// cannot be written.
void addFavorite(const AppFolder& folder, std::vector<std::string> names, const std::string& name,
                 const std::string& address);

// "Manage favorites": renames and deletes on both lists. Commands act on the
// name chosen from the list in this use of the dialog and are ignored until
// one is chosen, so nothing ever acts on a stale or invalid position.
class FavoriteEditor {
public:
    explicit FavoriteEditor(const AppFolder& folder);

    const std::vector<std::string>& names() const { return mNames; }
    const std::vector<std::string>& addresses() const { return mAddresses; }

    // The list closed with `position` selected (-1: nothing).
    void choose(int position);
    int chosen() const { return mChosen; }

    // Accept: the chosen name becomes `text`; written when the dialog
    // closes. False when ignored.
    bool rename(const std::string& text);
    // Delete: removes the chosen favorite from both lists and writes both
    // files at once; the first name is chosen afterwards. False when ignored.
    bool removeChosen();
    // Closing: writes both files. Throws Error when one cannot be written.
    void save() const;

private:
    AppFolder mFolder;
    std::vector<std::string> mNames;
    std::vector<std::string> mAddresses;
    int mChosen = -1;
};

} // namespace pluvora

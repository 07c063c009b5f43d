#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/templates/datatemplate.h"

#include <functional>
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

inline constexpr std::string_view kSettingsBackup = "TemplateSettings.old";
inline constexpr std::string_view kRenameBackup = "TemplateOld.pvd";

// The three template files of the application folder.
//
// "TemplateList.pvd": one name per line, sorted. "TemplateSettings.pvd": one
// block per template, a name line followed by exactly three lines (rows,
// twelve variable indexes, twelve unit indexes, each index followed by a
// tab); a save appends the block after an empty line, a rewrite writes the
// blocks back without it, and readers skip empty lines between blocks.
// "Last Session Template.pvd": the three lines of one block, no name.
class TemplateStore {
public:
    explicit TemplateStore(const AppFolder& folder) : mFolder(folder) {}

    bool hasList() const;
    bool hasSettings() const;

    // The names of "TemplateList.pvd" in list order, empty lines skipped;
    // none when the file is missing.
    std::vector<std::string> names() const;
    // Sorts and writes the list.
    void saveNames(std::vector<std::string> names) const;

    // The block whose name line equals `name`. Only name lines are compared,
    // so a template named 4 is never mistaken for a rows line of 4. Nothing
    // when there is no such complete block. Throws Error("Invalid numeric
    // input") when the block's numbers are not integers.
    std::optional<DataTemplate> find(std::string_view name) const;

    // Appends a block, creating the file when needed.
    void append(std::string_view name, const DataTemplate& spec) const;

    // The rewrites. Each writes the new settings file completely beside the
    // old one and renames it over the old one, holding a copy under the
    // backup name meanwhile. `rename` and `remove` throw TemplateDamaged on a
    // block cut short by the end of the file and leave the file as it was;
    // `removeBlocks` copies such a block with empty lines for the missing ones.
    void removeBlocks(std::string_view name) const;
    // Every block named `newName` goes, every block named `oldName` takes
    // `newName` where it stands.
    void rename(std::string_view oldName, std::string_view newName) const;
    void remove(std::string_view name) const;

    // Nothing when the last-session file is missing.
    std::optional<DataTemplate> lastSession() const;
    void saveLastSession(const DataTemplate& spec) const;

private:
    // `rename` gives the name a block is written under, nothing to drop it.
    using Renamer = std::function<std::optional<std::string>(const std::string&)>;
    void rewrite(std::string_view backupName, const Renamer& rename, bool refuseDamaged) const;

    const AppFolder& mFolder;
};

// A settings file whose last block ends early.
class TemplateDamaged : public std::runtime_error {
public:
    TemplateDamaged() : std::runtime_error("damaged template block") {}
};

// The order of the sorted list controls: letters compared without regard to
// case, ties broken by the exact text.
void sortTemplateNames(std::vector<std::string>& names);

// The rows line and two index lines of a block. Missing indexes are -1 and
// a missing rows number 0; throws Error("Invalid numeric input") on a token
// that is not a whole number.
DataTemplate parseTemplateLines(std::string_view rows, std::string_view variables,
                                std::string_view units);
// The three lines as written, without line ends.
std::array<std::string, 3> templateLines(const DataTemplate& spec);

} // namespace pluvora

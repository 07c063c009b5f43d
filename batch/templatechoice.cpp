#include "batch/templatechoice.h"

#include "engine/appfolder/appfolder.h"
#include "engine/error.h"
#include "engine/templates/templatestore.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

// The blocks of a settings file: a name line and three lines each, empty
// lines between blocks skipped; a block cut short counts as absent.
TemplateLookup lookUpInFile(const std::string& name, const fs::path& file)
{
    std::error_code ec;
    if (fs::is_directory(file, ec))
        throw Error("\"" + file.string() + "\" is a folder, not a template file");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw Error("Cannot open the template file \"" + file.string() + "\"");
    auto next = [&in](std::string& line) {
        if (!std::getline(in, line))
            return false;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    };
    TemplateLookup lookup;
    std::string blockName;
    while (next(blockName)) {
        if (blockName.empty())
            continue;
        std::string lines[3];
        if (!next(lines[0]) || !next(lines[1]) || !next(lines[2]))
            break;
        lookup.names.push_back(blockName);
        // The first block of a name wins, as in the window.
        if (blockName == name && !lookup.found)
            lookup.found = parseTemplateLines(lines[0], lines[1], lines[2]);
    }
    sortTemplateNames(lookup.names);
    return lookup;
}

} // namespace

fs::path userAppFolder()
{
    fs::path base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && fs::path(data).is_absolute())
        base = data;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".local" / "share";
    if (base.empty())
        return {};
    return base / kAppFolderName;
}

TemplateLookup lookUpTemplate(const std::string& name, const std::optional<std::string>& settingsFile)
{
    if (settingsFile)
        return lookUpInFile(name, *settingsFile);
    const fs::path folderPath = userAppFolder();
    if (folderPath.empty())
        throw Error(std::string(kFolderPathNotFound));
    const AppFolder folder(folderPath);
    const TemplateStore store(folder);
    TemplateLookup lookup;
    lookup.names = store.names();
    lookup.found = store.find(name);
    return lookup;
}

} // namespace pluvora

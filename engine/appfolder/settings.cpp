#include "engine/appfolder/settings.h"

#include "engine/appfolder/safefile.h"
#include "engine/error.h"
#include "engine/io/textreader.h"

#include <vector>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

bool readFlag(TextReader& reader)
{
    try {
        return reader.readInteger() != 0;
    } catch (const Error&) {
        return false;
    }
}

const char* flagText(bool on) { return on ? "1" : "0"; }

} // namespace

Settings readSettingsFile(const fs::path& path)
{
    TextReader reader(path);
    Settings settings;
    reader.readLine(settings.inputFolder);
    reader.readLine(settings.weatherFolder);
    settings.elasticWindow = readFlag(reader);
    settings.horizontalScrollBar = readFlag(reader);
    settings.spacerEnabled = readFlag(reader);
    settings.substitutionEnabled = readFlag(reader);
    try {
        settings.missingSign = std::to_string(reader.readInteger());
    } catch (const Error&) {
        return settings;
    }
    reader.get();
    std::string rest;
    reader.readLine(rest);
    settings.substitution = rest;
    std::string suggest;
    if (reader.readLine(suggest) && suggest == "0")
        settings.suggestLayout = false;
    return settings;
}

std::optional<Settings> readSettings(const AppFolder& folder)
{
    if (!folder.exists(defaultfile::kOption))
        return std::nullopt;
    try {
        return readSettingsFile(folder.file(defaultfile::kOption));
    } catch (const Error&) {
        return std::nullopt;
    }
}

void writeSettingsFile(const fs::path& path, const Settings& settings)
{
    std::vector<std::string> lines = {
        settings.inputFolder,
        settings.weatherFolder,
        flagText(settings.elasticWindow),
        flagText(settings.horizontalScrollBar),
        flagText(settings.spacerEnabled),
        flagText(settings.substitutionEnabled),
        settings.missingSign + '\t' + settings.substitution,
    };
    if (!settings.suggestLayout)
        lines.emplace_back(flagText(false));
    writeLinesSafely(path, lines);
}

void saveSettingsOnClose(const AppFolder& folder, const Settings& current)
{
    Settings saved = current;
    saved.inputFolder = folder.pathText();
    saved.weatherFolder = folder.pathText();
    if (folder.exists(defaultfile::kOption)) {
        try {
            TextReader reader(folder.file(defaultfile::kOption));
            std::string line;
            if (reader.readLine(line)) {
                saved.inputFolder = line;
                saved.weatherFolder.clear();
                reader.readLine(saved.weatherFolder);
            }
        } catch (const Error&) {
            // Unreadable: fall back to the application folder as for a missing file.
        }
    }
    writeSettingsFile(folder.file(defaultfile::kOption), saved);
}

void saveFolderSettings(const AppFolder& folder, const std::string& inputFolder,
                        const std::string& weatherFolder)
{
    writeLinesSafely(folder.file(defaultfile::kOption), {inputFolder, weatherFolder});
}

FolderLines readFolderLines(const AppFolder& folder)
{
    FolderLines lines;
    if (const auto settings = readSettings(folder)) {
        lines.inputFolder = settings->inputFolder;
        lines.weatherFolder = settings->weatherFolder;
    }
    lines.inputFolder = folderOrAppFolder(lines.inputFolder, folder);
    lines.weatherFolder = folderOrAppFolder(lines.weatherFolder, folder);
    return lines;
}

std::string folderOrAppFolder(const std::string& text, const AppFolder& folder)
{
    return text.empty() ? folder.pathText() : text;
}

} // namespace pluvora

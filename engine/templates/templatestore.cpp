#include "engine/templates/templatestore.h"

#include "engine/appfolder/safefile.h"
#include "engine/error.h"
#include "engine/io/backupreplace.h"
#include "engine/io/numbertext.h"
#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kIntegerTokenLimit = 32;

bool isSeparator(char c) { return static_cast<unsigned char>(c) <= 32; }

// The first `count` whole numbers of a line, separated as the text readers
// separate them; the rest of the line is not looked at.
std::vector<int> integersOf(std::string_view line, std::size_t count)
{
    std::vector<int> values;
    std::size_t i = 0;
    while (i < line.size() && values.size() < count) {
        while (i < line.size() && isSeparator(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isSeparator(line[i]) && i - start < kIntegerTokenLimit)
            ++i;
        if (i == start)
            break;
        const auto value = parseInteger(line.substr(start, i - start));
        if (!value)
            throw Error(kInvalidNumericInput);
        values.push_back(*value);
    }
    return values;
}

// What follows the first token of a rows line.
std::string_view readingPart(std::string_view rows)
{
    std::size_t i = 0;
    while (i < rows.size() && isSeparator(rows[i]))
        ++i;
    while (i < rows.size() && !isSeparator(rows[i]))
        ++i;
    return rows.substr(i);
}

void fillIndexes(std::array<int, kColumnBoxes>& target, std::string_view line)
{
    const std::vector<int> values = integersOf(line, target.size());
    for (std::size_t k = 0; k < target.size(); ++k)
        target[k] = k < values.size() ? values[k] : -1;
}

std::string indexLine(const std::array<int, kColumnBoxes>& indexes)
{
    std::string line;
    for (int index : indexes) {
        line += std::to_string(index);
        line += '\t';
    }
    return line;
}

struct Block {
    std::string name;
    std::array<std::string, 3> lines;
    bool complete = true;
};

// Walks the blocks of a settings file: empty lines between blocks are
// skipped, and every other line starts a block of four lines.
class BlockReader {
public:
    explicit BlockReader(const fs::path& path) : mReader(path) {}

    std::optional<Block> next()
    {
        Block block;
        do {
            if (!mReader.readLine(block.name))
                return std::nullopt;
        } while (block.name.empty());
        for (auto& line : block.lines) {
            if (!mReader.readLine(line)) {
                line.clear();
                block.complete = false;
            }
        }
        return block;
    }

private:
    TextReader mReader;
};

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

} // namespace

void sortTemplateNames(std::vector<std::string>& names)
{
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const bool less = std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](char x, char y) { return lower(x) < lower(y); });
        const bool greater = std::lexicographical_compare(
            b.begin(), b.end(), a.begin(), a.end(),
            [](char x, char y) { return lower(x) < lower(y); });
        if (less != greater)
            return less;
        return a < b;
    });
}

DataTemplate parseTemplateLines(std::string_view rows, std::string_view variables,
                                std::string_view units)
{
    DataTemplate spec;
    const std::vector<int> rowValues = integersOf(rows, 1);
    spec.rowsBefore = rowValues.empty() ? 0 : rowValues.front();
    // The reading settings follow the rows number on its line, where a
    // reader that knows only the number skips them; an old file has none.
    try {
        parseReadingText(readingPart(rows), spec);
    } catch (const LayoutTextError&) {
        spec.fields = FieldSeparator::Blanks;
        spec.fieldEnds.clear();
        spec.decimalComma = false;
        spec.traceCode.clear();
        spec.missingTexts.clear();
    }
    spec.fill = parseFillChoiceText(readingPart(rows));
    fillIndexes(spec.variables, variables);
    fillIndexes(spec.units, units);
    return spec;
}

std::array<std::string, 3> templateLines(const DataTemplate& spec)
{
    std::string rows = std::to_string(spec.rowsBefore);
    // Fill words follow the reading words, where older readers skip them;
    // without a fill the line is what it always was.
    std::string words = readingText(spec);
    if (const std::string fill = fillChoiceText(spec.fill); !fill.empty())
        words += (words.empty() ? "" : " ") + fill;
    if (!words.empty())
        rows += '\t' + words;
    return {rows, indexLine(spec.variables), indexLine(spec.units)};
}

bool TemplateStore::hasList() const { return mFolder.exists(defaultfile::kTemplateList); }

bool TemplateStore::hasSettings() const { return mFolder.exists(defaultfile::kTemplateSettings); }

std::vector<std::string> TemplateStore::names() const
{
    std::vector<std::string> list;
    if (!hasList())
        return list;
    TextReader reader(mFolder.file(defaultfile::kTemplateList));
    std::string line;
    while (reader.readLine(line))
        if (!line.empty())
            list.push_back(line);
    return list;
}

void TemplateStore::saveNames(std::vector<std::string> names) const
{
    sortTemplateNames(names);
    writeLinesSafely(mFolder.file(defaultfile::kTemplateList), names);
}

std::optional<DataTemplate> TemplateStore::find(std::string_view name) const
{
    if (!hasSettings())
        return std::nullopt;
    BlockReader blocks(mFolder.file(defaultfile::kTemplateSettings));
    while (auto block = blocks.next()) {
        if (block->name != name)
            continue;
        if (!block->complete)
            return std::nullopt;
        return parseTemplateLines(block->lines[0], block->lines[1], block->lines[2]);
    }
    return std::nullopt;
}

void TemplateStore::append(std::string_view name, const DataTemplate& spec) const
{
    // The file is written anew with the block at its end, so that a failed
    // write costs nothing at all.
    const fs::path path = mFolder.file(defaultfile::kTemplateSettings);
    std::string old;
    if (fs::exists(path)) {
        std::ifstream in(path, std::ios::binary);
        old.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad())
            throw Error("Cannot read file \"" + path.string() + "\"");
    }
    writeFileWhole(
        path,
        [&](const fs::path& part) {
            TextWriter writer(part);
            writer.write(old);
            writer.writeLine();
            writer.writeLine(name);
            for (const std::string& line : templateLines(spec))
                writer.writeLine(line);
            writer.close();
        },
        TemporaryName::Fixed);
}

void TemplateStore::removeBlocks(std::string_view name) const
{
    rewrite(kSettingsBackup,
            [name](const std::string& blockName) -> std::optional<std::string> {
                if (blockName == name)
                    return std::nullopt;
                return blockName;
            },
            false);
}

void TemplateStore::rename(std::string_view oldName, std::string_view newName) const
{
    rewrite(kRenameBackup,
            [oldName, newName](const std::string& blockName) -> std::optional<std::string> {
                if (blockName == oldName)
                    return std::string(newName);
                if (blockName == newName)
                    return std::nullopt;
                return blockName;
            },
            true);
}

void TemplateStore::remove(std::string_view name) const
{
    rewrite(kSettingsBackup,
            [name](const std::string& blockName) -> std::optional<std::string> {
                if (blockName == name)
                    return std::nullopt;
                return blockName;
            },
            true);
}

void TemplateStore::rewrite(std::string_view backupName, const Renamer& renameBlock,
                            bool refuseDamaged) const
{
    const fs::path settings = mFolder.file(defaultfile::kTemplateSettings);
    mFolder.remove(backupName);
    const fs::path backup = mFolder.file(backupName);
    // The copy keeps the user's templates should the program stop half way.
    if (fs::exists(settings)) {
        std::error_code ec;
        fs::copy_file(settings, backup, fs::copy_options::overwrite_existing, ec);
        if (ec)
            throw Error("Cannot write file \"" + backup.string() + "\": " + ec.message());
    }
    try {
        writeFileWhole(
            settings,
            [&](const fs::path& part) {
                TextWriter writer(part);
                if (fs::exists(settings)) {
                    BlockReader blocks(settings);
                    while (auto block = blocks.next()) {
                        if (!block->complete && refuseDamaged)
                            throw TemplateDamaged();
                        const auto name = renameBlock(block->name);
                        if (!name)
                            continue;
                        writer.writeLine(*name);
                        for (const std::string& line : block->lines)
                            writer.writeLine(line);
                    }
                }
                writer.close();
            },
            TemporaryName::Fixed);
    } catch (...) {
        mFolder.remove(backupName);
        throw;
    }
    mFolder.remove(backupName);
}

std::optional<DataTemplate> TemplateStore::lastSession() const
{
    if (!mFolder.exists(defaultfile::kLastSessionTemplate))
        return std::nullopt;
    std::array<std::string, 3> lines;
    try {
        TextReader reader(mFolder.file(defaultfile::kLastSessionTemplate));
        for (auto& line : lines)
            if (!reader.readLine(line))
                line.clear();
    } catch (const Error&) {
        return std::nullopt; // cannot be opened: as if it were not there
    }
    return parseTemplateLines(lines[0], lines[1], lines[2]);
}

void TemplateStore::saveLastSession(const DataTemplate& spec) const
{
    const auto lines = templateLines(spec);
    writeFileWhole(
        mFolder.file(defaultfile::kLastSessionTemplate),
        [&lines](const fs::path& part) {
            TextWriter writer(part);
            writer.writeLine(lines[0]);
            writer.writeLine(lines[1]);
            writer.write(lines[2]); // no line end after the last line
            writer.close();
        },
        TemporaryName::Fixed);
}

} // namespace pluvora

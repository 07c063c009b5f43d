#include "engine/suggest/suggestiontables.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace pluvora {

// The text of resources/suggest/*.tsv, carried by the engine so that a
// suggestion needs no installed files.
extern const char* const kBuiltInColumnNames;
extern const char* const kBuiltInUnitNames;

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> split(std::string_view s, char sep)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const auto end = s.find(sep, start);
        parts.push_back(s.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// Each table line that is neither empty nor a comment, split at tabs.
template <typename Visit>
void forEachRow(std::string_view text, Visit visit)
{
    for (std::string_view line : split(text, '\n')) {
        line = trimmed(line);
        if (line.empty() || line.front() == '#')
            continue;
        visit(split(line, '\t'));
    }
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

std::string_view unitInName(std::string_view name)
{
    const auto open = name.find_first_of("([");
    if (open == std::string_view::npos)
        return {};
    const char close = name[open] == '(' ? ')' : ']';
    const auto end = name.find(close, open + 1);
    return name.substr(open + 1, end == std::string_view::npos ? end : end - open - 1);
}

std::string normaliseHeaderName(std::string_view name)
{
    name = trimmed(name);
    while (!name.empty() && (name.front() == '"' || name.front() == '\''))
        name.remove_prefix(1);
    while (!name.empty() && (name.back() == '"' || name.back() == '\''))
        name.remove_suffix(1);
    if (!name.empty() && std::string_view("#!@*%").find(name.front()) != std::string_view::npos)
        name.remove_prefix(1);
    const auto unit = name.find_first_of("([");
    if (unit != std::string_view::npos)
        name = name.substr(0, unit);
    std::string key;
    bool blank = false;
    for (char c : trimmed(name)) {
        if (c == ' ' || c == '_' || c == '\t') {
            blank = true;
            continue;
        }
        if (blank && !key.empty())
            key += ' ';
        blank = false;
        key += lower(c);
    }
    return key;
}

std::string normaliseUnitText(std::string_view text)
{
    std::string unit;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ' ' || c == '\t' || byte >= 0x80)
            continue;
        unit += lower(c);
    }
    return unit;
}

const SuggestionTables& SuggestionTables::builtIn()
{
    static const SuggestionTables tables = [] {
        SuggestionTables t;
        t.addNames(kBuiltInColumnNames);
        t.addUnits(kBuiltInUnitNames);
        return t;
    }();
    return tables;
}

SuggestionTables SuggestionTables::withUserFiles(const std::filesystem::path& folder)
{
    SuggestionTables tables = builtIn();
    std::error_code ec;
    if (std::filesystem::is_regular_file(folder / "SuggestNames.txt", ec))
        tables.addNames(readFile(folder / "SuggestNames.txt"));
    if (std::filesystem::is_regular_file(folder / "SuggestUnits.txt", ec))
        tables.addUnits(readFile(folder / "SuggestUnits.txt"));
    return tables;
}

void SuggestionTables::addNames(std::string_view tableText)
{
    std::vector<KnownColumnName> added;
    forEachRow(tableText, [&](const std::vector<std::string_view>& cells) {
        if (cells.size() < 2 || trimmed(cells[1]).empty())
            return;
        KnownColumnName entry;
        entry.key = normaliseHeaderName(cells[0]);
        entry.variable = std::string(trimmed(cells[1]));
        if (cells.size() > 2)
            for (std::string_view unit : split(trimmed(cells[2]), '|'))
                if (!trimmed(unit).empty())
                    entry.units.emplace_back(trimmed(unit));
        if (cells.size() > 3)
            for (char c : trimmed(cells[3]))
                entry.context += lower(c);
        // The note is the last cell: blank cells may stand between.
        for (std::size_t i = 4; i < cells.size(); ++i)
            if (!trimmed(cells[i]).empty())
                entry.note = std::string(trimmed(cells[i]));
        if (!entry.key.empty())
            added.push_back(std::move(entry));
    });
    // Later tables win: their lines go first.
    mNames.insert(mNames.begin(), added.begin(), added.end());
}

void SuggestionTables::addUnits(std::string_view tableText)
{
    std::vector<std::pair<std::string, std::string>> added;
    forEachRow(tableText, [&](const std::vector<std::string_view>& cells) {
        if (cells.size() >= 2 && !trimmed(cells[1]).empty())
            added.emplace_back(normaliseUnitText(cells[0]), std::string(trimmed(cells[1])));
    });
    mUnits.insert(mUnits.begin(), added.begin(), added.end());
}

std::vector<const KnownColumnName*> SuggestionTables::lookUp(std::string_view key,
                                                            std::string_view headerLower) const
{
    std::vector<const KnownColumnName*> withContext;
    std::vector<const KnownColumnName*> plain;
    for (const auto& entry : mNames) {
        if (entry.key != key)
            continue;
        if (entry.context.empty())
            plain.push_back(&entry);
        else if (headerLower.find(entry.context) != std::string_view::npos)
            withContext.push_back(&entry);
    }
    withContext.insert(withContext.end(), plain.begin(), plain.end());
    return withContext;
}

std::string SuggestionTables::unitFor(std::string_view text) const
{
    const std::string key = normaliseUnitText(text);
    if (key.empty())
        return {};
    for (const auto& [alias, unit] : mUnits)
        if (alias == key)
            return unit;
    return {};
}

} // namespace pluvora

#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// One line of the column-name table: what a header name means.
struct KnownColumnName {
    std::string key;        // normalised name (see normaliseHeaderName)
    std::string variable;   // a variable box item, or "Ignore"
    std::vector<std::string> units; // candidates, first preferred; empty for date parts
    std::string context;    // lower case; must appear in the header rows
    std::string note;
};

// The names and unit spellings the layout suggestion knows. The built-in
// tables come from resources/suggest; a user's own files add to them and win.
class SuggestionTables {
public:
    static const SuggestionTables& builtIn();

    // The built-in tables plus "SuggestNames.txt" and "SuggestUnits.txt" in
    // `folder` where they exist.
    static SuggestionTables withUserFiles(const std::filesystem::path& folder);

    // Lines in the forms of resources/suggest/*.tsv; later lines win.
    void addNames(std::string_view tableText);
    void addUnits(std::string_view tableText);

    // The entries for a normalised name: those whose context appears in
    // `headerLower` first, then those without context.
    std::vector<const KnownColumnName*> lookUp(std::string_view key,
                                               std::string_view headerLower) const;
    // The column-box unit a header writes as `text`, or "" when unknown.
    std::string unitFor(std::string_view text) const;

private:
    std::vector<KnownColumnName> mNames;
    std::vector<std::pair<std::string, std::string>> mUnits; // normalised alias, unit
};

// Lower case, quotes and a leading mark ("#", "!", "@", "*", "%") dropped, a unit in (..) or
// [..] cut off, blanks and underscores folded: "Max Temp (°C)" -> "max temp".
std::string normaliseHeaderName(std::string_view name);
// The text inside the first (..) or [..] of `name`, or "".
std::string_view unitInName(std::string_view name);
// Lower case without blanks and without bytes that are not ASCII.
std::string normaliseUnitText(std::string_view text);

} // namespace pluvora

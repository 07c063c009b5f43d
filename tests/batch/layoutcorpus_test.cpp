// The layout suggestion against what careful users write for real files:
// each file is read right, or its run is refused; never read wrong.

#include "batch/batchoptions.h"

#include "engine/columns/variablecatalogue.h"
#include "engine/suggest/layoutsuggestion.h"
#include "engine/suggest/suggestionverdict.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

using namespace pluvora;

namespace {

struct CarefulLayout {
    std::string file;
    std::string options;
    std::string describable; // "yes", or what no option says yet
};

std::vector<CarefulLayout> carefulLayouts()
{
    std::ifstream in(std::filesystem::path(PLUVORA_TEST_DATA) / "corpus" / "careful-layouts.tsv");
    std::vector<CarefulLayout> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.front() == '#')
            continue;
        std::stringstream cells(line);
        CarefulLayout row;
        std::getline(cells, row.file, '\t');
        std::getline(cells, row.options, '\t');
        std::getline(cells, row.describable, '\t');
        rows.push_back(row);
    }
    return rows;
}

// Words as a shell splits them: double quotes hold blanks.
std::vector<std::string> shellWords(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == ' ' && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

// How a layout reads the file: rows, fields, and per field of the data
// rows the variable and unit it gives.
struct Reading {
    int rows = 0;
    FieldSeparator fields = FieldSeparator::Blanks;
    std::vector<int> fieldEnds;
    bool decimalComma = false;
    std::map<int, std::string> columns;
};

Reading readingOf(const DataLayout& layout, int rows, const std::vector<int>& picked)
{
    Reading r{rows, layout.fields, layout.fieldEnds, layout.decimalComma, {}};
    for (int column = 1; column <= kColumnBoxes; ++column) {
        const int code = layout.variable(column);
        if (code <= kIgnore)
            continue;
        const int field = picked.empty() ? column
                          : column <= static_cast<int>(picked.size()) ? picked[static_cast<std::size_t>(column - 1)]
                                                                       : -column;
        std::string item(variableInfo(code).item);
        if (!layout.unitText(column).empty())
            item += ":" + std::string(layout.unitText(column));
        r.columns[field] = item;
    }
    return r;
}

Reading expectedReading(const std::string& options)
{
    std::vector<std::string> words = shellWords("--task 3 " + options + " input.txt");
    std::vector<std::string_view> args(words.begin(), words.end());
    const auto parsed = parseBatchOptions(args);
    if (const auto* error = std::get_if<UsageError>(&parsed))
        ADD_FAILURE() << options << ": " << error->message;
    const auto* o = std::get_if<BatchOptions>(&parsed);
    if (!o)
        return {};
    return readingOf(o->layout, std::stoi(o->rowsText), o->pick ? o->pick->fields : std::vector<int>{});
}

// What a weather file takes from the input: a difference in these is a
// wrong file; other columns only count where both read the same field.
bool weatherFileItem(const std::string& item)
{
    const std::string variable = item.substr(0, item.find(':'));
    return variable != "WndSpd" && variable != "SunHr" && variable != "SunHr%" && variable != "PanEvap" &&
           variable != "Soil-T";
}

std::string sameReading(const Reading& got, const Reading& want)
{
    if (got.rows != want.rows)
        return "rows " + std::to_string(got.rows) + ", not " + std::to_string(want.rows);
    if (got.fields != want.fields || got.fieldEnds != want.fieldEnds)
        return "fields read otherwise";
    if (got.decimalComma != want.decimalComma)
        return "decimal comma read otherwise";
    for (const auto& [field, item] : want.columns) {
        const auto it = got.columns.find(field);
        if (it == got.columns.end() ? weatherFileItem(item) : it->second != item)
            return "field " + std::to_string(field) + ": " + (it == got.columns.end() ? "unread" : it->second) +
                   ", not " + item;
    }
    for (const auto& [field, item] : got.columns)
        if (!want.columns.count(field) && weatherFileItem(item))
            return "field " + std::to_string(field) + " read as " + item;
    return {};
}

} // namespace

TEST(LayoutCorpus, EveryRealFileIsReadRightOrRefusedNeverWrong)
{
    const auto rows = carefulLayouts();
    ASSERT_GE(rows.size(), 23u);
    int right = 0, refused = 0, wrong = 0, describable = 0, describableRight = 0;
    std::string table = "\nfile | describable today | suggestion | why\n";
    for (const auto& row : rows) {
        const auto path = std::filesystem::path(PLUVORA_SAMPLE_DATA) / row.file;
        const LayoutSuggestion s = suggestLayoutOfFile(path);
        const bool picking = !s.picked.empty();
        const SuggestionVerdict verdict = judgeSuggestion(s, picking, 1, false);
        std::string difference = "nothing suggested";
        if (s.found && s.anyAssigned())
            difference = sameReading(readingOf(suggestedLayout(s, picking), s.rowsBefore, s.picked),
                                     expectedReading(row.options));
        const bool canSay = row.describable == "yes";
        describable += canSay;
        std::string outcome, why;
        if (canSay && difference.empty()) {
            ++right;
            ++describableRight;
            outcome = "right";
            why = verdict.mayRun() ? "" : "(runs refused: " + verdict.problems.front() + ")";
        } else if (!verdict.mayRun()) {
            ++refused;
            outcome = "refused";
            why = verdict.problems.front();
        } else if (difference.empty() && row.describable.find("(the run stops)") != std::string::npos) {
            // Text the first lines do not show stops the run where it stands.
            ++refused;
            outcome = "refused";
            why = "by the run: " + row.describable;
        } else {
            ++wrong;
            outcome = "WRONG";
            why = difference.empty() ? "runs although " + row.describable : difference;
        }
        table += row.file + " | " + (canSay ? "yes" : row.describable) + " | " + outcome + " | " + why + "\n";
    }
    table += "right " + std::to_string(right) + ", refused " + std::to_string(refused) + ", wrong " +
             std::to_string(wrong) + "; right of the describable: " + std::to_string(describableRight) + " of " +
             std::to_string(describable) + "\n";
    std::printf("%s", table.c_str());
    EXPECT_EQ(wrong, 0) << table;
    EXPECT_GE(describableRight * 10, describable * 9) << table;
}

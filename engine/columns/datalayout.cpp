#include "engine/columns/datalayout.h"

#include "engine/columns/cataloguenames.h"
#include "engine/io/numbertext.h"

#include <algorithm>

namespace pluvora {

namespace {

constexpr std::string_view kFieldNames[] = {"blanks", "comma", "semicolon", "tab", "fixed"};

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        items.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos)
            return items;
        start = at + 1;
    }
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

std::string_view DataLayout::unitText(int column) const
{
    const auto& list = variableInfo(variable(column)).units;
    const int at = unit(column);
    if (variable(column) < 0 || at < 0 || static_cast<std::size_t>(at) >= list.size())
        return {};
    return list[static_cast<std::size_t>(at)];
}

bool DataLayout::readsAsBlankSeparated() const
{
    return fields == FieldSeparator::Blanks && !decimalComma && traceCode.empty() && missingTexts.empty()
        && std::find(variables.begin(), variables.end(), kDate) == variables.end();
}

std::string columnsText(const DataLayout& layout)
{
    int last = 0;
    for (int column = 1; column <= kColumnBoxes; ++column)
        if (layout.variable(column) >= 0 && layout.variable(column) < kVariableCount)
            last = column;
    std::string text;
    for (int column = 1; column <= last; ++column) {
        if (column > 1)
            text += ',';
        const int code = layout.variable(column);
        if (code < 0 || code >= kVariableCount)
            continue;
        text += variableItems()[static_cast<std::size_t>(code)];
        const std::string_view unit = layout.unitText(column);
        if (!unit.empty()) {
            text += ':';
            text += unit;
        }
    }
    return text;
}

void parseColumnsText(std::string_view text, DataLayout& layout)
{
    const std::vector<std::string_view> items = split(text, ',');
    if (items.size() > static_cast<std::size_t>(kColumnBoxes))
        throw LayoutTextError("the column list has more than 12 columns");

    DataLayout parsed = layout;
    parsed.variables.fill(-1);
    parsed.units.fill(-1);
    for (std::size_t k = 0; k < items.size(); ++k) {
        const int column = static_cast<int>(k) + 1;
        const std::string_view item = items[k];
        if (item.empty())
            continue;
        const std::size_t colon = item.find(':');
        const std::string_view name = item.substr(0, colon);
        const bool unitGiven = colon != std::string_view::npos;
        const std::string_view unit = unitGiven ? item.substr(colon + 1) : std::string_view();

        // Names as people type them: any case, kept as the list's own text.
        const auto found = findVariable(name);
        const std::string where = "column " + std::to_string(column) + ": ";
        if (!found)
            throw LayoutTextError(where + "unknown variable '" + std::string(name) + "'",
                                  "the variables are " + variableNameList());
        const int code = *found;
        const VariableInfo& info = variableInfo(code);
        if (info.units.empty()) {
            if (unitGiven)
                throw LayoutTextError(where + std::string(info.item) + " takes no unit");
            parsed.setColumn(column, code);
            continue;
        }
        if (!unitGiven) {
            // Single-unit variables get their unit with the choice, as in
            // the window; the others stay without and the run names the column.
            parsed.setColumn(column, code, info.fixedUnit);
            continue;
        }
        const auto unitAt = findUnit(code, unit);
        if (!unitAt)
            throw LayoutTextError(where + "unknown unit '" + std::string(unit) + "' for " + std::string(info.item),
                                  "its units are " + unitNameList(code));
        parsed.setColumn(column, code, *unitAt);
    }
    layout = parsed;
}

DataLayout withoutColumns(const DataLayout& layout, const std::vector<bool>& removed)
{
    DataLayout kept = layout;
    int to = 1;
    for (int column = 1; column <= kColumnBoxes; ++column) {
        const auto k = static_cast<std::size_t>(column - 1);
        if (k < removed.size() && removed[k])
            continue;
        kept.setColumn(to++, layout.variable(column), layout.unit(column));
    }
    for (; to <= kColumnBoxes; ++to)
        kept.setColumn(to, -1, -1);
    return kept;
}

DataLayout layoutFromColumns(std::string_view text)
{
    DataLayout layout;
    parseColumnsText(text, layout);
    return layout;
}

std::string_view fieldSeparatorName(FieldSeparator fields)
{
    return kFieldNames[static_cast<std::size_t>(fields)];
}

FieldSeparator fieldSeparatorFromName(std::string_view name)
{
    for (std::size_t k = 0; k < std::size(kFieldNames); ++k)
        if (kFieldNames[k] == name)
            return static_cast<FieldSeparator>(k);
    throw LayoutTextError("unknown field separator '" + std::string(name)
                          + "' (blanks, comma, semicolon, tab or fixed)");
}

std::vector<int> parseFieldEnds(std::string_view text)
{
    std::vector<int> ends;
    for (const std::string_view item : split(text, ',')) {
        const auto end = parseInteger(item);
        if (!end || *end < 1 || (!ends.empty() && *end <= ends.back()))
            throw LayoutTextError("field ends must be ascending whole numbers of 1 or more, e.g. 5,11,17");
        ends.push_back(*end);
    }
    return ends;
}

std::string readingText(const DataLayout& layout)
{
    std::string text;
    auto word = [&text](std::string_view w) {
        if (!text.empty())
            text += ' ';
        text += w;
    };
    if (layout.fields != FieldSeparator::Blanks)
        word("fields=" + std::string(fieldSeparatorName(layout.fields)));
    if (!layout.fieldEnds.empty()) {
        std::string ends = "widths=";
        for (std::size_t k = 0; k < layout.fieldEnds.size(); ++k) {
            if (k > 0)
                ends += ',';
            ends += std::to_string(layout.fieldEnds[k]);
        }
        word(ends);
    }
    if (layout.decimalComma)
        word("decimal-comma");
    if (!layout.traceCode.empty())
        word("trace=" + layout.traceCode);
    if (!layout.missingTexts.empty())
        word("missing=" + missingTextsText(layout.missingTexts));
    return text;
}

void parseReadingText(std::string_view text, DataLayout& layout)
{
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i]))
            ++i;
        const std::string_view w = text.substr(start, i - start);
        if (w.starts_with("fields="))
            layout.fields = fieldSeparatorFromName(w.substr(7));
        else if (w.starts_with("widths="))
            layout.fieldEnds = parseFieldEnds(w.substr(7));
        else if (w == "decimal-comma")
            layout.decimalComma = true;
        else if (w.starts_with("trace=") && w.size() > 6)
            layout.traceCode = std::string(w.substr(6));
        else if (w.starts_with("missing=") && w.size() > 8)
            layout.missingTexts = parseMissingTexts(w.substr(8));
    }
}

std::vector<std::string> parseMissingTexts(std::string_view text)
{
    std::vector<std::string> texts;
    for (const std::string_view item : split(text, ',')) {
        if (item.empty() || std::any_of(item.begin(), item.end(), isBlank))
            throw LayoutTextError("missing-value texts are words separated by commas, e.g. NA,M,null,-99.9");
        texts.emplace_back(item);
    }
    return texts;
}

std::string missingTextsText(const std::vector<std::string>& texts)
{
    std::string text;
    for (const std::string& t : texts) {
        if (!text.empty())
            text += ',';
        text += t;
    }
    return text;
}

} // namespace pluvora

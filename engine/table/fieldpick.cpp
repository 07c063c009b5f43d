#include "engine/table/fieldpick.h"

#include "engine/io/numbertext.h"
#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "engine/stage/recordreader.h"
#include "engine/table/inputtable.h"

#include <algorithm>
#include <map>

namespace pluvora {

namespace {

// No row has that many fields; a bigger number is a typing slip.
constexpr int kLargestField = 10000;

std::optional<int> fieldNumber(std::string_view text)
{
    const auto number = parseInteger(text);
    if (!number || *number < 1 || *number > kLargestField)
        return std::nullopt;
    return static_cast<int>(*number);
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

char separatorOf(FieldSeparator fields)
{
    switch (fields) {
    case FieldSeparator::Comma: return ',';
    case FieldSeparator::Semicolon: return ';';
    case FieldSeparator::Tab: return '\t';
    case FieldSeparator::Blanks:
    case FieldSeparator::Fixed: break;
    }
    return '\0';
}

// Fields as cut and awk count them: every run of non-blanks is one, letters
// and all, so a user counts them as the file's own documentation does.
void blankRuns(std::string_view row, std::vector<std::string_view>& fields)
{
    std::size_t p = 0;
    while (p < row.size()) {
        while (p < row.size() && isBlank(row[p]))
            ++p;
        const std::size_t start = p;
        while (p < row.size() && !isBlank(row[p]))
            ++p;
        if (p > start)
            fields.push_back(row.substr(start, p - start));
    }
}

void delimited(std::string_view row, char separator, std::vector<std::string_view>& fields)
{
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t p = 0; p < row.size(); ++p) {
        if (row[p] == '"')
            quoted = !quoted; // "" inside quotes toggles twice
        else if (row[p] == separator && !quoted) {
            fields.push_back(row.substr(start, p - start));
            start = p + 1;
        }
    }
    fields.push_back(row.substr(start));
}

void fixed(std::string_view row, const std::vector<int>& ends, std::vector<std::string_view>& fields)
{
    std::size_t start = 0;
    for (const int end : ends) {
        const auto stop = static_cast<std::size_t>(end);
        fields.push_back(start < row.size() ? row.substr(start, stop - start) : std::string_view());
        start = stop;
    }
    fields.push_back(start < row.size() ? row.substr(start) : std::string_view());
}

int fixedWidth(const std::vector<int>& ends, int field)
{
    const auto k = static_cast<std::size_t>(field - 1);
    if (k >= ends.size())
        return 0;
    return ends[k] - (k == 0 ? 0 : ends[k - 1]);
}

} // namespace

std::optional<FieldPick> parseFieldPick(std::string_view text)
{
    FieldPick pick;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string_view item =
            text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        const std::size_t dash = item.find('-');
        const auto first = fieldNumber(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : fieldNumber(item.substr(dash + 1));
        if (!first || !last || *last < *first)
            return std::nullopt;
        for (int field = *first; field <= *last; ++field)
            pick.fields.push_back(field);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return pick;
}

int pickFields(std::string_view row, const FieldPick& pick, const DataLayout& layout, std::string& out)
{
    std::vector<std::string_view> fields;
    const char separator = separatorOf(layout.fields);
    if (layout.fields == FieldSeparator::Fixed)
        fixed(row, layout.fieldEnds, fields);
    else if (separator != '\0')
        delimited(row, separator, fields);
    else
        blankRuns(row, fields);

    out.clear();
    bool first = true;
    for (const int field : pick.fields) {
        const bool there = static_cast<std::size_t>(field) <= fields.size();
        if (layout.fields == FieldSeparator::Fixed) {
            // Every field but the last keeps its place, so the ends still fit.
            std::string_view text = there ? fields[static_cast<std::size_t>(field - 1)] : std::string_view();
            out += text;
            const int width = fixedWidth(layout.fieldEnds, field);
            if (static_cast<int>(text.size()) < width)
                out.append(static_cast<std::size_t>(width) - text.size(), ' ');
            continue;
        }
        if (!there)
            continue;
        if (!first)
            out += separator != '\0' ? separator : '\t';
        first = false;
        out += fields[static_cast<std::size_t>(field - 1)];
    }
    return static_cast<int>(fields.size());
}

std::vector<int> pickedFieldEnds(const DataLayout& layout, const FieldPick& pick)
{
    std::vector<int> ends;
    int end = 0;
    for (const int field : pick.fields) {
        const int width = fixedWidth(layout.fieldEnds, field);
        if (width == 0)
            break; // the rest of the row: no end of its own
        end += width;
        ends.push_back(end);
    }
    return ends;
}

std::optional<std::string> pickFieldsOfFile(const std::filesystem::path& source, const std::filesystem::path& target,
                                            int rowsBefore, const FieldPick& pick, const DataLayout& layout)
{
    struct Count {
        int rows = 0;
        int firstLine = 0;
    };
    std::map<int, Count> counts; // fields of a row -> rows with that many
    TextReader reader(source);
    TextWriter writer(target);
    copyHeaderRows(reader, writer, rowsBefore);
    std::string line;
    std::string picked;
    int lineNumber = rowsBefore;
    while (reader.readLine(line)) {
        ++lineNumber;
        const int fields = pickFields(line, pick, layout, picked);
        writer.writeLine(picked);
        // Short lines end the data; their fields count for nothing.
        if (!isDataRowLength(line))
            break;
        Count& c = counts[fields];
        if (c.rows++ == 0)
            c.firstLine = lineNumber;
    }
    while (reader.readLine(line)) {
        pickFields(line, pick, layout, picked);
        writer.writeLine(picked);
    }
    writer.close();
    if (counts.size() < 2)
        return std::nullopt;
    const auto usual = std::max_element(counts.begin(), counts.end(),
                                        [](const auto& a, const auto& b) { return a.second.rows < b.second.rows; });
    const auto other = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first != usual->first; });
    return "Data rows hold different numbers of fields before the pick: " + std::to_string(usual->second.rows) +
           " rows hold " + std::to_string(usual->first) + ", but line " + std::to_string(other->second.firstLine) +
           " holds " + std::to_string(other->first) + ". The fields picked from such rows may be other columns.";
}

} // namespace pluvora

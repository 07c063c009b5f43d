#include "table/fieldpick.h"

#include "io/numbertext.h"
#include "io/textreader.h"
#include "io/textwriter.h"
#include "record/recordreader.h"

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

// A run reads a row after every character but these has become a blank,
// so its fields are the runs of these characters.
bool isValueByte(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '.'; }

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

void pickFields(std::string_view row, const FieldPick& pick, std::string& out)
{
    std::vector<std::string_view> fields;
    std::size_t p = 0;
    while (p < row.size()) {
        while (p < row.size() && !isValueByte(row[p]))
            ++p;
        const std::size_t start = p;
        while (p < row.size() && isValueByte(row[p]))
            ++p;
        if (p > start)
            fields.push_back(row.substr(start, p - start));
    }
    out.clear();
    for (const int field : pick.fields) {
        if (static_cast<std::size_t>(field) > fields.size())
            continue;
        if (!out.empty())
            out += '\t';
        out += fields[static_cast<std::size_t>(field - 1)];
    }
}

void pickFieldsOfFile(const std::filesystem::path& source, const std::filesystem::path& target,
                      int rowsBefore, const FieldPick& pick)
{
    TextReader reader(source);
    TextWriter writer(target);
    copyHeaderRows(reader, writer, rowsBefore);
    std::string line;
    std::string picked;
    while (reader.readLine(line)) {
        pickFields(line, pick, picked);
        writer.writeLine(picked);
    }
    writer.close();
}

} // namespace pluvora

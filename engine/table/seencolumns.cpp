#include "engine/table/seencolumns.h"

#include <algorithm>

namespace pluvora {

namespace {

char delimiterOf(FieldSplit split)
{
    switch (split) {
    case FieldSplit::Comma: return ',';
    case FieldSplit::Semicolon: return ';';
    case FieldSplit::Tab: return '\t';
    case FieldSplit::Blanks: break;
    }
    return ' ';
}

bool isSeparator(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view withoutCarriageReturn(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// Calls `row(index, line)` for each line of the panel text.
template <typename Row>
void forEachLine(std::string_view panel, Row row)
{
    int index = 0;
    std::size_t start = 0;
    while (start <= panel.size()) {
        const std::size_t end = std::min(panel.find('\n', start), panel.size());
        row(index++, panel.substr(start, end - start));
        if (end == panel.size())
            break;
        start = end + 1;
    }
}

} // namespace

FieldSplit fieldSplitOf(FieldSeparator fields)
{
    switch (fields) {
    case FieldSeparator::Comma: return FieldSplit::Comma;
    case FieldSeparator::Semicolon: return FieldSplit::Semicolon;
    case FieldSeparator::Tab: return FieldSplit::Tab;
    case FieldSeparator::Blanks:
    case FieldSeparator::Fixed: break;
    }
    return FieldSplit::Blanks;
}

std::vector<std::string_view> seenFields(std::string_view line, FieldSplit split)
{
    std::vector<std::string_view> fields;
    if (split == FieldSplit::Blanks) {
        std::size_t pos = 0;
        while (pos < line.size()) {
            while (pos < line.size() && isSeparator(line[pos]))
                ++pos;
            const std::size_t start = pos;
            while (pos < line.size() && !isSeparator(line[pos]))
                ++pos;
            if (pos > start)
                fields.push_back(line.substr(start, pos - start));
        }
        return fields;
    }
    line = withoutCarriageReturn(line);
    if (line.empty())
        return fields;
    const char delimiter = delimiterOf(split);
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t pos = 0; pos <= line.size(); ++pos) {
        if (pos == line.size() || (line[pos] == delimiter && !quoted)) {
            fields.push_back(line.substr(start, pos - start));
            start = pos + 1;
        } else if (line[pos] == '"') {
            quoted = !quoted;
        }
    }
    return fields;
}

std::vector<SeenColumn> describeSeenColumns(std::string_view panel, int rowsBefore,
                                            FieldSplit split)
{
    std::vector<SeenColumn> columns;
    std::vector<std::string_view> header;
    std::vector<bool> sampled;
    forEachLine(panel, [&](int index, std::string_view line) {
        if (index < rowsBefore) {
            if (index == rowsBefore - 1)
                header = seenFields(line, split);
            return;
        }
        const auto fields = seenFields(line, split);
        if (fields.size() > columns.size()) {
            columns.resize(fields.size());
            sampled.resize(fields.size(), false);
        }
        for (std::size_t k = 0; k < fields.size(); ++k) {
            if (!sampled[k] && !fields[k].empty()) {
                columns[k].sample = std::string(fields[k]);
                sampled[k] = true;
            }
        }
    });
    for (std::size_t k = 0; k < columns.size() && k < header.size(); ++k)
        columns[k].header = std::string(header[k]);
    return columns;
}

std::string removeSeenColumns(std::string_view panel, int rowsBefore,
                              const std::vector<bool>& remove, FieldSplit split)
{
    std::string result;
    result.reserve(panel.size());
    const char delimiter = delimiterOf(split);
    forEachLine(panel, [&](int index, std::string_view line) {
        if (index > 0)
            result += '\n';
        if (index < rowsBefore) {
            result += line;
            return;
        }
        const auto fields = seenFields(line, split);
        bool first = true;
        for (std::size_t k = 0; k < fields.size(); ++k) {
            if (k < remove.size() && remove[k])
                continue;
            if (split == FieldSplit::Blanks) {
                result += fields[k];
                result += '\t';
            } else {
                if (!first)
                    result += delimiter;
                result += fields[k];
            }
            first = false;
        }
    });
    return result;
}

} // namespace pluvora

#include "engine/formats/dssatweatherfile.h"

#include "engine/error.h"
#include "engine/formats/formattext.h"
#include "engine/io/numbertext.h"

namespace pluvora {

namespace {

using formattext::isBlank;
using formattext::trimmed;

constexpr int kLongestHead = 100;

std::string_view span(std::string_view line, const DssatColumn& column)
{
    if (column.begin >= line.size())
        return {};
    return trimmed(line.substr(column.begin, column.end - column.begin));
}

// -99 in any of its written forms (-99, -99.0, -99.) is no value.
std::optional<double> value(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    const std::optional<double> number = parseTypedNumber(text);
    if (!number)
        throw Error(kInvalidNumericInput);
    if (*number == -99.0)
        return std::nullopt;
    return number;
}

const DssatColumn* find(const std::vector<DssatColumn>& columns, std::string_view name)
{
    for (const DssatColumn& column : columns)
        if (column.name == name)
            return &column;
    return nullptr;
}

} // namespace

std::vector<DssatColumn> dssatColumns(std::string_view atRow)
{
    std::vector<DssatColumn> columns;
    std::size_t i = atRow.empty() || atRow.front() != '@' ? 0 : 1;
    std::size_t begin = 0;
    while (i < atRow.size()) {
        while (i < atRow.size() && isBlank(atRow[i]))
            ++i;
        const std::size_t start = i;
        while (i < atRow.size() && !isBlank(atRow[i]))
            ++i;
        if (i == start)
            break;
        columns.push_back({std::string(atRow.substr(start, i - start)), begin, i});
        begin = i;
    }
    return columns;
}

DssatHead readDssatHead(std::istream& in)
{
    DssatHead head;
    std::string line;
    std::vector<DssatColumn> siteColumns;
    for (int number = 1; number <= kLongestHead && std::getline(in, line); ++number) {
        const std::string_view text = line;
        if (!siteColumns.empty() && !trimmed(text).empty() && text.front() != '@' && text.front() != '!') {
            auto field = [&](const char* name) {
                const DssatColumn* column = find(siteColumns, name);
                return column ? value(span(text, *column)) : std::nullopt;
            };
            if (const DssatColumn* insi = find(siteColumns, "INSI"))
                head.site.station = std::string(span(text, *insi));
            head.site.latitude = field("LAT");
            head.site.longitude = field("LONG");
            head.site.elevation = field("ELEV");
            head.site.tav = field("TAV");
            head.site.amp = field("AMP");
            siteColumns.clear();
            continue;
        }
        if (text.empty() || text.front() != '@')
            continue;
        std::vector<DssatColumn> columns = dssatColumns(text);
        if (!columns.empty() && columns.front().name == "DATE") {
            head.columns = std::move(columns);
            head.rowsBefore = number;
            return head;
        }
        if (find(columns, "LAT"))
            siteColumns = std::move(columns);
    }
    throw Error(kNotDssatWeather);
}

DssatDay readDssatDay(std::string_view line, const std::vector<DssatColumn>& columns)
{
    DssatDay day;
    const std::string_view date = columns.empty() ? std::string_view() : span(line, columns.front());
    const std::optional<int> whole = parseInteger(date);
    if (!whole || *whole < 0 || (date.size() != 5 && date.size() != 7))
        throw Error(kDssatBadDate);
    const int thousands = *whole / 1000;
    day.year = date.size() == 7 ? thousands : thousands + (thousands <= 20 ? 2000 : 1900);
    day.doy = *whole % 1000;
    for (std::size_t k = 1; k < columns.size(); ++k)
        day.values.push_back(value(span(line, columns[k])));
    return day;
}

} // namespace pluvora

#include "engine/formats/powercsvfile.h"

#include "engine/error.h"
#include "engine/formats/formattext.h"
#include "engine/io/numbertext.h"

#include <cctype>
#include <cmath>

namespace pluvora {

namespace {

using formattext::isBlank;
using formattext::trimmed;

constexpr int kLongestHead = 200;

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> items;
    for (std::size_t start = 0;;) {
        const std::size_t comma = line.find(',', start);
        items.push_back(trimmed(line.substr(start, comma == std::string_view::npos ? comma : comma - start)));
        if (comma == std::string_view::npos)
            return items;
        start = comma + 1;
    }
}

// The first number after `key` in `line`.
std::optional<double> numberAfter(std::string_view line, std::string_view key)
{
    const std::size_t at = line.find(key);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::size_t i = at + key.size();
    while (i < line.size() && !(line[i] == '-' || (line[i] >= '0' && line[i] <= '9')))
        ++i;
    const std::size_t start = i;
    while (i < line.size() && (line[i] == '-' || line[i] == '.' || (line[i] >= '0' && line[i] <= '9')))
        ++i;
    return parseTypedNumber(line.substr(start, i - start));
}

} // namespace

PowerCsvHead readPowerCsvHead(std::istream& in)
{
    PowerCsvHead head;
    std::string line;
    if (!std::getline(in, line) || trimmed(line) != "-BEGIN HEADER-")
        throw Error(kNotPowerCsv);
    std::vector<std::pair<std::string, std::string>> parameters; // name, unit
    int number = 1;
    for (bool ended = false; !ended;) {
        if (++number > kLongestHead || !std::getline(in, line))
            throw Error(kNotPowerCsv);
        const std::string_view text = trimmed(line);
        // The service has written "Latitude" and "latitude" in its years.
        std::string lower(text);
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (text == "-END HEADER-") {
            ended = true;
        } else if (lower.starts_with("location:")) {
            head.latitude = numberAfter(lower, "latitude");
            head.longitude = numberAfter(lower, "longitude");
        } else if (lower.starts_with("elevation")) {
            head.elevation = numberAfter(lower, "=");
        } else if (text.find("missing") != std::string_view::npos && text.find(':') != std::string_view::npos) {
            if (const auto fill = numberAfter(text, ":"))
                head.fillValue = *fill;
        } else if (const std::size_t open = text.rfind('('); open != std::string_view::npos && text.back() == ')') {
            // "T2M_MAX   MERRA-2 Temperature at 2 Meters Maximum (C)"
            const std::size_t nameEnd = text.find_first_of(" \t");
            if (nameEnd != std::string_view::npos && nameEnd < open)
                parameters.emplace_back(text.substr(0, nameEnd), text.substr(open + 1, text.size() - open - 2));
        }
    }
    if (!std::getline(in, line))
        throw Error(kNotPowerCsv);
    head.rowsBefore = number + 1;
    const auto names = fields(line);
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string_view name = names[k];
        head.names.emplace_back(name);
        std::string unit;
        for (const auto& [parameter, parameterUnit] : parameters)
            if (parameter == name)
                unit = parameterUnit;
        head.units.push_back(unit);
        const int column = static_cast<int>(k);
        if (name == "YEAR")
            head.yearColumn = column;
        else if (name == "MO")
            head.monthColumn = column;
        else if (name == "DY")
            head.dayColumn = column;
        else if (name == "DOY")
            head.doyColumn = column;
    }
    const bool monthDay = head.monthColumn >= 0 && head.dayColumn >= 0;
    if (head.yearColumn < 0 || (!monthDay && head.doyColumn < 0))
        throw Error(kPowerNoDate);
    return head;
}

PowerDay readPowerDay(std::string_view line, const PowerCsvHead& head)
{
    const auto items = fields(line);
    if (items.size() != head.names.size())
        throw Error(kPowerRowWidth);
    PowerDay day;
    for (const std::string_view item : items) {
        const std::optional<double> value = parseTypedNumber(item);
        if (!value)
            throw Error(kInvalidNumericInput);
        day.values.push_back(*value == head.fillValue ? std::nullopt : value);
    }
    auto whole = [&](int column) {
        const auto& v = day.values[static_cast<std::size_t>(column)];
        return v ? static_cast<int>(std::lround(*v)) : 0;
    };
    day.year = whole(head.yearColumn);
    if (head.monthColumn >= 0 && head.dayColumn >= 0) {
        day.month = whole(head.monthColumn);
        day.day = whole(head.dayColumn);
    } else {
        day.day = whole(head.doyColumn);
    }
    return day;
}

} // namespace pluvora

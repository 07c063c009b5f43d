#include "engine/formats/apsimmetfile.h"

#include "engine/error.h"
#include "engine/formats/formattext.h"
#include "engine/io/numbertext.h"

#include <sstream>

namespace pluvora {

namespace {

using formattext::isBlank;
using formattext::trimmed;
using formattext::words;

constexpr int kLongestHead = 200;

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// "(MJ/m^2)" and the like, every item of the row; empty when it is not one.
std::vector<std::string> unitsRow(std::string_view line)
{
    std::vector<std::string> units;
    for (const std::string_view w : words(line)) {
        if (w.size() < 2 || w.front() != '(' || w.back() != ')')
            return {};
        units.emplace_back(w.substr(1, w.size() - 2));
    }
    return units;
}

// `name = value (unit) ! comment`: the value of a constant when the line is
// one.
void takeConstant(std::string_view line, ApsimMetHead& head)
{
    const std::size_t bang = line.find('!');
    if (bang != std::string_view::npos)
        line = line.substr(0, bang);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return;
    const std::string name = lower(trimmed(line.substr(0, equals)));
    const auto items = words(line.substr(equals + 1));
    if (items.empty())
        return;
    const std::optional<double> value = parseTypedNumber(items.front());
    if (name == "latitude")
        head.latitude = value;
    else if (name == "longitude")
        head.longitude = value;
    else if (name == "tav")
        head.tav = value;
    else if (name == "amp")
        head.amp = value;
}

} // namespace

bool looksLikeApsimMet(std::string_view firstLines)
{
    std::istringstream in{std::string(firstLines)};
    try {
        readApsimMetHead(in);
        return true;
    } catch (const Error&) {
        return false;
    }
}

ApsimMetHead readApsimMetHead(std::istream& in)
{
    ApsimMetHead head;
    std::string line;
    std::string previous;
    for (int number = 1; number <= kLongestHead && std::getline(in, line); ++number) {
        const std::string_view text = trimmed(line);
        if (text.empty() || text.front() == '!' || text.front() == '[') {
            previous.clear();
            continue;
        }
        std::vector<std::string> units = unitsRow(text);
        const auto names = words(previous);
        if (!units.empty() && units.size() == names.size()) {
            for (const std::string_view name : names)
                head.names.push_back(lower(name));
            head.units = std::move(units);
            head.rowsBefore = number;
            return head;
        }
        takeConstant(text, head);
        previous = text;
    }
    throw Error(kNotApsimMet);
}

std::vector<std::optional<double>> readApsimMetRow(std::string_view line, std::size_t columns)
{
    const auto items = words(line);
    if (items.size() != columns)
        throw Error(kApsimMetRowWidth);
    std::vector<std::optional<double>> values;
    values.reserve(columns);
    for (const std::string_view item : items) {
        if (item == "?" || item == "*" || item == "NaN" || item == "nan") {
            values.push_back(std::nullopt);
            continue;
        }
        const std::optional<double> value = parseTypedNumber(item);
        if (!value)
            throw Error(kInvalidNumericInput);
        values.push_back(value);
    }
    return values;
}

} // namespace pluvora

#include "engine/formats/cabofile.h"

#include "engine/error.h"
#include "engine/formats/formattext.h"
#include "engine/io/numbertext.h"

#include <string>
#include <vector>

namespace pluvora {

namespace {

using formattext::words;

constexpr int kLongestHead = 200;

// The blank-separated numbers of `line`; nothing when one item is not a
// number.
std::optional<std::vector<double>> numbers(std::string_view line)
{
    std::vector<double> values;
    for (const std::string_view word : words(line)) {
        const auto value = parseTypedNumber(word);
        if (!value)
            return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

std::optional<double> measured(double value)
{
    if (value == -99.0)
        return std::nullopt;
    return value;
}

} // namespace

CaboHead readCaboHead(std::istream& in)
{
    std::string line;
    for (int number = 1; number <= kLongestHead && std::getline(in, line); ++number) {
        if (line.empty() || line.front() == '*' || line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        const auto values = numbers(line);
        if (!values || values->size() != 5)
            break;
        const auto& v = *values;
        return CaboHead{v[0], v[1], v[2], v[3], v[4], number};
    }
    throw Error(kNotCabo);
}

std::optional<CaboDay> readCaboDay(std::string_view line)
{
    const auto values = numbers(line);
    if (!values || values->size() != 9)
        throw Error(kCaboRow);
    const auto& v = *values;
    if (v[0] == -999.0)
        return std::nullopt;
    return CaboDay{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), measured(v[3]),
                   measured(v[4]),         measured(v[5]),         measured(v[6]),         measured(v[7]),
                   measured(v[8])};
}

} // namespace pluvora

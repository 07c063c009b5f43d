#include "engine/suggest/suggestfields.h"

#include "engine/formats/formattext.h"
#include "engine/io/numbertext.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace pluvora::suggest {

bool isBlank(char c) { return formattext::isBlank(c); }

std::string_view trimmed(std::string_view s) { return formattext::trimmed(s); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isFlag(std::string_view s)
{
    return s.size() <= 2 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '*';
           });
}

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), isDigit);
}

int digitsValue(std::string_view s)
{
    int v = 0;
    for (char c : s)
        v = v * 10 + (c - '0');
    return v;
}

std::vector<std::string_view> splitFields(std::string_view line, char sep)
{
    if (sep == kBlanks)
        return formattext::words(line);
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        std::size_t start = i;
        std::size_t end = i;
        if (i < line.size() && line[i] == '"') {
            start = ++i;
            while (i < line.size()) {
                if (line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"')
                    i += 2;
                else if (line[i] == '"')
                    break;
                else
                    ++i;
            }
            end = i;
            while (i < line.size() && line[i] != sep)
                ++i;
        } else {
            while (i < line.size() && line[i] != sep)
                ++i;
            end = i;
        }
        fields.push_back(trimmed(line.substr(start, end - start)));
        if (i >= line.size())
            return fields;
        ++i; // past the separator
    }
}

std::vector<std::string_view> splitFixed(std::string_view line, const std::vector<int>& ends)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (int end : ends) {
        const auto stop = std::min(line.size(), static_cast<std::size_t>(end));
        fields.push_back(start < stop ? trimmed(line.substr(start, stop - start)) : std::string_view{});
        start = static_cast<std::size_t>(end);
    }
    return fields;
}

std::string_view unquoted(std::string_view s)
{
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

namespace {

// "1.04E+01", "5e-03": a number with a signed exponent, which a run reads
// in every kind of field. Without the sign, blank-separated rows read two
// numbers, so such a text is no number here.
std::optional<double> exponentNumber(std::string_view text)
{
    const auto e = text.find_first_of("eE");
    if (e == std::string_view::npos || e == 0 || e + 2 >= text.size() || (text[e + 1] != '+' && text[e + 1] != '-'))
        return std::nullopt;
    const auto mantissa = parseDecimal(text.substr(0, e));
    const std::string_view exponent = text.substr(e + 2);
    if (!mantissa || exponent.size() > 3 || !allDigits(exponent))
        return std::nullopt;
    const int power = digitsValue(exponent) * (text[e + 1] == '-' ? -1 : 1);
    return *mantissa * std::pow(10.0, power);
}

} // namespace

std::optional<double> numberIn(std::string_view text, bool decimalComma)
{
    std::string copy;
    if (decimalComma) {
        copy.assign(text);
        std::replace(copy.begin(), copy.end(), ',', '.');
        text = copy;
    }
    if (auto number = parseDecimal(text))
        return number;
    return exponentNumber(text);
}

bool isDecimalCommaNumber(std::string_view s)
{
    const auto comma = s.find(',');
    if (comma == std::string_view::npos || s.find(',', comma + 1) != std::string_view::npos)
        return false;
    std::string_view whole = s.substr(0, comma);
    if (!whole.empty() && whole.front() == '-')
        whole.remove_prefix(1);
    return allDigits(whole) && allDigits(s.substr(comma + 1));
}

} // namespace pluvora::suggest

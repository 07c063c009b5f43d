#include "engine/suggest/suggestfields.h"

#include "engine/io/numbertext.h"

#include <algorithm>
#include <string>

namespace pluvora::suggest {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

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
    std::vector<std::string_view> fields;
    if (sep == kBlanks) {
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && isBlank(line[i]))
                ++i;
            const std::size_t start = i;
            while (i < line.size() && !isBlank(line[i]))
                ++i;
            if (i > start)
                fields.push_back(line.substr(start, i - start));
        }
        return fields;
    }
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

std::optional<double> numberIn(std::string_view text, bool decimalComma)
{
    if (decimalComma) {
        std::string copy(text);
        std::replace(copy.begin(), copy.end(), ',', '.');
        return parseDecimal(copy);
    }
    return parseDecimal(text);
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

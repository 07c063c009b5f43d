#include "engine/suggest/datevalues.h"

#include "engine/columns/datetext.h"
#include "engine/suggest/suggestfields.h"

#include <algorithm>
#include <array>

namespace pluvora::suggest {

namespace {

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

} // namespace

bool realDate(int y, int m, int d)
{
    static constexpr std::array<int, 12> kDays{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1800 || y > 2200 || m < 1 || m > 12 || d < 1)
        return false;
    return d <= kDays[static_cast<std::size_t>(m - 1)] && !(m == 2 && d == 29 && !leapYear(y));
}

std::string_view datePart(std::string_view token)
{
    token = unquoted(token);
    const auto t = token.find_first_of("T ");
    return t == std::string_view::npos ? token : token.substr(0, t);
}

namespace {

// Three numbers separated by `sep`, e.g. "1/01/2024".
std::optional<std::array<int, 3>> threeParts(std::string_view s, char sep)
{
    std::array<int, 3> parts{};
    for (std::size_t k = 0; k < 3; ++k) {
        const auto end = k < 2 ? s.find(sep) : s.size();
        if (end == std::string_view::npos || !allDigits(s.substr(0, end)) || end > 4)
            return std::nullopt;
        parts[k] = digitsValue(s.substr(0, end));
        s.remove_prefix(k < 2 ? end + 1 : end);
    }
    return parts;
}

// "1/01/2024" and its kin: day and month are told apart by a value over
// 12, or else by which of them counts the days from line to line.
std::optional<std::string> dayMonthYearFormat(const std::vector<std::string_view>& tokens, char sep)
{
    std::vector<std::array<int, 3>> parts;
    for (std::string_view t : tokens) {
        auto p = threeParts(datePart(t), sep);
        if (!p || (*p)[2] < 1800)
            return std::nullopt;
        parts.push_back(*p);
    }
    bool firstOver12 = false, secondOver12 = false, firstCounts = false, secondCounts = false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        firstOver12 |= parts[i][0] > 12;
        secondOver12 |= parts[i][1] > 12;
        if (i > 0) {
            firstCounts |= parts[i][0] == parts[i - 1][0] + 1 && parts[i][1] == parts[i - 1][1];
            secondCounts |= parts[i][1] == parts[i - 1][1] + 1 && parts[i][0] == parts[i - 1][0];
        }
    }
    const bool dayFirst = firstOver12 || (!secondOver12 && firstCounts && !secondCounts);
    const bool monthFirst = secondOver12 || (!firstOver12 && secondCounts && !firstCounts);
    if (dayFirst == monthFirst)
        return std::nullopt;
    const bool real = std::all_of(parts.begin(), parts.end(), [&](const auto& p) {
        return dayFirst ? realDate(p[2], p[1], p[0]) : realDate(p[2], p[0], p[1]);
    });
    if (!real)
        return std::nullopt;
    if (sep == '/')
        return dayFirst ? "DD/MM/YYYY" : "MM/DD/YYYY";
    if (dayFirst)
        return sep == '.' ? "DD.MM.YYYY" : "DD-MM-YYYY";
    return std::nullopt;
}

} // namespace

std::optional<std::string> dateFormatOf(const std::vector<std::string_view>& tokens)
{
    if (tokens.empty())
        return std::nullopt;
    auto every = [&](auto test) {
        return std::all_of(tokens.begin(), tokens.end(),
                           [&](std::string_view t) { return test(datePart(t)); });
    };
    auto iso = [](char sep) {
        return [sep](std::string_view s) {
            if (s.size() != 10 || s[4] != sep || s[7] != sep)
                return false;
            auto p = threeParts(s, sep);
            return p && realDate((*p)[0], (*p)[1], (*p)[2]);
        };
    };
    if (every(iso('-')))
        return "YYYY-MM-DD";
    if (every(iso('/')))
        return "YYYY/MM/DD";
    if (every([](std::string_view s) {
            return s.size() == 8 && allDigits(s) &&
                   realDate(digitsValue(s.substr(0, 4)), digitsValue(s.substr(4, 2)),
                            digitsValue(s.substr(6, 2)));
        }))
        return "YYYYMMDD";
    if (every([](std::string_view s) {
            if (s.size() != 7 || !allDigits(s))
                return false;
            const int y = digitsValue(s.substr(0, 4));
            const int d = digitsValue(s.substr(4));
            return y >= 1800 && y <= 2200 && d >= 1 && d <= (leapYear(y) ? 366 : 365);
        }))
        return "YYYYDDD";
    for (char sep : {'/', '.', '-'}) {
        if (auto format = dayMonthYearFormat(tokens, sep))
            return format;
    }
    // Forms with a day of year or a month's name, as the run reads them.
    for (std::string_view format : {"YYYY-DDD", "DD-MON-YYYY", "DD MON YYYY"}) {
        const auto at = std::find(std::begin(kDateFormats), std::end(kDateFormats), format);
        const int index = static_cast<int>(at - std::begin(kDateFormats));
        const bool read = std::all_of(tokens.begin(), tokens.end(), [&](std::string_view t) {
            const DateText date = readDateText(unquoted(t), index);
            return date.kind == DateText::Kind::Date && date.year >= 1800 && date.year <= 2200;
        });
        if (read)
            return std::string(format);
    }
    return std::nullopt;
}

} // namespace pluvora::suggest

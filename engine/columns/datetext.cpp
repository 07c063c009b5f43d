#include "engine/columns/datetext.h"

#include <array>

namespace pluvora {

namespace {

enum Part { kY, kM, kD };

struct Shape {
    char separator;
    std::array<Part, 3> order;
};

// Formats 0 and 3 to 7, by index; 1 and 2 have no separator.
constexpr Shape kShapes[] = {
    {'-', {kY, kM, kD}}, {0, {}}, {0, {}}, {'/', {kY, kM, kD}},
    {'/', {kD, kM, kY}}, {'/', {kM, kD, kY}}, {'.', {kD, kM, kY}}, {'-', {kD, kM, kY}},
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// All digits, 1 to 4 of them.
int digitsValue(std::string_view text)
{
    if (text.empty() || text.size() > 4)
        return -1;
    int value = 0;
    for (char c : text) {
        if (!isDigit(c))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysIn(int year, int month)
{
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

DateText checked(int year, int month, int day)
{
    DateText date{DateText::Kind::Impossible, year, month, day};
    if (year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= daysIn(year, month))
        date.kind = DateText::Kind::Date;
    return date;
}

} // namespace

bool isTimeOfDay(std::string_view text)
{
    // Hours of one or two digits, then ":MM", optionally ":SS" and a fraction.
    std::size_t k = 0;
    while (k < text.size() && k < 2 && isDigit(text[k]))
        ++k;
    if (k == 0)
        return false;
    for (int part = 0; part < 2 && k < text.size(); ++part) {
        if (text[k] != ':' || k + 2 >= text.size() || !isDigit(text[k + 1]) || !isDigit(text[k + 2]))
            return false;
        k += 3;
        if (part == 1 && k < text.size() && text[k] == '.') {
            ++k;
            while (k < text.size() && isDigit(text[k]))
                ++k;
        }
    }
    return k == text.size() && text.find(':') != std::string_view::npos;
}

DateText readDateText(std::string_view text, int format)
{
    if (format < 0 || format >= static_cast<int>(std::size(kDateFormats)))
        return {};
    // The time of day, when there is one, follows a T or a blank.
    for (std::size_t k = 0; k < text.size(); ++k)
        if (text[k] == 'T' || text[k] == ' ' || text[k] == '\t') {
            text = text.substr(0, k);
            break;
        }

    if (format == 1 || format == 2) {
        const std::size_t length = format == 1 ? 8 : 7;
        if (text.size() != length)
            return {};
        for (char c : text)
            if (!isDigit(c))
                return {};
        const int year = digitsValue(text.substr(0, 4));
        if (format == 1)
            return checked(year, digitsValue(text.substr(4, 2)), digitsValue(text.substr(6, 2)));
        int doy = digitsValue(text.substr(4, 3));
        if (doy < 1 || doy > (isLeap(year) ? 366 : 365))
            return {DateText::Kind::Impossible, year, 0, doy};
        // Days before each month's first, in a common and a leap year.
        static constexpr int kBefore[2][13] = {
            {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
            {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
        };
        const int* const before = kBefore[isLeap(year) ? 1 : 0];
        int month = 1;
        while (doy > before[month])
            ++month;
        return checked(year, month, doy - before[month - 1]);
    }

    const Shape& shape = kShapes[format];
    std::array<int, 3> values{};
    std::size_t start = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        const std::size_t end = k < 2 ? text.find(shape.separator, start) : text.size();
        if (end == std::string_view::npos)
            return {};
        const std::string_view part = text.substr(start, end - start);
        const bool year = shape.order[k] == kY;
        if (year ? part.size() != 4 : part.size() > 2)
            return {};
        values[static_cast<std::size_t>(shape.order[k])] = digitsValue(part);
        if (values[static_cast<std::size_t>(shape.order[k])] < 0)
            return {};
        start = end + 1;
    }
    return checked(values[kY], values[kM], values[kD]);
}

} // namespace pluvora

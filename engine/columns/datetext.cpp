#include "engine/columns/datetext.h"

#include <array>
#include <iterator>
#include <utility>

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

DateText readDateOnly(std::string_view text, int format);

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

// Full names, in lower case as UTF-8; an abbreviation is a start of one of
// at least three letters.
constexpr std::string_view kMonthNames[] = {
    // English
    "january", "february", "march", "april", "may", "june", "july", "august", "september", "october",
    "november", "december",
    // Spanish
    "enero", "febrero", "marzo", "abril", "mayo", "junio", "julio", "agosto", "septiembre", "octubre",
    "noviembre", "diciembre",
    // Portuguese
    "janeiro", "fevereiro", "mar\xC3\xA7o", "abril", "maio", "junho", "julho", "agosto", "setembro", "outubro",
    "novembro", "dezembro",
    // French
    "janvier", "f\xC3\xA9vrier", "mars", "avril", "mai", "juin", "juillet", "ao\xC3\xBBt", "septembre", "octobre",
    "novembre", "d\xC3\xA9" "cembre",
    // German
    "januar", "februar", "m\xC3\xA4rz", "april", "mai", "juni", "juli", "august", "september", "oktober",
    "november", "dezember",
    // Italian
    "gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno", "luglio", "agosto", "settembre", "ottobre",
    "novembre", "dicembre",
    // Dutch
    "januari", "februari", "maart", "april", "mei", "juni", "juli", "augustus", "september", "oktober",
    "november", "december",
};

// Abbreviations that are no start of their name.
constexpr std::pair<std::string_view, int> kMonthAbbreviations[] = {
    {"mrt", 3}, {"mrz", 3}, {"fev", 2}, {"fevr", 2}, {"aout", 8},
};

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view timeCut(std::string_view text, std::size_t from, bool& timed)
{
    for (std::size_t k = from; k < text.size(); ++k)
        if (text[k] == 'T' || text[k] == ' ' || text[k] == '\t') {
            timed = k + 1 < text.size();
            return text.substr(0, k);
        }
    return text;
}

DateText dayOfYearDate(int year, int doy)
{
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

// DD, the separator, a month name, the separator, YYYY; a time may follow.
DateText namedMonthDate(std::string_view text, char separator)
{
    const std::size_t first = text.find(separator);
    if (first == std::string_view::npos || first == 0 || first > 2)
        return {};
    const std::size_t second = text.find(separator, first + 1);
    if (second == std::string_view::npos)
        return {};
    bool timed = false;
    const std::string_view year = timeCut(text.substr(second + 1), 0, timed);
    const int month = monthFromName(text.substr(first + 1, second - first - 1));
    const int day = digitsValue(text.substr(0, first));
    if (month == 0 || day < 0 || year.size() != 4 || digitsValue(year) < 0)
        return {};
    DateText date = checked(digitsValue(year), month, day);
    date.timed = timed;
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

int monthFromName(std::string_view name)
{
    if (!name.empty() && name.back() == '.')
        name.remove_suffix(1);
    if (name.size() < 3 || name.size() > 12)
        return 0;
    char lower[12];
    for (std::size_t k = 0; k < name.size(); ++k)
        lower[k] = lowerAscii(name[k]);
    const std::string_view key(lower, name.size());
    for (const auto& [abbreviation, month] : kMonthAbbreviations)
        if (key == abbreviation)
            return month;
    int found = 0;
    for (std::size_t k = 0; k < std::size(kMonthNames); ++k) {
        if (!kMonthNames[k].starts_with(key))
            continue;
        const int month = static_cast<int>(k % 12) + 1;
        if (found != 0 && found != month)
            return 0;
        found = month;
    }
    return found;
}

DateText readDateText(std::string_view text, int format)
{
    if (format < 0 || format >= static_cast<int>(std::size(kDateFormats)))
        return {};
    if (format == 9 || format == 10)
        return namedMonthDate(text, format == 9 ? '-' : ' ');
    // The time of day, when there is one, follows a T or a blank.
    bool timed = false;
    text = timeCut(text, 0, timed);
    DateText date = readDateOnly(text, format);
    date.timed = timed;
    return date;
}

namespace {

DateText readDateOnly(std::string_view text, int format)
{
    if (format == 8) {
        const std::size_t dash = text.find('-');
        if (dash != 4 || text.size() < 6 || text.size() > 8)
            return {};
        const int year = digitsValue(text.substr(0, 4));
        const int doy = digitsValue(text.substr(5));
        if (year < 0 || doy < 0)
            return {};
        return dayOfYearDate(year, doy);
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
        return dayOfYearDate(year, digitsValue(text.substr(4, 3)));
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

} // namespace

} // namespace pluvora

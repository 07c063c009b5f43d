#pragma once

#include <span>
#include <string_view>

namespace pluvora {

// The formats a Date column can hold, in the order of its unit list (a
// stored format, like the variable codes).
inline constexpr std::string_view kDateFormats[] = {"YYYY-MM-DD", "YYYYMMDD",   "YYYYDDD",    "YYYY/MM/DD",
                                                    "DD/MM/YYYY", "MM/DD/YYYY", "DD.MM.YYYY", "DD-MM-YYYY",
                                                    "YYYY-DDD",   "DD-MON-YYYY", "DD MON YYYY"};
inline std::span<const std::string_view> dateFormats() { return kDateFormats; }

struct DateText {
    enum class Kind { Date, NotADate, Impossible };
    Kind kind = Kind::NotADate;
    int year = 0;
    int month = 0;
    int day = 0;
    bool timed = false; // a time of day followed the date
};

// Reads `text` in date format `format` (an index into dateFormats()). A time
// after the date ("1980-01-01T00:00", or after a blank) is ignored. Day and
// month of the formats with separators may have one digit. A text of the
// format's shape naming no real day (30 February, month 13, day 366 of a
// common year) is Impossible. MON is a month's name or its abbreviation,
// in English, Spanish, Portuguese, French, German, Italian or Dutch, in
// any case ("jan", "Jan.", "janvier", "Mrt").
DateText readDateText(std::string_view text, int format);

// "7:01", "07:01", "07:01:30" or "07:01:30.5": a time of day, which after a
// date belongs to it and is no value of its own.
bool isTimeOfDay(std::string_view text);
// The month (1 to 12) `name` names, 0 for none or for an abbreviation two
// months share ("jui").
int monthFromName(std::string_view name);

} // namespace pluvora

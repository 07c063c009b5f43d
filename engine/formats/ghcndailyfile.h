#pragma once

#include <array>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// Days from a GHCN-Daily .dly file. Each line holds one station, month and
// element (TMAX, TMIN, PRCP, ...) with 31 values of 5 characters, each
// followed by three flag characters; -9999 is no value. A generic reader
// sees 31 columns of a month, so the lines of a month are turned into its
// days here: one month is held at a time.
struct GhcnDay {
    std::string station;
    int year = 0;
    int month = 0;
    int day = 0;
    // Per element asked for, in the file's units (tenths of a degree and of
    // a millimetre for TMAX, TMIN and PRCP).
    std::vector<std::optional<double>> values;
    // Per element, the measurement flag ('T' for a trace, ' ' for none).
    std::vector<char> flags;
    // Per element, the quality flag: ' ' where the value passed every check.
    std::vector<char> quality;
};

inline constexpr const char* kGhcnLine =
    "A GHCN-Daily line is an 11-character station, year, month and element, then 31 values of 8 characters.";

class GhcnDailyReader {
public:
    GhcnDailyReader(std::istream& in, std::vector<std::string> elements);

    // The next day of the file, every day of a month that has a line of
    // any element asked for; nothing at the end. Throws Error (kGhcnLine)
    // for a line of another form.
    std::optional<GhcnDay> next();

private:
    bool readMonth();

    std::istream& mIn;
    std::vector<std::string> mElements;
    std::string mPending; // the first line of the next month, already read
    bool mHavePending = false;
    std::string mStation;
    int mYear = 0;
    int mMonth = 0;
    int mDays = 0;
    int mNextDay = 0;
    std::vector<std::array<std::optional<double>, 31>> mValues;
    std::vector<std::array<char, 31>> mFlags;
    std::vector<std::array<char, 31>> mQuality;
};

} // namespace pluvora

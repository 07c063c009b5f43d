#include "engine/formats/ghcndailyfile.h"

#include "engine/error.h"
#include "engine/io/numbertext.h"

namespace pluvora {

namespace {

constexpr std::size_t kLineLength = 21 + 31 * 8;

int daysIn(int year, int month)
{
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

struct Line {
    std::string_view station;
    int year;
    int month;
    std::string_view element;
};

Line cut(std::string_view text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
        text.remove_suffix(1);
    // Trailing blanks of the last flags may be cut by an editor.
    if (text.size() < kLineLength - 3 || text.size() > kLineLength)
        throw Error(kGhcnLine);
    const auto year = parseInteger(text.substr(11, 4));
    const auto month = parseInteger(text.substr(15, 2));
    if (!year || !month || *month < 1 || *month > 12)
        throw Error(kGhcnLine);
    return {text.substr(0, 11), *year, *month, text.substr(17, 4)};
}

} // namespace

GhcnDailyReader::GhcnDailyReader(std::istream& in, std::vector<std::string> elements)
    : mIn(in)
    , mElements(std::move(elements))
{
}

bool GhcnDailyReader::readMonth()
{
    std::string text;
    if (mHavePending) {
        text = std::move(mPending);
        mHavePending = false;
    } else {
        do {
            if (!std::getline(mIn, text))
                return false;
        } while (text.find_first_not_of(" \r") == std::string::npos);
    }
    const Line first = cut(text);
    mStation = std::string(first.station);
    mYear = first.year;
    mMonth = first.month;
    mDays = daysIn(mYear, mMonth);
    mNextDay = 1;
    mValues.assign(mElements.size(), {});
    mFlags.assign(mElements.size(), {});
    for (auto& flags : mFlags)
        flags.fill(' ');
    mQuality = mFlags;
    for (;;) {
        const Line line = cut(text);
        if (line.station != mStation || line.year != mYear || line.month != mMonth) {
            mPending = std::move(text);
            mHavePending = true;
            return true;
        }
        for (std::size_t e = 0; e < mElements.size(); ++e) {
            if (line.element != mElements[e])
                continue;
            for (std::size_t d = 0; d < 31; ++d) {
                const std::size_t at = 21 + d * 8;
                std::string_view value = text.size() > at ? std::string_view(text).substr(at, 5) : std::string_view();
                while (!value.empty() && value.front() == ' ')
                    value.remove_prefix(1);
                const auto number = parseInteger(value);
                if (!number && !value.empty())
                    throw Error(kGhcnLine);
                if (number && *number != -9999)
                    mValues[e][d] = *number;
                if (text.size() > at + 5)
                    mFlags[e][d] = text[at + 5];
                if (text.size() > at + 6)
                    mQuality[e][d] = text[at + 6];
            }
        }
        do {
            if (!std::getline(mIn, text))
                return true;
        } while (text.find_first_not_of(" \r") == std::string::npos);
    }
}

std::optional<GhcnDay> GhcnDailyReader::next()
{
    if (mNextDay == 0 || mNextDay > mDays) {
        if (!readMonth())
            return std::nullopt;
    }
    GhcnDay day;
    day.station = mStation;
    day.year = mYear;
    day.month = mMonth;
    day.day = mNextDay;
    const auto d = static_cast<std::size_t>(mNextDay - 1);
    for (std::size_t e = 0; e < mElements.size(); ++e) {
        day.values.push_back(mValues[e][d]);
        day.flags.push_back(mFlags[e][d]);
        day.quality.push_back(mQuality[e][d]);
    }
    ++mNextDay;
    return day;
}

} // namespace pluvora

#pragma once

#include "engine/columns/variablecatalogue.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace pluvora {

// A daily series from another source (a neighbour station, a gridded
// product) that missing days are taken from: per day, one value per
// variable code as that source measured it, in its own units.
class ReferenceSeries {
public:
    void add(long long day, int code, double value);
    // A day of the source's range, whatever values it holds.
    void noteDay(long long day);
    std::optional<double> value(long long day, int code) const;
    bool holds(int code) const { return (mCodes >> code) & 1u; }
    std::size_t days() const { return mDays.size(); }
    // The first and the last day it holds; 0 when it holds none.
    long long firstDay() const { return mFirst; }
    long long lastDay() const { return mLast; }

    std::string name; // for messages: the file it was read from

private:
    std::unordered_map<long long, std::array<float, kVariableCount>> mDays;
    std::uint32_t mCodes = 0;
    long long mFirst = 0;
    long long mLast = 0;
    bool mRanged = false;
};

} // namespace pluvora

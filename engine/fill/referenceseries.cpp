#include "engine/fill/referenceseries.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pluvora {

void ReferenceSeries::add(long long day, int code, double value)
{
    if (code <= 0 || code >= kVariableCount || !std::isfinite(value))
        return;
    auto [at, added] = mDays.try_emplace(day);
    if (added) {
        at->second.fill(std::numeric_limits<float>::quiet_NaN());
        noteDay(day);
    }
    at->second[static_cast<std::size_t>(code)] = static_cast<float>(value);
    mCodes |= 1u << code;
}

void ReferenceSeries::noteDay(long long day)
{
    mFirst = mRanged ? std::min(mFirst, day) : day;
    mLast = mRanged ? std::max(mLast, day) : day;
    mRanged = true;
}

std::optional<double> ReferenceSeries::value(long long day, int code) const
{
    const auto at = mDays.find(day);
    if (at == mDays.end())
        return std::nullopt;
    const float v = at->second[static_cast<std::size_t>(code)];
    if (std::isnan(v))
        return std::nullopt;
    return v;
}

} // namespace pluvora

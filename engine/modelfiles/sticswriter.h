#pragma once

#include "engine/modelfiles/dayscan.h"
#include "engine/modelfiles/modelsite.h"

namespace pluvora {

class TextWriter;

// STICS's climat.txt: no header; per day the station, year, month, day,
// day of year, Tmin, Tmax, radiation (MJ/m2), ETP, rain, wind (m/s),
// vapour pressure (hPa) and CO2, blank-separated with a blank at the end.
class SticsWriter {
public:
    explicit SticsWriter(const ModelSite& site);
    void write(DayLogReader& days, TextWriter& out);

private:
    const ModelSite& mSite;
};

// The CO2 column: STICS reads it on every day; no input gives it, so the
// constant of STICS's own example file stands in.
inline constexpr double kSticsCo2 = 350.0;

} // namespace pluvora

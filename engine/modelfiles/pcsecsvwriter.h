#pragma once

#include "engine/modelfiles/dayscan.h"
#include "engine/modelfiles/modelsite.h"

#include <string>

namespace pluvora {

class TextWriter;

// The default Angstrom pair (FAO-56, eq. 35): inside the ranges PCSE's
// readers accept (A 0.1-0.4, B 0.3-0.7, A + B 0.6-0.9).
inline constexpr double kAngstromA = 0.25;
inline constexpr double kAngstromB = 0.50;

// PCSE's CSV weather file: the site block of literals, then DAY, IRRAD
// (kJ/m2/d), TMIN, TMAX, VAP (kPa), WIND, RAIN and SNOWDEPTH (NaN, never
// measured here).
class PcseCsvWriter {
public:
    PcseCsvWriter(const ModelSite& site, std::string source);
    void write(DayLogReader& days, TextWriter& out);

private:
    const ModelSite& mSite;
    std::string mSource;
};

} // namespace pluvora

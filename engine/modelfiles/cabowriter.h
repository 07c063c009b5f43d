#pragma once

#include "engine/modelfiles/dayscan.h"
#include "engine/modelfiles/modelsite.h"

#include <optional>
#include <string>

namespace pluvora {

class TextWriter;

// CABO weather files, one per year: a `*` comment header, the location
// line (longitude, latitude, elevation, Angstrom A and B, negative as the
// irradiation column is measured radiation), then station, year, day,
// irradiation (kJ/m2/d), Tmin, Tmax, vapour pressure (kPa), wind, rain.
class CaboWriter {
public:
    CaboWriter(const ModelSite& site, std::string source, DayLogReader& days);
    // The year the next writeYear writes, none after the last.
    std::optional<int> nextYear() const;
    void writeYear(TextWriter& out);

    // NAME.yyy: the last three digits of the year.
    static std::string fileName(const std::string& stem, int year);

private:
    const ModelSite& mSite;
    std::string mSource;
    DayLogReader& mDays;
    std::optional<ModelDay> mPending;
};

} // namespace pluvora

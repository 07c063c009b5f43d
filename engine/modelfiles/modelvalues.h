#pragma once

#include "engine/modelfiles/daylog.h"
#include "engine/modelfiles/modelsite.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace pluvora {

// The day's actual vapour pressure in kPa: the given one, else e° at the dew
// point, else RH times e° at the mean temperature (the task-7 way, which
// gives back a vapour pressure the run turned into RH).
// FAO-56, eqs. 11, 14 and 19.
std::optional<double> vapourPressure(const ModelDay& day);

// The grass reference ET0 of the day in mm, by the Penman-Monteith of the
// alfalfa-reference task (wind taken as at 2 m); none without solar,
// temperatures, humidity or wind, nor on a day without sunrise or sunset.
std::optional<double> grassReferenceET(const ModelDay& day, const ModelSite& site);

// The values of a DSSAT row in their units, named as its header names them.
class DssatValues {
public:
    explicit DssatValues(const ModelDay& day);
    using Column = std::pair<std::string_view, std::optional<double>>;
    const std::array<Column, 7>& columns() const { return mColumns; }

private:
    std::array<Column, 7> mColumns;
};

// WIND in km/d, as DSSAT reads it.
inline constexpr double kSecondsPerDayInKm = 86.4;

} // namespace pluvora

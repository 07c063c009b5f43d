#pragma once

#include "engine/record/record.h"

#include <string_view>

namespace pluvora {

// Factor from a vapour pressure unit text to kPa; 0 for any other text.
double conversionUnitVapour(std::string_view unit);

// Whether a run turns a DewPt or VapPr column into relative humidity: it
// does when there is no RelHum column and T-max and T-min have columns,
// since the humidity is relative to the day's mean temperature.
bool derivesHumidity(const ColumnSpec& spec, int columnCount);

// A RelHum column, or a humidity form that derivesHumidity turns into one.
bool hasHumidity(const ColumnSpec& spec, int columnCount);

// Takes a RelHum given as a fraction to % and SunHr given in minutes to
// hours. Fills RelHum from the record's vapour pressure (or, without one, its dew
// point) when derivesHumidity says so. RH = 100 e / e°(Tmean), with the
// e° and Tmean of the Penman-Monteith task, so that task gets back the
// given e as its actual vapour pressure. Above e°(Tmean) the humidity is
// 100 %: the air of a day holds no more than saturation at its mean.
void deriveHumidity(Record& record, const ColumnSpec& spec, int columnCount);

} // namespace pluvora

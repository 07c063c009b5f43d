#pragma once

namespace pluvora {

// Why the checkup lists a day, one text per test, as the charts' tooltips,
// the quality report and the flags file name it.
inline constexpr const char* kReasonGap = "days missing before this day";
inline constexpr const char* kReasonOutOfOrder = "date out of order";
inline constexpr const char* kReasonRepeated = "day repeated";
inline constexpr const char* kReasonSolar = "solar radiation above 60 MJ/m2/d or not above 0";
inline constexpr const char* kReasonTmaxNotAboveTmin = "T-max not above T-min";
inline constexpr const char* kReasonTmaxHigh = "T-max above 60 oC";
inline constexpr const char* kReasonTminLow = "T-min below -50 oC";
inline constexpr const char* kReasonSoilT = "soil temperature outside -50 to 60 oC";
inline constexpr const char* kReasonRelHum = "relative humidity outside 0 to 100 %";
inline constexpr const char* kReasonPrecip = "precipitation outside 0 to 1000 mm";
inline constexpr const char* kReasonEt = "ET outside 0 to 100 mm";
inline constexpr const char* kReasonPanEvap = "pan evaporation outside 0 to 100 mm";
inline constexpr const char* kReasonSunHr = "sunshine hours outside 0 to 24";
inline constexpr const char* kReasonSunHrPercent = "sunshine percentage outside 0 to 100";
inline constexpr const char* kReasonWind = "wind speed below 0";
inline constexpr const char* kReasonMissingValues = "missing values";
// Values the substitution put in: both temperatures of a day, or (in the
// checkup task) any of T-max, T-min, RelHum and Solar.
inline constexpr const char* kReasonTemperaturesMissing = "T-max and T-min missing";
inline constexpr const char* kReasonSubstituted = "substituted";

} // namespace pluvora

#pragma once

#include "engine/io/numbertext.h"
#include "engine/stage/runcontext.h"

#include <optional>

namespace pluvora {

inline constexpr const char* kTemperatureUnitsDiffer = "Units of Tmax and Tmin need to be the same.";
inline constexpr const char* kConvertingPass = "Converting";
inline constexpr const char* kDateIsMissing = "Date is missing. Check the input data and try again.";

// One data row of the crop model's layout: year, DOY and the six values in
// their output units, tab-separated, ended by CR LF.
class WeatherRowFormat {
public:
    static constexpr std::size_t kCapacity = 8 * kFixedTextCapacity + 64;

    explicit WeatherRowFormat(const ColumnSpec& spec);
    // Writes the row at `out` (kCapacity bytes of room); returns its end.
    char* format(char* out, const Record& record, int doy) const;

private:
    double mSolar;
    double mPrecip;
    double mEt;
    // Unknown (the empty text included) writes both temperatures as 0.
    TemperatureUnit mTemperature = TemperatureUnit::Unknown;
};

class TextReader;
class TextWriter;
// The header rows of the input, then the column-name and unit rows.
void writeWeatherHead(TextReader& input, TextWriter& output, int rowsBefore);

// Converts "Input.~" to the crop model's daily weather layout in "Output.~".
// Tasks 4 to 7 hand their estimates in through "Out.~", one per record.
void Convert_rearrange(RunContext& run);

} // namespace pluvora

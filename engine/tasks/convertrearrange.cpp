#include "tasks/convertrearrange.h"

#include "error.h"
#include "io/numbertext.h"
#include "io/textreader.h"
#include "io/textwriter.h"
#include "record/recordreader.h"

#include <memory>
#include <string>

namespace pluvora {

namespace {

constexpr std::string_view kColumnNameRow = "Year\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET";
constexpr std::string_view kUnitRow = "\t\tMJ/m2\toC\toC\t%\tmm\tmm";
constexpr std::string_view kInvalidDate = "Invalid date";

enum class TemperatureMode { Celsius, Fahrenheit, None };

TemperatureMode temperatureMode(std::string_view unit)
{
    if (unit == "oC")
        return TemperatureMode::Celsius;
    if (unit == "oF")
        return TemperatureMode::Fahrenheit;
    return TemperatureMode::None;
}

double toCelsius(double value, TemperatureMode mode)
{
    switch (mode) {
    case TemperatureMode::Celsius: return value;
    case TemperatureMode::Fahrenheit: return fahrenheitToCelsius(value);
    case TemperatureMode::None: break;
    }
    return 0.0;
}

// The record's own DOY wins; a date that does not exist ends the run like a
// bad number would, since the checkup should have reported it already.
std::optional<int> recordDayOfYear(const Record& record)
{
    if (record.doy >= 1)
        return record.doy;
    if (record.year < 1 || record.month < 1 || record.day < 1)
        return std::nullopt;
    const auto doy = dayOfYear(record.year, record.month, record.day);
    if (!doy)
        throw Error(std::string(kInvalidDate) + ": " + std::to_string(record.year) + "-"
                    + std::to_string(record.month) + "-" + std::to_string(record.day));
    return doy;
}

void appendField(std::string& row, std::string_view field)
{
    row += '\t';
    row += field;
}

} // namespace

void Convert_rearrange(RunContext& run)
{
    const ColumnSpec& spec = run.columns;
    const double solarFactor = conversionUnitSolar(spec.unit(kSolar));
    const double precipFactor = conversionUnitForWater(spec.unit(kPrecip));
    const double etFactor = conversionUnitForWater(spec.unit(kEt));
    const TemperatureMode mode = temperatureMode(spec.unit(kTmax));
    if (spec.unit(kTmax) != spec.unit(kTmin)) {
        run.fail(kTemperatureUnitsDiffer);
        return;
    }

    const bool solarEstimate = run.task == 4 || run.task == 5;
    const bool etEstimate = run.task == 6 || run.task == 7;

    TextReader input(run.file(workfile::kInput));
    std::unique_ptr<TextReader> estimates;
    if (solarEstimate || etEstimate)
        estimates = std::make_unique<TextReader>(run.file(workfile::kOut));
    TextWriter output(run.file(workfile::kOutput));

    copyHeaderRows(input, output, run.rowsBefore);
    output.writeLine(kColumnNameRow);
    output.writeLine(kUnitRow);

    std::string row;
    bool anyRecord = false;
    while (readRecord(input, run)) {
        anyRecord = true;
        Record& record = run.record;
        if (estimates) {
            // An estimate file shorter than the data gives 0 for the rest.
            const double estimate = estimates->readNumber();
            estimates->skipLine();
            if (solarEstimate)
                record.solar = estimate;
            else
                record.et = estimate;
        }

        const auto doy = recordDayOfYear(record);
        if (!doy) {
            output.close();
            run.fail(kDateIsMissing);
            return;
        }

        row = std::to_string(record.year);
        appendField(row, std::to_string(*doy));
        appendField(row, formatFixed(record.solar * solarFactor, 2));
        appendField(row, formatFixed(toCelsius(record.tmax, mode), 1));
        appendField(row, formatFixed(toCelsius(record.tmin, mode), 1));
        appendField(row, formatFixed(record.relHum, 0));
        appendField(row, formatFixed(record.precip * precipFactor, 1));
        appendField(row, formatFixed(record.et * etFactor, 1));
        output.writeLine(row);
        run.ui.gaugeDisplay();
    }

    output.close();
    // Header rows and no data: there is no record to take a date from.
    if (!anyRecord)
        run.fail(kDateIsMissing);
}

} // namespace pluvora

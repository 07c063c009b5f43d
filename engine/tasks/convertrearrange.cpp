#include "engine/tasks/convertrearrange.h"

#include "engine/error.h"
#include "engine/io/numbertext.h"
#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "engine/modelfiles/daylog.h"
#include "engine/stage/recordreader.h"
#include "engine/tasks/estimationframe.h"

#include <charconv>
#include <memory>
#include <string>

namespace pluvora {

namespace {

constexpr std::string_view kColumnNameRow = "Year\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET";
constexpr std::string_view kUnitRow = "\t\tMJ/m2\toC\toC\t%\tmm\tmm";

double writtenCelsius(double value, TemperatureUnit unit)
{
    return unit == TemperatureUnit::Unknown ? 0.0 : toCelsius(value, unit);
}

char* field(char* out, double value, int decimals)
{
    *out++ = '\t';
    return formatFixedTo(out, value, decimals);
}

} // namespace

void writeWeatherHead(TextReader& input, TextWriter& output, int rowsBefore)
{
    copyHeaderRows(input, output, rowsBefore);
    output.writeLine(kColumnNameRow);
    output.writeLine(kUnitRow);
}

WeatherRowFormat::WeatherRowFormat(const ColumnSpec& spec)
    : mSolar(conversionUnitSolar(spec.unit(kSolar))),
      mPrecip(conversionUnitForWater(spec.unit(kPrecip))),
      mEt(conversionUnitForWater(spec.unit(kEt))),
      mTemperature(temperatureUnit(spec.unit(kTmax)))
{
}

char* WeatherRowFormat::format(char* out, const Record& record, int doy) const
{
    out = std::to_chars(out, out + 16, record.year).ptr;
    *out++ = '\t';
    out = std::to_chars(out, out + 16, doy).ptr;
    out = field(out, record.solar * mSolar, 2);
    out = field(out, writtenCelsius(record.tmax, mTemperature), 1);
    out = field(out, writtenCelsius(record.tmin, mTemperature), 1);
    out = field(out, record.relHum, 0);
    out = field(out, record.precip * mPrecip, 1);
    out = field(out, record.et * mEt, 1);
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

void Convert_rearrange(RunContext& run)
{
    const ColumnSpec& spec = run.columns;
    const WeatherRowFormat rowFormat(spec);
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

    writeWeatherHead(input, output, run.rowsBefore);

    bool anyRecord = false;
    run.ui.progressPass(kConvertingPass);
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

        output.commit(rowFormat.format(output.reserve(WeatherRowFormat::kCapacity), record, *doy));
        if (run.days)
            run.days->add(record, spec, *doy);
        stepGauge(run.ui);
    }

    output.close();
    // Header rows and no data: there is no record to take a date from.
    if (!anyRecord)
        run.fail(kDateIsMissing);
}

} // namespace pluvora

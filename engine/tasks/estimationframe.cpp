#include "engine/tasks/estimationframe.h"

#include "engine/columns/variablecatalogue.h"
#include "engine/error.h"
#include "engine/methods/solargeometry.h"
#include "engine/record/humidity.h"
#include "engine/stage/integertext.h"

#include <utility>

namespace pluvora {

namespace {

constexpr std::string_view kNoValueAtLine = "No value can be estimated for input line ";
constexpr std::string_view kNoSunriseOrSunset =
    "the sun does not rise or set on this day at the given latitude. Check the latitude and the dates.";
constexpr std::string_view kElevationTooHigh =
    "the elevation is above 45076.9 m, where the air pressure has no value. Check the elevation.";
constexpr std::string_view kPanCoefficientNotPositive =
    "the pan coefficient is not above 0 at this fetch, wind speed and humidity. Check the fetch.";

std::string_view reasonText(methods::NoValueReason reason)
{
    switch (reason) {
    case methods::NoValueReason::None: break;
    case methods::NoValueReason::NoSunriseOrSunset: return kNoSunriseOrSunset;
    case methods::NoValueReason::ElevationTooHigh: return kElevationTooHigh;
    case methods::NoValueReason::PanCoefficientNotPositive: return kPanCoefficientNotPositive;
    }
    return {};
}

} // namespace

std::string notAFloatMessage(std::string_view text)
{
    return "'" + std::string(text) + "' is not a valid floating point value";
}

double decimalFromBox(std::string_view text)
{
    const auto value = parseTypedNumber(text);
    if (!value)
        throw Error(notAFloatMessage(text));
    return *value;
}

std::string latitudeOutOfRangeMessage(std::string_view text)
{
    return "Latitude must be from -90 to 90 degrees: '" + std::string(text) + "'";
}

double latitudeFromBox(std::string_view text)
{
    const double degrees = decimalFromBox(text);
    if (!(degrees >= -90.0 && degrees <= 90.0))
        throw Error(latitudeOutOfRangeMessage(text));
    return methods::degreesToRadians(degrees);
}

int integerFromBox(std::string_view text)
{
    std::string_view digits = text;
    while (!digits.empty() && (digits.front() == ' ' || digits.front() == '\t'))
        digits.remove_prefix(1);
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    // A second sign ("--5", "+-5") is not a number.
    const auto value = digits.empty() || digits.front() == '-' ? std::nullopt : parseInteger(digits);
    if (!value)
        throw Error(notAnIntegerMessage(text));
    return negative ? -*value : *value;
}

void checkTaskPageTexts(const RunContext& run)
{
    const TaskPageInput& page = run.pages;
    switch (run.task) {
    case 4:
        if (!page.latitudeTask4.empty())
            latitudeFromBox(page.latitudeTask4);
        break;
    case 5:
        if (!page.latitudeTask5.empty())
            latitudeFromBox(page.latitudeTask5);
        break;
    case 6:
        if (!page.fetchTask6.empty())
            integerFromBox(page.fetchTask6);
        break;
    case 7:
        if (!page.latitudeTask7.empty() && !page.elevationTask7.empty()) {
            latitudeFromBox(page.latitudeTask7);
            decimalFromBox(page.elevationTask7);
        }
        break;
    default:
        break;
    }
}

bool requireColumns(RunContext& run, std::initializer_list<int> codes)
{
    for (const int code : codes) {
        // A dew point or vapour pressure column stands in for RelHum.
        const bool present = code == kRelHum ? hasHumidity(run.columns, kColumnBoxes)
                                             : run.columns.hasColumn(code, kColumnBoxes);
        if (!present) {
            run.missingVariable = code;
            run.fail(kRequiredDataMissing);
            return false;
        }
    }
    return true;
}

std::string missingColumnNote(int code)
{
    return "no column is set to \"" + std::string(variableInfo(code).item) + "\"";
}

std::optional<int> recordDayOfYear(const Record& record)
{
    if (record.doy >= 1)
        return record.doy;
    if (record.year < 1 || record.month < 1 || record.day < 1)
        return std::nullopt;
    const auto doy = dayOfYear(record.year, record.month, record.day);
    if (!doy)
        throw Error("Invalid date: " + std::to_string(record.year) + "-" + std::to_string(record.month) + "-"
                    + std::to_string(record.day));
    return doy;
}

std::string noValueReport(int inputLine, int year, int dayOfYear, methods::NoValueReason reason)
{
    std::string text(kNoValueAtLine);
    text += std::to_string(inputLine);
    if (year >= 1) {
        text += ", date ";
        text += std::to_string(year);
        text += " / ";
    } else {
        text += ", day of year ";
    }
    text += std::to_string(dayOfYear);
    text += ": ";
    text += reasonText(reason);
    return text;
}

methods::NoValueReason sunlessDay(int J, double phi)
{
    const auto day = methods::clearDay(J, phi, 0.0, 0.0);
    if (!day)
        return day.reason;
    return day.value.N > 0.0 ? methods::NoValueReason::None : methods::NoValueReason::NoSunriseOrSunset;
}

EstimatesInPass::EstimatesInPass(RunContext& run, Estimation estimation)
    : mRun(run), mEstimation(std::move(estimation)), mOut(run.file(workfile::kOut))
{
}

void EstimatesInPass::take(const Record& record, long index)
{
    if (!going())
        return;
    ++mCount;
    try {
        int J = 0;
        if (mEstimation.datesNeeded) {
            const auto doy = recordDayOfYear(record);
            if (!doy) {
                mFailure = kDateIsMissing;
                return;
            }
            J = *doy;
        }
        const methods::MethodResult<double> value = mEstimation.estimate(record, J);
        if (!value) {
            // A task that needs no dates still names the day it stops on.
            const int day = mEstimation.datesNeeded ? J : recordDayOfYear(record).value_or(0);
            mFailure = noValueReport(mRun.rowsBefore + static_cast<int>(index) + 1, record.year, day, value.reason);
            return;
        }
        if (mRun.provenance)
            mRun.provenance->holdEstimate(mHeld++, value.value);
        // Formatted in place: no string per record.
        char* end = formatFixedTo(mOut.reserve(kFixedTextCapacity + 2), value.value, mEstimation.decimals);
        *end++ = '\r';
        *end++ = '\n';
        mOut.commit(end);
    } catch (...) {
        mError = std::current_exception();
    }
}

bool EstimatesInPass::finish()
{
    mOut.close();
    if (mRun.provenance)
        mRun.provenance->keepEstimates(mHeld);
    if (mError)
        std::rethrow_exception(mError);
    if (mFailure) {
        mRun.fail(*mFailure);
        return false;
    }
    // As the weather-file conversion does for the same data.
    if (mCount == 0) {
        mRun.fail(kDateIsMissing);
        return false;
    }
    return true;
}

void writeEstimationOutput(RunContext& run, std::string_view description, EstimateColumn column)
{
    {
        TextReader input(run.file(workfile::kInput));
        TextWriter output(run.file(workfile::kOutput));
        output.write(description);
        if (run.rowsBefore == 0) {
            // The description is now the one header row.
            output.writeLine();
            run.rowsBefore = 1;
        } else {
            copyHeaderRows(input, output, run.rowsBefore);
        }

        std::string line;
        run.ui.progressPass(kEstimatingPass);
        if (!run.rearrange) {
            TextReader estimates(run.file(workfile::kOut));
            std::string estimate;
            while (input.readLine(line)) {
                if (!estimates.readLine(estimate))
                    estimate.clear();
                output.write(line);
                output.write('\t');
                output.writeLine(estimate);
                stepGauge(run.ui);
            }
            output.close();
            return;
        }
        while (input.readLine(line)) {
            output.writeLine(line);
            stepGauge(run.ui);
        }
        output.close();
    }

    replaceFile(run.file(workfile::kOutput), run.file(workfile::kInput));
    // The estimate is written in these units, so it is taken with factor 1.
    if (column == EstimateColumn::Solar)
        run.columns.unitText[kSolar] = "MJ/m2/d";
    else
        run.columns.unitText[kEt] = "mm";
    Convert_rearrange(run);
}

} // namespace pluvora

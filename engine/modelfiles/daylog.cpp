#include "engine/modelfiles/daylog.h"

#include "engine/error.h"
#include "engine/record/humidity.h"

#include <charconv>
#include <cstring>
#include <tuple>
#include <utility>

namespace pluvora {

namespace {

// The order of the values on a line; "-" stands for no value.
constexpr int kValueCount = 9;

std::optional<double>* valueSlot(ModelDay& day, int index)
{
    switch (index) {
    case 0: return &day.solar;
    case 1: return &day.tmax;
    case 2: return &day.tmin;
    case 3: return &day.precip;
    case 4: return &day.relHum;
    case 5: return &day.wind;
    case 6: return &day.dewPt;
    case 7: return &day.vapPr;
    default: return &day.et;
    }
}

std::optional<double> present(const Record& record, int code, double value)
{
    if (!record.has(code))
        return std::nullopt;
    return value;
}

std::optional<double> celsius(const Record& record, int code, double value, std::string_view unit)
{
    const TemperatureUnit from = temperatureUnit(unit);
    if (!record.has(code) || from == TemperatureUnit::Unknown)
        return std::nullopt;
    return toCelsius(value, from);
}

std::optional<double> scaled(const Record& record, int code, double value, double factor)
{
    if (!record.has(code) || factor == 0.0)
        return std::nullopt;
    return value * factor;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Month and day of a day of the year, for inputs dated by DOY alone.
std::pair<int, int> monthAndDay(int year, int doy)
{
    static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 1;
    for (; month < 12; ++month) {
        const int length = kLengths[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
        if (doy <= length)
            break;
        doy -= length;
    }
    return {month, doy};
}

void openFailed(const std::filesystem::path& file)
{
    throw Error("Cannot open the working file \"" + file.string() + "\": " + std::strerror(errno));
}

} // namespace

DayLog::DayLog(std::filesystem::path file) : mFile(std::move(file))
{
    mOut = std::fopen(mFile.c_str(), "wb");
    if (!mOut)
        openFailed(mFile);
}

DayLog::~DayLog()
{
    if (mOut)
        std::fclose(mOut);
}

void DayLog::add(const Record& record, const ColumnSpec& spec, int doy)
{
    // Humidity given as dew point or vapour pressure has been turned into
    // RelHum already; the given form is kept as well, as models read it.
    const std::optional<double> values[kValueCount] = {
        scaled(record, kSolar, record.solar, conversionUnitSolar(spec.unit(kSolar))),
        celsius(record, kTmax, record.tmax, spec.unit(kTmax)),
        celsius(record, kTmin, record.tmin, spec.unit(kTmin)),
        scaled(record, kPrecip, record.precip, conversionUnitForWater(spec.unit(kPrecip))),
        present(record, kRelHum, record.relHum),
        scaled(record, kWndSpd, record.wndSpd, conversionUnitWS(spec.unit(kWndSpd))),
        celsius(record, kDewPt, record.dewPt, spec.unit(kDewPt)),
        scaled(record, kVapPr, record.vapPr, conversionUnitVapour(spec.unit(kVapPr))),
        scaled(record, kEt, record.et, conversionUnitForWater(spec.unit(kEt))),
    };
    char line[64 + kValueCount * 32];
    char* out = line;
    char* const end = line + sizeof line;
    auto [month, day] = std::pair{record.month, record.day};
    if (month == 0)
        std::tie(month, day) = monthAndDay(record.year, doy);
    for (int date : {record.year, month, day, doy}) {
        out = std::to_chars(out, end, date).ptr;
        *out++ = ' ';
    }
    for (const auto& value : values) {
        if (value)
            out = std::to_chars(out, end, *value).ptr;
        else
            *out++ = '-';
        *out++ = ' ';
    }
    out[-1] = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(out - line), mOut);
}

void DayLog::clear()
{
    if (mOut)
        std::fclose(mOut);
    mOut = std::fopen(mFile.c_str(), "wb");
    if (!mOut)
        openFailed(mFile);
}

void DayLog::close()
{
    if (!mOut)
        return;
    const bool failed = std::ferror(mOut) != 0;
    std::fclose(mOut);
    mOut = nullptr;
    if (failed)
        throw Error("Cannot write the working file \"" + mFile.string() + "\".");
}

DayLogReader::DayLogReader(const std::filesystem::path& file)
{
    mIn = std::fopen(file.c_str(), "rb");
    if (!mIn)
        openFailed(file);
}

DayLogReader::~DayLogReader() { std::fclose(mIn); }

std::optional<ModelDay> DayLogReader::next()
{
    // Lines are short and written here: one fgets reads each whole.
    char buffer[512];
    if (!std::fgets(buffer, sizeof buffer, mIn))
        return std::nullopt;
    mLine.assign(buffer);
    if (!mLine.empty() && mLine.back() == '\n')
        mLine.pop_back();
    if (mLine.empty())
        return std::nullopt;
    ModelDay day;
    const char* p = mLine.data();
    const char* const end = p + mLine.size();
    for (int* date : {&day.year, &day.month, &day.day, &day.doy}) {
        p = std::from_chars(p, end, *date).ptr;
        ++p;
    }
    for (int k = 0; k < kValueCount && p < end; ++k) {
        if (*p == '-' && (p + 1 == end || p[1] == ' ')) {
            p += 2;
            continue;
        }
        double value = 0;
        p = std::from_chars(p, end, value).ptr;
        *valueSlot(day, k) = value;
        ++p;
    }
    return day;
}

} // namespace pluvora

#include "engine/modelfiles/dayscan.h"

#include "engine/io/numbertext.h"
#include "engine/modelfiles/modelvalues.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace pluvora {

namespace {

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Monthly sums of the mean temperature.
class MonthlyMeans {
public:
    void add(int month, double tmean)
    {
        const auto m = static_cast<std::size_t>(month - 1);
        mSum[m] += tmean;
        ++mCount[m];
    }
    bool any() const
    {
        return std::any_of(mCount.begin(), mCount.end(), [](long n) { return n > 0; });
    }
    // Mean of the monthly means and their range.
    std::pair<double, double> tavAmp() const
    {
        double sum = 0;
        int months = 0;
        double low = std::numeric_limits<double>::max();
        double high = std::numeric_limits<double>::lowest();
        for (std::size_t m = 0; m < 12; ++m) {
            if (mCount[m] == 0)
                continue;
            const double mean = mSum[m] / static_cast<double>(mCount[m]);
            sum += mean;
            ++months;
            low = std::min(low, mean);
            high = std::max(high, mean);
        }
        if (months == 0)
            return {0.0, 0.0};
        return {sum / months, high - low};
    }
    bool complete() const
    {
        return std::all_of(mCount.begin(), mCount.end(), [](long n) { return n > 0; });
    }
    void clear() { *this = MonthlyMeans(); }

private:
    std::array<double, 12> mSum{};
    std::array<long, 12> mCount{};
};

struct Required {
    std::optional<double> ModelDay::*value;
    std::string_view name;
};

constexpr Required kSolar{&ModelDay::solar, "Solar"};
constexpr Required kTmax{&ModelDay::tmax, "T-max"};
constexpr Required kTmin{&ModelDay::tmin, "T-min"};
constexpr Required kPrecip{&ModelDay::precip, "Precip"};
constexpr Required kWind{&ModelDay::wind, "WndSpd"};
constexpr Required kRelHum{&ModelDay::relHum, "RelHum"};

// Solar, humidity and wind are needed by the reference ET of AquaCrop's
// file as well.
std::vector<Required> requiredOf(ModelFormat format)
{
    std::vector<Required> required{kSolar, kTmax, kTmin, kPrecip};
    if (format == ModelFormat::PcseCsv || format == ModelFormat::Cabo || format == ModelFormat::Stics)
        required.push_back(kWind);
    if (format == ModelFormat::AquaCrop || format == ModelFormat::Stics) {
        required.push_back(kRelHum);
        required.push_back(kWind);
    }
    return required;
}

// The DSSAT columns' texts: a value that needs more than the span would
// run into its neighbour.
void checkSpans(const ModelDay& day)
{
    const DssatValues values(day);
    for (const auto& [name, value] : values.columns()) {
        // Up to 9999.9 and down to -999.9 fit; only then is there text to make.
        if (!value || (*value < 9999.95 && *value > -999.95))
            continue;
        const std::string text = formatFixed(*value, 1);
        if (text.size() > 6)
            throw ModelFileRefused(refusalMessage(ModelFormat::Dssat, dateText(day),
                                                  std::string(name) + " " + text + std::string(kRuleWiderThanSpan)));
    }
}

} // namespace

std::string refusalMessage(ModelFormat format, std::string_view date, std::string_view rule)
{
    std::string text = "The ";
    text += modelFormatTitle(format);
    text += " file is not written: ";
    if (!date.empty()) {
        text += date;
        text += ": ";
    }
    text += rule;
    text += '.';
    return text;
}

std::string dateText(const ModelDay& day)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

bool followsDay(const ModelDay& before, const ModelDay& day)
{
    if (day.year == before.year)
        return day.doy == before.doy + 1;
    return day.year == before.year + 1 && day.doy == 1 && before.doy == (isLeap(before.year) ? 366 : 365);
}

DayScan scanDays(const std::filesystem::path& daysFile, ModelFormat format, const ModelSite& site)
{
    DayScan scan;
    DayLogReader reader(daysFile);
    const std::vector<Required> required = requiredOf(format);
    MonthlyMeans whole;
    MonthlyMeans year;
    // Per year: [0] every year, [1] the complete ones only.
    double tavSum[2] = {};
    double ampSum[2] = {};
    int years[2] = {};
    auto endYear = [&] {
        if (!year.any())
            return;
        const auto [tav, amp] = year.tavAmp();
        if (year.complete()) {
            if (years[1] == 0)
                scan.apsimFirstYear = scan.last.year;
            scan.apsimLastYear = scan.last.year;
        }
        for (int kind = 0; kind < (year.complete() ? 2 : 1); ++kind) {
            tavSum[kind] += tav;
            ampSum[kind] += amp;
            ++years[kind];
        }
        year.clear();
    };
    bool solarAbove40 = false;
    scan.relHum = scan.wind = scan.dewPt = scan.vapour = true;
    while (const auto next = reader.next()) {
        const ModelDay& day = *next;
        if (scan.days > 0 && !followsDay(scan.last, day))
            throw ModelFileRefused(refusalMessage(format, dateText(day), kRuleDayMissing));
        for (const auto& variable : required)
            if (!(day.*variable.value))
                throw ModelFileRefused(
                    refusalMessage(format, dateText(day), std::string(variable.name) + std::string(kRuleNoValue)));
        const bool vapourNeeded =
            format == ModelFormat::PcseCsv || format == ModelFormat::Cabo || format == ModelFormat::Stics;
        if (vapourNeeded && !vapourPressure(day))
            throw ModelFileRefused(refusalMessage(format, dateText(day), kRuleNoVapour));
        if (*day.tmax < *day.tmin)
            throw ModelFileRefused(refusalMessage(format, dateText(day), kRuleTmaxBelowTmin));
        if (*day.solar < 0)
            throw ModelFileRefused(refusalMessage(format, dateText(day), kRuleSolarBelowZero));
        if (*day.solar > 40) {
            // APSIM only warns about it; the others stop.
            if (format != ModelFormat::Apsim)
                throw ModelFileRefused(refusalMessage(format, dateText(day), kRuleSolarAbove40));
            if (!solarAbove40)
                scan.notices.push_back("APSIM warns about solar radiation above 40 MJ/m2, first on " + dateText(day)
                                       + ".");
            solarAbove40 = true;
        }
        if (format == ModelFormat::Dssat)
            checkSpans(day);
        const bool etNeeded = format == ModelFormat::AquaCrop || format == ModelFormat::Stics;
        if (etNeeded && !grassReferenceET(day, site))
            throw ModelFileRefused(refusalMessage(format, dateText(day), kRuleNoReferenceEt));

        scan.relHum = scan.relHum && day.relHum;
        scan.wind = scan.wind && day.wind;
        scan.dewPt = scan.dewPt && day.dewPt;
        scan.vapour = scan.vapour && vapourPressure(day);
        if (scan.days == 0)
            scan.first = day;
        else if (day.year != scan.last.year)
            endYear();
        const double tmean = (*day.tmax + *day.tmin) / 2;
        whole.add(day.month, tmean);
        year.add(day.month, tmean);
        scan.last = day;
        ++scan.days;
    }
    if (scan.days == 0)
        throw ModelFileRefused(refusalMessage(format, {}, kRuleNoDays));
    endYear();
    std::tie(scan.dssatTav, scan.dssatAmp) = whole.tavAmp();
    // A year's range needs all its months: a record that starts in
    // December would give a year of no range at all. Partial years count
    // only when there is no whole one.
    const int kind = years[1] > 0 ? 1 : 0;
    scan.apsimTav = tavSum[kind] / years[kind];
    scan.apsimAmp = ampSum[kind] / years[kind];
    return scan;
}

} // namespace pluvora

#include "engine/tasks/estimatesolarfromtemp.h"

#include "engine/methods/solarfromtemperature.h"
#include "engine/tasks/estimationframe.h"

#include <algorithm>

namespace pluvora {

namespace {

int regionOf(const RunContext& run)
{
    return std::clamp(run.pages.regionTask4 + 1, methods::kRegionMidWestUsa, methods::kRegionCoastal);
}

bool midWestSouthOfTheEquator(int region, double phi) { return region == methods::kRegionMidWestUsa && phi < 0; }

} // namespace

bool temperatureColumnsGiven(RunContext& run) { return requireColumns(run, {kTmax, kTmin}); }

std::optional<Estimation> solarFromTempEstimation(const RunContext& run)
{
    const double phi = latitudeFromBox(run.pages.latitudeTask4);
    const int region = regionOf(run);
    if (midWestSouthOfTheEquator(region, phi))
        return std::nullopt;
    // An unknown text is read as Celsius.
    const TemperatureUnit temperature = temperatureUnit(run.columns.unit(kTmax));
    return Estimation{2, true, [region, phi, temperature, sunless = SunlessDays(phi)](const Record& record, int J) mutable {
        if (const auto why = sunless(J); why != methods::NoValueReason::None)
            return methods::MethodResult<double>{0.0, why};
        return methods::solarFromTemperature(region, J, phi, toCelsius(record.tmax, temperature),
                                             toCelsius(record.tmin, temperature));
    }};
}

void estimateSolarFromTemp(RunContext& run, EstimatesInPass* estimates)
{
    const double phi = latitudeFromBox(run.pages.latitudeTask4);
    const int region = regionOf(run);
    if (midWestSouthOfTheEquator(region, phi)) {
        run.ui.playSound(Sound::Error);
        run.ui.showMessage(MessageKind::Plain, kPositiveLatitudeNeeded);
        run.stop();
        return;
    }

    if (!estimates->finish())
        return;

    const bool mh = region == methods::kRegionMidWestUsa;
    const char* description = run.rearrange ? (mh ? kSolarFromTempMHRearranged : kSolarFromTempFAORearranged)
                                            : (mh ? kSolarFromTempMHDescription : kSolarFromTempFAODescription);
    writeEstimationOutput(run, description, EstimateColumn::Solar);
}

} // namespace pluvora

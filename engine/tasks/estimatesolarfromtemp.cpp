#include "engine/tasks/estimatesolarfromtemp.h"

#include "engine/methods/solarfromtemperature.h"
#include "engine/tasks/estimationframe.h"

#include <algorithm>

namespace pluvora {

bool temperatureColumnsGiven(RunContext& run) { return requireColumns(run, {kTmax, kTmin}); }

void estimateSolarFromTemp(RunContext& run)
{
    const double phi = latitudeFromBox(run.pages.latitudeTask4);
    const int region = std::clamp(run.pages.regionTask4 + 1, methods::kRegionMidWestUsa, methods::kRegionCoastal);
    if (region == methods::kRegionMidWestUsa && phi < 0) {
        run.ui.playSound(Sound::Error);
        run.ui.showMessage(MessageKind::Plain, kPositiveLatitudeNeeded);
        run.stop();
        return;
    }

    // An unknown text is read as Celsius.
    const TemperatureUnit temperature = temperatureUnit(run.columns.unit(kTmax));
    auto celsius = [temperature](double t) { return toCelsius(t, temperature); };
    SunlessDays sunless(phi);
    const bool written = writeEstimates(run, 2, true, [&](const Record& record, int J) {
        if (const auto why = sunless(J); why != methods::NoValueReason::None)
            return methods::MethodResult<double>{0.0, why};
        return methods::solarFromTemperature(region, J, phi, celsius(record.tmax), celsius(record.tmin));
    });
    if (!written)
        return;

    const bool mh = region == methods::kRegionMidWestUsa;
    const char* description = run.rearrange ? (mh ? kSolarFromTempMHRearranged : kSolarFromTempFAORearranged)
                                            : (mh ? kSolarFromTempMHDescription : kSolarFromTempFAODescription);
    writeEstimationOutput(run, description, EstimateColumn::Solar);
}

} // namespace pluvora

#include "engine/tasks/estimatesolarfromsunshinehr.h"

#include "engine/methods/angstrom.h"
#include "engine/tasks/estimationframe.h"

#include <algorithm>
#include <string>

namespace pluvora {

bool sunshineColumnGiven(RunContext& run)
{
    if (run.columns.hasColumn(kSunHr, kColumnBoxes) || run.columns.hasColumn(kSunHrPercent, kColumnBoxes))
        return true;
    run.fail(kNoSunshineData);
    return false;
}

void estimateSolarFromSunShineHr(RunContext& run)
{
    const double phi = latitudeFromBox(run.pages.latitudeTask5);
    const int zone = std::clamp(run.pages.climateZoneTask5 + 1, 1, 3);

    // With both columns the hours are used; the run has seen one is there.
    const methods::SunshineMode mode = run.columns.hasColumn(kSunHr, kColumnBoxes) ? methods::SunshineMode::Hours
                                                                                    : methods::SunshineMode::Percent;

    const bool hours = mode == methods::SunshineMode::Hours;
    SunlessDays sunless(phi);
    const bool written = writeEstimates(run, 2, true, [&](const Record& record, int J) {
        if (const auto why = sunless(J); why != methods::NoValueReason::None)
            return methods::MethodResult<double>{0.0, why};
        return methods::solarFromSunshine(zone, mode, hours ? record.sunHr : record.sunHrPercent, J, phi);
    });
    if (!written)
        return;

    std::string description = run.rearrange ? kSunshineRearranged : kSunshineDescription;
    description += hours ? kSunshineHoursPiece : kSunshinePercentPiece;
    description += zone == 1 ? kColdTemperatePiece : zone == 2 ? kDryTropicalPiece : kHumidTropicalPiece;
    writeEstimationOutput(run, description, EstimateColumn::Solar);
}

} // namespace pluvora

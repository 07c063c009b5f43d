#include "engine/tasks/estimatesolarfromsunshinehr.h"

#include "engine/methods/angstrom.h"

#include <algorithm>
#include <string>

namespace pluvora {

namespace {

int zoneOf(const RunContext& run) { return std::clamp(run.pages.climateZoneTask5 + 1, 1, 3); }

// With both columns the hours are used; the run has seen one is there.
bool hoursGiven(const RunContext& run) { return run.columns.hasColumn(kSunHr, kColumnBoxes); }

} // namespace

bool sunshineColumnGiven(RunContext& run)
{
    if (run.columns.hasColumn(kSunHr, kColumnBoxes) || run.columns.hasColumn(kSunHrPercent, kColumnBoxes))
        return true;
    run.fail(kNoSunshineData);
    return false;
}

Estimation sunshineEstimation(const RunContext& run)
{
    const double phi = latitudeFromBox(run.pages.latitudeTask5);
    const int zone = zoneOf(run);
    const bool hours = hoursGiven(run);
    const auto mode = hours ? methods::SunshineMode::Hours : methods::SunshineMode::Percent;
    return Estimation{2, true, [phi, zone, hours, mode, sunless = SunlessDays(phi)](const Record& record, int J) mutable {
        if (const auto why = sunless(J); why != methods::NoValueReason::None)
            return methods::MethodResult<double>{0.0, why};
        return methods::solarFromSunshine(zone, mode, hours ? record.sunHr : record.sunHrPercent, J, phi);
    }};
}

void estimateSolarFromSunShineHr(RunContext& run, EstimatesInPass* estimates)
{
    if (!estimates->finish())
        return;

    const int zone = zoneOf(run);
    std::string description = run.rearrange ? kSunshineRearranged : kSunshineDescription;
    description += hoursGiven(run) ? kSunshineHoursPiece : kSunshinePercentPiece;
    description += zone == 1 ? kColdTemperatePiece : zone == 2 ? kDryTropicalPiece : kHumidTropicalPiece;
    writeEstimationOutput(run, description, EstimateColumn::Solar);
}

} // namespace pluvora

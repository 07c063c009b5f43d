#include "engine/tasks/etbypm.h"

#include "engine/methods/penmanmonteith.h"

namespace pluvora {

namespace {

bool siteGiven(const RunContext& run) { return !run.pages.latitudeTask7.empty() && !run.pages.elevationTask7.empty(); }

} // namespace

bool penmanColumnsGiven(RunContext& run) { return requireColumns(run, {kSolar, kTmax, kTmin, kRelHum, kWndSpd}); }

std::optional<Estimation> penmanEstimation(const RunContext& run)
{
    if (!siteGiven(run))
        return std::nullopt;
    const double phi = latitudeFromBox(run.pages.latitudeTask7);
    const double z = decimalFromBox(run.pages.elevationTask7);
    if (!(z >= kLowestElevation))
        return std::nullopt;
    // Only T-max's unit counts; the checkup has made T-min's the same.
    // An unknown text is read as Fahrenheit.
    auto temperature = temperatureUnit(run.columns.unit(kTmax));
    if (temperature == TemperatureUnit::Unknown)
        temperature = TemperatureUnit::Fahrenheit;
    const double solarFactor = conversionUnitSolar(run.columns.unit(kSolar));
    const double windFactor = conversionUnitWS(run.columns.unit(kWndSpd));
    return Estimation{1, true,
                      [=, sunless = SunlessDays(phi)](const Record& record, int J) mutable {
                          if (const auto why = sunless(J); why != methods::NoValueReason::None)
                              return methods::MethodResult<double>{0.0, why};
                          methods::PenmanMonteithInput in;
                          in.Rs = record.solar * solarFactor;
                          in.Tmax = toCelsius(record.tmax, temperature);
                          in.Tmin = toCelsius(record.tmin, temperature);
                          in.RH = record.relHum;
                          in.u = record.wndSpd * windFactor;
                          in.J = J;
                          in.phi = phi;
                          in.z = z;
                          const auto result = methods::alfalfaReferenceET(in);
                          return methods::MethodResult<double>{result.value.ETr, result.reason};
                      }};
}

void ET_by_PM(RunContext& run, EstimatesInPass* estimates)
{
    if (!siteGiven(run)) {
        run.fail(kLatitudeOrAltitudeMissing);
        return;
    }
    if (!(decimalFromBox(run.pages.elevationTask7) >= kLowestElevation)) {
        run.fail(kElevationTooLow);
        return;
    }

    if (!estimates->finish())
        return;

    writeEstimationOutput(run, run.rearrange ? kPenmanTitleRearranged : kPenmanTitle, EstimateColumn::Et);
}

} // namespace pluvora

#include "engine/tasks/etfromevap.h"

#include "engine/methods/pancoefficient.h"

#include <algorithm>
#include <string>

namespace pluvora {

namespace {

double fetchOf(const RunContext& run)
{
    const std::string& fetchText = run.pages.fetchTask6;
    return fetchText.empty() ? methods::kUnknownPanFetch : integerFromBox(fetchText);
}

int panCodeOf(const RunContext& run)
{
    return std::clamp(run.pages.panChoiceTask6 + 1, methods::kClassAGreenFetch, methods::kPanTypeUnknown);
}

bool fetchOutOfRange(int code, double fetch) { return code != methods::kPanTypeUnknown && !(fetch >= kShortestFetch); }

bool beyondFitted(int code, double fetch) { return code != methods::kPanTypeUnknown && fetch > kLongestFittedFetch; }

} // namespace

void testData(RunContext& run) { requireColumns(run, {kRelHum, kWndSpd, kPanEvap}); }

std::optional<Estimation> panEstimation(const RunContext& run)
{
    const double fetch = fetchOf(run);
    const int code = panCodeOf(run);
    if (fetchOutOfRange(code, fetch))
        return std::nullopt;
    const bool past = beyondFitted(code, fetch);
    const double waterFactor = conversionUnitForWater(run.columns.unit(kPanEvap));
    const double windFactor = conversionUnitWS(run.columns.unit(kWndSpd));
    return Estimation{1, false, [=](const Record& record, int) {
        const double u = record.wndSpd * windFactor;
        const double H = record.relHum;
        const double Kp = code == methods::kPanTypeUnknown ? methods::unknownPanCoefficient(u, H)
                                                           : methods::panCoefficient(code, u, H, fetch);
        if (past && !(Kp > 0))
            return methods::MethodResult<double>{0.0, methods::NoValueReason::PanCoefficientNotPositive};
        return methods::MethodResult<double>{record.panEvap * waterFactor * Kp};
    }};
}

void ET_from_Evap(RunContext& run, EstimatesInPass* estimates)
{
    const double fetch = fetchOf(run);
    const int code = panCodeOf(run);
    if (fetchOutOfRange(code, fetch)) {
        run.fail(kFetchOutOfRange);
        return;
    }
    if (beyondFitted(code, fetch))
        run.ui.notice(kFetchBeyondFitted);

    if (!estimates->finish())
        return;

    std::string title = run.rearrange ? kPanTitleRearranged : kPanTitle;
    if (code == methods::kPanTypeUnknown) {
        title += kUnknownPanSite;
    } else {
        title += kPanFetchCaptions[static_cast<std::size_t>(code - 1)];
        title += kPanWith;
        title += run.pages.fetchTask6;
        title += kPanMetres;
    }
    writeEstimationOutput(run, title, EstimateColumn::Et);
}

} // namespace pluvora

#include "engine/tasks/etfromevap.h"

#include "engine/methods/pancoefficient.h"
#include "engine/tasks/estimationframe.h"

#include <algorithm>
#include <string>

namespace pluvora {

void testData(RunContext& run) { requireColumns(run, {kRelHum, kWndSpd, kPanEvap}); }

void ET_from_Evap(RunContext& run)
{
    const std::string& fetchText = run.pages.fetchTask6;
    const double fetch = fetchText.empty() ? methods::kUnknownPanFetch : integerFromBox(fetchText);
    const int code = std::clamp(run.pages.panChoiceTask6 + 1, methods::kClassAGreenFetch, methods::kPanTypeUnknown);
    if (code != methods::kPanTypeUnknown && !(fetch >= kShortestFetch)) {
        run.fail(kFetchOutOfRange);
        return;
    }
    const bool beyondFitted = code != methods::kPanTypeUnknown && fetch > kLongestFittedFetch;
    if (beyondFitted)
        run.ui.notice(kFetchBeyondFitted);
    const double waterFactor = conversionUnitForWater(run.columns.unit(kPanEvap));
    const double windFactor = conversionUnitWS(run.columns.unit(kWndSpd));

    const bool written = writeEstimates(run, 1, false, [&](const Record& record, int) {
        const double u = record.wndSpd * windFactor;
        const double H = record.relHum;
        const double Kp = code == methods::kPanTypeUnknown ? methods::unknownPanCoefficient(u, H)
                                                           : methods::panCoefficient(code, u, H, fetch);
        if (beyondFitted && !(Kp > 0))
            return methods::MethodResult<double>{0.0, methods::NoValueReason::PanCoefficientNotPositive};
        return methods::MethodResult<double>{record.panEvap * waterFactor * Kp};
    });
    if (!written)
        return;

    std::string title = run.rearrange ? kPanTitleRearranged : kPanTitle;
    if (code == methods::kPanTypeUnknown) {
        title += kUnknownPanSite;
    } else {
        title += kPanFetchCaptions[static_cast<std::size_t>(code - 1)];
        title += kPanWith;
        title += fetchText;
        title += kPanMetres;
    }
    writeEstimationOutput(run, title, EstimateColumn::Et);
}

} // namespace pluvora

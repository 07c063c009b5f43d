#include "engine/run/columnresolution.h"

namespace pluvora {

namespace {
constexpr std::size_t kUnitTextLimit = 15;
}

std::string noUnitMessage(int column)
{
    return "column " + std::to_string(column) + " has no unit.";
}

void checkInputs(RunContext& run, const RunRequest& request)
{
    if (request.fileName.empty())
        run.fail(kNoInputFile);
    else if (request.rowsBeforeText.empty())
        run.fail(kNoRowsBefore);
    else if (run.task == 0)
        run.fail(kNoTask);
    else if (run.task == 4 && request.pages.latitudeTask4.empty())
        run.fail(kNoLatitude);
    else if (run.task == 5 && request.pages.latitudeTask5.empty())
        run.fail(kNoLatitude);
}

void assignVariableIndexAndUnitIndexToColumn(RunContext& run, const RunRequest& request, int count)
{
    for (int column = 1; column <= count && column <= kColumnBoxes; ++column)
        run.columns.columnVariable[static_cast<std::size_t>(column)] = request.layout.variable(column);
}

void assignUnit(RunContext& run, const RunRequest& request, int count)
{
    for (auto& text : run.columns.unitText)
        text.clear();
    for (int column = 1; column <= count && column <= kColumnBoxes; ++column) {
        const int code = run.columns.columnVariable[static_cast<std::size_t>(column)];
        if (code == kDate && request.layout.unitText(column).empty()) {
            run.fail(noUnitMessage(column));
            return;
        }
        if (!isMeasured(code))
            continue;
        const std::string_view shown = request.layout.unitText(column);
        run.columns.unitText[static_cast<std::size_t>(code)] = std::string(shown.substr(0, kUnitTextLimit));
        if (shown.empty()) {
            run.fail(noUnitMessage(column));
            return;
        }
    }
    run.columns.relHumFraction = run.columns.unit(kRelHum) == "fraction";
    run.columns.sunMinutes = run.columns.unit(kSunHr) == "min";
}

} // namespace pluvora

#include "engine/run/processingrun.h"

#include "engine/columns/weatherfilevariables.h"
#include "engine/error.h"
#include "engine/fill/gapfill.h"
#include "engine/io/numbertext.h"
#include "engine/provenance/runprovenance.h"
#include "engine/run/columnresolution.h"
#include "engine/run/usertermsmessage.h"
#include "engine/table/fieldreading.h"
#include "engine/table/inputtable.h"
#include "engine/table/paneltext.h"
#include "engine/tasks/convertrearrange.h"
#include "engine/tasks/datacheckup.h"
#include "engine/tasks/estimatesolarfromsunshinehr.h"
#include "engine/tasks/estimatesolarfromtemp.h"
#include "engine/tasks/estimationframe.h"
#include "engine/tasks/etbypm.h"
#include "engine/tasks/etfromevap.h"
#include "engine/tasks/missingvalues.h"
#include "engine/tasks/readingnotices.h"
#include "engine/tasks/streamedtaskone.h"

#include <exception>
#include <optional>
#include <utility>

namespace pluvora {

namespace {

int integerOf(const std::string& text)
{
    const auto value = parseInteger(text);
    if (!value)
        throw Error(notAnIntegerMessage(text));
    return *value;
}

// The gauge is seen only while a run goes on, however the run ends.
class RunGauge {
public:
    explicit RunGauge(UserFeedback& ui) : mUi(ui) {}
    ~RunGauge() { hide(); }
    RunGauge(const RunGauge&) = delete;
    RunGauge& operator=(const RunGauge&) = delete;
    void show()
    {
        mUi.setProgressVisible(true);
        mShown = true;
    }
    void hide()
    {
        if (mShown)
            mUi.setProgressVisible(false);
        mShown = false;
    }

private:
    UserFeedback& mUi;
    bool mShown = false;
};

void runTaskStage(RunContext& run, EstimatesInPass* inPass)
{
    switch (run.task) {
    case 1:
    case 2:
        Convert_rearrange(run);
        break;
    case 4:
        estimateSolarFromTemp(run, inPass);
        break;
    case 5:
        estimateSolarFromSunShineHr(run, inPass);
        break;
    case 6:
        ET_from_Evap(run, inPass);
        break;
    case 7:
        ET_by_PM(run, inPass);
        break;
    default:
        run.fail(kTaskNotAvailable);
        break;
    }
}

// What a task needs of the layout is known before any row is read: a run
// without it stops there, not after passes over every row.
bool taskColumnsGiven(RunContext& run)
{
    switch (run.task) {
    case 4: return temperatureColumnsGiven(run);
    case 5: return sunshineColumnGiven(run);
    case 6: testData(run); return !run.stopped();
    case 7: return penmanColumnsGiven(run);
    default: return true;
    }
}

// How tasks 4 to 7 estimate, known before the checkup so that its pass
// estimates too; nothing when the task's page will stop the run.
std::optional<Estimation> estimationFor(const RunContext& run)
{
    switch (run.task) {
    case 4: return solarFromTempEstimation(run);
    case 5: return sunshineEstimation(run);
    case 6: return panEstimation(run);
    case 7: return penmanEstimation(run);
    default: return std::nullopt;
    }
}

Finishing finishingFor(const RunContext& run)
{
    switch (run.task) {
    case 1: return Finishing::SiteCoordinate;
    case 2: return Finishing::UpdateWeatherFile;
    case 6: return run.rearrange ? Finishing::SiteCoordinate : Finishing::None;
    case 4:
    case 5:
    case 7: return run.rearrange ? Finishing::LatitudeLine : Finishing::None;
    default: return Finishing::None;
    }
}

std::string latitudeLineFor(const RunContext& run)
{
    const std::string* latitude = nullptr;
    switch (run.task) {
    case 4: latitude = &run.pages.latitudeTask4; break;
    case 5: latitude = &run.pages.latitudeTask5; break;
    case 7: latitude = &run.pages.latitudeTask7; break;
    default: return {};
    }
    return *latitude + "  (Lat.)";
}

// "Check": a stage that failed has told the user; the run ends here and
// the output panel shows whatever that stage left for it.
bool stopped(RunContext& run, RunOutcome& outcome)
{
    if (run.stopped()) {
        outcome.outputPanel = std::move(run.outputPanel);
        outcome.badInput = run.badInput;
        outcome.missingVariable = run.missingVariable;
        outcome.reportedDays = std::move(run.reportedDays);
        outcome.reportedDaysFrom = run.reportedDaysFrom;
        outcome.reportFile = run.reportFile;
    }
    return run.stopped();
}

// The stages that work on the data, from the character check to the
// completion.
// Task 1 for a streamed run: one pass instead of the stage chain when the
// input holds nothing a stage would stop on or report. Fields that are not
// blank-separated are rewritten row by row inside that pass.
bool streamedTaskOne(RunContext& run, const RunRequest& request, const std::filesystem::path& source)
{
    if (!request.streamed || run.task != 1 || request.fill.asked())
        return false;
    std::optional<int> sign;
    if (request.substitutionEnabled) {
        sign = parseInteger(request.signText);
        if (!sign)
            return false;
    }
    if (request.layout.readsAsBlankSeparated())
        return streamTaskOne(run, sign, request.substituteText, source);
    if (FieldRowWriter::layoutFault(request.layout))
        return false;
    std::optional<std::string_view> signText;
    if (request.substitutionEnabled)
        signText = request.signText;
    FieldRowWriter fieldRows(request.layout, run.columnCount, signText);
    return streamTaskOne(run, sign, request.substituteText, source, &fieldRows);
}

void complete(RunContext& run, const RunRequest& request, RunGauge& gauge, RunOutcome& outcome)
{
    gauge.hide();
    // A weather file holds 0 for a variable no column gives: said once the
    // file is there, so that nobody takes those zeros for data.
    for (const auto& text : variablesWrittenAsZero(request.layout, weatherFileVariables(run.task, run.rearrange)))
        run.ui.notice(text);
    if (request.streamed)
        outcome.outputFile = run.file(workfile::kOutput);
    else
        outcome.outputPanel = loadPanelText(run.file(workfile::kOutput));
    run.ui.playSound(Sound::Exclamation);
    outcome.completed = true;
    outcome.rowsBefore = run.rowsBefore;
    outcome.finishing = finishingFor(run);
    if (outcome.finishing == Finishing::LatitudeLine)
        outcome.latitudeLine = latitudeLineFor(run);
}

void processData(RunContext& run, const RunRequest& request, RunGauge& gauge, RunOutcome& outcome)
{
    // Fields that are not blank-separated are first rewritten as if they were.
    const bool fieldPass = !request.layout.readsAsBlankSeparated();
    const auto input = run.file(workfile::kInput);
    if (request.layout.fields == FieldSeparator::Blanks && !request.layout.decimalComma) {
        const auto source = request.inputFile.empty() ? input : request.inputFile;
        if (const auto notice = decimalCommaNotice(source, run.rowsBefore))
            run.ui.notice(*notice);
    }
    if (streamedTaskOne(run, request, request.inputFile.empty() ? input : request.inputFile)) {
        complete(run, request, gauge, outcome);
        return;
    }
    if (!request.inputFile.empty())
        saveTextFileAsPanelText(request.inputFile, input);
    // The field pass cuts the end notes as it goes.
    if (request.streamed && !fieldPass)
        removeEndNotes(run);
    std::optional<int> sign;
    if (request.substitutionEnabled)
        sign = parseInteger(request.signText);
    ReadingNotices notices(run, sign);
    if (fieldPass) {
        std::optional<std::string_view> signText;
        if (request.substitutionEnabled)
            signText = request.signText;
        readFields(run, request.layout, signText, &notices);
        if (stopped(run, outcome))
            return;
        notices.setMissingLabel(FieldRowWriter(request.layout, run.columnCount, signText).missingLabel());
    }

    // Before the cleaning, while the field delimiters can still be seen.
    notices.scanInput(run, !fieldPass);

    checkData(run);
    if (run.provenance)
        run.provenance->mapInputLines(run.file(workfile::kInput), run.rowsBefore);
    if (request.substitutionEnabled)
        sign = integerOf(request.signText);
    if (request.fill.asked()) {
        if (!sign) {
            run.fail(kFillNeedsSign);
            stopped(run, outcome);
            return;
        }
        fillGaps(run, request.fill, *sign);
        if (stopped(run, outcome))
            return;
    }
    if (sign)
        valueSubstitution(run, *sign, request.substituteText);
    notices.tell(run.ui, request.substituteText, run.task, !request.fill.asked());

    checkForMissingValues(run);
    if (stopped(run, outcome))
        return;

    std::optional<EstimatesInPass> inPass;
    if (auto estimation = estimationFor(run))
        inPass.emplace(run, std::move(*estimation));
    dataCheckup(run, inPass ? &*inPass : nullptr);
    if (sign && run.badInput)
        run.badInput->line = notices.lineBeforeSubstitution(run.badInput->line);
    if (stopped(run, outcome))
        return;

    runTaskStage(run, inPass ? &*inPass : nullptr);
    if (stopped(run, outcome))
        return;

    complete(run, request, gauge, outcome);
}

RunOutcome runStages(const RunRequest& request, const AppFolder& folder, UserFeedback& ui)
{
    RunContext run(folder, ui);
    run.pages = request.pages;
    RunOutcome outcome;
    RunGauge gauge(ui);

    run.record.resetVariables();
    run.record.setFalseToAll();
    run.cleanFromMenu = false;
    run.clearStop();
    run.task = request.taskIndex + 1;
    if (!request.rowsBeforeText.empty())
        run.rowsBefore = integerOf(request.rowsBeforeText);

    run.columnCount = theLastColumn(request.layout.variables);
    if (run.columnCount == 0)
        run.fail(kColumnsNotSpecified);
    if (stopped(run, outcome))
        return outcome;

    run.rearrange = request.rearrange;
    run.reportAsFile = request.reportAsFile;

    checkInputs(run, request);
    if (stopped(run, outcome))
        return outcome;
    checkTaskPageTexts(run);

    // A streamed run cuts the end notes in its first pass.
    if (!request.streamed) {
        savePanelText(folder.file(workfile::kInput), request.inputText);
        removeEndNotes(run);
    }

    assignVariableIndexAndUnitIndexToColumn(run, request, run.columnCount);
    if (stopped(run, outcome))
        return outcome;
    assignUnit(run, request, run.columnCount);
    if (stopped(run, outcome))
        return outcome;
    run.provenance = request.provenance;
    run.days = request.days;
    if (run.provenance)
        run.provenance->describe(run.columns, run.columnCount, run.task);

    gauge.show();
    run.outputPanel = std::string();
    if (!taskColumnsGiven(run)) {
        stopped(run, outcome);
        return outcome;
    }

    // The output panel is cleared from here on, so a failure is reported
    // here and the cleared panel still reaches the caller: an old result left
    // in it would pass for this run's output.
    try {
        processData(run, request, gauge, outcome);
    } catch (const std::exception& error) {
        gauge.hide();
        reportError(ui, inUserTerms(error.what(), folder.path()));
        outcome = RunOutcome{};
        outcome.outputPanel = std::move(run.outputPanel);
        outcome.badInput = run.badInput;
    }
    return outcome;
}

} // namespace

void removeRunFiles(const AppFolder& folder)
{
    for (const auto name : {workfile::kInput, workfile::kTemp, workfile::kOutput, workfile::kOut,
                            workfile::kReport, workfile::kForUpdate})
        folder.remove(name);
}

RunOutcome runProcessing(const RunRequest& request, const AppFolder& folder, UserFeedback& ui)
{
    try {
        return runStages(request, folder, ui);
    } catch (const RunCancelled&) {
        removeRunFiles(folder);
        throw;
    } catch (const Error& error) {
        throw Error(inUserTerms(error.what(), folder.path()));
    }
}

} // namespace pluvora

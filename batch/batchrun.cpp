#include "batch/batchrun.h"

#include "batch/batchoptions.h"
#include "batch/manyfiles.h"
#include "batch/powerfetch.h"
#include "batch/scratchfolder.h"
#include "batch/stderrfeedback.h"

#include "engine/error.h"
#include "engine/fill/gapfill.h"
#include "engine/formats/knownformat.h"
#include "engine/fill/referencereading.h"
#include "engine/io/backupreplace.h"
#include "engine/io/numbertext.h"
#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "engine/modelfiles/daylog.h"
#include "engine/modelfiles/dayscan.h"
#include "engine/modelfiles/modelfiles.h"
#include "engine/modelfiles/modelsite.h"
#include "engine/record/calendar.h"
#include "engine/modelfiles/modelfilesave.h"
#include "engine/output/finishedoutput.h"
#include "engine/provenance/flagsfile.h"
#include "engine/provenance/runprovenance.h"
#include "engine/report/qualityreport.h"
#include "engine/run/processingrun.h"
#include "engine/run/usertermsmessage.h"
#include "engine/stage/taskcatalogue.h"
#include "engine/suggest/layoutsuggestion.h"
#include "engine/suggest/suggestionverdict.h"
#include "engine/table/paneltext.h"
#include "engine/tasks/datacheckup.h"
#include "engine/tasks/estimationframe.h"
#include "engine/tasks/weatherfileupdate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <system_error>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStandardOutput = "standard output";

void writeToStdout(std::string_view panel)
{
    TextWriter sink(stdout, kStandardOutput);
    writePanelText(sink, panel);
    sink.close();
}

// A completed run's result, finished, to OUTPUT or standard output.
void writeFinished(const BatchOptions& options, const fs::path& result, const OutputFinish& finish)
{
    if (options.output) {
        writeFileWhole(*options.output, [&](const fs::path& part) {
            TextWriter sink(part);
            writeFinishedOutput(result, sink, finish);
            sink.close();
        });
    } else {
        TextWriter sink(stdout, kStandardOutput);
        writeFinishedOutput(result, sink, finish);
        sink.close();
    }
}

// --columns auto: the options with the layout suggested from the input.
// False, with the reason told, when the input suggests no layout.
bool applySuggestedLayout(BatchOptions& options, const std::string& of = "the file")
{
    const LayoutSuggestion suggestion = suggestLayoutOfFile(options.input);
    if (!suggestion.found || !suggestion.anyAssigned()) {
        StderrFeedback::line("error", "No layout can be suggested for \"" + options.input
                                          + "\": give --rows and --columns.");
        for (const auto& reason : suggestionReasons(suggestion))
            StderrFeedback::line("notice", reason);
        return false;
    }
    // More fields than boxes: the suggested ones are picked first.
    const bool picking = !suggestion.picked.empty();
    const bool rearrange = options.task >= 1 && options.task <= kTaskCount &&
                           kTasks[static_cast<std::size_t>(options.task - 1)].rearrangeOffered && options.rearrange;
    const SuggestionVerdict verdict =
        judgeSuggestion(suggestion, picking, options.task, rearrange);
    if (!verdict.mayRun()) {
        StderrFeedback::line("error", std::string(kSuggestionNotSure));
        StderrFeedback::line("notice", "layout suggested from " + of + ": " + suggestionOptions(suggestion));
        for (const auto& reason : suggestionReasons(suggestion))
            StderrFeedback::line("notice", reason);
        for (const auto& problem : verdict.problems)
            StderrFeedback::line("notice", "not sure: " + problem);
        return false;
    }
    StderrFeedback::line("notice", "layout suggested from " + of + ": " + suggestionOptions(suggestion));
    for (const auto& note : suggestion.notes)
        StderrFeedback::line("notice", note);
    const bool readingGiven = !options.layout.readsAsBlankSeparated();
    DataLayout layout = suggestedLayout(suggestion, picking);
    if (picking)
        options.pick = FieldPick{suggestion.picked};
    if (readingGiven) {
        layout.fields = options.layout.fields;
        layout.fieldEnds = options.layout.fieldEnds;
        layout.decimalComma = options.layout.decimalComma;
    }
    if (!options.layout.traceCode.empty())
        layout.traceCode = options.layout.traceCode;
    if (!options.layout.missingTexts.empty())
        layout.missingTexts = options.layout.missingTexts;
    options.layout = layout;
    options.readAsDays = suggestion.readAsDays;
    if (options.readAsDays)
        StderrFeedback::line("notice", "the file is read as days: an input line named below counts the rows of "
                                       "days its reader writes, after one title line");
    if (!options.siteLine && siteNeeded(options) && suggestion.site.complete()) {
        auto line = parseSite(siteOptionText(suggestion.site));
        if (auto* site = std::get_if<std::string>(&line)) {
            options.siteLine = *site;
            StderrFeedback::line("notice", "site from the header of " + of + ": " + siteOptionText(suggestion.site));
        }
    }
    options.headerSite = suggestion.site.any() ? siteDescription(suggestion.site) : "";
    if (options.rowsText.empty())
        options.rowsText = std::to_string(suggestion.rowsBefore);
    if (!options.signGiven && suggestion.missingSign)
        options.sign = std::to_string(*suggestion.missingSign);
    return true;
}

// --suggest FILE: the options on one line, then a reason per line.
int runSuggest(const std::string& file)
{
    std::error_code ec;
    if (fs::is_directory(file, ec)) {
        StderrFeedback::line("error", "\"" + file + "\" is a folder: --suggest takes one file.");
        return EXIT_FAILURE;
    }
    const LayoutSuggestion suggestion = suggestLayoutOfFile(file);
    if (suggestion.found)
        std::printf("%s\n", suggestionOptions(suggestion).c_str());
    for (const auto& reason : suggestionReasons(suggestion))
        std::printf("# %s\n", reason.c_str());
    return suggestion.found && suggestion.anyAssigned() ? EXIT_SUCCESS : EXIT_FAILURE;
}

RunRequest requestFor(const BatchOptions& options, std::string_view inputText = {})
{
    RunRequest request;
    request.taskIndex = options.task - 1;
    request.fileName = fs::path(options.input).filename().string();
    request.rowsBeforeText = options.rowsText;
    request.layout = options.layout;
    request.rearrange = options.task >= 1 && kTasks[static_cast<std::size_t>(options.task - 1)].rearrangeOffered
        && options.rearrange;
    request.substitutionEnabled = options.substitution;
    request.signText = options.sign;
    request.substituteText = options.substitute;
    request.pages.latitudeTask4 = options.latitude;
    request.pages.latitudeTask5 = options.latitude;
    request.pages.latitudeTask7 = options.latitude;
    request.pages.elevationTask7 = options.elevation;
    request.pages.regionTask4 = options.region - 1;
    request.pages.climateZoneTask5 = options.zone - 1;
    request.pages.panChoiceTask6 = options.pan - 1;
    request.pages.fetchTask6 = options.fetch;
    request.inputText = inputText;
    request.streamed = true;
    request.reportAsFile = true;
    return request;
}

ReportSettings reportSettingsFor(const BatchOptions& options)
{
    ReportSettings settings;
    settings.file = fs::path(options.input).filename().string();
    settings.layout = layoutDescription(options.layout);
    settings.rowsBefore = std::atoi(options.rowsText.c_str());
    settings.task = std::string(kTasks[static_cast<std::size_t>(options.task - 1)].item);
    if (options.siteLine)
        settings.site = *options.siteLine;
    else if (!options.latitude.empty())
        settings.site = "latitude " + options.latitude;
    return settings;
}

// Task 2 had new days but did not append them (a gap answered No).
constexpr int kExitNotAppended = 3;

} // namespace

RunRequest runRequestFor(const BatchOptions& options) { return requestFor(options); }

bool headerMayGiveSite(const std::string& input)
{
    try {
        const auto format = recogniseFormatOfFile(input);
        return format && format->site.any();
    } catch (const std::exception&) {
        return false;
    }
}

fs::path temporaryFolder()
{
    std::error_code ec;
    fs::path folder = fs::temp_directory_path(ec);
    if (ec) {
        const char* named = std::getenv("TMPDIR");
        throw Error("Cannot use the temporary folder \"" + std::string(named ? named : "/tmp")
                    + "\" named by TMPDIR: " + ec.message());
    }
    return folder;
}

namespace {

// --format: the crop model's file from the days the run converted, or
// nothing written when its reader would refuse a day.
int writeModelFormat(const BatchOptions& options, DayLog& days)
{
    days.close();
    ModelFileSettings settings;
    settings.format = options.format;
    settings.dssatDateDigits = options.dssatDateDigits;
    settings.source = fs::path(options.input).filename().string();
    const ModelSite site = modelSiteOf(options.siteLine.value_or(""), settings.source);
    ModelFilesWritten written;
    try {
        if (options.output) {
            written = writeModelFiles(days.file(), site, settings, *options.output);
        } else {
            TextWriter sink(stdout, kStandardOutput);
            written = writeModelFile(days.file(), site, settings, sink);
            sink.close();
        }
    } catch (const ModelFileRefused& refused) {
        StderrFeedback::line("error", refused.what());
        return EXIT_FAILURE;
    }
    for (const auto& notice : written.notices)
        StderrFeedback::line("notice", notice);
    return EXIT_SUCCESS;
}

} // namespace

namespace {

// Read directly where that gives the same run; otherwise streamed into the
// working file the run reads, never held whole.
// A file of a format read as days (a line per month and element, status
// lines between the days): its rows of days, as the run reads them.
void writeDaysOfFile(const fs::path& input, const fs::path& days)
{
    const auto format = recogniseFormatOfFile(input);
    if (!format || !format->readAsDays)
        throw Error("\"" + input.string() + "\" changed while it was read.");
    std::ifstream in(input, std::ios::binary);
    if (!in)
        throw Error("Cannot open file \"" + input.string() + "\"");
    writeFileWhole(days, [&](const fs::path& part) {
        std::ofstream out(part, std::ios::binary);
        writeFormatDays(*format, in, out);
        out.flush();
        if (!out)
            throw Error("Cannot write \"" + part.string() + "\"");
    });
}

void prepareInput(const BatchOptions& options, const fs::path& scratch, const AppFolder& folder,
                  RunRequest& request)
{
    if (options.pick) {
        // The fields are picked from the text as the window would hold it.
        const fs::path whole = scratch / "picked-from.~";
        saveTextFileAsPanelText(options.input, whole, kLargestTextFile);
        const auto rows = parseInteger(options.rowsText);
        if (const auto differ =
                pickFieldsOfFile(whole, folder.file(workfile::kInput), rows.value_or(0), *options.pick, options.layout))
            StderrFeedback::line("notice", *differ);
        fs::remove(whole);
        if (options.layout.fields == FieldSeparator::Fixed)
            request.layout.fieldEnds = pickedFieldEnds(options.layout, *options.pick);
    } else if (options.readAsDays) {
        writeDaysOfFile(options.input, folder.file(workfile::kInput));
    } else if (readsAsItsPanelText(options.input)) {
        request.inputFile = options.input;
    } else {
        saveTextFileAsPanelText(options.input, folder.file(workfile::kInput), kLargestTextFile);
    }
}

// --fill-from power: NASA POWER's series for the site over the input's
// days, in the scratch folder; nothing, with the reason told, when it
// cannot be had.
std::optional<fs::path> fetchPowerReference(const BatchOptions& options, const fs::path& scratch)
{
    // The input's first and last day, as a checkup of it dates them.
    const fs::path place = scratch / "days";
    fs::create_directories(place);
    AppFolder folder(place);
    RunRequest request = requestFor(options);
    prepareInput(options, place, folder, request);
    const ReferenceSeries days = readReferenceSeries(request, folder);
    fs::remove_all(place);
    const ModelSite site = modelSiteOf(options.siteLine.value_or(""), options.input);
    PowerRequest power;
    char number[32];
    std::snprintf(number, sizeof number, "%.4f", site.latitude);
    power.latitude = number;
    std::snprintf(number, sizeof number, "%.4f", site.longitude);
    power.longitude = number;
    power.start = dateText(days.firstDay(), "");
    power.end = dateText(days.lastDay(), "");
    power.baseUrl = options.powerUrl;
    power.refresh = options.powerRefresh;
    try {
        const std::string reply = powerReplyFor(power);
        const fs::path file = scratch / "power.csv";
        writeAtomically(file, reply);
        StderrFeedback::line("notice", "reference: NASA POWER's daily series for latitude " + power.latitude
                                           + ", longitude " + power.longitude + ", " + power.start + " to "
                                           + power.end + ". " + kPowerAttribution);
        return file;
    } catch (const std::exception& error) {
        StderrFeedback::line("error", std::string("The reference cannot be fetched from NASA POWER: ") + error.what());
        return std::nullopt;
    }
}

// --fill-from: the reference read with its own layout, given or suggested;
// nothing, with the reason told, when it cannot be.
std::optional<ReferenceSeries> readReference(const BatchOptions& options, const fs::path& scratch)
{
    BatchOptions fetched = options;
    if (options.fillFromPower()) {
        const auto reply = fetchPowerReference(options, scratch);
        if (!reply)
            return std::nullopt;
        fetched.fillFrom = reply->string();
    }
    auto parsed = referenceOptions(fetched);
    if (auto* error = std::get_if<UsageError>(&parsed)) {
        StderrFeedback::line("error", error->message);
        return std::nullopt;
    }
    auto& reference = std::get<BatchOptions>(parsed);
    if (reference.columnsAuto && !applySuggestedLayout(reference, "the reference"))
        return std::nullopt;
    const fs::path place = scratch / "reference";
    fs::create_directories(place);
    AppFolder folder(place);
    RunRequest request = requestFor(reference);
    prepareInput(reference, place, folder, request);
    ReferenceSeries series = readReferenceSeries(request, folder);
    series.name = reference.input;
    return series;
}

FillSettings fillSettingsFor(const BatchOptions& options, const ReferenceSeries* reference)
{
    FillSettings settings;
    if (options.fillInterpolate) {
        settings = defaultInterpolation();
        // Checked when the options were read.
        (void)setInterpolationLimits(settings, options.fillLimits);
    }
    settings.reference = reference;
    settings.leastR2 = options.fillLeastR2;
    return settings;
}

} // namespace

int runBatchFile(const BatchOptions& given, BatchOptions* used)
{
    BatchOptions options = given;
    if (options.columnsAuto && !applySuggestedLayout(options))
        return EXIT_FAILURE;
    if (!options.siteLine && siteNeeded(options)) {
        StderrFeedback::line("error", std::string(kSiteRequired) + ": the header of the file gives "
                                          + (options.headerSite.empty() ? "no site" : options.headerSite));
        return 2;
    }
    if (used)
        *used = options;
    ScratchFolder scratch(temporaryFolder());
    AppFolder folder(scratch.path());
    RunRequest request = requestFor(options);
    prepareInput(options, scratch.path(), folder, request);
    std::optional<ReferenceSeries> reference;
    if (options.fillAsked()) {
        if (options.fillFrom) {
            reference = readReference(options, scratch.path());
            if (!reference)
                return EXIT_FAILURE;
        }
        request.fill = fillSettingsFor(options, reference ? &*reference : nullptr);
    }
    StderrFeedback feedback(options.yes);

    RunProvenance provenance;
    // Long inputs keep most days on disk, so memory stays flat.
    provenance.spillTo(scratch.path());
    if (options.flags || options.report)
        request.provenance = &provenance;
    std::optional<DayLog> days;
    if (options.format != ModelFormat::Wth) {
        days.emplace(scratch.path() / kModelDaysFile);
        request.days = &*days;
    }
    RunOutcome outcome = runProcessing(request, folder, feedback);
    // Written also when the checkup stopped the run: that is when a user
    // needs them most.
    if (options.flags)
        writeFlagsFile(*options.flags, provenance);
    if (options.report)
        writeQualityReport(*options.report, provenance, reportSettingsFor(options));
    if (outcome.badInput)
        StderrFeedback::line("note", "input line " + std::to_string(outcome.badInput->line) + ", column "
                                         + std::to_string(outcome.badInput->column));
    if (outcome.missingVariable)
        StderrFeedback::line("note", missingColumnNote(*outcome.missingVariable));

    if (!outcome.completed) {
        // A report the run left for the output panel (missing values, the
        // checkup's list) is what the user needs to mend the input.
        if (outcome.outputPanel && !outcome.outputPanel->empty()) {
            writeToStdout(*outcome.outputPanel);
        } else if (!outcome.reportFile.empty()) {
            TextWriter sink(stdout, kStandardOutput);
            writeCheckupReport(outcome.reportFile, sink);
            sink.close();
        }
        return options.task == 3 && feedback.noSuspiciousData() ? EXIT_SUCCESS : EXIT_FAILURE;
    }

    const OutputFinish finish = outputFinishFor(outcome, options.siteLine);
    switch (outcome.finishing) {
    case Finishing::None:
    case Finishing::SiteCoordinate:
    case Finishing::LatitudeLine:
        break;
    case Finishing::UpdateWeatherFile: {
        int status = EXIT_SUCCESS;
        UpdateSettings settings;
        settings.newDataStart = runOutputDataStart(outcome.rowsBefore);
        settings.findEarlierDays = true;
        // Data that did not go into the weather file are written out as
        // for any other task, so nothing converted is lost.
        try {
            // The new data go to the update through a file, never held whole.
            const auto writeNewData = [&](const fs::path& workFile) {
                TextWriter sink(workFile);
                writeFinishedOutput(outcome.outputFile, sink, finish);
                sink.close();
            };
            const UpdateResult result = updateWeatherFileFromWorkFile(*options.update, writeNewData, folder, feedback,
                                                                      systemFileOperations(), settings);
            if (result == UpdateResult::Updated)
                return EXIT_SUCCESS;
            if (result == UpdateResult::Failed)
                status = EXIT_FAILURE;
            if (result == UpdateResult::Declined || result == UpdateResult::Earlier)
                status = kExitNotAppended;
        } catch (const std::exception& error) {
            StderrFeedback::line("error", inUserTerms(error.what(), folder.path(), *options.update));
            status = EXIT_FAILURE;
        }
        writeFinished(options, outcome.outputFile, finish);
        return status;
    }
    }

    if (days)
        return writeModelFormat(options, *days);
    writeFinished(options, outcome.outputFile, finish);
    return EXIT_SUCCESS;
}

int batchMain(const std::vector<std::string_view>& args)
{
    auto parsed = parseBatchOptions(args);
    if (auto* usage = std::get_if<UsageError>(&parsed)) {
        if (usage->windowMessage) {
            StderrFeedback::line("error", usage->message);
        } else {
            std::fprintf(stderr, "pluvora-batch: %s\n%s", usage->message.c_str(), kBatchUsage);
        }
        return 2;
    }
    const BatchOptions& options = std::get<BatchOptions>(parsed);
    if (options.help) {
        std::fputs(kBatchUsage, stdout);
        return EXIT_SUCCESS;
    }
    if (options.power)
        return runGetPower(*options.power);
    if (options.mergeSummaries)
        return runMergeSummaries(*options.mergeSummaries);
    if (options.suggestFile) {
        try {
            return runSuggest(*options.suggestFile);
        } catch (const std::exception& e) {
            StderrFeedback::line("error", e.what());
            return EXIT_FAILURE;
        }
    }
    if (options.outDir)
        return runManyFiles(options);
    if (options.columnsAuto && !options.siteLine && siteNeeded(options) && !headerMayGiveSite(options.input)) {
        std::fprintf(stderr, "pluvora-batch: %s\n%s", kSiteRequired, kBatchUsage);
        return 2;
    }
    try {
        return runBatchFile(options);
    } catch (const std::bad_alloc&) {
        StderrFeedback::line("error", "There is not enough memory for this run.");
        return EXIT_FAILURE;
    } catch (const std::exception& e) {
        StderrFeedback::line("error", inUserTerms(e.what(), {}, options.output.value_or("")));
        return EXIT_FAILURE;
    }
}

} // namespace pluvora

#include "batch/batchrun.h"

#include "batch/batchoptions.h"
#include "batch/manyfiles.h"
#include "batch/scratchfolder.h"
#include "batch/stderrfeedback.h"

#include "error.h"
#include "io/backupreplace.h"
#include "io/numbertext.h"
#include "io/textreader.h"
#include "io/textwriter.h"
#include "provenance/flagsfile.h"
#include "provenance/runprovenance.h"
#include "report/qualityreport.h"
#include "run/processingrun.h"
#include "stage/taskcatalogue.h"
#include "run/usertermsmessage.h"
#include "table/paneltext.h"
#include "tasks/datacheckup.h"
#include "tasks/weatherfileupdate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStandardOutput = "standard output";

// Panel text with every line ended by CR LF, as a saved file holds it.
void writePanelText(TextWriter& sink, std::string_view panel)
{
    std::size_t start = 0;
    while (start < panel.size()) {
        std::size_t end = panel.find('\n', start);
        if (end == std::string_view::npos)
            end = panel.size();
        sink.writeLine(panel.substr(start, end - start));
        start = end + 1;
    }
}

void writeToStdout(std::string_view panel)
{
    TextWriter sink(stdout, kStandardOutput);
    writePanelText(sink, panel);
    sink.close();
}

// The finished weather file, streamed from the run's result: as the window
// would show it after trimming the header rows and inserting `inserted`
// as the second line, then saved with CR LF line ends.
void writeFinished(const fs::path& result, TextWriter& sink, int rowsBefore,
                   const std::optional<std::string>& inserted)
{
    TextReader reader(result);
    std::string line;
    std::size_t index = 0;
    bool heldEmpty = false; // an empty last line is no line of the panel
    auto emit = [&](std::string_view text) {
        if (heldEmpty)
            sink.writeLine();
        heldEmpty = false;
        if (text.empty()) {
            heldEmpty = true;
            return;
        }
        sink.writeLine(text);
    };
    auto take = [&](std::string_view text) {
        const std::size_t at = index++;
        if (at >= 1 && rowsBefore >= 2 && at < static_cast<std::size_t>(rowsBefore))
            return;
        emit(text);
        if (at == 0 && inserted) {
            emit(*inserted);
        }
    };
    bool any = false;
    // Past the rows finishing touches, a weather file's rows (those of the
    // conversion, behind a site or latitude line) are copied as they are.
    const std::size_t headRows = static_cast<std::size_t>(std::max(rowsBefore, 1));
    while ((!inserted || index <= headRows) && reader.readLine(line)) {
        any = true;
        // A lone CR ends a line of the panel too.
        std::string_view rest = line;
        for (auto cr = rest.find('\r'); cr != std::string_view::npos; cr = rest.find('\r')) {
            take(rest.substr(0, cr));
            rest.remove_prefix(cr + 1);
        }
        take(rest);
    }
    if (!any && inserted)
        sink.writeLine(*inserted);
    if (inserted && index > headRows) {
        char block[1 << 16];
        while (const std::size_t got = reader.read(block, sizeof block)) {
            if (heldEmpty)
                sink.writeLine();
            heldEmpty = false;
            sink.write(std::string_view(block, got));
        }
    }
}

// Panel text as the result, to OUTPUT or standard output.
void writeText(const BatchOptions& options, std::string_view text)
{
    if (!options.output) {
        writeToStdout(text);
        return;
    }
    writeFileWhole(*options.output, [text](const fs::path& part) {
        TextWriter sink(part);
        writePanelText(sink, text);
        sink.close();
    });
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

// Where the working files go, said in the user's words when it is missing.
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

} // namespace

RunRequest runRequestFor(const BatchOptions& options) { return requestFor(options); }

int runBatchFile(const BatchOptions& options)
{
    ScratchFolder scratch(temporaryFolder());
    AppFolder folder(scratch.path());
    // Read directly where that gives the same run; otherwise streamed into
    // the working file the run reads, never held whole.
    RunRequest request = requestFor(options);
    if (options.pick) {
        // The fields are picked from the text as the window would hold it.
        const fs::path whole = scratch.path() / "picked-from.~";
        saveTextFileAsPanelText(options.input, whole, kLargestTextFile);
        const auto rows = parseInteger(options.rowsText);
        pickFieldsOfFile(whole, folder.file(workfile::kInput), rows.value_or(0), *options.pick, options.layout);
        fs::remove(whole);
        if (options.layout.fields == FieldSeparator::Fixed)
            request.layout.fieldEnds = pickedFieldEnds(options.layout, *options.pick);
    } else if (readsAsItsPanelText(options.input)) {
        request.inputFile = options.input;
    } else {
        saveTextFileAsPanelText(options.input, folder.file(workfile::kInput), kLargestTextFile);
    }
    StderrFeedback feedback(options.yes);

    RunProvenance provenance;
    if (options.flags || options.report)
        request.provenance = &provenance;
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

    if (!outcome.completed) {
        // A report the run left for the output panel (missing values, the
        // checkup's list) is what the user needs to mend the input.
        if (outcome.outputPanel && !outcome.outputPanel->empty())
            writeToStdout(*outcome.outputPanel);
        return options.task == 3 && feedback.noSuspiciousData() ? EXIT_SUCCESS : EXIT_FAILURE;
    }

    int rowsBefore = 0;
    std::optional<std::string> inserted;
    switch (outcome.finishing) {
    case Finishing::None:
        break;
    case Finishing::SiteCoordinate:
        rowsBefore = outcome.rowsBefore;
        inserted = options.siteLine;
        break;
    case Finishing::LatitudeLine:
        rowsBefore = outcome.rowsBefore;
        inserted = outcome.latitudeLine;
        break;
    case Finishing::UpdateWeatherFile: {
        std::string text = loadPanelText(outcome.outputFile);
        removeExtraRows(text, outcome.rowsBefore);
        int status = EXIT_SUCCESS;
        // The run wrote the head itself: the first input row (when there
        // are rows before the data), the column names and the units.
        UpdateSettings settings;
        settings.newDataStart = static_cast<std::size_t>(outcome.rowsBefore >= 1 ? 3 : 2);
        // Data that did not go into the weather file are written out as
        // for any other task, so nothing converted is lost.
        try {
            const UpdateResult result =
                updateWeatherFile(*options.update, text, folder, feedback, systemFileOperations(), settings);
            if (result == UpdateResult::Updated)
                return EXIT_SUCCESS;
            if (result == UpdateResult::Failed)
                status = EXIT_FAILURE;
            if (result == UpdateResult::Declined)
                status = kExitNotAppended;
        } catch (const std::exception& error) {
            StderrFeedback::line("error", inUserTerms(error.what(), folder.path(), *options.update));
            status = EXIT_FAILURE;
        }
        writeText(options, text);
        return status;
    }
    }

    if (options.output) {
        writeFileWhole(*options.output, [&](const fs::path& part) {
            TextWriter sink(part);
            writeFinished(outcome.outputFile, sink, rowsBefore, inserted);
            sink.close();
        });
    } else {
        TextWriter sink(stdout, kStandardOutput);
        writeFinished(outcome.outputFile, sink, rowsBefore, inserted);
        sink.close();
    }
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
    if (options.mergeSummaries)
        return runMergeSummaries(*options.mergeSummaries);
    if (options.outDir)
        return runManyFiles(options);
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

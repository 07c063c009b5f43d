#include "batchoptions.h"
#include "scratchfolder.h"

#include "error.h"
#include "io/safewrite.h"
#include "run/processingrun.h"
#include "run/taskcatalogue.h"
#include "run/usertermsmessage.h"
#include "table/paneltext.h"
#include "tasks/datacheckup.h"
#include "tasks/weatherfileupdate.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;
using namespace pluvora;

namespace {

// Messages become lines on standard error; sounds and the gauge are silent.
class StderrFeedback : public UserFeedback {
public:
    explicit StderrFeedback(bool answerYes) : mAnswerYes(answerYes) {}

    void showMessage(MessageKind kind, std::string_view text) override
    {
        if (kind == MessageKind::Information && text == kNoSuspiciousData)
            mNoSuspiciousData = true;
        line(kindName(kind), text);
    }
    bool askYesNo(std::string_view text) override
    {
        line("question", std::string(text) + (mAnswerYes ? " [Yes]" : " [No]"));
        return mAnswerYes;
    }
    void playSound(Sound) override {}
    void setProgressVisible(bool) override {}
    void gaugeDisplay() override {}

    bool noSuspiciousData() const { return mNoSuspiciousData; }

    static void line(std::string_view kind, std::string_view text)
    {
        std::string out(kind);
        out += ": ";
        out += text;
        out += '\n';
        std::fwrite(out.data(), 1, out.size(), stderr);
    }

private:
    static const char* kindName(MessageKind kind)
    {
        switch (kind) {
        case MessageKind::Error: return "error";
        case MessageKind::Warning: return "warning";
        case MessageKind::Information: return "information";
        case MessageKind::Plain: return "plain";
        }
        return "message";
    }

    bool mAnswerYes;
    bool mNoSuspiciousData = false;
};

std::string withCrLf(std::string_view panel)
{
    std::string out;
    out.reserve(panel.size() + panel.size() / 16 + 2);
    std::size_t start = 0;
    while (start < panel.size()) {
        std::size_t end = panel.find('\n', start);
        if (end == std::string_view::npos)
            end = panel.size();
        out.append(panel, start, end - start);
        out += "\r\n";
        start = end + 1;
    }
    return out;
}

void writeToStdout(std::string_view panel)
{
    const std::string text = withCrLf(panel);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// Never leaves a half-written weather file.
void writeToFile(const fs::path& target, std::string_view panel)
{
    writeFileSafely(target, [panel](const fs::path& part) { savePanelText(part, panel); });
}

RunRequest requestFor(const BatchOptions& options, std::string_view inputText)
{
    RunRequest request;
    request.taskIndex = options.task - 1;
    request.fileName = fs::path(options.input).filename().string();
    request.rowsBeforeText = options.rowsText;
    request.variableIndex = options.variableIndex;
    request.unitShown = options.unitShown;
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
    return request;
}

int run(const BatchOptions& options)
{
    const std::string inputText = loadTextFile(options.input);
    ScratchFolder scratch;
    AppFolder folder(scratch.path());
    StderrFeedback feedback(options.yes);

    RunOutcome outcome = runProcessing(requestFor(options, inputText), folder, feedback);

    if (!outcome.completed) {
        // A report the run left for the output panel (missing values, the
        // checkup's list) is what the user needs to mend the input.
        if (outcome.outputPanel && !outcome.outputPanel->empty())
            writeToStdout(*outcome.outputPanel);
        return options.task == 3 && feedback.noSuspiciousData() ? EXIT_SUCCESS : EXIT_FAILURE;
    }

    std::string text = outcome.outputPanel.value_or(std::string());
    int status = EXIT_SUCCESS;
    switch (outcome.finishing) {
    case Finishing::None:
        break;
    case Finishing::SiteCoordinate:
        removeExtraRows(text, outcome.rowsBefore);
        if (options.siteLine)
            insertLine(text, 1, *options.siteLine);
        break;
    case Finishing::LatitudeLine:
        removeExtraRows(text, outcome.rowsBefore);
        insertLine(text, 1, outcome.latitudeLine);
        break;
    case Finishing::UpdateWeatherFile:
        removeExtraRows(text, outcome.rowsBefore);
        // Data that did not go into the weather file are written out as
        // for any other task, so nothing converted is lost.
        try {
            const UpdateResult result = updateWeatherFile(*options.update, text, folder, feedback);
            if (result == UpdateResult::Updated)
                return EXIT_SUCCESS;
            if (result == UpdateResult::Failed)
                status = EXIT_FAILURE;
        } catch (const std::exception& error) {
            StderrFeedback::line("error", inUserTerms(error.what(), folder.path(), *options.update));
            status = EXIT_FAILURE;
        }
        break;
    }

    if (options.output)
        writeToFile(*options.output, text);
    else
        writeToStdout(text);
    return status;
}

} // namespace

int main(int argc, char* argv[])
{
    removeScratchFolderOnSignal();
    std::vector<std::string_view> args(argv + 1, argv + argc);
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
    try {
        return run(options);
    } catch (const std::exception& e) {
        StderrFeedback::line("error", inUserTerms(e.what(), {}, options.output.value_or("")));
        return EXIT_FAILURE;
    }
}

#include "engine/fill/fillchoice.h"

#include "engine/error.h"
#include "engine/fill/referencereading.h"
#include "engine/run/processingrun.h"
#include "engine/suggest/layoutsuggestion.h"
#include "engine/suggest/suggestionverdict.h"
#include "engine/table/paneltext.h"

namespace pluvora {

namespace {

constexpr int kCheckupTask = 3;

} // namespace

std::optional<std::string> limitsProblem(std::string_view limits)
{
    FillSettings settings = defaultInterpolation();
    if (auto problem = setInterpolationLimits(settings, limits))
        return "The interpolation limits \"" + std::string(limits) + "\" cannot be read: " + *problem + ".";
    return std::nullopt;
}

FillSettings fillSettingsOf(const FillChoice& choice, const ReferenceSeries* reference)
{
    FillSettings settings;
    if (choice.interpolate) {
        if (auto problem = limitsProblem(choice.limits))
            throw Error(*problem);
        settings = defaultInterpolation();
        (void)setInterpolationLimits(settings, choice.limits);
    }
    settings.reference = reference;
    settings.leastR2 = choice.leastR2;
    return settings;
}

ReferenceSeries readReferenceFile(const std::filesystem::path& file, const std::optional<DataLayout>& layout,
                                  const AppFolder& scratch)
{
    const std::string name = file.filename().string();
    RunRequest request;
    request.fileName = name;
    if (layout) {
        request.layout = *layout;
    } else {
        const LayoutSuggestion suggestion = suggestLayoutOfFile(file);
        if (!suggestion.found || !suggestion.anyAssigned())
            throw Error("No layout can be suggested for the reference \"" + name + "\": name a template for it.");
        // Picking fields needs the columns removed first, which a
        // reference never is.
        if (!suggestion.picked.empty())
            throw Error("The reference \"" + name
                        + "\" has more fields than the column boxes: name a template for it.");
        const SuggestionVerdict verdict = judgeSuggestion(suggestion, false, kCheckupTask, false);
        if (!verdict.mayRun()) {
            std::string message = "The layout suggested for the reference \"" + name
                                  + "\" is not sure enough: name a template for it.";
            for (const auto& problem : verdict.problems)
                message += "\n" + problem;
            throw Error(message);
        }
        request.layout = suggestedLayout(suggestion, false);
        if (suggestion.missingSign)
            request.signText = std::to_string(*suggestion.missingSign);
    }
    request.rowsBeforeText = std::to_string(request.layout.rowsBefore);
    request.streamed = true;
    if (readsAsItsPanelText(file))
        request.inputFile = file;
    else
        saveTextFileAsPanelText(file, scratch.file(workfile::kInput), kLargestTextFile);
    ReferenceSeries series = readReferenceSeries(request, scratch);
    series.name = file.string();
    return series;
}

} // namespace pluvora

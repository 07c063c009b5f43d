#include "engine/fill/fillchoice.h"

#include "engine/error.h"
#include "engine/fill/referencereading.h"
#include "engine/run/processingrun.h"
#include "engine/suggest/layoutsuggestion.h"
#include "engine/suggest/suggestionverdict.h"
#include "engine/table/paneltext.h"

#include <charconv>
#include <cstdio>
#include <system_error>

namespace pluvora {

namespace {

constexpr std::string_view kInterpolateWord = "fill-interpolate";
constexpr std::string_view kLimitsKey = "fill-limits=";
constexpr std::string_view kFromKey = "fill-from=";
constexpr std::string_view kLayoutKey = "fill-layout=";
constexpr std::string_view kLeastR2Key = "fill-r2=";
constexpr int kCheckupTask = 3;

// A value must stay one word of a line that is split at blanks.
bool escaped(char c) { return static_cast<unsigned char>(c) <= 32 || c == '%' || c == 127; }

std::string encoded(std::string_view value)
{
    std::string word;
    for (const char c : value) {
        if (escaped(c)) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            word += hex;
        } else {
            word += c;
        }
    }
    return word;
}

std::optional<std::string> decoded(std::string_view word)
{
    std::string value;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '%') {
            value += word[i];
            continue;
        }
        unsigned code = 0;
        if (i + 2 >= word.size()
            || std::from_chars(word.data() + i + 1, word.data() + i + 3, code, 16).ptr != word.data() + i + 3)
            return std::nullopt;
        value += static_cast<char>(code);
        i += 2;
    }
    return value;
}

std::string numberText(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

} // namespace

std::string fillChoiceText(const FillChoice& choice)
{
    const FillChoice none;
    std::string words;
    auto add = [&words](std::string_view word) {
        if (!words.empty())
            words += ' ';
        words += word;
    };
    if (choice.interpolate)
        add(kInterpolateWord);
    if (!choice.limits.empty())
        add(std::string(kLimitsKey) + encoded(choice.limits));
    if (!choice.referenceFile.empty())
        add(std::string(kFromKey) + encoded(choice.referenceFile));
    if (!choice.referenceLayout.empty())
        add(std::string(kLayoutKey) + encoded(choice.referenceLayout));
    if (choice.leastR2 != none.leastR2)
        add(std::string(kLeastR2Key) + numberText(choice.leastR2));
    return words;
}

FillChoice parseFillChoiceText(std::string_view text)
{
    FillChoice choice;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && escaped(text[i]) && text[i] != '%')
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !(escaped(text[i]) && text[i] != '%'))
            ++i;
        const std::string_view word = text.substr(start, i - start);
        auto valueOf = [word](std::string_view key) -> std::optional<std::string> {
            if (!word.starts_with(key))
                return std::nullopt;
            return decoded(word.substr(key.size()));
        };
        if (word == kInterpolateWord) {
            choice.interpolate = true;
        } else if (auto limits = valueOf(kLimitsKey)) {
            choice.limits = *limits;
        } else if (auto from = valueOf(kFromKey)) {
            choice.referenceFile = *from;
        } else if (auto layout = valueOf(kLayoutKey)) {
            choice.referenceLayout = *layout;
        } else if (word.starts_with(kLeastR2Key)) {
            const std::string_view number = word.substr(kLeastR2Key.size());
            double value = 0;
            const auto read = std::from_chars(number.data(), number.data() + number.size(), value);
            if (read.ec == std::errc() && read.ptr == number.data() + number.size() && value >= 0 && value <= 1)
                choice.leastR2 = value;
        }
    }
    return choice;
}

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

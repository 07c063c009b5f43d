#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/columns/datalayout.h"
#include "engine/fill/gapfill.h"
#include "engine/fill/referenceseries.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pluvora {

// The gap-fill settings as the window and a template keep them: as typed,
// so that a template gives back what was typed and a setting that no
// longer reads is named when a run uses it.
struct FillChoice {
    bool interpolate = false;
    std::string limits;          // "T-max=5,Solar=1" over the defaults
    std::string referenceFile;   // empty: no reference
    std::string referenceLayout; // a template's name; empty: suggested from the file
    double leastR2 = 0.25;

    bool asked() const { return interpolate || !referenceFile.empty(); }
    bool operator==(const FillChoice&) const = default;
};

// The choice as blank-separated words for a template's rows line:
// "fill-interpolate", "fill-limits=T-max=5", "fill-from=NAME",
// "fill-layout=NAME", "fill-r2=0.3"; empty for the default choice, so a
// template without fill settings is written as before. Blanks, '%' and
// other control characters in a value are written as %XX.
std::string fillChoiceText(const FillChoice& choice);
// Reads those words out of a rows line; every other word is skipped, as
// is a fill word whose value cannot be read.
FillChoice parseFillChoiceText(std::string_view text);

// The message for limits that cannot be read, naming the setting; nothing
// when they read.
std::optional<std::string> limitsProblem(std::string_view limits);

// The settings a run fills by; the reference is read by the caller. Throws
// Error when the limits cannot be read.
FillSettings fillSettingsOf(const FillChoice& choice, const ReferenceSeries* reference);

// Reads the reference `file` with `layout`, or with the layout suggested
// from the file when none is given, in the folder `scratch`. Throws Error
// naming what stopped the reading.
ReferenceSeries readReferenceFile(const std::filesystem::path& file, const std::optional<DataLayout>& layout,
                                  const AppFolder& scratch);

} // namespace pluvora

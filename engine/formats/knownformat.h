#pragma once

#include "engine/suggest/layoutsuggestion.h"

#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace pluvora {

// A file in a crop model's or a weather service's own format, told by its
// first lines. Such a file is read by its format's rules: a generic
// suggestion gets these nearly right, and so wrong in silence.
struct KnownFormat {
    enum class Kind { DssatWeather, ApsimMet, Cabo, PowerCsv, GhcnDaily, Gsod, EpicDaily, SwatDaily };
    Kind kind = Kind::DssatWeather;
    std::string name; // "DSSAT weather file"
    std::string how;  // "fields by the spans under the @ row"
    SiteInHeader site; // what its header says of the site
    // The format's own layout; nothing where the generic suggestion reads
    // its named header right and only the site and codes are added.
    std::optional<LayoutSuggestion> layout;
    std::vector<std::string> missingTexts;
    std::optional<int> missingSign; // over the generic suggestion's
    // Read through writeFormatDays: its lines are no rows of days (GHCN's
    // line per month and element, CABO's status lines between the days),
    // and `layout` is that of the rows written.
    bool readAsDays = false;
};

// The format `firstLines` (the first lines of a file) are written in;
// nothing for a layout of no known format. Never throws.
std::optional<KnownFormat> recogniseFormat(std::string_view firstLines);
// The same for a file, from the first lines a suggestion reads. Throws
// Error when the file cannot be read.
std::optional<KnownFormat> recogniseFormatOfFile(const std::filesystem::path& path);

// The rows of days of a file read as days, for the layout of `format`:
// one line of blank-separated numbers a day after a line of names. Streams:
// what is held is one month at most. Throws Error naming the line for a
// line the format does not allow.
void writeFormatDays(const KnownFormat& format, std::istream& in, std::ostream& out);

} // namespace pluvora

#pragma once

#include "engine/appfolder/appfolder.h"

#include <optional>
#include <string>
#include <string_view>

namespace pluvora {

// What the "Site coordinate" dialog holds, as typed: numbers as text and
// the N/S and W/E choices.
struct SiteTyped {
    std::string latitude;
    bool south = false;
    std::string longitude;
    bool east = false;
    std::string elevation;
    bool operator==(const SiteTyped&) const = default;
};

// The file in the application folder that keeps the last site per input
// file name, one "name<TAB>lat<TAB>N|S<TAB>lon<TAB>W|E<TAB>elev" line each.
inline constexpr std::string_view kSitesFile = "Sites.pvd";

// The site last confirmed for input file `inputName`, if any.
std::optional<SiteTyped> recallSite(const AppFolder& folder, std::string_view inputName);
// Keeps `site` for `inputName` (the newest first, at most 200 names).
// Throws Error when the file cannot be written.
void rememberSite(const AppFolder& folder, std::string_view inputName, const SiteTyped& site);

// What the dialog proposes: the site remembered for the input, else the
// coordinates its header rows state (with the dialog's signs: south and
// east chosen for negative values), else nothing.
std::optional<SiteTyped> proposeSite(const AppFolder& folder, std::string_view inputName,
                                     std::string_view panel, int rowsBefore);

} // namespace pluvora

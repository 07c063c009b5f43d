#pragma once

#include "engine/appfolder/appfolder.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// The lines of a small text file (UTF-8, CR LF or LF), empty lines kept; a
// break after the last line adds no empty line. Nothing when the file
// cannot be opened.
std::optional<std::vector<std::string>> readTextLines(const std::filesystem::path& path);

// A typed name or address up to its first line break: each is one line of
// its file, so a pasted break must not split it (and, in the favorites
// files, pair every later name with the wrong address).
std::string oneLine(std::string_view typed);

// The first button of the links bar: "Homepage.pvd", line 1 the name,
// line 2 the address.
struct HomePage {
    std::string name;
    std::string address;
    bool operator==(const HomePage&) const = default;
};

// Used when "Homepage.pvd" is missing: a search engine that needs no
// account and no cookies to search for a weather service.
inline constexpr std::string_view kDefaultHomeName = "DuckDuckGo";
inline constexpr std::string_view kDefaultHomeAddress = "https://duckduckgo.com/";

// The stored home page, or the built-in one when the file is missing.
// Missing lines read as empty texts.
HomePage loadHomePageSite(const AppFolder& folder);
// Replaces "Homepage.pvd" with exactly the two lines; throws Error when it
// cannot be written, leaving the old file whole.
void saveHomePage(const AppFolder& folder, const HomePage& page);

// One hot-link button of the links bar.
struct HotLink {
    std::string caption;
    std::string hint;
    std::string address;
    bool operator==(const HotLink&) const = default;
};
inline constexpr int kHotLinkCount = 5;

// "Hotlinks.pvd": five groups of caption, hint and address. Lines missing
// at the end read as empty texts; nothing when the file cannot be opened.
std::optional<std::array<HotLink, kHotLinkCount>> loadHotLinks(const AppFolder& folder);

// The file a save dialog's choice becomes: `suffix` (".txt", ".mht") is
// added unless the name already ends in exactly that extension, letter case
// included, so data.csv gives data.csv.txt and data.TXT gives data.TXT.txt.
std::string withSaveSuffix(std::string_view chosen, std::string_view suffix);

// The site code of the provider the first shipped template is made for
// (SILO, served from www.longpaddock.qld.gov.au).
inline constexpr std::string_view kKnownSiteCode = "LONGP";

// The five characters after the first "." of an address, upper-cased.
std::string siteCodeOf(std::string_view address);
// Whether the address belongs to the provider of the first template.
bool isKnownDataSource(std::string_view address);

} // namespace pluvora

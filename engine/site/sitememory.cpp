#include "engine/site/sitememory.h"

#include "engine/appfolder/safefile.h"
#include "engine/formats/knownformat.h"
#include "engine/site/siteinheader.h"
#include "engine/table/paneltext.h"

#include <charconv>
#include <vector>

namespace pluvora {

namespace {

constexpr std::size_t kMostSites = 200;

std::vector<std::string_view> splitTabs(std::string_view line)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos)
            return parts;
        start = tab + 1;
    }
}

std::vector<std::string> storedLines(const AppFolder& folder)
{
    std::vector<std::string> lines;
    if (!folder.exists(kSitesFile))
        return lines;
    const std::string text = loadPanelText(folder.file(kSitesFile));
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string_view nameOf(std::string_view line) { return line.substr(0, line.find('\t')); }

// The shortest text that reads back as `value`: 45.4, not 45.400000.
std::string numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

std::optional<SiteTyped> recallSite(const AppFolder& folder, std::string_view inputName)
{
    for (const std::string& line : storedLines(folder)) {
        const auto parts = splitTabs(line);
        if (parts.size() != 6 || parts[0] != inputName)
            continue;
        return SiteTyped{std::string(parts[1]), parts[2] == "S", std::string(parts[3]),
                         parts[4] == "E", std::string(parts[5])};
    }
    return std::nullopt;
}

void rememberSite(const AppFolder& folder, std::string_view inputName, const SiteTyped& site)
{
    std::string first(inputName);
    first.append("\t").append(site.latitude).append(site.south ? "\tS\t" : "\tN\t");
    first.append(site.longitude).append(site.east ? "\tE\t" : "\tW\t").append(site.elevation);
    std::vector<std::string> lines{first};
    for (const std::string& line : storedLines(folder)) {
        if (nameOf(line) == inputName || lines.size() >= kMostSites)
            continue;
        lines.push_back(line);
    }
    writeLinesSafely(folder.file(kSitesFile), lines);
}

std::optional<SiteTyped> proposeSite(const AppFolder& folder, std::string_view inputName,
                                     std::string_view panel, int rowsBefore)
{
    if (!inputName.empty()) {
        try {
            if (auto remembered = recallSite(folder, inputName))
                return remembered;
        } catch (const std::exception&) {
            // An unreadable list only costs the proposal.
        }
    }
    // A format's own header is read by its rules; other headers by the
    // statements they make.
    const auto format = recogniseFormat(panel);
    const SiteInHeader header = format && format->site.any() ? format->site : findSiteInHeader(panel, rowsBefore);
    if (!header.latitude && !header.longitude && !header.elevation)
        return std::nullopt;
    SiteTyped site;
    if (header.latitude) {
        site.latitude = numberText(*header.latitude < 0 ? -*header.latitude : *header.latitude);
        site.south = *header.latitude < 0;
    }
    if (header.longitude) {
        site.longitude = numberText(*header.longitude < 0 ? -*header.longitude : *header.longitude);
        // Headers count east positive; the dialog asks for the side.
        site.east = *header.longitude > 0;
    }
    if (header.elevation)
        site.elevation = numberText(*header.elevation);
    return site;
}

} // namespace pluvora

#include "engine/site/siteinheader.h"

#include "engine/io/numbertext.h"

#include <cctype>
#include <cmath>
#include <regex>
#include <string>

namespace pluvora {

namespace {

constexpr int kLinesLookedAtWithoutHeader = 60;

// The number right after the name, past blanks, quotes and one ":", "=" or
// ",". A name followed by anything else ("lat/lon region") states nothing.
const std::string kValue = R"(["'\s]*[:=,]?["'\s]*(-?\d+(?:\.\d+)?))";
// A hemisphere letter after the number ("35.2 S", "97.50° W") sets the sign.
const std::string kHemisphere = R"((?:[^A-Za-z0-9\r\n]{0,4}([NSEW])(?![A-Za-z]))?)";
struct SitePatterns {
    std::regex latitude;
    std::regex longitude;
    std::regex elevation;
    std::regex elevationInMetres;
};

// Compiled on first use, not at start-up: that cost every run of the batch
// command some 75 million instructions, a header read or not.
const SitePatterns& sitePatterns()
{
    static const SitePatterns patterns{
        std::regex("(?:^|[^a-z])lat(?:itude)?" + kValue + kHemisphere, std::regex::icase),
        std::regex("(?:^|[^a-z])lon(?:g(?:itude)?)?" + kValue + kHemisphere, std::regex::icase),
        std::regex("(?:^|[^a-z])(?:elevation|elev|altitude)" + kValue, std::regex::icase),
        // "elevation from MERRA-2: ... = 448.45 meters": a number in metres later on the line.
        std::regex(R"((?:^|[^a-z])(?:elevation|altitude)[^\n]*?(-?\d+(?:\.\d+)?)\s*(?:m|meters|metres)\b)",
                   std::regex::icase)};
    return patterns;
}

std::optional<double> firstMatch(const std::string& line, const std::regex& pattern)
{
    std::smatch match;
    if (!std::regex_search(line, match, pattern))
        return std::nullopt;
    double value = 0;
    try {
        value = std::stod(match[1].str());
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (match.size() > 2 && match[2].matched) {
        const char hemisphere = static_cast<char>(std::toupper(static_cast<unsigned char>(match[2].str()[0])));
        if (hemisphere == 'S' || hemisphere == 'W')
            value = -std::abs(value);
        else
            value = std::abs(value);
    }
    return value;
}

} // namespace

SiteInHeader findSiteInHeader(std::string_view panel, int rowsBefore)
{
    const int lines = rowsBefore > 0 ? rowsBefore : kLinesLookedAtWithoutHeader;
    SiteInHeader site;
    std::size_t start = 0;
    for (int row = 0; row < lines && start < panel.size(); ++row) {
        std::size_t end = panel.find('\n', start);
        if (end == std::string_view::npos)
            end = panel.size();
        const std::string line(panel.substr(start, end - start));
        start = end + 1;
        if (!site.latitude)
            site.latitude = firstMatch(line, sitePatterns().latitude);
        if (!site.longitude)
            site.longitude = firstMatch(line, sitePatterns().longitude);
        if (!site.elevation) {
            site.elevation = firstMatch(line, sitePatterns().elevation);
            if (!site.elevation)
                site.elevation = firstMatch(line, sitePatterns().elevationInMetres);
        }
    }
    return site;
}

std::string siteOptionText(const SiteInHeader& site)
{
    if (!site.complete())
        return "";
    return formatGeneral(std::fabs(*site.latitude)) + (*site.latitude < 0 ? " S " : " N ") +
           formatGeneral(std::fabs(*site.longitude)) + (*site.longitude < 0 ? " W " : " E ") +
           formatGeneral(*site.elevation);
}

std::string siteDescription(const SiteInHeader& site)
{
    std::string given, lacking;
    auto add = [&](const char* what, const std::optional<double>& value) {
        if (value)
            given += (given.empty() ? "" : ", ") + std::string(what) + " " + formatGeneral(*value);
        else
            lacking += (lacking.empty() ? "no " : ", no ") + std::string(what);
    };
    add("latitude", site.latitude);
    add("longitude", site.longitude);
    add("elevation", site.elevation);
    if (lacking.empty())
        return given;
    return given.empty() ? lacking : given + "; " + lacking;
}

} // namespace pluvora

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pluvora {

// Site coordinates as the header rows of a downloaded file state them:
// latitude north positive, longitude east positive, elevation in metres.
struct SiteInHeader {
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::optional<double> elevation;
    bool any() const { return latitude || longitude || elevation; }
    bool complete() const { return latitude && longitude && elevation; }
};

// As --site takes it, "29.63 N 82.37 W 10"; "" unless complete.
std::string siteOptionText(const SiteInHeader& site);
// What it gives and what it lacks: "latitude -1.37, longitude 37.9; no elevation".
std::string siteDescription(const SiteInHeader& site);

// Finds "Latitude: 36.01", "\"Longitude\",\"-73.13\"", "lat = -35.2",
// "Elevation: 279 meters" and the like in the first `rowsBefore` lines of
// the panel text (the first 60 when no header rows are set); the first
// statement of each wins.
SiteInHeader findSiteInHeader(std::string_view panel, int rowsBefore);

} // namespace pluvora

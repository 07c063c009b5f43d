#pragma once

#include <optional>
#include <string_view>

namespace pluvora {

// Site coordinates as the header rows of a downloaded file state them:
// latitude north positive, longitude east positive, elevation in metres.
struct SiteInHeader {
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::optional<double> elevation;
};

// Finds "Latitude: 36.01", "\"Longitude\",\"-73.13\"", "lat = -35.2",
// "Elevation: 279 meters" and the like in the first `rowsBefore` lines of
// the panel text (the first 60 when no header rows are set); the first
// statement of each wins.
SiteInHeader findSiteInHeader(std::string_view panel, int rowsBefore);

} // namespace pluvora

#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace pluvora {

inline constexpr std::string_view kInvalidInput = "Invalid input";
inline constexpr std::string_view kLatitudeTooLarge = "Latitude value must be smaller than 66";
inline constexpr double kMaximumLatitude = 66.0;

enum class Hemisphere { North, South };
enum class LongitudeSide { West, East };

// The coordinate row of a weather file: "40.5 -96.25 350  Lat (deg), ...".
// West longitudes are positive, as the crop model expects.
std::string coordinateLine(double latitude, double longitude, double elevation);

enum class SiteField { None, Latitude, Longitude, Elevation };

struct SiteCoordinateError {
    std::string_view message; // kInvalidInput or kLatitudeTooLarge
    SiteField field = SiteField::None; // the first box at fault
};

// The typed coordinates, checked: either the coordinate row or why not.
// South negates the latitude, east the longitude; 66 degrees still passes.
std::variant<std::string, SiteCoordinateError>
siteCoordinateLine(std::string_view latitudeText, Hemisphere hemisphere,
                   std::string_view longitudeText, LongitudeSide side,
                   std::string_view elevationText);

// The latitude rule alone, for callers that have numbers already.
inline bool latitudeAccepted(double latitude)
{
    return latitude <= kMaximumLatitude && latitude >= -kMaximumLatitude;
}

} // namespace pluvora

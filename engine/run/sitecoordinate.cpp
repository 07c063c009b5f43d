#include "engine/run/sitecoordinate.h"

#include "engine/io/numbertext.h"

namespace pluvora {

std::string coordinateLine(double latitude, double longitude, double elevation)
{
    return formatGeneral(latitude) + ' ' + formatGeneral(longitude) + ' '
        + formatGeneral(elevation) + "  Lat (deg), long (deg), elev(m)";
}

std::variant<std::string, SiteCoordinateError>
siteCoordinateLine(std::string_view latitudeText, Hemisphere hemisphere,
                   std::string_view longitudeText, LongitudeSide side,
                   std::string_view elevationText)
{
    const auto latitude = parseTypedNumber(latitudeText);
    const auto longitude = parseTypedNumber(longitudeText);
    const auto elevation = parseTypedNumber(elevationText);
    if (!latitude)
        return SiteCoordinateError{kInvalidInput, SiteField::Latitude};
    if (!longitude)
        return SiteCoordinateError{kInvalidInput, SiteField::Longitude};
    if (!elevation)
        return SiteCoordinateError{kInvalidInput, SiteField::Elevation};
    const double lat = hemisphere == Hemisphere::South ? -*latitude : *latitude;
    const double lon = side == LongitudeSide::East ? -*longitude : *longitude;
    if (!latitudeAccepted(lat))
        return SiteCoordinateError{kLatitudeTooLarge, SiteField::Latitude};
    return coordinateLine(lat, lon, *elevation);
}

} // namespace pluvora

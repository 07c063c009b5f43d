#pragma once

#include <string>
#include <string_view>

namespace pluvora {

inline constexpr const char* kNoSiteCoordinates =
    "The output has no site coordinates: a crop model's file needs the latitude, longitude and elevation.";

// The station as the model files describe it.
struct ModelSite {
    double latitude = 0;  // degrees, south negative
    double longitude = 0; // degrees, west negative, as the models read it
    double elevation = 0; // m
    std::string name;     // the station, from the input's name
    std::string code;     // four letters or digits, DSSAT's INSI
};

// The site of a weather file's coordinate row ("lat lon elev ...", west
// positive) and the input's file name. Throws Error when the row does not
// start with three numbers.
ModelSite modelSiteOf(std::string_view coordinateRow, std::string_view inputName);

} // namespace pluvora

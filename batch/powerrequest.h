#pragma once

#include "batch/usageerror.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pluvora {

inline constexpr const char* kPowerDefaultUrl = "https://power.larc.nasa.gov";
inline constexpr const char* kPowerDefaultParameters =
    "T2M_MAX,T2M_MIN,PRECTOTCORR,ALLSKY_SFC_SW_DWN,RH2M,WS2M,T2MDEW";
// The service refuses more in one daily point request.
inline constexpr int kPowerMostParameters = 20;

// --get-power: one site's daily series from NASA POWER, community AG.
struct PowerRequest {
    std::string latitude;  // decimal degrees, north positive, as typed
    std::string longitude; // decimal degrees, east positive, as typed
    std::string start;     // YYYYMMDD
    std::string end;       // YYYYMMDD
    std::string parameters = kPowerDefaultParameters;
    std::string timeStandard = "LST";
    std::string baseUrl = kPowerDefaultUrl; // without a trailing slash
    std::optional<std::string> output;
    bool refresh = false;
};

// A service address as given to --power-url, without its trailing
// slashes; nothing for one that is not http:// or https://.
std::optional<std::string> powerBaseUrl(std::string_view text);

// The whole request URL; the cache names its file after it.
std::string powerRequestUrl(const PowerRequest& request);

// Reads the command line of a --get-power run; `args` holds --get-power.
std::variant<PowerRequest, UsageError> parsePowerOptions(const std::vector<std::string_view>& args);

// True when `args` asks for a --get-power run (before any "--").
bool asksForPower(const std::vector<std::string_view>& args);

} // namespace pluvora

#pragma once

#include <string>
#include <string_view>

namespace pluvora {

// Where a POWER reply says its series is, as its header gives it; a part
// the header does not give is empty.
struct PowerSite {
    std::string latitude;
    std::string longitude;
    std::string elevation; // metres
};

// Throws Error unless `body` is the daily CSV POWER sends: a -BEGIN HEADER-
// ... -END HEADER- block, then a row of column names beginning with YEAR.
// Services have answered errors with status 200 in JSON, so the status
// alone does not tell.
void checkPowerCsv(std::string_view body);

// The site the header of a checked reply names.
PowerSite powerSite(std::string_view body);

// The service's own reason in a JSON error, or nothing.
std::string jsonReason(std::string_view body);

} // namespace pluvora

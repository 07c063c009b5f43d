#include "engine/modelfiles/modelsite.h"

#include "engine/error.h"

#include <cctype>
#include <charconv>
#include <filesystem>

namespace pluvora {

ModelSite modelSiteOf(std::string_view coordinateRow, std::string_view inputName)
{
    ModelSite site;
    double values[3] = {};
    const char* p = coordinateRow.data();
    const char* const end = p + coordinateRow.size();
    for (double& value : values) {
        while (p != end && *p == ' ')
            ++p;
        const auto [next, ec] = std::from_chars(p, end, value);
        if (ec != std::errc())
            throw Error(kNoSiteCoordinates);
        p = next;
    }
    site.latitude = values[0];
    site.longitude = values[1] == 0.0 ? 0.0 : -values[1];
    site.elevation = values[2];
    site.name = std::filesystem::path(std::string(inputName)).stem().string();
    for (const char c : site.name) {
        if (site.code.size() == 4)
            break;
        if (std::isalnum(static_cast<unsigned char>(c)))
            site.code.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    while (site.code.size() < 4)
        site.code.push_back('X');
    return site;
}

} // namespace pluvora

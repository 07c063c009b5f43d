#include "batch/powerrequest.h"

#include "engine/io/numbertext.h"

#include <cctype>

namespace pluvora {

namespace {

// "YYYY-MM-DD", a day of the calendar, as "YYYYMMDD".
std::optional<std::string> compactDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return std::nullopt;
    const int year = *parseInteger(text.substr(0, 4));
    const int month = *parseInteger(text.substr(5, 2));
    const int day = *parseInteger(text.substr(8, 2));
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1])
        return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap)
        return std::nullopt;
    return std::string(text.substr(0, 4)) + std::string(text.substr(5, 2)) + std::string(text.substr(8, 2));
}

bool inRange(std::string_view text, double bound)
{
    const auto value = parseDecimal(text);
    return value && *value >= -bound && *value <= bound;
}

// Upper-case names of letters, digits and underscores; nothing when one is not.
std::optional<std::string> parameterList(std::string_view text, int& count)
{
    std::string list;
    count = 0;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t comma = text.find(',', begin);
        if (comma == std::string_view::npos)
            comma = text.size();
        const std::string_view name = text.substr(begin, comma - begin);
        if (name.empty())
            return std::nullopt;
        for (char c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
                return std::nullopt;
        if (count++)
            list += ',';
        for (char c : name)
            list += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        begin = comma + 1;
    }
    return list;
}

} // namespace

std::optional<std::string> powerBaseUrl(std::string_view text)
{
    if (!(text.starts_with("http://") || text.starts_with("https://")))
        return std::nullopt;
    std::string url(text);
    while (url.ends_with('/'))
        url.pop_back();
    return url;
}

bool asksForPower(const std::vector<std::string_view>& args)
{
    for (std::string_view arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--get-power")
            return true;
    }
    return false;
}

std::string powerRequestUrl(const PowerRequest& request)
{
    return request.baseUrl + "/api/temporal/daily/point?parameters=" + request.parameters
           + "&community=AG&longitude=" + request.longitude + "&latitude=" + request.latitude
           + "&start=" + request.start + "&end=" + request.end + "&format=CSV&time-standard="
           + request.timeStandard;
}

std::variant<PowerRequest, UsageError> parsePowerOptions(const std::vector<std::string_view>& args)
{
    PowerRequest request;
    std::optional<std::string_view> site, from, to;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        auto needs = [&](std::string_view what) {
            return UsageError{std::string(arg) + " needs " + std::string(what)};
        };
        if (arg == "--get-power") {
            site = value();
            if (!site)
                return needs("\"LAT,LON\" in decimal degrees, e.g. \"40.5,-96.25\"");
        } else if (arg == "--from" || arg == "--to") {
            const auto v = value();
            const auto date = v ? compactDate(*v) : std::nullopt;
            if (!date)
                return needs("a date YYYY-MM-DD");
            (arg == "--from" ? request.start : request.end) = *date;
            (arg == "--from" ? from : to) = v;
        } else if (arg == "-o") {
            const auto v = value();
            if (!v || v->empty())
                return needs("a file name");
            request.output = std::string(*v);
        } else if (arg == "--parameters") {
            const auto v = value();
            int count = 0;
            const auto list = v ? parameterList(*v, count) : std::nullopt;
            if (!list)
                return needs("NASA POWER parameter names separated by commas, e.g. T2M_MAX,T2M_MIN");
            if (count > kPowerMostParameters)
                return UsageError{"--parameters: at most " + std::to_string(kPowerMostParameters)
                                  + " parameters in one request, not " + std::to_string(count)};
            request.parameters = *list;
        } else if (arg == "--time-standard") {
            const auto v = value();
            if (!v || (*v != "lst" && *v != "utc"))
                return needs("lst or utc");
            request.timeStandard = *v == "lst" ? "LST" : "UTC";
        } else if (arg == "--power-url") {
            const auto v = value();
            const auto url = v ? powerBaseUrl(*v) : std::nullopt;
            if (!url)
                return needs("an address beginning with http:// or https://");
            request.baseUrl = *url;
        } else if (arg == "--refresh") {
            request.refresh = true;
        } else {
            return UsageError{std::string(arg) + " does not go with --get-power"};
        }
    }
    const std::size_t comma = site->find(',');
    if (comma == std::string_view::npos || !inRange(site->substr(0, comma), 90)
        || !inRange(site->substr(comma + 1), 180))
        return UsageError{"--get-power needs \"LAT,LON\": latitude -90 to 90 (north positive), "
                          "longitude -180 to 180 (east positive), e.g. \"40.5,-96.25\""};
    request.latitude = std::string(site->substr(0, comma));
    request.longitude = std::string(site->substr(comma + 1));
    if (!from || !to)
        return UsageError{"--get-power needs --from and --to"};
    if (request.start > request.end)
        return UsageError{"--from " + std::string(*from) + " is after --to " + std::string(*to)};
    return request;
}

} // namespace pluvora

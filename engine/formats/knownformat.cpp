#include "engine/formats/knownformat.h"

#include "engine/error.h"
#include "engine/formats/formattext.h"
#include "engine/formats/apsimmetfile.h"
#include "engine/formats/cabofile.h"
#include "engine/formats/dssatweatherfile.h"
#include "engine/formats/ghcndailyfile.h"
#include "engine/formats/powercsvfile.h"
#include "engine/io/numbertext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace pluvora {

namespace {

using formattext::isBlank;
using formattext::trimmed;
using formattext::words;

std::vector<std::string_view> linesOf(std::string_view text, std::size_t most)
{
    std::vector<std::string_view> lines;
    while (!text.empty() && lines.size() < most) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool allNumbers(const std::vector<std::string_view>& items)
{
    return std::all_of(items.begin(), items.end(), [](std::string_view w) { return parseTypedNumber(w).has_value(); });
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// A layout whose every column the format's definition names.
struct LayoutBuilder {
    LayoutSuggestion s;

    LayoutBuilder(int rowsBefore, std::string fields)
    {
        s.found = true;
        s.rowsBefore = rowsBefore;
        s.rowsConfidence = Confidence::High;
        s.fields = std::move(fields);
    }
    void column(std::string header, std::string variable, std::string unit, std::string reason)
    {
        SuggestedColumn c;
        c.field = static_cast<int>(s.columns.size()) + 1;
        c.header = std::move(header);
        c.variable = std::move(variable);
        c.unit = std::move(unit);
        c.confidence = Confidence::High;
        c.reason = std::move(reason);
        s.columns.push_back(std::move(c));
        s.fieldCount = static_cast<int>(s.columns.size());
    }
};

// --- DSSAT .WTH -----------------------------------------------------------

struct DssatName {
    const char* name;
    const char* variable;
    const char* unit;
    bool humidity;
};
// The names of the DSSAT weather file's definition, in its units.
constexpr DssatName kDssatNames[] = {
    {"SRAD", "Solar", "MJ/m2/d", false}, {"TMAX", "T-max", "oC", false},    {"TMIN", "T-min", "oC", false},
    {"RAIN", "Precip", "mm", false},     {"RHUM", "RelHum", "%", true},     {"DEWP", "DewPt", "oC", true},
    {"TDEW", "DewPt", "oC", true},       {"VPRS", "VapPr", "kPa", true},    {"WIND", "WndSpd", "km/d", false},
    {"EVAP", "PanEvap", "mm", false},    {"SUNH", "SunHr", "hr", false},
};

std::optional<KnownFormat> dssat(std::string_view text)
{
    const bool hasAtDate = text.find("@DATE") != std::string_view::npos || text.find("@  DATE") != std::string_view::npos ||
                           text.find("@ DATE") != std::string_view::npos || text.find("@   DATE") != std::string_view::npos;
    if (!hasAtDate)
        return std::nullopt;
    std::istringstream in{std::string(text)};
    DssatHead head;
    try {
        head = readDssatHead(in);
    } catch (const Error&) {
        return std::nullopt;
    }
    std::string first;
    while (std::getline(in, first) && trimmed(first).empty()) {
    }
    const std::string_view date = trimmed(std::string_view(first).substr(0, head.columns.front().end));
    if ((date.size() != 5 && date.size() != 7) || !parseInteger(date))
        return std::nullopt;

    KnownFormat f;
    f.kind = KnownFormat::Kind::DssatWeather;
    f.name = "DSSAT weather file";
    f.how = "fields by the spans under the @ row";
    f.site = {head.site.latitude, head.site.longitude, head.site.elevation};
    LayoutBuilder b(head.rowsBefore, "fixed");
    b.s.missingSign = -99;
    b.column(head.columns.front().name, date.size() == 5 ? "YYDOY" : "Date", date.size() == 5 ? "" : "YYYYDDD",
             "DSSAT date, " + std::to_string(date.size()) + " digits");
    // One column gives humidity: RHUM before a dew point, a dew point before
    // the vapour pressure, as everywhere else.
    std::string humidity;
    for (const char* name : {"RHUM", "DEWP", "TDEW", "VPRS"})
        for (std::size_t k = 1; k < head.columns.size() && humidity.empty(); ++k)
            if (head.columns[k].name == name)
                humidity = name;
    for (std::size_t k = 1; k < head.columns.size(); ++k) {
        const std::string& name = head.columns[k].name;
        const DssatName* known = nullptr;
        for (const auto& n : kDssatNames)
            if (name == n.name)
                known = &n;
        if (!known) {
            b.column(name, "Ignore", "", "DSSAT: " + name + " is read by no variable");
            continue;
        }
        if (known->humidity && name != humidity) {
            b.column(name, "Ignore", "", "humidity is read from " + humidity);
            continue;
        }
        b.column(name, known->variable, known->unit, "DSSAT: " + name + " in " + known->unit);
    }
    for (auto& c : b.s.columns)
        b.s.fieldEnds.push_back(static_cast<int>(head.columns[static_cast<std::size_t>(c.field - 1)].end));
    f.layout = std::move(b.s);
    return f;
}

// --- APSIM .met, NASA POWER: named headers the generic suggestion reads ------

std::optional<KnownFormat> apsim(std::string_view text)
{
    // Every .met file gives its latitude as a constant; other files with a
    // row of units in parentheses do not.
    if (!looksLikeApsimMet(text) || text.find("latitude") == std::string_view::npos)
        return std::nullopt;
    KnownFormat f;
    f.kind = KnownFormat::Kind::ApsimMet;
    f.name = "APSIM weather file";
    f.how = "constants above a row of names and a row of units";
    std::istringstream in{std::string(text)};
    try {
        const ApsimMetHead head = readApsimMetHead(in);
        if (!head.latitude)
            return std::nullopt;
        f.site.latitude = head.latitude;
        f.site.longitude = head.longitude;
    } catch (const Error&) {
        return std::nullopt;
    }
    f.missingTexts = {"?", "*", "NaN"};
    return f;
}

std::optional<KnownFormat> power(std::string_view text)
{
    if (!startsWith(trimmed(text.substr(0, text.find('\n'))), "-BEGIN HEADER-"))
        return std::nullopt;
    std::istringstream in{std::string(text)};
    KnownFormat f;
    f.kind = KnownFormat::Kind::PowerCsv;
    f.name = "NASA POWER file";
    f.how = "the header block names the site, the fill value and each parameter's unit";
    try {
        const PowerCsvHead head = readPowerCsvHead(in);
        f.site = {head.latitude, head.longitude, head.elevation};
        // A whole fill value is the sign, which takes -999.0 as well.
        if (head.fillValue == std::floor(head.fillValue) && std::fabs(head.fillValue) < 1e9)
            f.missingSign = static_cast<int>(head.fillValue);
        else
            f.missingTexts = {formatGeneral(head.fillValue)};
    } catch (const Error&) {
        return std::nullopt;
    }
    return f;
}

// --- CABO (WOFOST) ----------------------------------------------------------

KnownFormat caboFormat(bool irradiation)
{
    KnownFormat f;
    f.kind = KnownFormat::Kind::Cabo;
    f.name = "CABO weather file";
    f.how = "a station line, then nine numbers a day; -999 status lines left out";
    LayoutBuilder b(1, "blanks");
    b.s.missingSign = -99;
    b.column("station", "Ignore", "", "CABO: station number");
    b.column("year", "Year", "", "CABO: year");
    b.column("day", "DOY", "", "CABO: day of the year");
    if (irradiation)
        b.column("irrad", "Solar", "kJ/m2/d", "CABO: irradiation in kJ/m2/d (the station line's A and B are below 0)");
    else
        b.column("sunhr", "SunHr", "hr", "CABO: hours of sunshine (the station line's A and B are not below 0)");
    b.column("tmin", "T-min", "oC", "CABO: minimum temperature in oC");
    b.column("tmax", "T-max", "oC", "CABO: maximum temperature in oC");
    b.column("vap", "VapPr", "kPa", "CABO: vapour pressure in kPa");
    b.column("wind", "WndSpd", "m/s", "CABO: wind speed in m/s");
    b.column("rain", "Precip", "mm", "CABO: rain in mm");
    f.layout = std::move(b.s);
    return f;
}

std::optional<KnownFormat> cabo(std::string_view text)
{
    const auto lines = linesOf(text, 300);
    if (lines.empty() || !startsWith(lines.front(), "*"))
        return std::nullopt;
    std::size_t k = 0;
    while (k < lines.size() && (trimmed(lines[k]).empty() || startsWith(lines[k], "*")))
        ++k;
    if (k >= lines.size())
        return std::nullopt;
    const auto station = words(lines[k]);
    if (station.size() != 5 || !allNumbers(station))
        return std::nullopt;
    // The first day's row: nine numbers, a year and a day of the year.
    for (std::size_t r = k + 1; r < lines.size(); ++r) {
        const auto row = words(lines[r]);
        if (row.empty())
            continue;
        if (row.size() != 9 || !allNumbers(row))
            return std::nullopt;
        if (row.front() == "-999")
            continue;
        const auto year = parseInteger(row[1]);
        const auto doy = parseInteger(row[2]);
        if (!year || !doy || *year < 1000 || *doy < 1 || *doy > 366)
            return std::nullopt;
        break;
    }
    // Angstrom coefficients below zero say the fourth column is measured
    // irradiation; otherwise it holds the hours of sunshine.
    const bool irradiation = *parseTypedNumber(station[3]) < 0 && *parseTypedNumber(station[4]) < 0;
    KnownFormat f = caboFormat(irradiation);
    f.site = {parseTypedNumber(station[1]), parseTypedNumber(station[0]), parseTypedNumber(station[2])};
    f.readAsDays = true;
    return f;
}

// --- GHCN-Daily .dly ----------------------------------------------------------

struct GhcnElement {
    const char* name;
    const char* variable;
    const char* unit;
};
// The elements a weather file takes, in the file's tenths.
constexpr GhcnElement kGhcnElements[] = {
    {"TMAX", "T-max", "0.1 oC"},  {"TMIN", "T-min", "0.1 oC"},   {"PRCP", "Precip", "0.1 mm"},
    {"AWND", "WndSpd", "0.1 m/s"}, {"TSUN", "SunHr", "min"},     {"EVAP", "PanEvap", "0.1 mm"},
};

bool ghcnLine(std::string_view line)
{
    if (line.size() < 21 + 31 * 8 - 3 || line.size() > 21 + 31 * 8)
        return false;
    const auto year = parseInteger(line.substr(11, 4));
    const auto month = parseInteger(line.substr(15, 2));
    if (!year || !month || *month < 1 || *month > 12)
        return false;
    for (char c : line.substr(17, 4))
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

// TMAX, TMIN and PRCP always; the other elements a weather file takes
// where the file has them.
KnownFormat ghcnFormat(const std::vector<std::string>& elements)
{
    KnownFormat f;
    f.kind = KnownFormat::Kind::GhcnDaily;
    f.name = "GHCN-Daily file";
    f.how = "read as days: each line holds a month of one element, turned into one row a day";
    f.readAsDays = true;
    LayoutBuilder b(1, "blanks");
    b.s.missingSign = -9999;
    b.column("Year", "Year", "", "GHCN-Daily: year of the line");
    b.column("Month", "Month", "", "GHCN-Daily: month of the line");
    b.column("Day", "Day", "", "GHCN-Daily: day of the month");
    for (const auto& e : kGhcnElements) {
        const bool core = std::string_view(e.name) == "TMAX" || std::string_view(e.name) == "TMIN" ||
                          std::string_view(e.name) == "PRCP";
        if (core || std::find(elements.begin(), elements.end(), e.name) != elements.end())
            b.column(e.name, e.variable, e.unit, std::string("GHCN-Daily: ") + e.name + " in " + e.unit);
    }
    f.layout = std::move(b.s);
    return f;
}

std::optional<KnownFormat> ghcn(std::string_view text)
{
    const auto lines = linesOf(text, 5000);
    std::vector<std::string> seen;
    int checked = 0;
    for (std::string_view line : lines) {
        if (!line.empty() && line.back() == ' ')
            line = line.substr(0, line.find_last_not_of(' ') + 1);
        if (trimmed(line).empty())
            continue;
        if (!ghcnLine(line))
            return std::nullopt;
        ++checked;
        const std::string element(line.substr(17, 4));
        if (std::find(seen.begin(), seen.end(), element) == seen.end())
            seen.push_back(element);
    }
    if (checked == 0)
        return std::nullopt;
    return ghcnFormat(seen);
}

// --- Rows of days written by writeFormatDays -----------------------------------

constexpr std::string_view kReadAsDays = " read as days";

// The title line says what was read and how: the layout follows from it,
// so the rows read the same in the window and in a run.
std::optional<KnownFormat> daysText(std::string_view text)
{
    const std::string_view title = trimmed(text.substr(0, text.find('\n')));
    const std::size_t marker = title.find(kReadAsDays);
    const std::size_t colon = title.find(": ");
    if (marker == std::string_view::npos || colon == std::string_view::npos || colon < marker)
        return std::nullopt;
    const std::string_view name = title.substr(0, marker);
    std::vector<std::string> names;
    for (std::string_view w : words(title.substr(colon + 2)))
        names.emplace_back(w);
    KnownFormat f;
    if (name == "GHCN-Daily file") {
        f = ghcnFormat(names);
        if (f.layout->columns.size() != names.size())
            return std::nullopt;
    } else if (name == "CABO weather file") {
        f = caboFormat(std::find(names.begin(), names.end(), "irrad") != names.end());
    } else {
        return std::nullopt;
    }
    for (std::size_t k = 0; k < names.size() && k < f.layout->columns.size(); ++k)
        if (f.layout->columns[k].header != names[k])
            return std::nullopt;
    if (names.size() != f.layout->columns.size())
        return std::nullopt;
    // "... read as days at 51.97 N 5.67 E 7: ..."
    const std::size_t at = title.find(" at ", marker);
    if (at != std::string_view::npos && at < colon) {
        const auto site = words(title.substr(at + 4, colon - at - 4));
        if (site.size() == 5) {
            const auto lat = parseTypedNumber(site[0]), lon = parseTypedNumber(site[2]), elev = parseTypedNumber(site[4]);
            if (lat && lon && elev)
                f.site = {site[1] == "S" ? -*lat : *lat, site[3] == "W" ? -*lon : *lon, *elev};
        }
    }
    f.name = std::string(name) + std::string(kReadAsDays);
    f.how = "one row a day, as its reader wrote them";
    f.readAsDays = false;
    return f;
}

// --- NOAA GSOD ------------------------------------------------------------------

std::optional<KnownFormat> gsod(std::string_view text)
{
    const auto lines = linesOf(text, 2);
    if (lines.size() < 2 || !startsWith(lines[0], "STN--- WBAN   YEARMODA"))
        return std::nullopt;
    if (words(lines[1]).size() != 22)
        return std::nullopt;
    KnownFormat f;
    f.kind = KnownFormat::Kind::Gsod;
    f.name = "NOAA GSOD file";
    f.how = "blank-separated, a count after each mean, flags glued to the values";
    LayoutBuilder b(1, "blanks");
    const char* names[] = {"STN",   "WBAN",  "YEARMODA", "TEMP", "count", "DEWP", "count", "SLP",
                           "count", "STP",   "count",    "VISIB", "count", "WDSP", "count", "MXSPD",
                           "GUST",  "MAX",   "MIN",      "PRCP", "SNDP",  "FRSHTT"};
    for (const char* name : names) {
        const std::string n = name;
        if (n == "YEARMODA")
            b.column(n, "Date", "YYYYMMDD", "GSOD: date");
        else if (n == "MAX")
            b.column(n, "T-max", "oF", "GSOD: maximum temperature in oF");
        else if (n == "MIN")
            b.column(n, "T-min", "oF", "GSOD: minimum temperature in oF");
        else if (n == "PRCP")
            b.column(n, "Precip", "inch", "GSOD: precipitation in inches");
        else if (n == "DEWP")
            b.column(n, "DewPt", "oF", "GSOD: mean dew point in oF");
        else if (n == "WDSP")
            b.column(n, "WndSpd", "knot", "GSOD: mean wind speed in knots");
        else
            b.column(n, "Ignore", "", n == "count" ? "GSOD: observations in the mean before it"
                                                   : "GSOD: " + n + " is read by no variable");
    }
    b.s.picked = {3, 18, 19, 20, 6, 14};
    f.layout = std::move(b.s);
    f.missingTexts = {"9999.9", "999.9", "99.99"};
    return f;
}

// --- EPIC / APEX .DLY -------------------------------------------------------------

// I6,2I4,6F6.2: year, month, day, solar, T-max, T-min, rain, RH fraction, wind.
bool epicLine(std::string_view line)
{
    while (!line.empty() && isBlank(line.back()))
        line.remove_suffix(1);
    if (line.size() < 44 || line.size() > 50)
        return false;
    const auto year = parseInteger(trimmed(line.substr(0, 6)));
    const auto month = parseInteger(trimmed(line.substr(6, 4)));
    const auto day = parseInteger(trimmed(line.substr(10, 4)));
    if (!year || !month || !day || *year < 1000 || *month < 1 || *month > 12 || *day < 1 || *day > 31)
        return false;
    for (std::size_t at = 14; at < line.size(); at += 6) {
        const std::string_view field = line.substr(at, 6);
        if (!parseDecimal(trimmed(field)) || field.size() < 3 || field[field.size() - 3] != '.')
            return false;
    }
    return true;
}

std::optional<KnownFormat> epic(std::string_view text)
{
    const auto lines = linesOf(text, 40);
    int rows = 0;
    for (std::string_view line : lines) {
        if (trimmed(line).empty())
            continue;
        if (!epicLine(line))
            return std::nullopt;
        ++rows;
    }
    if (rows < 2)
        return std::nullopt;
    KnownFormat f;
    f.kind = KnownFormat::Kind::EpicDaily;
    f.name = "EPIC/APEX daily weather file";
    f.how = "no header, fixed widths I6,2I4,6F6.2";
    LayoutBuilder b(0, "fixed");
    b.s.missingSign = -99;
    b.column("year", "Year", "", "EPIC: year");
    b.column("month", "Month", "", "EPIC: month");
    b.column("day", "Day", "", "EPIC: day");
    b.column("srad", "Solar", "MJ/m2/d", "EPIC: solar radiation in MJ/m2/d");
    b.column("tmax", "T-max", "oC", "EPIC: maximum temperature in oC");
    b.column("tmin", "T-min", "oC", "EPIC: minimum temperature in oC");
    b.column("prcp", "Precip", "mm", "EPIC: precipitation in mm");
    b.column("rhd", "RelHum", "fraction", "EPIC: relative humidity as a fraction");
    b.column("wspd", "WndSpd", "m/s", "EPIC: wind speed in m/s");
    b.s.fieldEnds = {6, 10, 14, 20, 26, 32, 38, 44, 50};
    f.layout = std::move(b.s);
    return f;
}

// --- SWAT .pcp / .tmp ---------------------------------------------------------------

std::optional<KnownFormat> swat(std::string_view text)
{
    const auto lines = linesOf(text, 6);
    if (lines.size() < 5 || !startsWith(upper(lines[1]), "LATI") || !startsWith(upper(lines[2]), "LONG") ||
        !startsWith(upper(lines[3]), "ELEV"))
        return std::nullopt;
    std::string_view data = lines[4];
    while (!data.empty() && isBlank(data.back()))
        data.remove_suffix(1);
    if (data.size() < 12 || !parseInteger(data.substr(0, 7)))
        return std::nullopt;
    auto values = [](std::string_view line) {
        std::vector<std::optional<double>> out;
        for (std::string_view w : words(line.substr(std::min<std::size_t>(4, line.size()))))
            out.push_back(parseTypedNumber(w));
        return out;
    };
    const auto lat = values(lines[1]), lon = values(lines[2]), elev = values(lines[3]);
    const std::size_t stations = lat.size();
    if (stations == 0 || lon.size() != stations || elev.size() != stations)
        return std::nullopt;
    const std::size_t width = data.size() - 7;
    const bool tmp = width == stations * 10;
    if (!tmp && width != stations * 5)
        return std::nullopt;
    const int year = *parseInteger(data.substr(0, 4));
    const int doy = *parseInteger(data.substr(4, 3));
    if (year < 1000 || doy < 1 || doy > 366)
        return std::nullopt;

    KnownFormat f;
    f.kind = KnownFormat::Kind::SwatDaily;
    f.name = tmp ? "SWAT temperature file" : "SWAT precipitation file";
    f.how = "four header rows, then YYYYDDD and a field of five characters per value";
    LayoutBuilder b(4, "fixed");
    b.s.missingSign = -99;
    b.column("date", "Date", "YYYYDDD", "SWAT: year and day of the year");
    b.s.fieldEnds.push_back(7);
    const std::vector<std::string> names = [&] {
        std::vector<std::string> n;
        for (std::string_view w : words(lines[0].substr(std::min<std::size_t>(7, lines[0].size()))))
            for (std::size_t start = 0; start < w.size();) {
                const std::size_t comma = std::min(w.find(',', start), w.size());
                if (comma > start)
                    n.emplace_back(w.substr(start, comma - start));
                start = comma + 1;
            }
        return n;
    }();
    for (std::size_t s = 0; s < stations; ++s) {
        const std::string name = s < names.size() ? names[s] : "station " + std::to_string(s + 1);
        const bool read = stations == 1;
        const std::string skip = "station " + name + ": one station a run, picked by --pick";
        if (tmp) {
            b.column(name + " max", read ? "T-max" : "Ignore", read ? "oC" : "", read ? "SWAT: maximum temperature in oC" : skip);
            b.column(name + " min", read ? "T-min" : "Ignore", read ? "oC" : "", read ? "SWAT: minimum temperature in oC" : skip);
        } else {
            b.column(name, read ? "Precip" : "Ignore", read ? "mm" : "", read ? "SWAT: precipitation in mm" : skip);
        }
        const int per = tmp ? 2 : 1;
        for (int k = 0; k < per; ++k)
            b.s.fieldEnds.push_back(b.s.fieldEnds.back() + 5);
    }
    if (stations == 1) {
        f.site = {lat[0], lon[0], elev[0]};
    } else {
        std::string picks;
        for (std::size_t s = 0; s < stations; ++s) {
            const int first = 2 + static_cast<int>(s) * (tmp ? 2 : 1);
            picks += (s ? "; " : "") + (s < names.size() ? names[s] : "station " + std::to_string(s + 1)) + ": --pick 1," +
                     std::to_string(first) + (tmp ? "," + std::to_string(first + 1) : "");
        }
        b.s.notes.push_back("The file holds " + std::to_string(stations) +
                            " stations and a run reads one: " + picks);
    }
    f.layout = std::move(b.s);
    return f;
}

} // namespace

std::optional<KnownFormat> recogniseFormat(std::string_view firstLines)
{
    // What a suggestion reads of a file; a whole file is cut to it.
    constexpr std::size_t kHead = std::size_t{256} << 10;
    if (firstLines.size() > kHead)
        firstLines = firstLines.substr(0, firstLines.rfind('\n', kHead) + 1);
    using Reader = std::optional<KnownFormat> (*)(std::string_view);
    // The most particular signatures first: the title of rows of days a
    // reader wrote, GSOD's and SWAT's head lines,
    // then the formats told by a marker line, then those told by their rows.
    constexpr Reader kReaders[] = {daysText, gsod, swat, power, dssat, apsim, ghcn, cabo, epic};
    try {
        for (Reader reader : kReaders)
            if (auto format = reader(firstLines))
                return format;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<KnownFormat> recogniseFormatOfFile(const std::filesystem::path& path)
{
    return recogniseFormat(firstLinesOfFile(path));
}

void writeFormatDays(const KnownFormat& format, std::istream& in, std::ostream& out)
{
    const auto& columns = format.layout->columns;
    // The title line a weather file takes over: what was read, and how.
    std::string names;
    for (const auto& c : columns)
        names += " " + c.header;
    out << format.name << kReadAsDays;
    if (format.site.complete())
        out << " at " << siteOptionText(format.site);
    out << ':' << names << '\n';
    if (format.kind == KnownFormat::Kind::Cabo) {
        const CaboHead head = readCaboHead(in);
        long number = head.rowsBefore;
        for (std::string line; std::getline(in, line);) {
            ++number;
            if (trimmed(line).empty())
                continue;
            std::optional<CaboDay> day;
            try {
                day = readCaboDay(line);
            } catch (const Error& e) {
                throw Error(std::string(e.what()) + " (line " + std::to_string(number) + ")");
            }
            if (day)
                out << trimmed(line) << '\n';
        }
        return;
    }
    // GHCN-Daily: the days of each month, the layout's elements in order.
    std::vector<std::string> elements;
    for (std::size_t k = 3; k < columns.size(); ++k)
        elements.push_back(columns[k].header);
    GhcnDailyReader reader(in, elements);
    std::string station;
    char buffer[64];
    while (auto day = reader.next()) {
        if (station.empty())
            station = day->station;
        else if (day->station != station)
            throw Error("A GHCN-Daily file read as days holds one station: this one holds " + station + " and " +
                        day->station + ".");
        std::string row = std::to_string(day->year) + ' ' + std::to_string(day->month) + ' ' + std::to_string(day->day);
        bool measured = false;
        for (std::size_t e = 0; e < elements.size(); ++e) {
            const auto& value = day->values[e];
            // A value that failed a quality check is no value.
            const bool failed = e < day->quality.size() && day->quality[e] != ' ';
            measured = measured || (value && !failed);
            std::snprintf(buffer, sizeof buffer, " %d", value && !failed ? static_cast<int>(*value) : -9999);
            row += buffer;
        }
        // A day no element has a value for is absent from the file (the
        // days after the last of a month still running, for one).
        if (measured)
            out << row << '\n';
    }
}

} // namespace pluvora

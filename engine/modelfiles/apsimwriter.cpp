#include "engine/modelfiles/apsimwriter.h"

#include "engine/io/textwriter.h"
#include "engine/modelfiles/modeltext.h"
#include "engine/modelfiles/modelvalues.h"

#include <array>
#include <cstdio>

namespace pluvora {

namespace {

constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string dayText(const ModelDay& day)
{
    return std::to_string(day.day) + " " + kMonths[static_cast<std::size_t>(day.month - 1)] + " "
        + std::to_string(day.year);
}

} // namespace

ApsimWriter::ApsimWriter(const ModelSite& site, const DayScan& scan) : mSite(site), mScan(scan) {}

void ApsimWriter::write(DayLogReader& days, TextWriter& out)
{
    std::string based = " Based on " + dayText(mScan.first) + " to " + dayText(mScan.last) + ".\n";
    if (mScan.apsimFirstYear != 0)
        based = " Based on 1 Jan " + std::to_string(mScan.apsimFirstYear) + " to 31 Dec "
            + std::to_string(mScan.apsimLastYear) + ".\n";
    std::string head = "[weather.met.weather]\n";
    head += "latitude = " + plainNumber(mSite.latitude, 4) + "\n";
    head += "longitude = " + plainNumber(mSite.longitude, 4) + "\n";
    head += "tav = ";
    appendFixed(head, mScan.apsimTav, 5, 2);
    head += " (oC) ! Annual average ambient temperature." + based;
    head += "amp = ";
    appendFixed(head, mScan.apsimAmp, 5, 2);
    head += " (oC) ! Annual amplitude in mean monthly temperature." + based;
    head += "year  day radn  maxt   mint  rain";
    std::string units = "()   () (MJ/m^2) (oC)  (oC)  (mm)";
    if (mScan.relHum) {
        head += "    rh";
        units += "   (%)";
    }
    if (mScan.vapour) {
        head += "    vp";
        units += " (hPa)";
    }
    if (mScan.wind) {
        head += "  wind";
        units += "  (m/s)";
    }
    out.write(head + "\n" + units + "\n");

    std::string line;
    while (const auto day = days.next()) {
        char date[32];
        std::snprintf(date, sizeof date, "%4d%4d", day->year, day->doy);
        line = date;
        appendColumn(line, *day->solar, 7, 1);
        appendColumn(line, *day->tmax, 6, 1);
        appendColumn(line, *day->tmin, 6, 1);
        appendColumn(line, *day->precip, 6, 1);
        if (mScan.relHum)
            appendColumn(line, *day->relHum, 6, 1);
        if (mScan.vapour)
            appendColumn(line, *vapourPressure(*day) * 10.0, 6, 1); // hPa
        if (mScan.wind)
            appendColumn(line, *day->wind, 6, 1);
        line += '\n';
        out.write(line);
    }
}

} // namespace pluvora

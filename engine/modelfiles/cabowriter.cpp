#include "engine/modelfiles/cabowriter.h"

#include "engine/io/textwriter.h"
#include "engine/modelfiles/modeltext.h"
#include "engine/modelfiles/modelvalues.h"
#include "engine/modelfiles/pcsecsvwriter.h"

#include <cstdio>

namespace pluvora {

namespace {

constexpr const char* kRule = "*-------------------------------------------------------------*\n";
constexpr const char* kColumns = "* Column  Daily value\n"
                                 "* 1       station number\n"
                                 "* 2       year\n"
                                 "* 3       day\n"
                                 "* 4       irradiation                   (kJ m-2 d-1)\n"
                                 "* 5       minimum temperature           (degrees Celsius)\n"
                                 "* 6       maximum temperature           (degrees Celsius)\n"
                                 "* 7       early morning vapour pressure (kPa)\n"
                                 "* 8       mean wind speed (height: 2 m) (m s-1)\n"
                                 "* 9       precipitation                 (mm d-1)\n";

} // namespace

CaboWriter::CaboWriter(const ModelSite& site, std::string source, DayLogReader& days)
    : mSite(site), mSource(std::move(source)), mDays(days), mPending(days.next())
{
}

std::optional<int> CaboWriter::nextYear() const
{
    if (!mPending)
        return std::nullopt;
    return mPending->year;
}

std::string CaboWriter::fileName(const std::string& stem, int year)
{
    char extension[8];
    std::snprintf(extension, sizeof extension, ".%03d", year % 1000);
    return stem + extension;
}

void CaboWriter::writeYear(TextWriter& out)
{
    const int year = mPending->year;
    std::string head = kRule;
    head += "* Station name: " + mSite.name + "\n";
    char yearLine[80];
    std::snprintf(yearLine, sizeof yearLine, "* Year: %-4d                                -99.000: NIL VALUE\n", year);
    head += yearLine;
    head += "* Source: converted by Pluvora from " + mSource + "\n*\n";
    head += "* Longitude: " + plainNumber(mSite.longitude, 4) + ", latitude: " + plainNumber(mSite.latitude, 4)
        + ", altitude: " + plainNumber(mSite.elevation, 1) + " m.\n*\n";
    head += kColumns;
    head += "*\n** WCCDESCRIPTION=" + mSite.name + "\n** WCCFORMAT=2\n** WCCYEARNR=" + std::to_string(year) + "\n";
    head += kRule;
    appendFixed(head, mSite.longitude, 7, 2);
    appendFixed(head, mSite.latitude, 7, 2);
    appendFixed(head, mSite.elevation, 6, 0);
    head += '.';
    appendFixed(head, -kAngstromA, 7, 2);
    appendFixed(head, -kAngstromB, 6, 2);
    head += '\n';
    out.write(head);

    std::string line;
    for (; mPending && mPending->year == year; mPending = mDays.next()) {
        const ModelDay& day = *mPending;
        char start[32];
        std::snprintf(start, sizeof start, "   1 %4d %3d", day.year, day.doy);
        line = start;
        appendColumn(line, *day.solar * 1000.0, 6, 0);
        line += '.';
        appendColumn(line, *day.tmin, 6, 1);
        appendColumn(line, *day.tmax, 6, 1);
        appendColumn(line, *vapourPressure(day), 8, 3);
        appendColumn(line, *day.wind, 6, 1);
        appendColumn(line, *day.precip, 6, 1);
        line += '\n';
        out.write(line);
    }
}

} // namespace pluvora

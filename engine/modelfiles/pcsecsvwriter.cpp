#include "engine/modelfiles/pcsecsvwriter.h"

#include "engine/io/textwriter.h"
#include "engine/modelfiles/modeltext.h"
#include "engine/modelfiles/modelvalues.h"

#include <cstdio>

namespace pluvora {

namespace {

// The reader evaluates each value as a Python literal: a text needs quotes,
// and a quote inside one would end it.
std::string quoted(std::string text)
{
    for (char& c : text)
        if (c == '\'' || c == '\\')
            c = '_';
    return "'" + text + "'";
}

} // namespace

PcseCsvWriter::PcseCsvWriter(const ModelSite& site, std::string source) : mSite(site), mSource(std::move(source)) {}

void PcseCsvWriter::write(DayLogReader& days, TextWriter& out)
{
    std::string head = "## Site Characteristics\n";
    head += "Country     = 'Unknown'\n";
    head += "Station     = " + quoted(mSite.name) + "\n";
    head += "Description = " + quoted("Converted by Pluvora from " + mSource) + "\n";
    head += "Source      = " + quoted(mSource) + "\n";
    head += "Contact     = 'Unknown'\n";
    head += "Longitude = " + plainNumber(mSite.longitude, 4) + "; Latitude = " + plainNumber(mSite.latitude, 4)
        + "; Elevation = " + plainNumber(mSite.elevation, 1) + "; AngstromA = " + plainNumber(kAngstromA, 2)
        + "; AngstromB = " + plainNumber(kAngstromB, 2) + "; HasSunshine = False\n";
    head += "## Daily weather observations\n";
    head += "DAY,IRRAD,TMIN,TMAX,VAP,WIND,RAIN,SNOWDEPTH\n";
    out.write(head);

    std::string line;
    while (const auto day = days.next()) {
        char date[16];
        std::snprintf(date, sizeof date, "%04d%02d%02d", day->year, day->month, day->day);
        line = date;
        line += ',' + plainNumber(*day->solar * 1000.0, 0);
        line += ',' + plainNumber(*day->tmin, 1);
        line += ',' + plainNumber(*day->tmax, 1);
        line += ',' + plainNumber(*vapourPressure(*day), 2);
        line += ',' + plainNumber(*day->wind, 1);
        line += ',' + plainNumber(*day->precip, 1);
        line += ",NaN\n";
        out.write(line);
    }
}

} // namespace pluvora

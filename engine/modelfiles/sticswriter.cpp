#include "engine/modelfiles/sticswriter.h"

#include "engine/io/textwriter.h"
#include "engine/modelfiles/modeltext.h"
#include "engine/modelfiles/modelvalues.h"

#include <cstdio>

namespace pluvora {

namespace {

// One field of one decimal and its blank.
void field(std::string& line, double value)
{
    appendFixed(line, value, 0, 1);
    line += ' ';
}

// The station is the first blank-separated field: no blank inside it.
std::string stationName(const std::string& name)
{
    std::string station = name;
    for (char& c : station)
        if (c == ' ' || c == '\t')
            c = '_';
    return station;
}

} // namespace

SticsWriter::SticsWriter(const ModelSite& site) : mSite(site) {}

void SticsWriter::write(DayLogReader& days, TextWriter& out)
{
    const std::string station = stationName(mSite.name);
    std::string line;
    while (const auto day = days.next()) {
        char date[48];
        std::snprintf(date, sizeof date, " %d %d %d %d ", day->year, day->month, day->day, day->doy);
        line = station + date;
        field(line, *day->tmin);
        field(line, *day->tmax);
        field(line, *day->solar);
        field(line, *grassReferenceET(*day, mSite));
        field(line, *day->precip);
        field(line, *day->wind);
        field(line, *vapourPressure(*day) * 10.0);
        field(line, kSticsCo2);
        line += '\n';
        out.write(line);
    }
}

} // namespace pluvora

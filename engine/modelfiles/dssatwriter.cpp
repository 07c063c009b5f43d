#include "engine/modelfiles/dssatwriter.h"

#include "engine/io/textwriter.h"
#include "engine/modelfiles/modeltext.h"
#include "engine/modelfiles/modelvalues.h"

#include <cstdio>

namespace pluvora {

namespace {

// DSSAT reads a height of -99 as unknown and takes its defaults.
constexpr double kUnknownHeight = -99.0;

bool written(std::string_view name, const DayScan& scan)
{
    if (name == "DEWP")
        return scan.dewPt;
    if (name == "WIND")
        return scan.wind;
    if (name == "RHUM")
        return scan.relHum;
    return true;
}

} // namespace

DssatWriter::DssatWriter(const ModelSite& site, const DayScan& scan, int dateDigits, std::string title)
    : mSite(site), mScan(scan), mDateDigits(dateDigits), mTitle(std::move(title))
{
}

void DssatWriter::write(DayLogReader& days, TextWriter& out)
{
    out.write((mDateDigits == 7 ? "$WEATHER DATA : " : "*WEATHER DATA : ") + mTitle + "\n\n");
    out.write("@ INSI      LAT     LONG  ELEV   TAV   AMP REFHT WNDHT\n");
    std::string line = "  " + mSite.code;
    appendFixed(line, mSite.latitude, 9, 3);
    appendFixed(line, mSite.longitude, 9, 3);
    appendFixed(line, mSite.elevation, 6, 0);
    appendFixed(line, mScan.dssatTav, 6, 1);
    appendFixed(line, mScan.dssatAmp, 6, 1);
    appendFixed(line, kUnknownHeight, 6, 1);
    appendFixed(line, kUnknownHeight, 6, 1);
    out.write(line + "\n");

    line = mDateDigits == 7 ? "@  DATE" : "@DATE";
    const DssatValues firstDay(mScan.first);
    for (const auto& [name, value] : firstDay.columns())
        if (written(name, mScan))
            line += "  " + std::string(name);
    out.write(line + "\n");

    while (const auto day = days.next()) {
        char date[16];
        if (mDateDigits == 7)
            std::snprintf(date, sizeof date, "%04d%03d", day->year, day->doy);
        else
            std::snprintf(date, sizeof date, "%02d%03d", day->year % 100, day->doy);
        line = date;
        const DssatValues values(*day);
        for (const auto& [name, value] : values.columns())
            if (written(name, mScan))
                appendFixed(line, *value, 6, 1);
        line += '\n';
        out.write(line);
    }
}

} // namespace pluvora

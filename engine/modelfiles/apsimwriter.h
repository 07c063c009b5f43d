#pragma once

#include "engine/modelfiles/dayscan.h"
#include "engine/modelfiles/modelsite.h"

namespace pluvora {

class TextWriter;

// APSIM's .met: the section line, latitude, longitude, tav and amp, the
// names and units rows, then one blank-separated row per day.
class ApsimWriter {
public:
    ApsimWriter(const ModelSite& site, const DayScan& scan);
    void write(DayLogReader& days, TextWriter& out);

private:
    const ModelSite& mSite;
    const DayScan& mScan;
};

} // namespace pluvora

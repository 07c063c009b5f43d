#pragma once

#include "engine/modelfiles/dayscan.h"
#include "engine/modelfiles/modelsite.h"

#include <string>

namespace pluvora {

class TextWriter;

// DSSAT's .WTH: title, station line with TAV and AMP, then a value per
// 6-character span under each name of the daily header, read by name.
class DssatWriter {
public:
    // `dateDigits` 5 (YYDDD, every reader) or 7 (YYYYDDD, 4.7.5 on).
    DssatWriter(const ModelSite& site, const DayScan& scan, int dateDigits, std::string title);
    void write(DayLogReader& days, TextWriter& out);

private:
    const ModelSite& mSite;
    const DayScan& mScan;
    int mDateDigits;
    std::string mTitle;
};

} // namespace pluvora

#pragma once

#include "engine/modelfiles/dayscan.h"
#include "engine/modelfiles/modelsite.h"

#include <string>

namespace pluvora {

class TextWriter;

// AquaCrop's climate files: .Tnx (Tmin and Tmax), .PLU (rain) and .ETo
// (grass reference ET), each with a header that gives the first day and
// then a value line per day without a date, and the .CLI that names them.
class AquaCropWriter {
public:
    enum class Part { Tnx, Plu, Eto };

    AquaCropWriter(const ModelSite& site, const DayScan& scan);
    void write(Part part, DayLogReader& days, TextWriter& out);
    // The .CLI naming the three files of `stem` and AquaCrop's own CO2 file.
    void writeClimate(const std::string& stem, TextWriter& out);

private:
    const ModelSite& mSite;
    const DayScan& mScan;
};

} // namespace pluvora

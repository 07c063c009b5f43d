#include "engine/modelfiles/aquacropwriter.h"

#include "engine/io/textwriter.h"
#include "engine/modelfiles/modeltext.h"
#include "engine/modelfiles/modelvalues.h"

#include <cstdio>

namespace pluvora {

namespace {

// The CO2 file every AquaCrop installation carries.
constexpr const char* kCo2File = "MaunaLoa.CO2";
constexpr const char* kVersionLine = " 7.3  : AquaCrop Version (January 2026)\n";

} // namespace

AquaCropWriter::AquaCropWriter(const ModelSite& site, const DayScan& scan) : mSite(site), mScan(scan) {}

void AquaCropWriter::write(Part part, DayLogReader& days, TextWriter& out)
{
    char head[512];
    std::snprintf(head, sizeof head,
                  "%s\n"
                  "     1  : Daily records (1=daily, 2=10-daily and 3=monthly data)\n"
                  "%6d  : First day of record (1, 11 or 21 for 10-day or 1 for months)\n"
                  "%6d  : First month of record\n"
                  "%6d  : First year of record (1901 if not linked to a specific year)\n"
                  "\n",
                  mSite.name.c_str(), mScan.first.day, mScan.first.month, mScan.first.year);
    out.write(head);
    switch (part) {
    case Part::Tnx: out.write("  Tmin (C)   TMax (C)\n========================\n"); break;
    case Part::Plu: out.write("  Total Rain (mm)\n=======================\n"); break;
    case Part::Eto: out.write("  Average ETo (mm/day)\n=======================\n"); break;
    }
    std::string line;
    while (const auto day = days.next()) {
        line.clear();
        switch (part) {
        case Part::Tnx:
            appendFixed(line, *day->tmin, 0, 1);
            line += '\t';
            appendFixed(line, *day->tmax, 0, 1);
            break;
        case Part::Plu: appendFixed(line, *day->precip, 0, 1); break;
        case Part::Eto: appendFixed(line, *grassReferenceET(*day, mSite), 0, 1); break;
        }
        line += '\n';
        out.write(line);
    }
}

void AquaCropWriter::writeClimate(const std::string& stem, TextWriter& out)
{
    out.write(mSite.name + "\n" + kVersionLine + stem + ".Tnx\n" + stem + ".ETo\n" + stem + ".PLU\n" + kCo2File
              + "\n");
}

} // namespace pluvora

#include "engine/modelfiles/aquacropwriter.h"

#include "engine/io/textwriter.h"
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
    char line[96];
    while (const auto day = days.next()) {
        switch (part) {
        case Part::Tnx: std::snprintf(line, sizeof line, "%.1f\t%.1f\n", *day->tmin, *day->tmax); break;
        case Part::Plu: std::snprintf(line, sizeof line, "%.1f\n", *day->precip); break;
        case Part::Eto: std::snprintf(line, sizeof line, "%.1f\n", *grassReferenceET(*day, mSite)); break;
        }
        out.write(line);
    }
}

void AquaCropWriter::writeClimate(const std::string& stem, TextWriter& out)
{
    out.write(mSite.name + "\n" + kVersionLine + stem + ".Tnx\n" + stem + ".ETo\n" + stem + ".PLU\n" + kCo2File
              + "\n");
}

} // namespace pluvora

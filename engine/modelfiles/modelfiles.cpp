#include "engine/modelfiles/modelfiles.h"

#include "engine/io/backupreplace.h"
#include "engine/io/textwriter.h"
#include "engine/modelfiles/apsimwriter.h"
#include "engine/modelfiles/cabowriter.h"
#include "engine/modelfiles/dayscan.h"
#include "engine/modelfiles/dssatwriter.h"
#include "engine/modelfiles/pcsecsvwriter.h"

namespace pluvora {

namespace fs = std::filesystem;

namespace {

void writeOne(const DayScan& scan, const fs::path& daysFile, const ModelSite& site,
              const ModelFileSettings& settings, TextWriter& out)
{
    DayLogReader days(daysFile);
    switch (settings.format) {
    case ModelFormat::Dssat:
        DssatWriter(site, scan, settings.dssatDateDigits, settings.source).write(days, out);
        break;
    case ModelFormat::Apsim:
        ApsimWriter(site, scan).write(days, out);
        break;
    case ModelFormat::PcseCsv:
        PcseCsvWriter(site, settings.source).write(days, out);
        break;
    case ModelFormat::Wth:
    case ModelFormat::Cabo:
        break;
    }
}

} // namespace

ModelFilesWritten writeModelFiles(const fs::path& daysFile, const ModelSite& site, const ModelFileSettings& settings,
                                  const fs::path& target)
{
    const DayScan scan = scanDays(daysFile, settings.format);
    ModelFilesWritten written;
    written.notices = scan.notices;
    if (settings.format != ModelFormat::Cabo) {
        writeFileWhole(target, [&](const fs::path& part) {
            TextWriter out(part);
            writeOne(scan, daysFile, site, settings, out);
            out.close();
        });
        written.files.push_back(target);
        return written;
    }
    DayLogReader days(daysFile);
    CaboWriter cabo(site, settings.source, days);
    const std::string stem = target.stem().string();
    while (const auto year = cabo.nextYear()) {
        const fs::path file = target.parent_path() / CaboWriter::fileName(stem, *year);
        writeFileWhole(file, [&](const fs::path& part) {
            TextWriter out(part);
            cabo.writeYear(out);
            out.close();
        });
        written.files.push_back(file);
    }
    return written;
}

ModelFilesWritten writeModelFile(const fs::path& daysFile, const ModelSite& site, const ModelFileSettings& settings,
                                 TextWriter& out)
{
    const DayScan scan = scanDays(daysFile, settings.format);
    writeOne(scan, daysFile, site, settings, out);
    return {{}, scan.notices};
}

} // namespace pluvora

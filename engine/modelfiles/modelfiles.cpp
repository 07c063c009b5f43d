#include "engine/modelfiles/modelfiles.h"

#include "engine/io/backupreplace.h"
#include "engine/io/textwriter.h"
#include "engine/modelfiles/apsimwriter.h"
#include "engine/modelfiles/aquacropwriter.h"
#include "engine/modelfiles/cabowriter.h"
#include "engine/modelfiles/dayscan.h"
#include "engine/modelfiles/dssatwriter.h"
#include "engine/modelfiles/pcsecsvwriter.h"
#include "engine/modelfiles/sticswriter.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <utility>

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
    case ModelFormat::Stics:
        SticsWriter(site).write(days, out);
        break;
    case ModelFormat::Wth:
    case ModelFormat::Cabo:
    case ModelFormat::AquaCrop:
        break;
    }
}

// The stem the files of a many-file format are named after: the target's
// name without the format's own extension (a CABO year, AquaCrop's .CLI).
std::string stemOf(const fs::path& target, ModelFormat format)
{
    const std::string name = target.filename().string();
    const std::string extension = target.extension().string();
    auto upper = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    };
    const bool year = extension.size() == 4
        && std::all_of(extension.begin() + 1, extension.end(), [](char c) { return c >= '0' && c <= '9'; });
    if ((format == ModelFormat::Cabo && year) || (format == ModelFormat::AquaCrop && upper(extension) == ".CLI"))
        return name.substr(0, name.size() - extension.size());
    return name;
}

void writeWhole(const fs::path& file, const std::function<void(TextWriter&)>& fill, ModelFilesWritten& written)
{
    writeFileWhole(file, [&](const fs::path& part) {
        TextWriter out(part);
        fill(out);
        out.close();
    });
    written.files.push_back(file);
}

} // namespace

ModelFilesWritten writeModelFiles(const fs::path& daysFile, const ModelSite& site, const ModelFileSettings& settings,
                                  const fs::path& target)
{
    const DayScan scan = scanDays(daysFile, settings.format, site);
    ModelFilesWritten written;
    written.notices = scan.notices;
    const std::string stem = stemOf(target, settings.format);
    const fs::path folder = target.parent_path();
    if (settings.format == ModelFormat::Cabo) {
        DayLogReader days(daysFile);
        CaboWriter cabo(site, settings.source, days);
        while (const auto year = cabo.nextYear())
            writeWhole(folder / CaboWriter::fileName(stem, *year), [&](TextWriter& out) { cabo.writeYear(out); },
                       written);
        return written;
    }
    if (settings.format == ModelFormat::AquaCrop) {
        AquaCropWriter aquaCrop(site, scan);
        using Part = AquaCropWriter::Part;
        for (const auto& [part, extension] : {std::pair{Part::Tnx, ".Tnx"}, std::pair{Part::Eto, ".ETo"},
                                              std::pair{Part::Plu, ".PLU"}}) {
            writeWhole(folder / (stem + extension), [&](TextWriter& out) {
                DayLogReader days(daysFile);
                aquaCrop.write(part, days, out);
            }, written);
        }
        // Named last, once the files it names are there.
        writeWhole(folder / (stem + ".CLI"), [&](TextWriter& out) { aquaCrop.writeClimate(stem, out); }, written);
        return written;
    }
    writeWhole(target, [&](TextWriter& out) { writeOne(scan, daysFile, site, settings, out); }, written);
    return written;
}

ModelFilesWritten writeModelFile(const fs::path& daysFile, const ModelSite& site, const ModelFileSettings& settings,
                                 TextWriter& out)
{
    const DayScan scan = scanDays(daysFile, settings.format, site);
    writeOne(scan, daysFile, site, settings, out);
    return {{}, scan.notices};
}

} // namespace pluvora

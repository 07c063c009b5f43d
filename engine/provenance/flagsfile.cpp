#include "engine/provenance/flagsfile.h"

#include "engine/io/backupreplace.h"

namespace pluvora {

namespace {

char markCode(RunProvenance::Mark mark)
{
    switch (mark) {
    case RunProvenance::Mark::Measured: return 'M';
    case RunProvenance::Mark::Substituted: return 'S';
    case RunProvenance::Mark::Estimated: return 'E';
    case RunProvenance::Mark::Missing: return 'X';
    }
    return 'X';
}

} // namespace

std::string seriesTitle(const RunProvenance::Series& series)
{
    return series.estimated ? series.name + " (estimated)" : series.name;
}

std::string flagsFileText(const RunProvenance& provenance)
{
    const auto& series = provenance.series();
    std::string text = "Date";
    for (const auto& s : series)
        text += "," + seriesTitle(s);
    text += "\r\n";
    for (std::size_t day = 0; day < provenance.days().size(); ++day) {
        text += RunProvenance::isoDate(provenance.days()[day]);
        for (std::size_t s = 0; s < series.size(); ++s) {
            text += ',';
            text += markCode(provenance.mark(s, day));
            if (provenance.flagged(s, day))
                text += 'F';
        }
        text += "\r\n";
    }
    return text;
}

void writeFlagsFile(const std::filesystem::path& target, const RunProvenance& provenance)
{
    const std::string text = flagsFileText(provenance);
    writeAtomically(target, text);
}

} // namespace pluvora

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
    case RunProvenance::Mark::Interpolated: return 'I';
    case RunProvenance::Mark::FromReference: return 'R';
    }
    return 'X';
}

} // namespace

std::string seriesTitle(const RunProvenance::Series& series)
{
    return series.estimated ? series.name + " (estimated)" : series.name;
}

namespace {

// Hands the file over a row at a time, so a long run's file is never held
// whole.
template <typename Put>
void putFlagsRows(const RunProvenance& provenance, Put&& put)
{
    const auto& series = provenance.series();
    std::string row = "Date";
    for (const auto& s : series)
        row += "," + seriesTitle(s);
    row += "\r\n";
    put(row);
    for (std::size_t day = 0; day < provenance.dayCount(); ++day) {
        const auto held = provenance.day(day);
        row = RunProvenance::isoDate(held);
        for (std::size_t s = 0; s < series.size(); ++s) {
            row += ',';
            row += markCode(provenance.mark(s, held, provenance.value(s, day)));
            if ((held.flagged >> s) & 1u)
                row += 'F';
        }
        row += "\r\n";
        put(row);
    }
}

} // namespace

std::string flagsFileText(const RunProvenance& provenance)
{
    std::string text;
    putFlagsRows(provenance, [&](std::string_view row) { text += row; });
    return text;
}

void writeFlagsFile(const std::filesystem::path& target, const RunProvenance& provenance)
{
    auto& ops = systemFileOperations();
    writeFileWhole(
        target,
        [&](const std::filesystem::path& file) {
            ops.writeWith(file, [&](const PutText& put) { putFlagsRows(provenance, put); });
        },
        TemporaryName::Unique, ops);
}

} // namespace pluvora

#include "engine/stage/recordreader.h"

#include "engine/io/textwriter.h"
#include "engine/columns/variablecatalogue.h"
#include "engine/io/numbertext.h"
#include "engine/provenance/flagreasons.h"
#include "engine/provenance/runprovenance.h"
#include "engine/record/humidity.h"

#include <limits>
#include <optional>

namespace pluvora {

bool readRecord(TextReader& reader, RunContext& run)
{
    const auto first = reader.nextNumber();
    if (!first)
        return false;
    assignValue(run.record, run.columns, 1, *first);
    for (int column = 2; column <= run.columnCount; ++column)
        assignValue(run.record, run.columns, column, reader.readNumber());
    deriveHumidity(run.record, run.columns, run.columnCount);
    reader.skipLine();
    return true;
}

void noteStoppedRow(RunContext& run, std::size_t index, std::string_view row, std::uint32_t lacking)
{
    Record record;
    std::uint32_t lackingCodes = 0;
    std::size_t at = 0;
    for (int column = 1; column <= run.columnCount; ++column) {
        while (at < row.size() && static_cast<unsigned char>(row[at]) <= 32)
            ++at;
        const std::size_t start = at;
        while (at < row.size() && static_cast<unsigned char>(row[at]) > 32)
            ++at;
        const int code = run.columns.columnVariable[static_cast<std::size_t>(column)];
        const bool absent = start == at || ((lacking >> column) & 1u);
        const auto value = absent ? std::nullopt : parseDecimal(row.substr(start, at - start));
        if (value) {
            assignValue(record, run.columns, column, *value);
        } else if (isMeasured(code)) {
            assignValue(record, run.columns, column, std::numeric_limits<double>::quiet_NaN());
            lackingCodes |= 1u << code;
        } else if (absent && code > 0) {
            lackingCodes |= 1u << code;
        }
    }
    const int day = record.doy > 0 ? record.doy : dayOfYear(record.year, record.month, record.day).value_or(0);
    run.provenance->noteDay(index, record, record.year, day, lackingCodes ? kReasonMissingValues : "", lackingCodes);
}

void copyHeaderRows(TextReader& reader, TextWriter& writer, int count)
{
    std::string line;
    // A row count far past the end of the file must not pad the working
    // files with empty rows.
    for (int i = 0; i < count && reader.readLine(line); ++i)
        writer.writeLine(line);
}

} // namespace pluvora

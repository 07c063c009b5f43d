#include "engine/stage/recordreader.h"

#include "engine/io/textwriter.h"
#include "engine/record/humidity.h"

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

void copyHeaderRows(TextReader& reader, TextWriter& writer, int count)
{
    std::string line;
    // A row count far past the end of the file must not pad the working
    // files with empty rows.
    for (int i = 0; i < count && reader.readLine(line); ++i)
        writer.writeLine(line);
}

} // namespace pluvora

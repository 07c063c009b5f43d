#include "record/recordreader.h"

#include "io/textwriter.h"

namespace pluvora {

bool readRecord(TextReader& reader, RunContext& run)
{
    const auto first = reader.nextNumber();
    if (!first)
        return false;
    assignValue(run.record, run.columns, 1, *first);
    for (int column = 2; column <= run.columnCount; ++column)
        assignValue(run.record, run.columns, column, reader.readNumber());
    reader.skipLine();
    return true;
}

void copyHeaderRows(TextReader& reader, TextWriter& writer, int count)
{
    std::string line;
    for (int i = 0; i < count; ++i) {
        if (!reader.readLine(line))
            line.clear();
        writer.writeLine(line);
    }
}

} // namespace pluvora

#pragma once

#include "engine/io/textreader.h"
#include "engine/stage/runcontext.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pluvora {

// Reads one record: a number per column 1 to columnCount, each filed by
// assignValue, a dew point or vapour pressure turned into RelHum, then the
// rest of the line is skipped. False when the file
// ends before the record starts. The end of the data is the end of the file:
// a record whose first number is 0 is read like any other.
bool readRecord(TextReader& reader, RunContext& run);

// A data row of a run that stopped on missing values, noted as the
// record `index` of run.provenance for the flags file and the report: the
// values of its blank-separated columns, none for a column it lacks or one
// of `lacking` (bit 1 << column), which are flagged.
void noteStoppedRow(RunContext& run, std::size_t index, std::string_view row, std::uint32_t lacking = 0);

// Copies `count` lines unchanged, or as many as the input has: the header
// rows every stage carries over.
class TextWriter;
void copyHeaderRows(TextReader& reader, TextWriter& writer, int count);

} // namespace pluvora

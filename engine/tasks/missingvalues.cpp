#include "engine/tasks/missingvalues.h"

#include "engine/error.h"
#include "engine/io/numbertext.h"
#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "engine/provenance/runprovenance.h"
#include "engine/stage/recordreader.h"
#include "engine/table/paneltext.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace pluvora {

namespace {

void skipLines(TextReader& reader, int count)
{
    for (int i = 0; i < count && !reader.atEnd(); ++i)
        reader.skipLine();
}

// The first token after the header rows that is no number, as the
// substitution reads them: tokens split at bytes up to 32, read in pieces
// of 64 bytes.
std::optional<InputPosition> firstBadNumber(const std::filesystem::path& path, int rowsBefore)
{
    constexpr std::size_t kPiece = 64;
    TextReader reader(path);
    std::string line;
    int lineNumber = 0;
    while (reader.readLine(line)) {
        if (++lineNumber <= rowsBefore)
            continue;
        int column = 0;
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && static_cast<unsigned char>(line[i]) <= 32)
                ++i;
            if (i == line.size())
                break;
            const std::size_t start = i;
            while (i < line.size() && static_cast<unsigned char>(line[i]) > 32)
                ++i;
            ++column;
            for (std::size_t piece = start; piece < i; piece += kPiece)
                if (!parseDecimal(std::string_view(line).substr(piece, std::min(kPiece, i - piece))))
                    return InputPosition{lineNumber, column};
        }
    }
    return std::nullopt;
}

// The days of a run the missing values stopped, for the flags file and the
// report.
void noteDaysOfStoppedRun(RunContext& run, const std::filesystem::path& inputPath)
{
    TextReader input(inputPath);
    skipLines(input, run.rowsBefore);
    std::string line;
    std::size_t index = 0;
    while (input.readLine(line))
        if (line.find_first_not_of(" \t\r\v\f") != std::string::npos)
            noteStoppedRow(run, index++, line);
}

} // namespace

bool roundsToSign(double value, int sign)
{
    // Most values are nowhere near the sign.
    if (!(std::fabs(value - sign) < 1.0))
        return false;
    // Beyond this the value cannot be a sign and the integer cast would overflow.
    if (!(std::fabs(value) < 1e15))
        return false;
    return roundHalfEven(value) == sign;
}

std::string substitutionText(double value)
{
    const double fraction = value - std::trunc(value);
    // Whole numbers keep no point; formatFixed also copes with values far
    // beyond the integer range.
    return formatFixed(value, std::fabs(fraction) < 0.0001 ? 0 : 3);
}

void valueSubstitution(RunContext& run, int sign, std::string_view substitute)
{
    const auto inputPath = run.file(workfile::kInput);
    const auto outputPath = run.file(workfile::kOutput);
    run.substitutedColumns.clear();
    try {
        TextReader input(inputPath);
        TextWriter output(outputPath);
        copyHeaderRows(input, output, run.rowsBefore);
        std::size_t record = 0;
        while (auto first = input.nextNumber()) {
            double value = *first;
            int column = 1;
            for (;;) {
                if (roundsToSign(value, sign)) {
                    output.write(substitute);
                    auto& held = run.substitutedColumns;
                    if (held.empty() || held.back().first != record)
                        held.emplace_back(record, 0u);
                    if (column < 32)
                        held.back().second |= 1u << column;
                    if (run.provenance)
                        run.provenance->noteSubstituted(record, column);
                } else
                    output.write(substitutionText(value));
                output.write('\t');
                if (input.seekLineEnd())
                    break;
                value = input.readNumber();
                ++column;
            }
            input.skipLine();
            output.writeLine();
            ++record;
        }
        output.close();
    } catch (const Error& error) {
        if (std::string_view(error.what()) == kInvalidNumericInput)
            run.badInput = firstBadNumber(inputPath, run.rowsBefore);
        throw;
    }
    run.folder.remove(workfile::kInput);
    replaceFile(outputPath, inputPath);
}

void checkForMissingValues(RunContext& run)
{
    const auto inputPath = run.file(workfile::kInput);
    const auto outPath = run.file(workfile::kOut);
    const auto reportPath = run.file(workfile::kReport);
    bool found = false;
    try {
        {
            TextReader input(inputPath);
            TextWriter marked(outPath);
            skipLines(input, run.rowsBefore);
            std::string line;
            while (input.readLine(line)) {
                marked.write(line);
                marked.write('\t');
                marked.writeLine(std::to_string(static_cast<int>(kRowEndMarker)));
            }
            marked.close();
        }
        {
            TextReader input(inputPath);
            TextReader marked(outPath);
            TextWriter report(reportPath);
            report.writeLine(kMissingValuesReportHeading);
            report.writeLine();
            skipLines(input, run.rowsBefore);
            std::string line;
            std::size_t record = 0;
            try {
                while (input.readLine(line)) {
                    const std::size_t thisRecord = record;
                    if (run.provenance && line.find_first_not_of(" \t\r\v\f") != std::string::npos)
                        ++record;
                    int count = 1;
                    double value = marked.readNumber();
                    while (value != kRowEndMarker && count < run.columnCount) {
                        value = marked.readNumber();
                        ++count;
                    }
                    marked.skipLine();
                    if (value == kRowEndMarker && count >= 2) {
                        report.writeLine(line);
                        found = true;
                        if (run.provenance)
                            run.provenance->noteMissingRow(thisRecord, line);
                    }
                }
            } catch (const Error&) {
                // A token that is not a number: the data checkup reports it
                // with its own message; rows found so far still count.
            }
            report.close();
        }
        if (found) {
            if (run.provenance)
                noteDaysOfStoppedRun(run, inputPath);
            run.stop();
            run.outputPanel = loadPanelText(reportPath);
            reportError(run.ui, kMissingValuesFound);
            run.folder.remove(workfile::kInput);
        }
    } catch (...) {
        run.folder.remove(workfile::kOut);
        run.folder.remove(workfile::kReport);
        throw;
    }
    run.folder.remove(workfile::kOut);
    run.folder.remove(workfile::kReport);
}

} // namespace pluvora

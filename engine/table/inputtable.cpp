#include "engine/table/inputtable.h"

#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "engine/stage/recordreader.h"
#include "engine/table/fieldreading.h"

#include <optional>

namespace pluvora {

namespace {

bool isValueCharacter(unsigned char c)
{
    return (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ' ' || c == '\t';
}

bool isContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// Bytes of the character that starts at `i`. A byte that does not begin a
// complete UTF-8 sequence is a character of its own, so a stray byte can
// never be swallowed and join the numbers on either side of it.
std::size_t characterLength(std::string_view line, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(line[i]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (i + length > line.size())
        return 1;
    for (std::size_t k = 1; k < length; ++k)
        if (!isContinuationByte(static_cast<unsigned char>(line[i + k])))
            return 1;
    return length;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// At `at`, the exponent of a number that ends `cleaned` (1.04E+01): the
// number is rewritten there as its plain decimal and the end of its text in
// `line` is returned; 0 for any other letter, which is cleaned as always.
std::size_t plainExponent(std::string_view line, std::size_t at, std::string& cleaned)
{
    if (at + 2 >= line.size() || (line[at + 1] != '+' && line[at + 1] != '-') || !isDigit(line[at + 2])
        || !isDigit(cleaned.back()))
        return 0;
    std::size_t end = at + 2;
    while (end < line.size() && isDigit(line[end]))
        ++end;
    if (end < line.size() && (isValueCharacter(static_cast<unsigned char>(line[end])) && line[end] != ' ' && line[end] != '\t'))
        return 0;
    std::size_t start = cleaned.size();
    while (start > 0 && (isDigit(cleaned[start - 1]) || cleaned[start - 1] == '.'))
        --start;
    if (start > 0 && cleaned[start - 1] == '-')
        --start;
    if (start > 0 && cleaned[start - 1] != ' ' && cleaned[start - 1] != '\t')
        return 0;
    const std::string text = cleaned.substr(start) + std::string(line.substr(at, end - at));
    char plain[kLongestPlainNumber];
    const char* const plainEnd = plainFromExponent(text, '.', true, plain);
    if (!plainEnd)
        return 0;
    cleaned.resize(start);
    cleaned.append(plain, static_cast<std::size_t>(plainEnd - plain));
    return end;
}

} // namespace

int theLastColumn(const std::array<int, kColumnBoxes>& variableIndex)
{
    for (int column = kColumnBoxes; column >= 1; --column)
        if (variableIndex[static_cast<std::size_t>(column - 1)] > 0)
            return column;
    return 0;
}

std::size_t characterCount(std::string_view line)
{
    // An ASCII line, the common case, has a character per byte.
    bool ascii = true;
    for (char c : line)
        ascii &= static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        return line.size();
    std::size_t count = 0;
    for (std::size_t i = 0; i < line.size(); i += characterLength(line, i))
        ++count;
    return count;
}

void removeEndNotes(RunContext& run)
{
    const auto input = run.file(workfile::kInput);
    const auto temp = run.folder.path() / workfile::kTemp;
    {
        TextReader reader(input);
        TextWriter writer(temp);
        copyHeaderRows(reader, writer, run.rowsBefore);
        std::string line;
        int lineNumber = run.rowsBefore;
        bool ended = false;
        while (reader.readLine(line)) {
            ++lineNumber;
            if (characterCount(line) >= kShortestDataRow) {
                writer.writeLine(line);
                continue;
            }
            ended = true;
            break;
        }
        writer.close();
        if (ended) {
            const int endLine = lineNumber;
            int rowsAfter = 0;
            while (reader.readLine(line))
                rowsAfter += isDataRowLength(line);
            if (rowsAfter > 0)
                run.ui.notice(dataEndedNotice(endLine, rowsAfter));
        }
    }
    run.folder.remove(workfile::kInput);
    replaceFile(temp, run.folder.path() / workfile::kInput);
}

std::string dataEndedNotice(int endLine, int rowsAfter)
{
    return "The data end at input line " + std::to_string(endLine) +
           ", a line shorter than five characters: " + std::to_string(rowsAfter) +
           (rowsAfter == 1 ? " line below it is" : " lines below it are") + " not read.";
}

void checkData(RunContext& run)
{
    bool needsCleaning = false;
    {
        TextReader reader(run.file(workfile::kInput));
        std::string line;
        for (int i = 0; i < run.rowsBefore && reader.readLine(line); ++i) {
        }
        while (reader.readLine(line)) {
            for (char c : line) {
                if (!isValueCharacter(static_cast<unsigned char>(c))) {
                    needsCleaning = true;
                    break;
                }
            }
            if (needsCleaning)
                break;
        }
    }
    if (needsCleaning)
        CleanData(run);
}

void CleanData(RunContext& run)
{
    const auto output = run.folder.path() / workfile::kOutput;
    {
        TextReader reader(run.file(workfile::kInput));
        run.folder.remove(workfile::kOutput);
        TextWriter writer(output);
        copyHeaderRows(reader, writer, run.rowsBefore);
        // In a run the run owns the gauge; on its own the pass shows it.
        std::optional<GaugeShown> gauge;
        if (run.cleanFromMenu)
            gauge.emplace(run.ui);
        run.ui.progressPass(kCleaningPass);
        std::string line;
        std::string cleaned;
        while (reader.readLine(line)) {
            cleaned.clear();
            for (std::size_t i = 0; i < line.size(); i += characterLength(line, i)) {
                const auto c = static_cast<unsigned char>(line[i]);
                if ((c == 'e' || c == 'E') && !cleaned.empty())
                    if (const std::size_t end = plainExponent(line, i, cleaned)) {
                        i = end - 1;
                        continue;
                    }
                cleaned += isValueCharacter(c) ? static_cast<char>(c) : ' ';
            }
            cleaned += ' '; // the line's CR
            writer.writeLine(cleaned);
            stepGauge(run.ui);
        }
        writer.close();
    }
    run.folder.remove(workfile::kInput);
    replaceFile(output, run.folder.path() / workfile::kInput);
}

} // namespace pluvora

// The text readers every stage reads its working file with: a script of
// reads (first bytes) over a file (the rest), and whole records under a
// fuzzed column layout.
#include "fuzzsupport.h"

#include "engine/appfolder/appfolder.h"
#include "engine/io/textreader.h"
#include "engine/stage/recordreader.h"
#include "engine/stage/runcontext.h"

#include <string>

using namespace pluvora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ByteSource bytes(data, size);
    std::uint8_t script[16];
    const std::size_t scriptLength = bytes.next() % 16 + 1;
    for (std::size_t i = 0; i < scriptLength; ++i)
        script[i] = bytes.next();
    ColumnSpec columns;
    const int columnCount = bytes.next() % kColumnBoxes + 1;
    for (int column = 1; column <= kColumnBoxes; ++column)
        columns.columnVariable[static_cast<std::size_t>(column)] = bytes.next() % (kVariableCount + 1) - 1;

    const auto file = fuzz::scratch().write("reader.~", bytes.rest());
    static const AppFolder folder(fuzz::scratch().path());
    fuzz::SilentFeedback feedback(0);
    RunContext run(folder, feedback);
    run.columnCount = columnCount;
    run.columns = columns;

    TextReader reader(file);
    std::string line;
    // Every operation consumes at least one byte or ends at the end of the
    // file, so a bounded number of rounds reads any input through.
    for (std::size_t step = 0; step < bytes.rest().size() + 64; ++step) {
        try {
            switch (script[step % scriptLength] % 11) {
            case 0: reader.readNumber(); break;
            case 1: reader.nextNumber(); break;
            case 2: reader.readInteger(); break;
            case 3: reader.nextInteger(); break;
            case 4: reader.seekLineEnd(); break;
            case 5: reader.skipLine(); break;
            case 6: reader.readLine(line); break;
            case 7: reader.peek(); break;
            case 8: reader.get(); break;
            case 9: readRecord(reader, run); break;
            default: reader.atEnd(); break;
            }
        } catch (const Error&) {
            // A refused token is the reader's answer, not a finding.
        }
        if (reader.atEnd())
            break;
    }
    return 0;
}

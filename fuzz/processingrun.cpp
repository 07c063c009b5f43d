// The whole "Step 4: Process" run: fuzzed settings (first bytes) over a
// fuzzed input panel (the rest), in an application folder of its own.
// Every task index the task list offers is reached, so a new task is fuzzed
// as soon as it has a stage.
#include "fuzzsupport.h"

#include "engine/appfolder/appfolder.h"
#include "engine/columns/variablecatalogue.h"
#include "engine/run/processingrun.h"
#include "engine/stage/taskcatalogue.h"

#include <string>

using namespace pluvora;

namespace {

const char* const kRowTexts[] = {"", "-1", "x", "+3", " 2", "1e1", "2147483648", "-2147483648"};
const char* const kLatitudes[] = {"40.5", "-66", "66", "70", "abc", "", "1e3", "-0", ".5", "+-5", "0", "-33.9"};
const char* const kElevations[] = {"350", "0", "-10", "9000", "x", "", "1e308"};
const char* const kFetches[] = {"10", "100", "0", "-5", "x", "", "1000"};
const char* const kSigns[] = {"-99", "-999", "0", "99", "-1", "x", "", "99999999999"};
const char* const kSubstitutes[] = {"0.01", "0", "-99", "abc", "", "1e3", "-", "12.5"};
const char* const kBogusUnits[] = {"", "K", "oc", "W/m2 "};

std::string unitFor(int code, std::uint8_t choice)
{
    if (code < 0 || code >= kVariableCount)
        return {};
    const auto units = variableInfo(code).units;
    if (choice < 0xF0 && !units.empty())
        return std::string(units[choice % units.size()]);
    return kBogusUnits[choice % std::size(kBogusUnits)];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ByteSource bytes(data, size);
    RunRequest request;
    request.taskIndex = bytes.next() % (static_cast<int>(std::size(kTasks)) + 1) - 1;
    request.fileName = "input.txt";
    const std::uint8_t rows = bytes.next();
    request.rowsBeforeText = rows < 0xC0 ? std::to_string(rows % 48) : bytes.pick(kRowTexts);
    for (std::size_t column = 0; column < kColumnBoxes; ++column) {
        const int code = bytes.next() % (kVariableCount + 1) - 1;
        request.layout.setColumn(static_cast<int>(column) + 1, code,
                                 unitIndex(code, unitFor(code, bytes.next())));
    }
    const std::uint8_t flags = bytes.next();
    request.rearrange = flags & 1u;
    request.substitutionEnabled = flags & 2u;
    if (!(flags & 4u))
        request.fileName.clear();
    request.signText = bytes.pick(kSigns);
    request.substituteText = bytes.pick(kSubstitutes);
    request.pages.latitudeTask4 = bytes.pick(kLatitudes);
    request.pages.regionTask4 = bytes.next() % 3;
    request.pages.latitudeTask5 = bytes.pick(kLatitudes);
    request.pages.climateZoneTask5 = bytes.next() % 3;
    request.pages.panChoiceTask6 = bytes.next() % 5;
    request.pages.fetchTask6 = bytes.pick(kFetches);
    request.pages.latitudeTask7 = bytes.pick(kLatitudes);
    request.pages.elevationTask7 = bytes.pick(kElevations);
    fuzz::SilentFeedback feedback(bytes.next());
    request.inputText = bytes.rest();

    static const AppFolder folder(fuzz::scratch().path());
    folder.deleteFiles();
    try {
        runProcessing(request, folder, feedback);
    } catch (const Error&) {
        // The command ends with its message; the window stays usable.
    }
    return 0;
}

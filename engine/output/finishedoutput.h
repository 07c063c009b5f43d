#pragma once

#include "engine/io/textwriter.h"
#include "engine/run/processingrun.h"
#include "engine/tasks/datacheckup.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pluvora {

// The finishing touches of a completed run's output, one step for the
// window and the batch program: the header rows past the first go (when
// there are 2 or more), and `inserted` (the site or latitude line) becomes
// the second line.
struct OutputFinish {
    int rowsBefore = 0;
    std::optional<std::string> inserted;
};

// The finish `outcome` asks for. `siteLine` answers the site question where
// the caller has it already (the batch program's --site); the window asks
// afterwards and inserts the answer itself.
OutputFinish outputFinishFor(const RunOutcome& outcome, const std::optional<std::string>& siteLine);

// On the output panel's text.
void finishPanelText(std::string& text, const OutputFinish& finish);

// Streamed from a run's result file, never held whole: the lines
// finishPanelText gives for the file's text, each ended by CR LF as a
// saved output panel holds them.
void writeFinishedOutput(const std::filesystem::path& result, TextWriter& sink, const OutputFinish& finish);

// The checkup's report file as writePanelText writes the text
// loadCheckupReport gives for it (cut at `limit` the same way), streamed:
// the same bytes, never held whole.
void writeCheckupReport(const std::filesystem::path& report, TextWriter& sink,
                        std::size_t limit = kLargestCheckupReport);

// Panel text with every line ended by CR LF, as a saved file holds it.
void writePanelText(TextWriter& sink, std::string_view panel);

} // namespace pluvora

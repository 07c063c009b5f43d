#include "engine/output/finishedoutput.h"

#include "engine/io/textreader.h"
#include "engine/table/paneltext.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

namespace pluvora {

namespace fs = std::filesystem;

OutputFinish outputFinishFor(const RunOutcome& outcome, const std::optional<std::string>& siteLine)
{
    OutputFinish finish;
    switch (outcome.finishing) {
    case Finishing::None:
        break;
    case Finishing::SiteCoordinate:
        finish.rowsBefore = outcome.rowsBefore;
        finish.inserted = siteLine;
        break;
    case Finishing::LatitudeLine:
        finish.rowsBefore = outcome.rowsBefore;
        finish.inserted = outcome.latitudeLine;
        break;
    case Finishing::UpdateWeatherFile:
        finish.rowsBefore = outcome.rowsBefore;
        break;
    }
    return finish;
}

void finishPanelText(std::string& text, const OutputFinish& finish)
{
    removeExtraRows(text, finish.rowsBefore);
    if (finish.inserted)
        insertLine(text, 1, *finish.inserted);
}

void writePanelText(TextWriter& sink, std::string_view panel)
{
    std::size_t start = 0;
    while (start < panel.size()) {
        std::size_t end = panel.find('\n', start);
        if (end == std::string_view::npos)
            end = panel.size();
        sink.writeLine(panel.substr(start, end - start));
        start = end + 1;
    }
}

void writeFinishedOutput(const fs::path& result, TextWriter& sink, const OutputFinish& finish)
{
    const int rowsBefore = finish.rowsBefore;
    const std::optional<std::string>& inserted = finish.inserted;
    TextReader reader(result);
    std::string line;
    std::size_t index = 0;
    bool heldEmpty = false; // an empty last line is no line of the panel
    auto emit = [&](std::string_view text) {
        if (heldEmpty)
            sink.writeLine();
        heldEmpty = false;
        if (text.empty()) {
            heldEmpty = true;
            return;
        }
        sink.writeLine(text);
    };
    auto take = [&](std::string_view text) {
        const std::size_t at = index++;
        if (at >= 1 && rowsBefore >= 2 && at < static_cast<std::size_t>(rowsBefore))
            return;
        emit(text);
        if (at == 0 && inserted) {
            emit(*inserted);
        }
    };
    bool any = false;
    // Past the rows finishing touches, a weather file's rows (those of the
    // conversion, behind a site or latitude line) are copied as they are.
    const std::size_t headRows = static_cast<std::size_t>(std::max(rowsBefore, 1));
    while ((!inserted || index <= headRows) && reader.readLine(line)) {
        any = true;
        // A lone CR ends a line of the panel too.
        std::string_view rest = line;
        for (auto cr = rest.find('\r'); cr != std::string_view::npos; cr = rest.find('\r')) {
            take(rest.substr(0, cr));
            rest.remove_prefix(cr + 1);
        }
        take(rest);
    }
    if (!any && inserted)
        sink.writeLine(*inserted);
    if (inserted && index > headRows) {
        const std::string_view held = reader.takeBuffered();
        const long long rest = reader.restOffset();
        std::error_code ec;
        const auto size = fs::file_size(result, ec);
        if (heldEmpty && (!held.empty() || ec || size > static_cast<std::uintmax_t>(rest)))
            sink.writeLine();
        sink.write(held);
        sink.copyFrom(reader.descriptor(), rest);
    }
}

void writeCheckupReport(const fs::path& report, TextWriter& sink, std::size_t limit)
{
    std::error_code ec;
    const auto size = fs::file_size(report, ec);
    if (ec || size <= limit) {
        writeFinishedOutput(report, sink, OutputFinish{});
        return;
    }
    // The whole lines of the first `limit` bytes with their CRs dropped,
    // then the note that the list goes on.
    std::ifstream in(report, std::ios::binary);
    std::vector<char> block(std::size_t{1} << 18);
    std::string line;
    std::size_t left = limit;
    while (left > 0) {
        in.read(block.data(), static_cast<std::streamsize>(std::min(block.size(), left)));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0)
            break;
        left -= got;
        const char* p = block.data();
        const char* const end = p + got;
        while (p != end) {
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            const char* const stop = lf ? lf : end;
            for (const char* c = p; c != stop; ++c)
                if (*c != '\r')
                    line += *c;
            if (!lf)
                break;
            sink.writeLine(line);
            line.clear();
            p = lf + 1;
        }
    }
    sink.writeLine(kCheckupReportCut);
}

} // namespace pluvora

#include "engine/table/layoutpasses.h"

#include "engine/error.h"
#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "engine/stage/recordreader.h"
#include "engine/stage/runcontext.h"
#include "engine/table/inputtable.h"
#include "engine/table/numbertokens.h"
#include "engine/table/paneltext.h"

#include <functional>

namespace pluvora {

namespace {

// Saves the panel as "Input.~", lets `row` rewrite each data row into
// "Output.~" and hands back the result as panel text.
std::string rewriteRows(const AppFolder& folder, UserFeedback& ui, std::string_view panel,
                        int rowsBefore,
                        const std::function<void(std::string_view, TextWriter&)>& row)
{
    const auto input = folder.path() / workfile::kInput;
    const auto output = folder.path() / workfile::kOutput;
    folder.remove(workfile::kInput);
    folder.remove(workfile::kOutput);
    savePanelText(input, panel);
    {
        TextReader reader(input);
        TextWriter writer(output);
        copyHeaderRows(reader, writer, rowsBefore);
        GaugeShown gauge(ui);
        std::string line;
        while (reader.readLine(line))
            row(line, writer);
        writer.close();
    }
    return loadPanelText(output);
}

} // namespace

std::string cleanInputData(const AppFolder& folder, UserFeedback& ui, std::string_view panel,
                           int rowsBefore)
{
    folder.remove(workfile::kInput);
    folder.remove(workfile::kOutput);
    savePanelText(folder.path() / workfile::kInput, panel);
    RunContext run(folder, ui);
    run.rowsBefore = rowsBefore;
    run.cleanFromMenu = true;
    CleanData(run);
    // The pass leaves its result as "Input.~", where a run reads it next.
    std::string text = loadPanelText(folder.file(workfile::kInput));
    folder.remove(workfile::kInput);
    folder.remove(workfile::kOutput);
    return text;
}

std::string alignData(const AppFolder& folder, UserFeedback& ui, std::string_view panel,
                      int rowsBefore)
{
    std::string text = rewriteRows(folder, ui, panel, rowsBefore,
                                   [&ui](std::string_view line, TextWriter& writer) {
                                       NumberTokenizer tokens(line);
                                       while (auto token = tokens.next()) {
                                           writer.write(*token);
                                           writer.write('\t');
                                           ui.gaugeDisplay();
                                       }
                                       writer.writeLine();
                                   });
    folder.remove(workfile::kInput);
    return text;
}

std::string removeColumns(const AppFolder& folder, UserFeedback& ui, std::string_view panel,
                          int rowsBefore, const ColumnRemoveFlags& remove)
{
    return rewriteRows(folder, ui, panel, rowsBefore,
                       [&ui, &remove](std::string_view line, TextWriter& writer) {
                           NumberTokenizer tokens(line);
                           std::size_t number = 0;
                           while (auto token = tokens.next()) {
                               if (number < remove.size() && remove[number]) {
                                   ++number;
                                   continue;
                               }
                               ++number;
                               writer.write(*token);
                               writer.write('\t');
                           }
                           writer.writeLine();
                           ui.gaugeDisplay();
                       });
}

bool cleanExplanationWanted(const AppFolder& folder)
{
    if (!folder.exists(workfile::kDontShowAgain))
        return true;
    try {
        TextReader reader(folder.file(workfile::kDontShowAgain));
        return reader.readInteger() != 0;
    } catch (const Error&) {
        // A flag file that is not ours: explaining once more does no harm.
        return true;
    }
}

void rememberCleanExplanation(const AppFolder& folder, bool showAgain)
{
    TextWriter writer(folder.file(workfile::kDontShowAgain));
    writer.writeLine(showAgain ? "1" : "0");
    writer.close();
}

} // namespace pluvora

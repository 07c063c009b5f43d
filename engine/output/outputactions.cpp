#include "engine/output/outputactions.h"

#include "engine/io/backupreplace.h"
#include "engine/table/paneltext.h"

namespace pluvora {

namespace fs = std::filesystem;

std::string getNameOnlyNoExt(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos)
        return {};
    return std::string(name.substr(0, dot));
}

fs::path withSaveExtension(const fs::path& chosen, int filterIndex)
{
    if (chosen.has_extension())
        return chosen;
    fs::path named = chosen;
    named += filterIndex == 0 ? ".wth" : ".txt";
    return named;
}

void saveOutputPanel(const fs::path& target, std::string_view panelText)
{
    std::string content;
    content.reserve(panelText.size() + panelText.size() / 16 + 2);
    std::size_t start = 0;
    while (start < panelText.size()) {
        std::size_t end = panelText.find('\n', start);
        if (end == std::string_view::npos)
            end = panelText.size();
        content.append(panelText, start, end - start);
        content += "\r\n";
        start = end + 1;
    }
    writeAtomically(target, content);
}

std::string nextSpreadsheetCopyName(const AppFolder& folder)
{
    for (int number = 1;; ++number) {
        std::string name = "~" + std::to_string(number) + ".xls";
        if (!folder.exists(name))
            return name;
    }
}

fs::path loadInSpreadsheet(std::string_view panelText, const AppFolder& folder, DocumentOpener& opener,
                           UserFeedback& ui)
{
    const fs::path copy = folder.file(nextSpreadsheetCopyName(folder));
    savePanelText(copy, panelText);
    if (opener.openDocument(copy))
        return copy;

    const fs::path fallback = folder.file(kSpreadsheetFallbackName);
    std::error_code ec;
    fs::rename(copy, fallback, ec);
    if (!ec && opener.openDocument(fallback))
        return fallback;

    reportError(ui, kNoSpreadsheetProgram);
    return {};
}

} // namespace pluvora

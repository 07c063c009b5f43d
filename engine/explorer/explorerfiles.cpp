#include "engine/explorer/explorerfiles.h"

#include "engine/appfolder/safefile.h"

#include <cctype>
#include <fstream>
#include <iterator>

namespace pluvora {

namespace fs = std::filesystem;

std::optional<std::vector<std::string>> readTextLines(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = next;
    }
    return lines;
}

std::string oneLine(std::string_view typed)
{
    return std::string(typed.substr(0, typed.find_first_of("\r\n")));
}

HomePage loadHomePageSite(const AppFolder& folder)
{
    if (!folder.exists(defaultfile::kHomepage))
        return HomePage{std::string(kDefaultHomeName), std::string(kDefaultHomeAddress)};
    const auto lines = readTextLines(folder.file(defaultfile::kHomepage));
    if (!lines)
        return HomePage{std::string(kDefaultHomeName), std::string(kDefaultHomeAddress)};
    HomePage page;
    if (!lines->empty())
        page.name = (*lines)[0];
    if (lines->size() > 1)
        page.address = (*lines)[1];
    return page;
}

void saveHomePage(const AppFolder& folder, const HomePage& page)
{
    writeLinesSafely(folder.file(defaultfile::kHomepage), {oneLine(page.name), oneLine(page.address)});
}

std::optional<std::array<HotLink, kHotLinkCount>> loadHotLinks(const AppFolder& folder)
{
    if (!folder.exists(defaultfile::kHotlinks))
        return std::nullopt;
    const auto lines = readTextLines(folder.file(defaultfile::kHotlinks));
    if (!lines)
        return std::nullopt;
    const auto line = [&lines](std::size_t index) {
        return index < lines->size() ? (*lines)[index] : std::string();
    };
    std::array<HotLink, kHotLinkCount> links;
    for (std::size_t k = 0; k < links.size(); ++k)
        links[k] = HotLink{line(3 * k), line(3 * k + 1), line(3 * k + 2)};
    return links;
}

std::string withSaveSuffix(std::string_view chosen, std::string_view suffix)
{
    const std::size_t nameStart = chosen.find_last_of("/\\");
    const std::string_view name =
        nameStart == std::string_view::npos ? chosen : chosen.substr(nameStart + 1);
    const std::size_t dot = name.rfind('.');
    std::string result(chosen);
    if (dot == std::string_view::npos || name.substr(dot) != suffix)
        result += suffix;
    return result;
}

std::string siteCodeOf(std::string_view address)
{
    const std::size_t dot = address.find('.');
    // Without a dot the code is taken from the start of the address.
    const std::string_view after = dot == std::string_view::npos ? address : address.substr(dot + 1);
    std::string code(after.substr(0, 5));
    for (char& c : code)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return code;
}

bool isKnownDataSource(std::string_view address) { return siteCodeOf(address) == kKnownSiteCode; }

} // namespace pluvora

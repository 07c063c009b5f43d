#include "appfolder/appfolder.h"

#include <algorithm>
#include <cctype>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

bool sameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x))
                   == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

AppFolder::AppFolder(fs::path directory)
    : mPath(std::move(directory))
{
}

std::string AppFolder::pathText() const
{
    std::string text = mPath.string();
    if (text.empty() || text.back() != fs::path::preferred_separator)
        text += fs::path::preferred_separator;
    return text;
}

fs::path AppFolder::file(std::string_view name) const
{
    fs::path exact = mPath / name;
    std::error_code ec;
    if (fs::exists(exact, ec))
        return exact;
    for (fs::directory_iterator it(mPath, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (sameNameIgnoringCase(candidate, name))
            return it->path();
    }
    return exact;
}

bool AppFolder::exists(std::string_view name) const
{
    std::error_code ec;
    return fs::exists(file(name), ec);
}

bool AppFolder::remove(std::string_view name) const
{
    std::error_code ec;
    fs::remove(file(name), ec);
    return !fs::exists(file(name), ec);
}

} // namespace pluvora

#include "engine/appfolder/recentfiles.h"

#include "engine/appfolder/rememberedfolders.h"
#include "engine/appfolder/safefile.h"

#include <algorithm>
#include <fstream>

namespace pluvora {

namespace fs = std::filesystem;

RecentFiles RecentFiles::load(const AppFolder& folder)
{
    RecentFiles recent;
    std::ifstream in(folder.file(kFileName), std::ios::binary);
    std::string line;
    while (recent.mPaths.size() < kKept && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && std::find(recent.mPaths.begin(), recent.mPaths.end(), line) == recent.mPaths.end())
            recent.mPaths.push_back(line);
    }
    return recent;
}

void RecentFiles::opened(const std::string& path)
{
    forget(path);
    mPaths.insert(mPaths.begin(), path);
    if (mPaths.size() > kKept)
        mPaths.resize(kKept);
}

void RecentFiles::forget(const std::string& path) { std::erase(mPaths, path); }

void RecentFiles::save(const AppFolder& folder) const { writeLinesSafely(folder.file(kFileName), mPaths); }

std::string RecentFiles::startFolder(const std::string& home) const
{
    for (const std::string& path : mPaths) {
        std::error_code ec;
        const fs::path parent = fs::path(path).parent_path();
        if (!parent.empty() && fs::is_directory(parent, ec))
            return folderOf(path);
    }
    return home;
}

} // namespace pluvora

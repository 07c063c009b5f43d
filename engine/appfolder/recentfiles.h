#pragma once

#include "engine/appfolder/appfolder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pluvora {

// The input files opened last, newest first, kept in the application
// folder across sessions for File > Open recent.
class RecentFiles {
public:
    static constexpr std::string_view kFileName = "Recent.pvd";
    static constexpr std::size_t kKept = 10;

    // The list as last saved; empty when there is none or it cannot be
    // read (a list is a convenience, never a reason to stop).
    static RecentFiles load(const AppFolder& folder);

    const std::vector<std::string>& paths() const { return mPaths; }
    // Puts `path` first, once, and keeps the newest kKept.
    void opened(const std::string& path);
    void forget(const std::string& path);
    void clear() { mPaths.clear(); }
    // Written whole or not at all; throws Error when it cannot be.
    void save(const AppFolder& folder) const;

    // Where a file dialog starts when no default folder is set: the folder
    // of the newest file that still has one, else `home`.
    std::string startFolder(const std::string& home) const;

private:
    std::vector<std::string> mPaths;
};

} // namespace pluvora

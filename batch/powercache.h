#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace pluvora {

// Replies of NASA POWER kept per user, so the same request asked again
// (another model run, a rerun of a script) needs no network and does not
// count against the service's limits.
class PowerCache {
public:
    // $XDG_CACHE_HOME/pluvora/power, or ~/.cache/pluvora/power; nothing
    // when neither variable names a folder.
    static std::optional<PowerCache> forUser();
    explicit PowerCache(std::filesystem::path folder) : mFolder(std::move(folder)) {}

    // The file of the reply to `url`: named by a hash of the whole URL, so
    // any change of site, dates, parameters or server is another file.
    std::filesystem::path fileFor(const std::string& url) const;
    std::optional<std::string> find(const std::string& url) const;
    // Keeps `reply` whole or not at all; throws Error on failure.
    void keep(const std::string& url, const std::string& reply) const;

private:
    std::filesystem::path mFolder;
};

} // namespace pluvora

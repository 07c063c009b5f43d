#include "batch/powercache.h"

#include "batch/sha256.h"
#include "engine/error.h"
#include "engine/io/backupreplace.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

namespace pluvora {

std::optional<PowerCache> PowerCache::forUser()
{
    // The base directory rules ignore a relative XDG_CACHE_HOME.
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && std::filesystem::path(xdg).is_absolute())
        return PowerCache(std::filesystem::path(xdg) / "pluvora" / "power");
    const char* home = std::getenv("HOME");
    if (home && *home)
        return PowerCache(std::filesystem::path(home) / ".cache" / "pluvora" / "power");
    return std::nullopt;
}

std::filesystem::path PowerCache::fileFor(const std::string& url) const
{
    return mFolder / (sha256Hex(url) + ".csv");
}

std::optional<std::string> PowerCache::find(const std::string& url) const
{
    std::ifstream in(fileFor(url), std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string reply{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return std::nullopt;
    return reply;
}

void PowerCache::keep(const std::string& url, const std::string& reply) const
{
    std::error_code error;
    std::filesystem::create_directories(mFolder, error);
    if (error)
        throw Error("could not make the folder " + mFolder.string() + ": " + error.message());
    writeAtomically(fileFor(url), reply);
}

} // namespace pluvora

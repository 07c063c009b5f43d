#include "io/safewrite.h"

#include "error.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace pluvora {

namespace fs = std::filesystem;

void writeFileSafely(const fs::path& target, const std::function<void(const fs::path&)>& write)
{
    fs::path part = target;
    part += ".new";
    try {
        write(part);
        std::error_code ec;
        fs::rename(part, target, ec);
        if (ec)
            throw Error("Cannot write file \"" + target.string() + "\": " + ec.message());
    } catch (...) {
        std::error_code ignored;
        fs::remove(part, ignored);
        throw;
    }
}

} // namespace pluvora

namespace pluvora {

void writeUserFileSafely(const fs::path& target, const std::function<void(const fs::path&)>& write)
{
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw Error("Cannot write file \"" + target.string() + "\": " + std::strerror(errno));
    ::close(fd);
    const fs::path part = pattern;
    try {
        write(part);
        std::error_code ec;
        fs::rename(part, target, ec);
        if (ec)
            throw Error("Cannot write file \"" + target.string() + "\": " + ec.message());
    } catch (...) {
        std::error_code ignored;
        fs::remove(part, ignored);
        throw;
    }
}

} // namespace pluvora

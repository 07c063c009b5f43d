#include "io/safewrite.h"

#include "error.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

// Writes `part` whole and renames it over `target`; on any failure the part
// goes and the target is as it was.
void writeAndRename(const fs::path& part, const fs::path& target,
                    const std::function<void(const fs::path&)>& write)
{
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

} // namespace

void writeFileSafely(const fs::path& target, const std::function<void(const fs::path&)>& write)
{
    fs::path part = target;
    part += ".new";
    writeAndRename(part, target, write);
}

void writeUserFileSafely(const fs::path& target, const std::function<void(const fs::path&)>& write)
{
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw Error("Cannot write file \"" + target.string() + "\": " + std::strerror(errno));
    ::close(fd);
    writeAndRename(pattern, target, write);
}

} // namespace pluvora

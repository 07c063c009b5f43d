#include "io/safewrite.h"

#include "error.h"

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

#include "appfolder/safefile.h"

#include "error.h"
#include "io/textwriter.h"

namespace pluvora {

namespace fs = std::filesystem;

void writeLinesSafely(const fs::path& target, const std::vector<std::string>& lines)
{
    fs::path part = target;
    part += ".new";
    try {
        TextWriter writer(part);
        for (const std::string& line : lines)
            writer.writeLine(line);
        writer.close();
        std::error_code ec;
        fs::rename(part, target, ec);
        if (ec)
            throw Error("Cannot write file \"" + target.string() + "\": " + ec.message());
    } catch (...) {
        std::error_code ec;
        fs::remove(part, ec);
        throw;
    }
}

} // namespace pluvora

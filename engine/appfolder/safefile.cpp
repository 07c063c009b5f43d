#include "engine/appfolder/safefile.h"

#include "engine/io/backupreplace.h"
#include "engine/io/textwriter.h"

namespace pluvora {

namespace fs = std::filesystem;

void writeLinesSafely(const fs::path& target, const std::vector<std::string>& lines)
{
    writeFileWhole(
        target,
        [&lines](const fs::path& part) {
            TextWriter writer(part);
            for (const std::string& line : lines)
                writer.writeLine(line);
            writer.close();
        },
        TemporaryName::Fixed);
}

} // namespace pluvora

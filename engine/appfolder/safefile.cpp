#include "appfolder/safefile.h"

#include "io/backupreplace.h"
#include "io/textwriter.h"

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

#include "engine/table/recordline.h"

#include "engine/io/textreader.h"

#include <algorithm>
#include <string>

namespace pluvora {

std::optional<int> lineOfRecord(const std::filesystem::path& path, int rowsBefore, long index)
{
    TextReader reader(path);
    std::string line;
    int lineNumber = 0;
    long records = 0;
    while (reader.readLine(line)) {
        if (++lineNumber <= rowsBefore)
            continue;
        const bool holdsToken = std::any_of(line.begin(), line.end(),
                                            [](char c) { return static_cast<unsigned char>(c) > 32; });
        if (holdsToken && records++ == index)
            return lineNumber;
    }
    return std::nullopt;
}

} // namespace pluvora

#include "batch/inputlist.h"

#include "engine/error.h"

#include <algorithm>
#include <system_error>

#include <fnmatch.h>

namespace pluvora {

namespace fs = std::filesystem;

std::vector<fs::path> expandInputs(const std::vector<std::string>& inputs, std::string_view glob)
{
    const std::string pattern(glob);
    std::vector<fs::path> files;
    for (const std::string& input : inputs) {
        std::error_code ec;
        const fs::file_status status = fs::status(input, ec);
        if (ec || !fs::exists(status))
            throw Error("No such input: \"" + input + "\"");
        if (!fs::is_directory(status)) {
            files.emplace_back(input);
            continue;
        }
        std::vector<fs::path> inFolder;
        for (fs::directory_iterator it(input, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code typeError;
            if (!it->is_regular_file(typeError))
                continue;
            const std::string name = it->path().filename().string();
            if (::fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) == 0)
                inFolder.push_back(it->path());
        }
        if (ec)
            throw Error("Cannot read the folder \"" + input + "\"");
        std::sort(inFolder.begin(), inFolder.end());
        files.insert(files.end(), inFolder.begin(), inFolder.end());
    }
    return files;
}

std::vector<fs::path> shardOf(const std::vector<fs::path>& files, int index, int count)
{
    std::vector<fs::path> shard;
    for (std::size_t i = static_cast<std::size_t>(index); i < files.size(); i += static_cast<std::size_t>(count))
        shard.push_back(files[i]);
    return shard;
}

} // namespace pluvora

#include "engine/run/usertermsmessage.h"

#include <vector>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

fs::path folderOf(const fs::path& file)
{
    const fs::path parent = file.lexically_normal().parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

bool sameFolder(const fs::path& a, const fs::path& b)
{
    auto normal = [](const fs::path& p) {
        fs::path n = p.lexically_normal();
        return n.has_filename() ? n : n.parent_path();
    };
    return !a.empty() && !b.empty() && normal(a) == normal(b);
}

void replaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

std::string inUserTerms(std::string_view message, const fs::path& workingFolder, const fs::path& userFile)
{
    const std::string working = workingFolder.empty()
        ? std::string()
        : "a file in the working folder \"" + workingFolder.lexically_normal().string() + "\"";
    std::string out;
    std::size_t pos = 0;
    while (pos < message.size()) {
        const std::size_t open = message.find('"', pos);
        const std::size_t close = open == std::string_view::npos ? open : message.find('"', open + 1);
        if (close == std::string_view::npos) {
            out.append(message.substr(pos));
            break;
        }
        out.append(message.substr(pos, open - pos));
        const std::string quoted(message.substr(open + 1, close - open - 1));
        const fs::path named = quoted;
        const std::string userName = userFile.filename().string();
        if (sameFolder(folderOf(named), workingFolder)) {
            out += working;
        } else if (!userFile.empty() && named != userFile && sameFolder(folderOf(named), folderOf(userFile))
                   && !userName.empty() && named.filename().string().find(userName) != std::string::npos) {
            out += '"' + userFile.string() + '"';
        } else {
            out.append(message.substr(open, close - open + 1));
        }
        pos = close + 1;
    }
    if (!working.empty()) {
        // "Cannot rename a ... to a ...": one folder, said once.
        replaceAll(out, "file " + working, working);
        replaceAll(out, working + " to " + working, working);
    }
    return out;
}

} // namespace pluvora

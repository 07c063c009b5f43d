#include "tempfolder.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace pluvora::test {

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = fs::temp_directory_path() / ("pluvora-test-" + std::to_string(rd()));
        if (fs::create_directory(candidate)) {
            mPath = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    fs::remove_all(mPath, ec);
}

fs::path TempFolder::write(std::string_view name, std::string_view content) const
{
    auto p = mPath / name;
    writeFile(p, content);
    return p;
}

std::string TempFolder::read(std::string_view name) const { return readFile(mPath / name); }

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& path, std::string_view content)
{
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

} // namespace pluvora::test

#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pluvora::test {

// A fresh folder under the system temp folder, removed with its contents.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return mPath; }
    std::filesystem::path write(std::string_view name, std::string_view content) const;
    std::string read(std::string_view name) const;

private:
    std::filesystem::path mPath;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view content);

} // namespace pluvora::test

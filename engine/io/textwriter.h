#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace pluvora {

// Writes a text file with CR LF line ends through a large buffer. close()
// reports write failures (a full disk) by throwing Error.
class TextWriter {
public:
    explicit TextWriter(const std::filesystem::path& path);
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    void write(std::string_view text);
    void write(char c);
    void writeLine(std::string_view text = {});
    void close();

private:
    std::FILE* mFile = nullptr;
    std::filesystem::path mPath;
};

// Deletes `target` if present and moves `source` to its name.
void replaceFile(const std::filesystem::path& source, const std::filesystem::path& target);

} // namespace pluvora

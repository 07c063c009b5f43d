#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace pluvora {

// Writes a text file with CR LF line ends through a large buffer of its own.
// close() reports write failures (a full disk) by throwing Error; after the
// first failure nothing more is written.
class TextWriter {
public:
    explicit TextWriter(const std::filesystem::path& path);
    // Writes to an open stream (standard output), named `name` in the
    // failure message; close() flushes it and leaves it open.
    TextWriter(std::FILE* stream, std::string name);
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    void write(std::string_view text);
    void write(char c)
    {
        if (mUsed == kCapacity)
            flush();
        mBuffer[mUsed++] = c;
    }
    void writeLine(std::string_view text = {});
    // Appends the bytes of descriptor `fd` from `offset` to its end, copied
    // by the kernel where it can (no pass through this process's memory).
    void copyFrom(int fd, long long offset);
    void close();

    // Room for `size` bytes (at most kCapacity) to fill in place; commit()
    // then takes the bytes up to the returned pointer's new end. Lets a pass
    // format straight into the buffer.
    static constexpr std::size_t kCapacity = 1 << 18;
    char* reserve(std::size_t size)
    {
        if (kCapacity - mUsed < size)
            flush();
        return mBuffer.get() + mUsed;
    }
    void commit(const char* end) { mUsed = static_cast<std::size_t>(end - mBuffer.get()); }

private:
    void flush();

    std::FILE* mFile = nullptr;
    std::filesystem::path mPath;
    std::string mStreamName;
    int mErrno = 0;
    std::unique_ptr<char[]> mBuffer;
    std::size_t mUsed = 0;
    bool mFailed = false;
};

// Deletes `target` if present and moves `source` to its name.
void replaceFile(const std::filesystem::path& source, const std::filesystem::path& target);

} // namespace pluvora

#pragma once

#include "engine/error.h"
#include "engine/ui/userfeedback.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

namespace pluvora::fuzz {

// One folder per fuzzing process, removed when the process ends normally.
class ScratchDirectory {
public:
    ScratchDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pluvora-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        mPath = pattern;
    }
    ~ScratchDirectory()
    {
        std::error_code ec;
        std::filesystem::remove_all(mPath, ec);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return mPath; }

    std::filesystem::path write(std::string_view name, std::string_view bytes) const
    {
        const auto file = mPath / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

private:
    std::filesystem::path mPath;
};

inline const ScratchDirectory& scratch()
{
    static const ScratchDirectory directory;
    return directory;
}

// Reads settings bytes off the front of an input; past its end every
// byte is 0, so a short input still makes a whole setting.
class ByteSource {
public:
    ByteSource(const std::uint8_t* data, std::size_t size) : mData(data), mSize(size) {}

    std::uint8_t next() { return mPos < mSize ? mData[mPos++] : 0; }
    template <typename T, std::size_t N>
    const T& pick(const T (&choices)[N])
    {
        return choices[next() % N];
    }
    std::string_view rest() const
    {
        const std::size_t from = mPos < mSize ? mPos : mSize;
        return {reinterpret_cast<const char*>(mData) + from, mSize - from};
    }

private:
    const std::uint8_t* mData;
    std::size_t mSize;
    std::size_t mPos = 0;
};

// Answers questions from a fuzzed bit mask and ignores everything else.
class SilentFeedback : public UserFeedback {
public:
    explicit SilentFeedback(std::uint8_t answers) : mAnswers(answers) {}
    void showMessage(MessageKind, std::string_view) override {}
    bool askYesNo(std::string_view) override
    {
        const bool yes = (mAnswers >> (mAsked++ % 8)) & 1u;
        return yes;
    }
    void playSound(Sound) override {}
    void setProgressVisible(bool) override {}
    void gaugeDisplay() override {}

private:
    std::uint8_t mAnswers;
    unsigned mAsked = 0;
};

} // namespace pluvora::fuzz

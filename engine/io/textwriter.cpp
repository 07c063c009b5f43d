#include "io/textwriter.h"

#include "error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace pluvora {

TextWriter::TextWriter(const std::filesystem::path& path)
    : mPath(path), mBuffer(new char[kCapacity])
{
    mFile = std::fopen(path.c_str(), "wb");
    if (!mFile)
        throw Error("Cannot create file \"" + path.string() + "\": " + std::strerror(errno));
    // The buffer here is the only one: stdio passes large writes through.
    std::setvbuf(mFile, nullptr, _IONBF, 0);
}

TextWriter::~TextWriter()
{
    if (mFile) {
        flush();
        std::fclose(mFile);
    }
}

void TextWriter::flush()
{
    if (mUsed > 0 && !mFailed && std::fwrite(mBuffer.get(), 1, mUsed, mFile) != mUsed)
        mFailed = true;
    mUsed = 0;
}

void TextWriter::write(std::string_view text)
{
    while (!text.empty()) {
        if (mUsed == kCapacity)
            flush();
        const std::size_t n = std::min(text.size(), kCapacity - mUsed);
        std::memcpy(mBuffer.get() + mUsed, text.data(), n);
        mUsed += n;
        text.remove_prefix(n);
    }
}

void TextWriter::writeLine(std::string_view text)
{
    write(text);
    write("\r\n");
}

void TextWriter::close()
{
    if (!mFile)
        return;
    flush();
    const bool failed = mFailed || std::ferror(mFile) != 0;
    const bool closeFailed = std::fclose(mFile) != 0;
    mFile = nullptr;
    if (failed || closeFailed)
        throw Error("Cannot write file \"" + mPath.string() + "\"");
}

void replaceFile(const std::filesystem::path& source, const std::filesystem::path& target)
{
    std::error_code ec;
    std::filesystem::rename(source, target, ec);
    if (ec)
        throw Error("Cannot rename \"" + source.string() + "\" to \"" + target.string()
                    + "\": " + ec.message());
}

} // namespace pluvora

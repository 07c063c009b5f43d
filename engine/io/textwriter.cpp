#include "engine/io/textwriter.h"

#include "engine/error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

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

TextWriter::TextWriter(std::FILE* stream, std::string name)
    : mFile(stream), mStreamName(std::move(name)), mBuffer(new char[kCapacity])
{
}

TextWriter::~TextWriter()
{
    if (mFile) {
        flush();
        if (mStreamName.empty())
            std::fclose(mFile);
        else
            std::fflush(mFile);
    }
}

void TextWriter::flush()
{
    if (mUsed > 0 && !mFailed && std::fwrite(mBuffer.get(), 1, mUsed, mFile) != mUsed) {
        mFailed = true;
        mErrno = errno;
    }
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

void TextWriter::copyFrom(int fd, long long offset)
{
    flush();
    if (mFailed)
        return;
    if (std::fflush(mFile) != 0) {
        mFailed = true;
        mErrno = errno;
        return;
    }
    off_t at = static_cast<off_t>(offset);
    const int out = fileno(mFile);
    for (;;) {
        const ssize_t copied = ::copy_file_range(fd, &at, out, nullptr, std::size_t{1} << 30, 0);
        if (copied > 0)
            continue;
        if (copied == 0)
            return;
        if (errno == EINTR)
            continue;
        // A pipe, a terminal, an append-only stream or another file system:
        // the bytes come through the buffer instead.
        if (errno == EINVAL || errno == EXDEV || errno == EBADF || errno == ENOSYS || errno == EOPNOTSUPP
            || errno == ETXTBSY)
            break;
        mFailed = true;
        mErrno = errno;
        return;
    }
    for (;;) {
        const ssize_t got = ::pread(fd, mBuffer.get(), kCapacity, at);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw Error("Read error");
        }
        if (got == 0)
            return;
        at += got;
        mUsed = static_cast<std::size_t>(got);
        flush();
        if (mFailed)
            return;
    }
}

void TextWriter::close()
{
    if (!mFile)
        return;
    flush();
    if (!mFailed && std::fflush(mFile) != 0) {
        mFailed = true;
        mErrno = errno;
    }
    const bool failed = mFailed || std::ferror(mFile) != 0;
    // A stream handed in stays open for whoever writes to it next; the
    // flush above has already shown whether its data got through.
    const bool closeFailed = mStreamName.empty() && std::fclose(mFile) != 0;
    if (closeFailed && mErrno == 0)
        mErrno = errno;
    mFile = nullptr;
    if (!(failed || closeFailed))
        return;
    if (mStreamName.empty())
        throw Error("Cannot write file \"" + mPath.string() + "\""
                    + (mErrno ? std::string(": ") + std::strerror(mErrno) : ""));
    throw Error("Cannot write to " + mStreamName + (mErrno ? std::string(": ") + std::strerror(mErrno) : ""));
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

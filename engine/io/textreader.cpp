#include "engine/io/textreader.h"

#include "engine/error.h"
#include "engine/io/numbertext.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pluvora {

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
constexpr std::size_t kNumberTokenLimit = 64;
constexpr std::size_t kIntegerTokenLimit = 32;

bool isSeparator(int c) { return c >= 0 && c <= 32; }
} // namespace

TextReader::TextReader(const std::filesystem::path& path)
    : mBuffer(new char[kBufferSize])
{
    mFile = std::fopen(path.c_str(), "rb");
    if (!mFile)
        throw Error("Cannot open file \"" + path.string() + "\": " + std::strerror(errno));
}

TextReader::~TextReader()
{
    if (mFile)
        std::fclose(mFile);
}

bool TextReader::fill()
{
    if (mPos < mLen)
        return true;
    if (mEof)
        return false;
    mLen = std::fread(mBuffer.get(), 1, kBufferSize, mFile);
    mPos = 0;
    if (mLen == 0) {
        if (std::ferror(mFile))
            throw Error("Read error");
        mEof = true;
        return false;
    }
    return true;
}

int TextReader::peek()
{
    if (!fill())
        return -1;
    return static_cast<unsigned char>(mBuffer[mPos]);
}

int TextReader::get()
{
    if (!fill())
        return -1;
    return static_cast<unsigned char>(mBuffer[mPos++]);
}

std::size_t TextReader::read(char* destination, std::size_t size)
{
    // A large read with nothing buffered goes straight to the destination:
    // the whole file once copied the less. A buffer's worth at most, as
    // from the buffer, so that a caller's larger block is not all touched.
    if (mPos >= mLen && size >= kBufferSize) {
        if (mEof)
            return 0;
        const std::size_t got = std::fread(destination, 1, kBufferSize, mFile);
        if (got == 0) {
            if (std::ferror(mFile))
                throw Error("Read error");
            mEof = true;
        }
        return got;
    }
    if (!fill())
        return 0;
    const std::size_t n = std::min(size, mLen - mPos);
    std::memcpy(destination, mBuffer.get() + mPos, n);
    mPos += n;
    return n;
}

std::string_view TextReader::takeBuffered()
{
    const std::string_view held(mBuffer.get() + mPos, mLen - mPos);
    mPos = mLen;
    return held;
}

int TextReader::descriptor() const { return fileno(mFile); }

long long TextReader::restOffset() const
{
    // stdio's own read-ahead is counted by ftello, not by the descriptor.
    const off_t at = ftello(mFile);
    if (at < 0)
        throw Error("Read error");
    return at;
}

bool TextReader::atEnd() { return peek() < 0; }

std::string_view TextReader::readToken(std::size_t limit)
{
    int c = peek();
    while (isSeparator(c)) {
        ++mPos;
        c = peek();
    }
    std::size_t length = 0;
    for (;;) {
        // Straight from the buffer while it lasts; peek refills it.
        while (mPos < mLen && length < limit) {
            const auto b = static_cast<unsigned char>(mBuffer[mPos]);
            if (b <= 32)
                return {mToken, length};
            mToken[length++] = static_cast<char>(b);
            ++mPos;
        }
        if (length >= limit || peek() < 0)
            return {mToken, length};
    }
}

std::optional<double> TextReader::nextNumber()
{
    const std::string_view token = readToken(kNumberTokenLimit);
    if (token.empty())
        return std::nullopt;
    auto value = parseDecimal(token);
    if (!value)
        throw Error(kInvalidNumericInput);
    return value;
}

double TextReader::readNumber() { return nextNumber().value_or(0.0); }

std::optional<int> TextReader::nextInteger()
{
    const std::string_view token = readToken(kIntegerTokenLimit);
    if (token.empty())
        return std::nullopt;
    auto value = parseInteger(token);
    if (!value)
        throw Error(kInvalidNumericInput);
    return value;
}

int TextReader::readInteger() { return nextInteger().value_or(0); }

bool TextReader::seekLineEnd()
{
    for (;;) {
        const int c = peek();
        if (c < 0 || c == '\r' || c == '\n')
            return true;
        if (!isSeparator(c))
            return false;
        ++mPos;
    }
}

void TextReader::skipLine()
{
    for (;;) {
        if (!fill())
            return;
        const char* start = mBuffer.get() + mPos;
        const void* lf = std::memchr(start, '\n', mLen - mPos);
        if (lf) {
            mPos += static_cast<std::size_t>(static_cast<const char*>(lf) - start) + 1;
            return;
        }
        mPos = mLen;
    }
}

bool TextReader::readLine(std::string& line)
{
    line.clear();
    if (!fill())
        return false;
    for (;;) {
        if (!fill())
            break;
        const char* start = mBuffer.get() + mPos;
        const void* lf = std::memchr(start, '\n', mLen - mPos);
        if (lf) {
            const auto n = static_cast<std::size_t>(static_cast<const char*>(lf) - start);
            line.append(start, n);
            mPos += n + 1;
            break;
        }
        line.append(start, mLen - mPos);
        mPos = mLen;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

} // namespace pluvora

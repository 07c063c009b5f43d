#include "io/textwriter.h"

#include "error.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace pluvora {

TextWriter::TextWriter(const std::filesystem::path& path)
    : mPath(path)
{
    mFile = std::fopen(path.c_str(), "wb");
    if (!mFile)
        throw Error("Cannot create file \"" + path.string() + "\": " + std::strerror(errno));
    std::setvbuf(mFile, nullptr, _IOFBF, 1 << 16);
}

TextWriter::~TextWriter()
{
    if (mFile)
        std::fclose(mFile);
}

void TextWriter::write(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), mFile);
}

void TextWriter::write(char c) { std::fputc(c, mFile); }

void TextWriter::writeLine(std::string_view text)
{
    write(text);
    write("\r\n");
}

void TextWriter::close()
{
    if (!mFile)
        return;
    const bool failed = std::ferror(mFile) != 0;
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

#include "engine/table/paneltext.h"

#include "engine/error.h"
#include "engine/io/textwriter.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <cstring>

namespace pluvora {

namespace {

constexpr std::size_t kReadChunk = 1 << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle openForReading(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw Error("Cannot open file \"" + path.string() + "\": it is a folder");
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw Error("Cannot open file \"" + path.string() + "\": " + std::strerror(errno));
    return file;
}

std::size_t readChunk(std::FILE* file, char* buffer, std::size_t size, const std::filesystem::path& path)
{
    const std::size_t got = std::fread(buffer, 1, size, file);
    if (got == 0 && std::ferror(file))
        throw Error("Cannot read file \"" + path.string() + "\"");
    return got;
}

// The whole file, read in chunks so that a stream without a size (a pipe)
// never grows past `limit` bytes, nor past the first NUL byte when
// `textOnly`.
std::string readWholeFile(const std::filesystem::path& path, std::size_t limit = std::string::npos,
                          bool textOnly = false)
{
    FileHandle file = openForReading(path);
    std::string bytes;
    std::error_code ec;
    // A regular file is taken in one read of its size and a byte more (to
    // see it did not grow), so a small file costs no chunk-sized fill.
    std::size_t step = kReadChunk;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && std::filesystem::is_regular_file(path, ec)) {
        if (size > limit)
            throw Error(kFileTooLarge);
        step = static_cast<std::size_t>(size) + 1;
    }
    for (;;) {
        const std::size_t start = bytes.size();
        bytes.resize(start + step);
        const std::size_t got = readChunk(file.get(), bytes.data() + start, step, path);
        bytes.resize(start + got);
        if (textOnly && std::memchr(bytes.data() + start, '\0', got))
            throw Error(kNotATextFile);
        if (bytes.size() > limit)
            throw Error(kFileTooLarge);
        if (got < step) {
            if (std::ferror(file.get()))
                throw Error("Cannot read file \"" + path.string() + "\"");
            break;
        }
        step = kReadChunk;
    }
    return bytes;
}

bool isValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        // Weather files are mostly ASCII: eight bytes a step while no high
        // bit is set.
        if (i + 8 <= s.size()) {
            std::uint64_t word;
            std::memcpy(&word, s.data() + i, 8);
            if ((word & 0x8080808080808080u) == 0) {
                i += 8;
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra;
        std::uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000)
            || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += extra + 1;
    }
    return true;
}

std::string latin1ToUtf8(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// CR LF and lone CR become LF; the break after the last line goes, as a
// text panel shows no empty line after it. Works in place, so that loading a
// large output holds one copy of it, not two.
std::string toPanelLines(std::string bytes)
{
    // Nothing moves before the first CR, and most files have none.
    const std::size_t firstCr = bytes.find('\r');
    std::size_t out = firstCr == std::string::npos ? bytes.size() : firstCr;
    for (std::size_t i = out; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            bytes[out++] = '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            bytes[out++] = c;
        }
    }
    bytes.resize(out);
    if (!bytes.empty() && bytes.back() == '\n')
        bytes.pop_back();
    return bytes;
}

} // namespace

std::string loadTextFile(const std::filesystem::path& path)
{
    std::string bytes = readWholeFile(path, kLargestTextFile, true);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    if (isValidUtf8(bytes))
        return toPanelLines(std::move(bytes));
    return toPanelLines(latin1ToUtf8(bytes));
}

std::string loadPanelText(const std::filesystem::path& path)
{
    return toPanelLines(readWholeFile(path));
}

namespace {

// Length of the valid UTF-8 at the start of `s`, as isValidUtf8 judges it.
// `incomplete` tells a sequence cut off by the end of `s` (it may go on in
// the next chunk) from an invalid one.
std::size_t validUtf8Prefix(std::string_view s, bool& incomplete)
{
    incomplete = false;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 0;
        if (extra == 0)
            return i;
        if (i + extra >= s.size()) {
            // Judge what there is; the rest decides in the next chunk.
            for (std::size_t k = i + 1; k < s.size(); ++k)
                if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80)
                    return i;
            incomplete = true;
            return i;
        }
        if (!isValidUtf8(s.substr(i, extra + 1)))
            return i;
        i += extra + 1;
    }
    return i;
}

// Writes text as savePanelText writes the panel text loadTextFile makes of
// it: every CR LF, lone CR and LF ends a line written with CR LF. The
// panel drops the break after the last line, and an empty last line is
// never written, so up to two empty lines at the end are held back.
class PanelLineWriter {
public:
    explicit PanelLineWriter(TextWriter& writer) : mWriter(writer) {}

    void setWriter(TextWriter& writer) { mWriter = writer; }

    void write(const char* p, std::size_t n, bool latin1)
    {
        if (latin1) {
            writeBytes(p, n, true);
            return;
        }
        // Whole lines at a time where a line ends in a plain LF or CR LF.
        const char* const end = p + n;
        while (p != end) {
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            const char* textEnd = lf && lf > p && lf[-1] == '\r' ? lf - 1 : lf;
            if (!lf || mAfterCr || std::memchr(p, '\r', static_cast<std::size_t>(textEnd - p))) {
                const char* stop = lf ? lf + 1 : end;
                writeBytes(p, static_cast<std::size_t>(stop - p), false);
                p = stop;
                continue;
            }
            if (textEnd != p) {
                startText();
                mWriter.get().write(std::string_view(p, static_cast<std::size_t>(textEnd - p)));
            }
            writeBytes(lf, 1, false); // the break, as a lone LF
            p = lf + 1;
        }
    }

    void finish()
    {
        if (!mLineEmpty)
            mWriter.get().write("\r\n");
        else
            ++mHeldEmpty;
        for (; mHeldEmpty > 2; --mHeldEmpty)
            mWriter.get().write("\r\n");
    }

private:
    void startText()
    {
        if (mLineEmpty) {
            for (; mHeldEmpty > 0; --mHeldEmpty)
                mWriter.get().write("\r\n");
            mLineEmpty = false;
        }
    }

    void writeBytes(const char* p, std::size_t n, bool latin1)
    {
        for (std::size_t i = 0; i < n; ++i) {
            const char c = p[i];
            if (c == '\n' && mAfterCr) {
                mAfterCr = false;
                continue;
            }
            mAfterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                if (mLineEmpty)
                    ++mHeldEmpty;
                else
                    mWriter.get().write("\r\n");
                mLineEmpty = true;
                continue;
            }
            startText();
            const auto b = static_cast<unsigned char>(c);
            if (latin1 && b >= 0x80) {
                mWriter.get().write(static_cast<char>(0xC0 | (b >> 6)));
                mWriter.get().write(static_cast<char>(0x80 | (b & 0x3F)));
            } else {
                mWriter.get().write(c);
            }
        }
    }

    std::reference_wrapper<TextWriter> mWriter;
    bool mAfterCr = false;
    bool mLineEmpty = true;
    std::size_t mHeldEmpty = 0;
};


// What was written as UTF-8 turns out to be Latin-1: each byte from 0x80
// up becomes its two-byte form. Line breaks are untouched by that, so the
// file written so far can be converted as it is.
std::unique_ptr<TextWriter> rewriteAsLatin1(std::unique_ptr<TextWriter> writer, const std::filesystem::path& target)
{
    writer->close();
    writer.reset();
    std::filesystem::path utf8 = target;
    utf8 += ".utf8";
    std::filesystem::rename(target, utf8);
    auto converted = std::make_unique<TextWriter>(target);
    {
        FileHandle file = openForReading(utf8);
        const auto buffer = std::make_unique_for_overwrite<char[]>(kReadChunk);
        while (const std::size_t got = readChunk(file.get(), buffer.get(), kReadChunk, utf8))
            converted->write(latin1ToUtf8(std::string_view(buffer.get(), got)));
    }
    std::error_code ignored;
    std::filesystem::remove(utf8, ignored);
    return converted;
}

} // namespace

void saveTextFileAsPanelText(const std::filesystem::path& source, const std::filesystem::path& target,
                             std::size_t limit)
{
    FileHandle file = openForReading(source);
    std::size_t total = 0;
    auto writer = std::make_unique<TextWriter>(target);
    PanelLineWriter lines(*writer);
    const auto buffer = std::make_unique_for_overwrite<char[]>(kReadChunk);
    bool latin1 = false;
    bool start = true;
    std::size_t held = 0; // bytes of a UTF-8 sequence cut by the chunk's end
    for (;;) {
        const std::size_t got = readChunk(file.get(), buffer.get() + held, kReadChunk - held, source);
        total += got;
        if (total > limit)
            throw Error(kFileTooLarge);
        if (std::memchr(buffer.get() + held, '\0', got))
            throw Error(kNotATextFile);
        std::size_t size = held + got;
        std::size_t from = 0;
        if (start) {
            // The mark may come in pieces from a pipe.
            if (size < 3 && got > 0) {
                held = size;
                continue;
            }
            start = false;
            if (std::string_view(buffer.get(), size).starts_with("\xEF\xBB\xBF"))
                from = 3;
        }
        std::string_view chunk(buffer.get() + from, size - from);
        std::size_t take = chunk.size();
        if (!latin1) {
            bool incomplete = false;
            const std::size_t valid = validUtf8Prefix(chunk, incomplete);
            if (valid < chunk.size() && !(incomplete && got > 0)) {
                lines.write(chunk.data(), valid, false);
                writer = rewriteAsLatin1(std::move(writer), target);
                lines.setWriter(*writer);
                latin1 = true;
                chunk.remove_prefix(valid);
                take = chunk.size();
            } else {
                take = valid;
            }
        }
        lines.write(chunk.data(), take, latin1);
        held = chunk.size() - take;
        std::memmove(buffer.get(), chunk.data() + take, held);
        if (got == 0)
            break;
    }
    lines.finish();
    writer->close();
}

bool readsAsItsPanelText(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kReadChunk);
    bool afterCr = false;
    for (;;) {
        const std::size_t got = std::fread(buffer.get(), 1, kReadChunk, file.get());
        if (got == 0)
            return !afterCr && !std::ferror(file.get());
        const char* const p = buffer.get();
        const char* const end = p + got;
        if (afterCr && *p != '\n')
            return false;
        // Eight bytes at a time: this pass must cost far less than the copy
        // it saves.
        std::uint64_t words[4] = {};
        std::size_t i = 0;
        for (; i + sizeof words <= got; i += sizeof words) {
            std::uint64_t w[4];
            std::memcpy(w, p + i, sizeof w);
            for (int k = 0; k < 4; ++k)
                words[k] |= w[k];
        }
        std::uint64_t high = words[0] | words[1] | words[2] | words[3];
        for (; i < got; ++i)
            high |= static_cast<unsigned char>(p[i]);
        if ((high & 0x8080808080808080u) != 0 || std::memchr(p, '\0', got))
            return false;
        afterCr = end[-1] == '\r';
        for (const char* cr = p; (cr = static_cast<const char*>(std::memchr(cr, '\r', static_cast<std::size_t>(end - cr))));
             ++cr)
            if (cr + 1 != end && cr[1] != '\n')
                return false;
    }
}

void savePanelText(const std::filesystem::path& path, std::string_view text)
{
    TextWriter writer(path);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        writer.writeLine(text.substr(start, end - start));
        start = end + 1;
    }
    writer.close();
}

void removeExtraRows(std::string& text, int rowsBefore)
{
    if (rowsBefore < 2)
        return;
    const std::size_t firstEnd = text.find('\n');
    if (firstEnd == std::string::npos)
        return;
    std::size_t cut = firstEnd;
    for (int i = 0; i < rowsBefore - 1; ++i) {
        const std::size_t next = text.find('\n', cut + 1);
        if (next == std::string::npos) {
            cut = text.size();
            break;
        }
        cut = next;
    }
    text.erase(firstEnd, cut - firstEnd);
}

void insertLine(std::string& text, int index, std::string_view line)
{
    std::size_t pos = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t next = text.find('\n', pos);
        if (next == std::string::npos) {
            // Past the last line: append as a new line.
            if (!text.empty())
                text += '\n';
            text += line;
            return;
        }
        pos = next + 1;
    }
    if (text.empty()) {
        text = line;
        return;
    }
    std::string inserted(line);
    inserted += '\n';
    text.insert(pos, inserted);
}

} // namespace pluvora

#include "table/paneltext.h"

#include "error.h"
#include "io/textwriter.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace pluvora {

namespace {

std::string readWholeFile(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw Error("Cannot open file \"" + path.string() + "\": it is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error("Cannot open file \"" + path.string() + "\": " + std::strerror(errno));
    // Sized from the file, so a large file is not grown by doubling; a
    // stream without a size (a pipe) is read to its end instead.
    std::string bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size > 0 && in.seekg(0, std::ios::beg)) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), static_cast<std::streamsize>(size));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
    } else {
        in.clear();
    }
    if (!in.bad())
        bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        throw Error("Cannot read file \"" + path.string() + "\"");
    return bytes;
}

bool isValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
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
    std::size_t out = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
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
    std::string bytes = readWholeFile(path);
    if (bytes.find('\0') != std::string::npos)
        throw Error(kNotATextFile);
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

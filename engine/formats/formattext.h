#pragma once

#include <string_view>
#include <vector>

// Text helpers the format readers share. A blank is a space, a tab or the
// CR of a CRLF line end, so files from any system read alike.
namespace pluvora::formattext {

inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

inline std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The runs of non-blanks of `line`.
inline std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> items;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            items.push_back(line.substr(start, i - start));
    }
    return items;
}

} // namespace pluvora::formattext

#include "engine/table/datastart.h"

#include "engine/table/seencolumns.h"

namespace pluvora {

namespace {

bool isPlainNumber(std::string_view token)
{
    std::size_t pos = 0;
    if (pos < token.size() && token[pos] == '-')
        ++pos;
    bool digits = false;
    bool point = false;
    for (; pos < token.size(); ++pos) {
        if (token[pos] >= '0' && token[pos] <= '9')
            digits = true;
        else if (token[pos] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

} // namespace

int headerRowsOf(std::string_view panel)
{
    int row = 0;
    std::size_t start = 0;
    while (start < panel.size()) {
        std::size_t end = panel.find('\n', start);
        if (end == std::string_view::npos)
            end = panel.size();
        const auto tokens = seenFields(panel.substr(start, end - start), FieldSplit::Blanks);
        bool numbers = !tokens.empty();
        for (const auto token : tokens)
            numbers = numbers && isPlainNumber(token);
        if (numbers)
            return row;
        ++row;
        start = end + 1;
    }
    return row;
}

} // namespace pluvora

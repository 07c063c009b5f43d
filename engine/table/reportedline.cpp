#include "engine/table/reportedline.h"

#include "engine/io/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace pluvora {
namespace {

bool isSeparator(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isSeparator(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSeparator(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> tokens(std::string_view line)
{
    std::vector<std::string_view> found;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSeparator(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isSeparator(line[i]))
            ++i;
        if (i > start)
            found.push_back(line.substr(start, i - start));
    }
    return found;
}

std::optional<double> number(std::string_view token)
{
    if (!token.empty() && token.front() == '+')
        token.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc() || end != token.data() + token.size())
        return std::nullopt;
    return value;
}

bool sameValue(std::string_view reported, std::string_view original, std::string_view substitute)
{
    if (reported == original || (!substitute.empty() && reported == substitute))
        return true;
    const auto a = number(reported);
    const auto b = number(original);
    // Substitution writes three decimals.
    return a && b && std::fabs(*a - *b) <= 0.0005 + 1e-9 * std::fabs(*b);
}

} // namespace

std::optional<int> findReportedLine(std::string_view reportLine, std::string_view panelText,
                                    int rowsBefore, std::string_view substitute)
{
    const std::string_view wanted = trimmed(reportLine);
    if (wanted.empty())
        return std::nullopt;
    // A report of delimited fields names the line itself.
    if (wanted.starts_with(kReportedLinePrefix)) {
        const std::string_view rest = wanted.substr(kReportedLinePrefix.size());
        if (const auto line = parseInteger(rest.substr(0, rest.find(','))))
            return *line;
    }
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start <= panelText.size();) {
        const std::size_t end = std::min(panelText.find('\n', start), panelText.size());
        lines.push_back(panelText.substr(start, end - start));
        start = end + 1;
    }
    const std::size_t first = static_cast<std::size_t>(std::max(0, rowsBefore));
    for (std::size_t i = first; i < lines.size(); ++i)
        if (trimmed(lines[i]) == wanted)
            return static_cast<int>(i + 1);
    const auto reported = tokens(wanted);
    for (std::size_t i = first; i < lines.size(); ++i) {
        const auto original = tokens(lines[i]);
        if (original.size() != reported.size())
            continue;
        bool same = true;
        for (std::size_t k = 0; k < original.size() && same; ++k)
            same = sameValue(reported[k], original[k], substitute);
        if (same)
            return static_cast<int>(i + 1);
    }
    return std::nullopt;
}

} // namespace pluvora

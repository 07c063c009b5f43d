#include "engine/modelfiles/modeltext.h"

#include "engine/io/numbertext.h"

namespace pluvora {

void appendFixed(std::string& line, double value, int width, int decimals)
{
    char text[kFixedTextCapacity];
    const auto length = static_cast<std::size_t>(formatFixedTo(text, value, decimals) - text);
    if (length < static_cast<std::size_t>(width))
        line.append(static_cast<std::size_t>(width) - length, ' ');
    line.append(text, length);
}

void appendColumn(std::string& line, double value, int width, int decimals)
{
    const std::size_t before = line.size();
    appendFixed(line, value, width, decimals);
    if (line.size() - before >= static_cast<std::size_t>(width) && line[before] != ' ')
        line.insert(before, 1, ' ');
}

std::string plainNumber(double value, int decimals)
{
    std::string number = formatFixed(value, decimals);
    if (number.find('.') != std::string::npos) {
        while (number.back() == '0')
            number.pop_back();
        if (number.back() == '.')
            number.pop_back();
    }
    // A fresh string rather than an assignment into `number`, which GCC's
    // sanitizer build takes for an overlapping copy.
    if (number == "-0")
        return std::string("0");
    return number;
}

} // namespace pluvora

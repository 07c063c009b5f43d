#include "engine/modelfiles/modeltext.h"

#include <cstdio>

namespace pluvora {

void appendFixed(std::string& line, double value, int width, int decimals)
{
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%*.*f", width, decimals, value);
    line.append(text, static_cast<std::size_t>(n));
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
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string number = text;
    if (number.find('.') != std::string::npos) {
        while (number.back() == '0')
            number.pop_back();
        if (number.back() == '.')
            number.pop_back();
    }
    if (number == "-0")
        number = "0";
    return number;
}

} // namespace pluvora

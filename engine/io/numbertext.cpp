#include "io/numbertext.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace pluvora {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isPlainDecimal(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-')
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

std::optional<double> convert(std::string_view text)
{
    double value = 0;
    const auto* first = text.data();
    const auto* last = text.data() + text.size();
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        const bool negative = text.front() == '-';
        const auto exponent = text.find_first_of("eE");
        if (exponent != std::string_view::npos) {
            const bool tiny = text.substr(exponent + 1).starts_with('-');
            const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
            return negative ? -magnitude : magnitude;
        }
        // Without an exponent only a long run of digits gets here: huge when
        // a digit before the point is not 0, else too tiny for a double.
        const auto point = text.find('.');
        const auto whole = text.substr(negative ? 1 : 0, point == std::string_view::npos
                                                             ? std::string_view::npos
                                                             : point - (negative ? 1 : 0));
        const bool huge = whole.find_first_not_of('0') != std::string_view::npos;
        const double magnitude = huge ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -magnitude : magnitude;
    }
    if (ec != std::errc() || end != last)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> parseDecimal(std::string_view text)
{
    if (!isPlainDecimal(text))
        return std::nullopt;
    // Only a text far longer than a data token can overflow; infinity is no
    // reading.
    auto value = convert(text);
    if (value && !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::optional<int> parseInteger(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-')
        ++i;
    if (i == text.size())
        return std::nullopt;
    for (std::size_t k = i; k < text.size(); ++k)
        if (!isDigit(text[k]))
            return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

namespace {

bool isTypedNumber(std::string_view text)
{
    std::size_t i = 0;
    auto digitsFrom = [&]() {
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t mantissaDigits = digitsFrom();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissaDigits += digitsFrom();
    }
    if (mantissaDigits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (digitsFrom() == 0)
            return false;
    }
    return i == text.size();
}

} // namespace

std::optional<double> parseTypedNumber(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!isTypedNumber(text))
        return std::nullopt;
    // from_chars takes no "+"; the sign has been checked to be the only one.
    if (text.front() == '+')
        text.remove_prefix(1);
    auto value = convert(text);
    if (value && !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::string formatFixed(double value, int decimals)
{
    // Take the value as the 15-digit decimal a person would see, then round
    // that decimal text half away from zero.
    if (!std::isfinite(value))
        return std::to_string(value);
    // to_chars rather than printf: every value written to a weather file
    // passes here, and printf's digit generation dominated a whole run.
    char digits[64];
    const auto written = std::to_chars(digits, digits + sizeof digits, value,
                                       std::chars_format::scientific, 14);
    // digits: [-]d.dddddddddddddde[+-]xx
    std::string_view s(digits, static_cast<std::size_t>(written.ptr - digits));
    const bool negative = s.front() == '-';
    if (negative)
        s.remove_prefix(1);
    const auto ePos = s.find('e');
    int exponent = 0;
    for (std::size_t i = ePos + 2; i < s.size(); ++i)
        exponent = exponent * 10 + (s[i] - '0');
    if (s[ePos + 1] == '-')
        exponent = -exponent;
    std::string mantissa;
    mantissa.reserve(16);
    mantissa += s[0];
    mantissa += s.substr(2, ePos - 2); // 15 significant digits
    // Value = 0.mantissa * 10^(exponent + 1). Position of the decimal point
    // in mantissa is exponent + 1; keep decimals digits after it.
    const int pointPos = exponent + 1;
    const int keep = pointPos + decimals; // digits of mantissa to keep
    std::string kept;
    bool roundUp = false;
    if (keep <= 0) {
        kept = "0";
        roundUp = keep == 0 && mantissa[0] >= '5';
        if (roundUp)
            kept = "1";
        // Value now counts in units of 10^-decimals.
    } else if (keep >= static_cast<int>(mantissa.size())) {
        kept = mantissa + std::string(static_cast<std::size_t>(keep) - mantissa.size(), '0');
    } else {
        kept = mantissa.substr(0, static_cast<std::size_t>(keep));
        roundUp = mantissa[static_cast<std::size_t>(keep)] >= '5';
        if (roundUp) {
            int i = static_cast<int>(kept.size()) - 1;
            while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') {
                kept[static_cast<std::size_t>(i)] = '0';
                --i;
            }
            if (i < 0)
                kept.insert(kept.begin(), '1');
            else
                ++kept[static_cast<std::size_t>(i)];
        }
    }
    // kept is the value in units of 10^-decimals, as a digit string.
    auto firstNonZero = kept.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        kept = "0";
    else
        kept.erase(0, firstNonZero);
    const bool isZero = kept == "0";
    if (static_cast<int>(kept.size()) <= decimals)
        kept.insert(0, static_cast<std::size_t>(decimals) + 1 - kept.size(), '0');
    std::string out;
    if (negative && !isZero)
        out += '-';
    const std::size_t intLen = kept.size() - static_cast<std::size_t>(decimals);
    out.append(kept, 0, intLen);
    if (decimals > 0) {
        out += '.';
        out.append(kept, intLen, std::string::npos);
    }
    return out;
}

std::string formatGeneral(double value)
{
    // to_chars, not printf: the desktop runs in the user's locale, and a
    // coordinate line must always use ".".
    char text[64];
    const auto written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    std::string out(text, written.ptr);
    if (out == "-0")
        out = "0";
    return out;
}

long long roundHalfEven(double value)
{
    // A 64-digit token is far outside long long; converting it unchecked is
    // undefined, so such values stop at the ends of the range.
    constexpr double kLimit = 9223372036854775807.0; // 2^63
    const double rounded = std::nearbyint(value);
    if (std::isnan(rounded))
        return 0;
    if (rounded >= kLimit)
        return std::numeric_limits<long long>::max();
    if (rounded <= -kLimit)
        return std::numeric_limits<long long>::min();
    return static_cast<long long>(rounded);
}

} // namespace pluvora

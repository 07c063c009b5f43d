#include "engine/io/numbertext.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace pluvora {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Exact as doubles up to 10^22.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

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
    // One scan checks the form and gathers the digits. Up to 15 significant
    // digits and 22 decimals, digits / 10^decimals is one correctly rounded
    // division of two exact doubles: the value from_chars gives, at a
    // fraction of its cost. Longer texts take the general routine.
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (negative)
        ++p;
    std::uint64_t digits = 0;
    int significant = 0;
    int decimals = 0;
    bool point = false;
    bool anyDigit = false;
    for (; p != end; ++p) {
        const char c = *p;
        if (isDigit(c)) {
            anyDigit = true;
            if (point)
                ++decimals;
            if (digits == 0 && c == '0')
                continue;
            if (++significant <= 19)
                digits = digits * 10 + static_cast<unsigned>(c - '0');
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    if (significant <= 15 && decimals <= 22) {
        const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
        return negative ? -magnitude : magnitude;
    }
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

namespace {

// The general form of formatFixed, through the decimal text of the value.
std::string formatFixedByText(double value, int decimals)
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

constexpr std::uint64_t kIntPowersOfTen[] = {
    1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL, 10000000ULL,
    100000000ULL, 1000000000ULL, 10000000000ULL, 100000000000ULL, 1000000000000ULL,
    10000000000000ULL, 100000000000000ULL, 1000000000000000ULL, 10000000000000000ULL,
    100000000000000000ULL, 1000000000000000000ULL};

constexpr int kFastDecimals = 3;

// formatFixedByText without the text: the 15 significant digits come from
// one multiplication in long double (64-bit mantissa, exact powers of ten up
// to 10^27). Its error stays far below the distance of the product from a
// rounding tie except in rare cases, which return nullptr and take the
// general form.
char* formatFixedByDigits(char* out, bool negative, double magnitude, int decimals);
char* writeFixed(char* out, bool negative, std::uint64_t kept, int decimals);

char* formatFixedFast(char* out, double value, int decimals)
{
    if (decimals < 0 || decimals > kFastDecimals)
        return nullptr;
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    std::uint64_t kept = 0;
    // Taking the value to 15 digits moves it by at most 0.5e-14 of itself:
    // unless the scaled value lies that close to a half, plain rounding of
    // it gives the same digits.
    const double scaledValue = magnitude * kPowersOfTen[decimals];
    if (magnitude < 1e9) {
        // Signed: below 10^12 it fits, and the conversion is one instruction.
        const auto whole = static_cast<std::int64_t>(scaledValue);
        const double fraction = scaledValue - static_cast<double>(whole);
        if (std::fabs(fraction - 0.5) > scaledValue * 1e-14 + 1e-12)
            kept = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
        else if (magnitude != 0.0)
            return formatFixedByDigits(out, negative, magnitude, decimals);
    } else if (magnitude != 0.0) {
        return formatFixedByDigits(out, negative, magnitude, decimals);
    }
    return writeFixed(out, negative, kept, decimals);
}

// The 15 significant digits from one multiplication in long double.
char* formatFixedByDigits(char* out, bool negative, double magnitude, int decimals)
{
    static constexpr long double kScale[] = {
        1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L,
        1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L};
    std::uint64_t kept = 0;
    {
        if (!(magnitude >= 1e-5 && magnitude < 1e14))
            return nullptr;
        // A first guess of the decimal exponent; the product below corrects it.
        int exponent = 0;
        while (exponent < 13 && magnitude >= kPowersOfTen[exponent + 1])
            ++exponent;
        while (exponent <= 0 && exponent > -5 && magnitude < 1.0 / kPowersOfTen[-exponent])
            --exponent;
        long double scaled = 0;
        for (int tries = 0;; ++tries) {
            const int power = 14 - exponent;
            if (tries > 2 || power < 0 || power > 20)
                return nullptr;
            scaled = static_cast<long double>(magnitude) * kScale[power];
            if (scaled < 99999999999999.5L)
                --exponent;
            else if (scaled >= 1e15L)
                ++exponent;
            else
                break;
        }
        std::uint64_t mantissa = static_cast<std::uint64_t>(scaled);
        const long double rest = scaled - static_cast<long double>(mantissa);
        if (std::fabs(static_cast<double>(rest) - 0.5) < 1e-3)
            return nullptr;
        if (rest > 0.5L)
            ++mantissa;
        if (mantissa == kIntPowersOfTen[15]) {
            mantissa = kIntPowersOfTen[14];
            ++exponent;
        }
        // mantissa holds the 15 significant digits; keep those down to
        // 10^-decimals and round the rest half away from zero.
        const int keep = exponent + 1 + decimals;
        if (keep <= 0) {
            kept = keep == 0 && mantissa >= 5 * kIntPowersOfTen[14] ? 1 : 0;
        } else if (keep >= 15) {
            kept = mantissa * kIntPowersOfTen[keep - 15];
        } else {
            const std::uint64_t unit = kIntPowersOfTen[15 - keep];
            kept = mantissa / unit;
            if ((mantissa / (unit / 10)) % 10 >= 5)
                ++kept;
        }
    }
    return writeFixed(out, negative, kept, decimals);
}

// "00" to "99": two digits a step for the short numbers of a weather row.
constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int k = 0; k < 100; ++k) {
        pairs[static_cast<std::size_t>(2 * k)] = static_cast<char>('0' + k / 10);
        pairs[static_cast<std::size_t>(2 * k + 1)] = static_cast<char>('0' + k % 10);
    }
    return pairs;
}();

char* writePair(char* out, std::uint64_t twoDigits)
{
    std::memcpy(out, kDigitPairs.data() + 2 * twoDigits, 2);
    return out + 2;
}

char* writeLongWhole(char* out, std::uint64_t value) { return std::to_chars(out, out + 24, value).ptr; }

// Small enough to be inlined: to_chars only for three digits and more.
inline char* writeWhole(char* out, std::uint64_t value)
{
    if (value < 10) {
        *out = static_cast<char>('0' + value);
        return out + 1;
    }
    if (value < 100)
        return writePair(out, value);
    return writeLongWhole(out, value);
}

char* writeFixed(char* out, bool negative, std::uint64_t kept, int decimals)
{
    if (negative && kept != 0)
        *out++ = '-';
    // One case per count of decimals, so that each division is by a
    // constant: the general loop below cost twice as much a value.
    switch (decimals) {
    case 0:
        return writeWhole(out, kept);
    case 1:
        out = writeWhole(out, kept / 10);
        *out++ = '.';
        *out++ = static_cast<char>('0' + kept % 10);
        return out;
    case 2:
        out = writeWhole(out, kept / 100);
        *out++ = '.';
        return writePair(out, kept % 100);
    case 3: {
        out = writeWhole(out, kept / 1000);
        *out++ = '.';
        const std::uint64_t fraction = kept % 1000;
        *out++ = static_cast<char>('0' + fraction / 100);
        return writePair(out, fraction % 100);
    }
    default:
        break;
    }
    const std::uint64_t scale = kIntPowersOfTen[decimals];
    out = std::to_chars(out, out + 24, kept / scale).ptr;
    if (decimals > 0) {
        *out++ = '.';
        std::uint64_t fractionDigits = kept % scale;
        for (int i = decimals - 1; i >= 0; --i) {
            out[i] = static_cast<char>('0' + fractionDigits % 10);
            fractionDigits /= 10;
        }
        out += decimals;
    }
    return out;
}

} // namespace

std::string formatFixed(double value, int decimals)
{
    char text[kFixedTextCapacity];
    return std::string(text, formatFixedTo(text, value, decimals));
}

// Outside the unnamed namespace, so that the compiler keeps it a call of
// its own rather than inline it as the only caller.
char* formatFixedByTextTo(char* out, double value, int decimals);

char* formatFixedTo(char* out, double value, int decimals)
{
    // The general form in a call of its own: its string made every call
    // save and restore registers, a third of the fast form's cost.
    if (char* end = formatFixedFast(out, value, decimals))
        return end;
    return formatFixedByTextTo(out, value, decimals);
}

char* formatFixedByTextTo(char* out, double value, int decimals)
{
    const std::string text = formatFixedByText(value, decimals);
    const std::size_t n = std::min(text.size(), kFixedTextCapacity);
    std::copy_n(text.data(), n, out);
    return out + n;
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

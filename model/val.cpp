#include "val.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view s, std::size_t i)
{
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return i;
}

#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
// The decimal order of magnitude of an unsigned number text that from_chars
// found out of range, so that overflow can be told from underflow. Only its
// sign matters, so the exponent saturates instead of wrapping.
std::int64_t orderOfMagnitude(std::string_view number)
{
    const std::size_t ePos = std::min(number.find_first_of("eE"), number.size());
    std::int64_t exponent = 0;
    if (ePos < number.size()) {
        std::size_t i = ePos + 1;
        const bool negative = number[i] == '-';
        if (number[i] == '+' || number[i] == '-')
            ++i;
        constexpr std::int64_t Saturation = std::int64_t {1} << 40;
        for (; i < number.size() && exponent < Saturation; ++i)
            exponent = exponent * 10 + (number[i] - '0');
        if (negative)
            exponent = -exponent;
    }
    // Digits before the point, less the leading zeros of the mantissa.
    const std::string_view mantissa = number.substr(0, ePos);
    const auto point = static_cast<std::int64_t>(std::min(mantissa.find('.'), mantissa.size()));
    std::int64_t leadingZeros = 0;
    for (char c : mantissa) {
        if (c == '.')
            continue;
        if (c != '0')
            break;
        ++leadingZeros;
    }
    return exponent + point - leadingZeros;
}
#endif

} // namespace

double Val(std::string_view text)
{
    std::size_t i = std::min(text.find_first_not_of(" \t"), text.size());

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;

    std::size_t end = skipDigits(text, i);
    if (end < text.size() && text[end] == '.')
        end = skipDigits(text, end + 1);

    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        const std::size_t expEnd = skipDigits(text, e);
        if (expEnd > e)
            end = expEnd;
    }

    // The scan above decides what is a number; from_chars only converts it,
    // so "inf", "nan" and "0x10" never get the chance to be read as such. A
    // point without digits passed the scan, and fails here.
    const std::string_view number = text.substr(start, end - start);
    double value {};
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    const char *last = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        value = orderOfMagnitude(number) > 0 ? std::numeric_limits<double>::max() : 0.0;
    } else if (ec != std::errc {} || ptr != last) {
        return 0.0;
    }
#else
    // A C library without from_chars for doubles (the browser's): its strtod
    // reads the same texts, its locale being "C" for good.
    const std::string copy(number);
    char *converted = nullptr;
    errno = 0;
    value = std::strtod(copy.c_str(), &converted);
    if (converted == copy.c_str() || converted != copy.c_str() + copy.size())
        return 0.0;
    // Past the range it gives infinity; below it, as from_chars does, the
    // nearest subnormal or 0.
    if (errno == ERANGE && std::isinf(value))
        value = std::numeric_limits<double>::max();
#endif
    return negative ? -value : value;
}

#include "number_format.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

double Log(double x)
{
    return std::log(x);
}

double Int(double x)
{
    return std::floor(x);
}

std::string String(int n, char c)
{
    return std::string(std::size_t(std::max(n, 0)), c);
}

namespace {

// Decimal digits of |value| and the position of the decimal point in them:
// value = 0.digits * 10^point.
struct Decimal {
    std::string digits;
    int point = 0;
};

// Splits a text of std::to_chars, "d.ddde+xx" or "ddd.ddd", into a Decimal.
Decimal decimalOf(std::string_view text)
{
    const std::size_t e = text.find('e');
    Decimal d;
    for (const char c : text.substr(0, e)) {
        if (c != '.')
            d.digits += c;
    }
    if (e != std::string_view::npos)
        d.point = std::stoi(std::string(text.substr(e + 1))) + 1;
    else
        d.point = static_cast<int>(std::min(text.find('.'), text.size()));
    return d;
}

// The shortest digits that read back as the value. Padded with zeros, they
// are its exact digits as far as a double resolves them: 15 significant ones.
constexpr int ExactShortestDigits = std::numeric_limits<double>::digits10;

Decimal shortestDecimal(double magnitude)
{
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    return decimalOf({buf, result.ptr});
}

// Every digit of the binary fraction: as many decimals as it has binary ones.
Decimal exactDecimal(double magnitude)
{
    int exponent = 0;
    std::frexp(magnitude, &exponent);
    const int fractionBits = std::clamp(std::numeric_limits<double>::digits - exponent, 0, 1074);
    char buf[DBL_MAX_10_EXP + 1100];
    const auto result = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed, fractionBits);
    return decimalOf({buf, result.ptr});
}

// Digits of round(magnitude * 10^decimals), half away from zero, no sign.
// Within what a double resolves, the shortest digits are rounded, so that a
// value typed as 0.285 rounds up as it reads; beyond it, the exact ones.
std::string roundedDigits(double magnitude, int decimals)
{
    Decimal d = shortestDecimal(magnitude);
    if (static_cast<long>(d.point) + decimals > ExactShortestDigits)
        d = exactDecimal(magnitude);
    const long keepSigned = static_cast<long>(d.point) + decimals;
    if (keepSigned < 0)
        return "0";
    const auto keep = static_cast<std::size_t>(keepSigned);
    // substr stops at the end of the digits; zeros fill up what they lack.
    std::string kept = d.digits.substr(0, keep);
    if (keep > d.digits.size())
        kept.append(keep - d.digits.size(), '0');
    const bool roundUp = keep < d.digits.size() && d.digits[keep] >= '5';
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0 && kept[i] == '9'; --i)
            kept[i] = '0';
        if (i < 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[i];
    }
    return kept.empty() ? "0" : kept;
}

} // namespace

std::string Format(double value, std::string_view pattern)
{
    if (!std::isfinite(value))
        return {};
    const std::size_t pointAt = std::min(pattern.find('.'), pattern.size());
    const int decimals = pointAt == pattern.size() ? 0 : static_cast<int>(pattern.size() - pointAt - 1);
    const auto minIntDigits = static_cast<int>(std::count(pattern.begin(), pattern.begin() + pointAt, '0'));

    std::string digits = roundedDigits(std::abs(value), decimals);
    if (digits.size() <= static_cast<std::size_t>(decimals))
        digits.insert(0, decimals + 1 - digits.size(), '0');
    std::string intPart = digits.substr(0, digits.size() - decimals);
    const std::string fraction = digits.substr(digits.size() - decimals);

    const std::size_t firstSignificant = intPart.find_first_not_of('0');
    intPart = firstSignificant == std::string::npos ? std::string() : intPart.substr(firstSignificant);
    if (intPart.size() < static_cast<std::size_t>(minIntDigits))
        intPart.insert(0, minIntDigits - intPart.size(), '0');

    const bool isZero = digits.find_first_not_of('0') == std::string::npos;
    std::string text = (value < 0 && !isZero) ? "-" : "";
    text += intPart;
    if (decimals > 0)
        text += "." + fraction;
    return text;
}

#include "number_format.h"

#include <charconv>
#include <cmath>
#include <string>

double Log(double x)
{
    return std::log(x);
}

double Int(double x)
{
    return std::floor(x);
}

QString String(int n, QChar c)
{
    return QString(std::max(n, 0), c);
}

namespace {

// Shortest round-trip digits of |value| and the position of the decimal point
// in them: value = 0.digits * 10^point.
struct Decimal {
    std::string digits;
    int point = 0;
};

Decimal shortestDecimal(double magnitude)
{
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    const std::string text(buf, result.ptr);
    const std::size_t e = text.find('e');
    Decimal d;
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            d.digits += text[i];
    }
    d.point = std::stoi(text.substr(e + 1)) + 1;
    return d;
}

// Digits of round(magnitude * 10^decimals), half away from zero, no sign.
std::string roundedDigits(double magnitude, int decimals)
{
    const Decimal d = shortestDecimal(magnitude);
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

QString Format(double value, const QString &pattern)
{
    if (!std::isfinite(value))
        return {};
    const qsizetype pointAt = pattern.indexOf(QLatin1Char('.'));
    const int decimals = pointAt < 0 ? 0 : static_cast<int>(pattern.size() - pointAt - 1);
    const int minIntDigits
        = static_cast<int>(QStringView(pattern).left(pointAt < 0 ? pattern.size() : pointAt).count(QLatin1Char('0')));

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
    // Digits, sign and point only: no UTF-8 to decode.
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

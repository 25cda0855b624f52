// Val on arbitrary bytes: it must never fail, always give a finite double, and
// give exactly the number that a strict reading of the accepted text denotes.
// The accepted text is found here by an automaton of its own and converted by
// the C library, so the two readings share no code.

#include "val.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <string_view>

namespace {

// [ \t]*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)? as a deterministic automaton.
enum class State { Blanks, Sign, Whole, LonePoint, Fraction, Exponent, ExponentSign, ExponentDigits, Dead };

bool accepting(State s)
{
    return s == State::Whole || s == State::Fraction || s == State::ExponentDigits;
}

State next(State s, char c)
{
    const bool digit = c >= '0' && c <= '9';
    const bool sign = c == '+' || c == '-';
    const bool e = c == 'e' || c == 'E';
    const State mantissaStart = digit ? State::Whole : (c == '.' ? State::LonePoint : State::Dead);
    switch (s) {
    case State::Blanks:
        return (c == ' ' || c == '\t') ? State::Blanks : (sign ? State::Sign : mantissaStart);
    case State::Sign:
        return mantissaStart;
    case State::Whole:
        return digit ? State::Whole : (c == '.' ? State::Fraction : (e ? State::Exponent : State::Dead));
    case State::LonePoint:
        return digit ? State::Fraction : State::Dead;
    case State::Fraction:
        return digit ? State::Fraction : (e ? State::Exponent : State::Dead);
    case State::Exponent:
        return sign ? State::ExponentSign : (digit ? State::ExponentDigits : State::Dead);
    case State::ExponentSign:
    case State::ExponentDigits:
        return digit ? State::ExponentDigits : State::Dead;
    case State::Dead:
        break;
    }
    return State::Dead;
}

// The longest accepted number, blanks excluded; empty when there is none.
std::string_view acceptedNumber(std::string_view text)
{
    State s = State::Blanks;
    std::size_t start = 0;
    std::size_t end = 0;
    for (std::size_t i = 0; i < text.size() && s != State::Dead; ++i) {
        if (s == State::Blanks)
            start = i;
        s = next(s, text[i]);
        if (accepting(s))
            end = i + 1;
    }
    return end == 0 ? std::string_view() : text.substr(start, end - start);
}

// The nearest double, with magnitudes beyond the range pinned to its edge.
double strictReading(std::string_view number)
{
    if (number.empty())
        return 0.0;
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t {});
    const std::string s(number);
    char *stop = nullptr;
    errno = 0;
    const double v = strtod_l(s.c_str(), &stop, c);
    if (stop != s.c_str() + s.size()) {
        std::fprintf(stderr, "strtod stopped early in \"%s\"\n", s.c_str());
        std::abort();
    }
    if (errno == ERANGE && std::isinf(v))
        return std::copysign(DBL_MAX, v);
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const double got = Val(text);
    const std::string_view number = acceptedNumber(text);
    const double want = strictReading(number);
    // == also makes -0 and 0 equal, which the reading does not distinguish.
    if (!std::isfinite(got) || got != want) {
        std::fprintf(
            stderr, "Val read %.17g, the number \"%.*s\" is %.17g\n", got, int(number.size()), number.data(), want);
        std::abort();
    }
    return 0;
}

// Val on arbitrary bytes always gives a finite double, exactly the number that a strict reading of the accepted text
// denotes. A POSIX regular expression (the longest match at the start) finds that text here and the C library
// converts it, so the two readings share no code.

#include "val.h"

#include <regex.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static regex_t number;
    static const int compiled
        = regcomp(&number, "^[ \t]*([+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?)", REG_EXTENDED);
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t {});
    // A NUL ends the text for the expression; nothing after it can be part of the number anyway.
    const std::string text(reinterpret_cast<const char *>(data), size);
    regmatch_t match[2];
    double want = 0.0;
    std::string accepted;
    if (compiled == 0 && regexec(&number, text.c_str(), 2, match, 0) == 0) {
        accepted = text.substr(match[1].rm_so, match[1].rm_eo - match[1].rm_so);
        errno = 0;
        want = strtod_l(accepted.c_str(), nullptr, c);
        if (errno == ERANGE && std::isinf(want))
            want = std::copysign(DBL_MAX, want);
    }
    const double got = Val(std::string_view(text));
    // == also makes -0 and 0 equal, which the reading does not distinguish.
    if (!std::isfinite(got) || got != want) {
        std::fprintf(stderr, "Val read %.17g, the number \"%s\" is %.17g\n", got, accepted.c_str(), want);
        std::abort();
    }
    return 0;
}

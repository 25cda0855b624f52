#pragma once

#include <string_view>

// The forgiving number reader used for every input box. Skips leading blanks,
// then reads the longest leading decimal number: optional sign, digits with at
// most one '.', optional exponent (E or e, optional sign, digits). Everything
// after it is ignored; a text without one reads as 0. '.' is the decimal point
// whatever the locale. Only ASCII counts: full-width digits and a blank inside
// the number end it.
//
// The result is always finite: a magnitude beyond the double range reads as
// the largest finite double of that sign, and one below it as 0.
double Val(std::string_view text);

#pragma once

#include <string>
#include <string_view>

// Small numeric helpers with the semantics the labels and grid numbers rely on.

// Natural logarithm.
double Log(double x);

// The largest integer not greater than x (Int(-0.5) is -1).
double Int(double x);

// A text of n copies of c.
std::string String(int n, char c);

// Formats a number after a digit pattern: '0' is a digit always shown, '#' a
// digit shown only when significant, '.' the decimal point (always '.').
// Supported patterns: "#0", "##" and "0." followed by n "0". Rounds half away
// from zero: to 15 significant digits on the shortest decimal form of the
// value, so 0.125 and 0.285 both round up; beyond them on the exact value, so
// 2^60 prints as 1152921504606846976. A value that rounds to zero shows no
// minus sign. Not-finite values give the empty text.
std::string Format(double value, std::string_view pattern);

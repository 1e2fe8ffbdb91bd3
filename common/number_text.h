// Number <-> text as the main program shows and reads figures.
//
// Written here rather than taken from the C runtime: msvcrt and glibc differ
// in exponent digits and in what atof accepts, and the program must show the
// same text on every machine.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zz {

// printf "%.13g" as a Windows PC prints it: exponents have at least three
// digits ("1e+013").
std::string FormatNumber(double value);

// The leading decimal number as atof reads it: leading white space, a sign,
// digits with an optional point, an optional exponent; 0 when there is none.
// Hexadecimal, "inf" and "nan" are not numbers here.
double ParseNumber(std::string_view text);

// A typed figure as the plain decimal number the program stores: blanks
// trimmed, full-width digits, point and minus (as a Chinese input method
// types them in full-width mode) taken as ASCII. Empty stays empty. Nothing
// when what is left is not an optional minus, at most 9 digits and an
// optional point with at most 4 more, surplus leading zeros not counted:
// "1,234.50", "50元" and "1e5" are refused, since their totals would read
// only a part of them, and longer figures, which would total as "1.#INF" or
// in exponent form. Surplus leading zeros (one stays before the point), a
// trailing point and the minus of a zero are dropped ("0012" is "12", "00.5"
// is "0.5", "5." is "5", "-0" is "0"), as the totals read them.
std::optional<std::string> PlainNumberText(std::string_view gbk_text);

}  // namespace zz

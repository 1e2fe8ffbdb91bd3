// Number <-> text as the main program shows and reads figures.
//
// Written here rather than taken from the C runtime: msvcrt and glibc differ
// in exponent digits and in what atof accepts, and the program must show the
// same text on every machine.
#pragma once

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

}  // namespace zz

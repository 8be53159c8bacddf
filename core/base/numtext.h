#pragma once
// Numbers as text: the conversions every form, the loader, the printout and the
// export use, so that a number reads and writes the same way everywhere.

#include <string>
#include <string_view>

namespace vp {

// Integer of a text: leading blanks, an optional sign, then decimal digits and
// nothing else (a trailing blank fails). The value must fit in 32 bits.
// Throws Failure (ErrorCode::NotInteger).
int IntOfText(std::string_view text);

// Same rule, reporting failure instead of throwing.
bool TryIntOfText(std::string_view text, int& value);

// Real of a text: leading and trailing blanks, an optional sign, digits with at
// most one decimal separator, an optional exponent "E"/"e" with optional sign.
// Parsed at extended precision and stored as double; a value that does not fit
// a double fails too. Throws Failure (ErrorCode::NotReal).
double RealOfText(std::string_view text, char decimalSeparator);

bool TryRealOfText(std::string_view text, char decimalSeparator, double& value);

// For a text that is no real with the decimal separator but is one with the
// other ('.' for ',', ',' for '.'): that other separator; otherwise 0.
char OtherSeparatorOf(std::string_view text, char decimalSeparator);

// The text without its leading and trailing blanks.
std::string Trimmed(std::string_view text);

// General format: at most 15 significant digits, trailing zeros dropped; fixed
// notation for 0 and for magnitudes in [1e-4, 1e15), otherwise "E" notation
// with no "+" and no leading zeros in the exponent (1E-5, 3.14159265358979E-9).
std::string GeneralFormat(double value, char decimalSeparator);

// printf's "%.<decimals>f" and "%.<digits>g" as in the "C" locale, with the
// decimal separator: the C library's own follow its locale, which Qt's
// application object sets from the environment.
std::string FixedFormat(double value, int decimals, char decimalSeparator);
std::string SignificantFormat(double value, int digits, char decimalSeparator);

// Fixed notation with five decimals, as the printout lists its values; a value
// that rounds to zero has no sign.
std::string Fixed5(double value, char decimalSeparator);
// `digits` significant digits in the general format.
std::string Digits(double value, int digits, char decimalSeparator);
// Six significant digits in the general format: enough to say where a
// frequency lies.
std::string SixDigits(double value, char decimalSeparator);
// A support stiffness: as the general format, but from 1E6 up (and below
// 1E-4) in "E" notation, which reads at once across the decades of a map
// (1E6, 2.5E8 rather than 1000000, 250000000).
std::string StiffnessText(double k, char decimalSeparator);

// 10 to an integral power, the double nearest to it: std::pow of the C
// library need not be (MinGW's 10^-7 is one bit off glibc's).
double PowerOfTen(double exponent);

// The number of listed (odd) sections: KM div 2 + KM mod 2.
inline int HalfKM(int KM) { return KM / 2 + KM % 2; }

}  // namespace vp

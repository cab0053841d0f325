// Decimal texts for the few fractional values stored as text (the font size
// factors in the product key): written with at most six decimals, trailing
// zeros dropped, and read back from that form. Done here rather than through
// the C library's printf and strtod, whose floating-point code (some 35 KB)
// the installer would carry for these two values alone.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace palisade {

// "2", "1.25", "0.123457", "-3.5": the value rounded to six decimals. A value
// that is not finite, or whose size no font factor approaches (1e12 or
// more), is written as "0".
std::string SixDecimalsText(double value);

// A plain decimal: an optional sign, digits, and an optional point followed
// by digits ("1.5", "-.25", "3."); nothing for anything else (blanks,
// exponents, names such as "inf").
std::optional<double> ParseDecimalText(std::string_view text);

}  // namespace palisade

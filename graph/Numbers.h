#pragma once
// Numbers in files: every number the program writes to or reads from a file goes through here, so
// that it reads and writes the same in every locale (the C library's formatting follows the
// user's LC_NUMERIC once a Qt application exists: 0,75 under de_DE).

#include <optional>
#include <string>
#include <string_view>

namespace numbers {

// Fixed notation with that many decimals, as printf's "%.*f" writes it in the C locale.
std::string Fixed(double value, int decimals);
// At most that many significant digits without trailing zeros, as printf's "%.*g" in the C locale.
std::string General(double value, int digits);
// Fixed notation with at most that many decimals, trailing zeros and a bare "-0" dropped: "2.5", "-3".
std::string Trimmed(double value, int decimals);
// The number the whole text spells (an optional sign, digits with an optional point, an optional
// exponent; no spaces, no "inf" or "nan"); nothing for any other text. As strtod reads it in the C
// locale: a value too large for a double is an infinity, one too small a zero, with its sign.
std::optional<double> Parse(std::string_view text);

} // namespace numbers

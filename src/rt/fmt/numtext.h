// Decimal text of numbers, shared by STR and TRANSFORM (internal to rt/fmt).
#pragma once
#include <string>

namespace rt::detail {

// |v| rounded half away from zero at 10^-dec (with the 15-significant-digit guard), written as
// the decimal digits of the integer |v| * 10^dec without leading zeros ("0" for zero).
std::string scaled_digits(double v, int dec);

// The number as STR writes it into exactly `width` characters with `dec` decimals, right-aligned,
// the sign in front of the first digit. Returns false (and `out` = width asterisks) when it does not
// fit. At least one digit stands before the decimal point.
bool number_text(double v, int width, int dec, std::string& out);

}  // namespace rt::detail

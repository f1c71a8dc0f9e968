#pragma once
#include <sstream>
#include <string>

namespace zel {

// `value` formatted with the printf format "%<width>.<precision>lf"
// (at most 1023 characters).
std::string geoDouble2string(double value, int width, int precision);

// True when a and b print the same with `precision` decimals.
bool decimalIsEquals(double a, double b, int precision);

// Reads the next non-empty blank-separated piece of `in` into `token`
// (runs of blanks are skipped; line ends are not separators). At the end of
// the stream `token` is left empty.
void nextToken(std::istringstream& in, std::string& token);

}  // namespace zel

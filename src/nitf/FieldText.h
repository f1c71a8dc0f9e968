#pragma once
#include <cstddef>
#include <ctime>
#include <string>

// The text side of NITF's fixed-width fields: reading a number from the start
// of a field the way formatted stream extraction does (leading white space
// skipped, an optional sign, then as much of a number as stands there), and
// producing a value as exactly `width` characters. NITF::readIntTag and its
// siblings, NITF::writeIntTag and its siblings, and the text conversions of
// ImageHeader are built on these; nothing here reads or writes a stream.
class FieldText {
 public:
  // What a scan found.
  enum Scan {
    EMPTY,    // only white space: the target is left as it was
    INVALID,  // no number at the start (target 0) or out of range (target
              // saturated to the nearest limit)
    VALID     // a number: the target holds it
  };

  // Scans `text[0 .. length)`, which ends early at a NUL byte, for a decimal
  // integer (sign and digits only). A value beyond the int range gives
  // INT_MAX or INT_MIN.
  static Scan scanInt(const char* text, std::size_t length, int& value);
  // Scans for a decimal real: sign, digits, decimal point, digits, and an
  // exponent "e" or "E" with optional sign and digits after at least one
  // digit. No "inf", "nan" or hexadecimal forms. A magnitude beyond the
  // double range gives +-DBL_MAX; an incomplete exponent ("1e") gives 0.
  static Scan scanDouble(const char* text, std::size_t length, double& value);

  // The number at the start of `text` (leading blanks skipped); 0 when there
  // is none or it is out of range.
  static double stringToDouble(const std::string& text);
  static int stringToInt(const std::string& text);
  // `to` becomes the characters of `from` up to its first NUL.
  static void copyString(const std::string& from, std::string& to);

  // Exact-width field texts. A width of 0 or less gives an empty text.
  // `text` padded on the right with blanks, or cut, to `width`.
  static std::string stringField(int width, const std::string& text);
  // Zero-filled decimal; a negative value takes "-" in the first position.
  // When the digits do not fit the field is all "9" (after the "-").
  static std::string intField(int width, long long value);
  // "+" (also for zero) or "-", then intField(width - 1, |value|).
  static std::string signedIntField(int width, long long value);
  // Fixed point with as many decimals as fit. When the integer part alone
  // needs the whole width the field holds it without a point; when it does
  // not fit the field is all "9" (after a "-" for negative values); NaN gives
  // blanks.
  static std::string doubleField(int width, double value);
  // "+" or "-", then doubleField(width - 1, |value|).
  static std::string signedDoubleField(int width, double value);
  // Mantissa d.ddd and exponent "e", sign, `exponentDigits` digits
  // ("1.234567e+1" in 11 with 1 exponent digit). A value whose exponent needs
  // more digits is saturated to 9.99...e+99... when large and written as zero
  // when small; infinities saturate; NaN gives blanks.
  static std::string scientificField(int width, int exponentDigits, double value);
  // "+" or "-", then scientificField(width - 1, exponentDigits, |value|).
  static std::string signedScientificField(int width, int exponentDigits, double value);

  // The UTC time `when` as CCYYMMDDhhmmss (each part two digits or more).
  static std::string timeString(std::time_t when);

  // `value` as printf's "%.<precision>f" and "%.<precision>e" write it (the
  // same text as an output stream in fixed or scientific notation), with
  // "." as decimal point whatever the C locale.
  static std::string fixed(double value, int precision);
  static std::string scientific(double value, int precision);
};

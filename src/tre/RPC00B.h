#pragma once
#include <ostream>
#include <string>

#include "Extension.h"

// The rational polynomial camera model record (tag "RPC00B", 1041
// characters; field layout and the order of the 20 polynomial terms as in
// STDI-0002). Image coordinates are full-image pixels (line = row,
// sample = column); latitude and longitude in degrees; heights and errors in
// metres.
class RPC00B : public Extension {
 public:
  static constexpr int FIELD_COUNT = 17;
  static constexpr int COEFF_COUNT = 20;
  static constexpr int TEXT_LENGTH = 1041;

  // The widths of the text fields in record order; the last four are the
  // width of one coefficient of each set.
  int fieldLengths[FIELD_COUNT] = {};

  bool success = true;                      // SUCCESS
  double err_bias = 0;                      // ERR_BIAS, metres
  double err_rand = 0;                      // ERR_RAND, metres
  int line_off = 0;                         // LINE_OFF, pixels
  int samp_off = 0;                         // SAMP_OFF, pixels
  double lat_off = 0;                       // LAT_OFF, degrees
  double long_off = 0;                      // LONG_OFF, degrees
  int height_off = 0;                       // HEIGHT_OFF, metres
  int line_scale = 0;                       // LINE_SCALE, pixels
  int samp_scale = 0;                       // SAMP_SCALE, pixels
  double lat_scale = 0;                     // LAT_SCALE, degrees
  double long_scale = 0;                    // LONG_SCALE, degrees
  int height_scale = 0;                     // HEIGHT_SCALE, metres
  double line_num_coeff[COEFF_COUNT] = {};  // LINE_NUM_COEFF 1..20
  double line_den_coeff[COEFF_COUNT] = {};  // LINE_DEN_COEFF 1..20
  double samp_num_coeff[COEFF_COUNT] = {};  // SAMP_NUM_COEFF 1..20
  double samp_den_coeff[COEFF_COUNT] = {};  // SAMP_DEN_COEFF 1..20

  // Tag "RPC00B", length 1041, empty text, success true, every value 0.
  RPC00B();
  // Takes the raw values unchanged and decodes `text`.
  RPC00B(std::string tag, int length, std::string text);
  // The decoded values only: tag and text stay empty, length 0.
  RPC00B(const RPC00B& other);
  // Tag, length and the decoded values; the text is rebuilt from the values.
  explicit RPC00B(const RPC00B* other);
  RPC00B& operator=(const RPC00B&) = delete;

  // new RPC00B(this): a copy with its text rebuilt.
  Extension* copy() override;

  void initializeTags();
  // Decodes text into the values. Fields beyond the end of a short text
  // read as 0 (success as false); nothing is validated.
  void readTags();
  // The values, one line each, to the standard output (whose precision is
  // left at 8 significant digits).
  void printTags();
  void printTags(std::ostream& out);
  // "1" or "0": the success flag.
  std::string getTagsAsString();
  // Rebuilds text from the values (see RPC00B.cpp for the field formats and
  // the fallbacks of values that do not fit).
  void writeTags();

  // One fixed-point field of `width` characters with `precision` decimals,
  // zero-filled, with a leading "+" or "-" when `sign` (12.5 at 8 with sign
  // and 4 decimals: "+12.5000"). A value outside [min, max], not finite or
  // not fitting is written as zero in the field's width ("+000.0000") and the
  // result is false.
  static bool writeDecimal(std::ostream& out, int width, bool sign, int precision, double value,
                           double min, double max);
  // One coefficient field: d.ddddddE+d with `precision` decimals and a one
  // digit exponent ("+1.234568E-4"). A value outside [min, max], not finite
  // or whose exponent needs two digits is written as "+0.000000E+1" (for the
  // record's width 12) and the result is false.
  static bool writeCoeff(std::ostream& out, int width, bool sign, int precision, double value,
                         double min, double max);

 private:
  void copyValues(const RPC00B& other);
};

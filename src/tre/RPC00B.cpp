#include "RPC00B.h"

#include <cmath>
#include <iostream>
#include <sstream>

#include "../io/StringDataReader.h"
#include "../nitf/FieldText.h"
#include "../nitf/NITF.h"

namespace {

// Field indexes of the width table.
enum Field {
  SUCCESS,
  ERR_BIAS,
  ERR_RAND,
  LINE_OFF,
  SAMP_OFF,
  LAT_OFF,
  LONG_OFF,
  HEIGHT_OFF,
  LINE_SCALE,
  SAMP_SCALE,
  LAT_SCALE,
  LONG_SCALE,
  HEIGHT_SCALE,
  LINE_NUM_COEFF,
  LINE_DEN_COEFF,
  SAMP_NUM_COEFF,
  SAMP_DEN_COEFF
};

constexpr int FIELD_WIDTHS[RPC00B::FIELD_COUNT] = {1, 7, 7, 6, 5,  8,  9,  5, 6,
                                                   5, 8, 9, 5, 12, 12, 12, 12};

// Accepted ranges of the written fields.
constexpr double ERROR_MAX_M = 9999.99;
constexpr double LATITUDE_MAX_DEG = 90;
constexpr double LONGITUDE_MAX_DEG = 180;
constexpr double COEFF_MAX = 9999999000.0;

// What a coefficient that cannot be written becomes: zero.
const char* const COEFF_FALLBACK = "+0.000000E+1";

void fit(std::string& text, int width) {
  text.resize(static_cast<std::size_t>(width < 0 ? 0 : width), ' ');
}

void writeText(std::ostream& out, const std::string& text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// `magnitude` in fixed point, zero-filled on the left to `width` (or
// width - 1 after a sign), with the sign of `value` when `sign`.
std::string fixedField(int width, bool sign, int precision, double value) {
  std::string digits = FieldText::fixed(std::fabs(value), precision);
  const int digitsWidth = sign ? width - 1 : width;
  if (static_cast<int>(digits.size()) < digitsWidth) {
    digits.insert(0, static_cast<std::size_t>(digitsWidth) - digits.size(), '0');
  }
  if (!sign) return digits;
  return (value < 0 ? "-" : "+") + digits;
}

}  // namespace

RPC00B::RPC00B() : Extension("RPC00B", TEXT_LENGTH, "") { initializeTags(); }

RPC00B::RPC00B(std::string tag, int length, std::string text)
    : Extension(std::move(tag), length, std::move(text)) {
  initializeTags();
  readTags();
}

RPC00B::RPC00B(const RPC00B& other) : Extension() {
  initializeTags();
  copyValues(other);
}

RPC00B::RPC00B(const RPC00B* other) : Extension(other->tag, other->length, "") {
  initializeTags();
  copyValues(*other);
  writeTags();
}

void RPC00B::copyValues(const RPC00B& other) {
  success = other.success;
  err_bias = other.err_bias;
  err_rand = other.err_rand;
  line_off = other.line_off;
  samp_off = other.samp_off;
  lat_off = other.lat_off;
  long_off = other.long_off;
  height_off = other.height_off;
  line_scale = other.line_scale;
  samp_scale = other.samp_scale;
  lat_scale = other.lat_scale;
  long_scale = other.long_scale;
  height_scale = other.height_scale;
  for (int i = 0; i < COEFF_COUNT; ++i) {
    line_num_coeff[i] = other.line_num_coeff[i];
    line_den_coeff[i] = other.line_den_coeff[i];
    samp_num_coeff[i] = other.samp_num_coeff[i];
    samp_den_coeff[i] = other.samp_den_coeff[i];
  }
}

Extension* RPC00B::copy() { return new RPC00B(this); }

void RPC00B::initializeTags() {
  for (int i = 0; i < FIELD_COUNT; ++i) fieldLengths[i] = FIELD_WIDTHS[i];
}

void RPC00B::readTags() {
  // Start from zero so that fields beyond the end of a short text read as 0
  // (a blank field leaves its target unchanged).
  const RPC00B zero;
  copyValues(zero);
  success = false;

  StringDataReader reader(text);
  NITF::readBoolTag(&reader, success);
  NITF::readDoubleTag(&reader, fieldLengths[ERR_BIAS], err_bias);
  NITF::readDoubleTag(&reader, fieldLengths[ERR_RAND], err_rand);
  NITF::readIntTag(&reader, fieldLengths[LINE_OFF], line_off);
  NITF::readIntTag(&reader, fieldLengths[SAMP_OFF], samp_off);
  NITF::readDoubleTag(&reader, fieldLengths[LAT_OFF], lat_off);
  NITF::readDoubleTag(&reader, fieldLengths[LONG_OFF], long_off);
  NITF::readIntTag(&reader, fieldLengths[HEIGHT_OFF], height_off);
  NITF::readIntTag(&reader, fieldLengths[LINE_SCALE], line_scale);
  NITF::readIntTag(&reader, fieldLengths[SAMP_SCALE], samp_scale);
  NITF::readDoubleTag(&reader, fieldLengths[LAT_SCALE], lat_scale);
  NITF::readDoubleTag(&reader, fieldLengths[LONG_SCALE], long_scale);
  NITF::readIntTag(&reader, fieldLengths[HEIGHT_SCALE], height_scale);
  double* const sets[4] = {line_num_coeff, line_den_coeff, samp_num_coeff, samp_den_coeff};
  for (int set = 0; set < 4; ++set) {
    for (int i = 0; i < COEFF_COUNT; ++i) {
      NITF::readDoubleTag(&reader, fieldLengths[LINE_NUM_COEFF + set], sets[set][i]);
    }
  }
}

void RPC00B::printTags() { printTags(std::cout); }

void RPC00B::printTags(std::ostream& out) {
  out << "------RPC00B------\n";
  out.precision(8);
  out << "success \"" << (success ? 1 : 0) << "\"\n";
  out << "err_bias \"" << err_bias << "\"\n";
  out << "err_rand \"" << err_rand << "\"\n";
  out << "line_off \"" << line_off << "\"\n";
  out << "samp_off \"" << samp_off << "\"\n";
  out << "lat_off \"" << lat_off << "\"\n";
  out << "long_off \"" << long_off << "\"\n";
  out << "height_off \"" << height_off << "\"\n";
  out << "line_scale \"" << line_scale << "\"\n";
  out << "samp_scale \"" << samp_scale << "\"\n";
  out << "lat_scale \"" << lat_scale << "\"\n";
  out << "long_scale \"" << long_scale << "\"\n";
  out << "height_scale \"" << height_scale << "\"\n";
  const char* const labels[4] = {"line_num_coeff", "line_den_coeff", "samp_num_coeff",
                                 "samp_den_coeff"};
  const double* const sets[4] = {line_num_coeff, line_den_coeff, samp_num_coeff, samp_den_coeff};
  for (int set = 0; set < 4; ++set) {
    out << labels[set] << " \"";
    for (int i = 0; i < COEFF_COUNT; ++i) out << sets[set][i] << " / ";
    out << "\"\n";
  }
  out << std::endl;
}

std::string RPC00B::getTagsAsString() { return success ? "1" : "0"; }

void RPC00B::writeTags() {
  std::ostringstream out;
  NITF::writeBoolTag(&out, true);
  bool allWritten = true;
  allWritten &= writeDecimal(out, fieldLengths[ERR_BIAS], false, 2, err_bias, 0, ERROR_MAX_M);
  allWritten &= writeDecimal(out, fieldLengths[ERR_RAND], false, 2, err_rand, 0, ERROR_MAX_M);
  NITF::writeIntTag(&out, fieldLengths[LINE_OFF], line_off);
  NITF::writeIntTag(&out, fieldLengths[SAMP_OFF], samp_off);
  allWritten &= writeDecimal(out, fieldLengths[LAT_OFF], true, 4, lat_off, -LATITUDE_MAX_DEG,
                             LATITUDE_MAX_DEG);
  allWritten &= writeDecimal(out, fieldLengths[LONG_OFF], true, 4, long_off, -LONGITUDE_MAX_DEG,
                             LONGITUDE_MAX_DEG);
  NITF::writeSignedIntTag(&out, fieldLengths[HEIGHT_OFF], height_off);
  NITF::writeIntTag(&out, fieldLengths[LINE_SCALE], line_scale);
  NITF::writeIntTag(&out, fieldLengths[SAMP_SCALE], samp_scale);
  allWritten &= writeDecimal(out, fieldLengths[LAT_SCALE], true, 4, lat_scale, -LATITUDE_MAX_DEG,
                             LATITUDE_MAX_DEG);
  allWritten &= writeDecimal(out, fieldLengths[LONG_SCALE], true, 4, long_scale, -LONGITUDE_MAX_DEG,
                             LONGITUDE_MAX_DEG);
  NITF::writeSignedIntTag(&out, fieldLengths[HEIGHT_SCALE], height_scale);

  // The coefficients stop at the first one that cannot be written (after its
  // fallback text), and the record is then marked as not successful.
  const double* const sets[4] = {line_num_coeff, line_den_coeff, samp_num_coeff, samp_den_coeff};
  bool coefficientsWritten = true;
  for (int set = 0; set < 4 && coefficientsWritten; ++set) {
    for (int i = 0; i < COEFF_COUNT && coefficientsWritten; ++i) {
      coefficientsWritten = writeCoeff(out, fieldLengths[LINE_NUM_COEFF + set], true, 6,
                                       sets[set][i], -COEFF_MAX, COEFF_MAX);
    }
  }
  text = out.str();
  if (!(allWritten && coefficientsWritten)) text[0] = '0';
}

bool RPC00B::writeDecimal(std::ostream& out, int width, bool sign, int precision, double value,
                          double min, double max) {
  const bool inRange = std::isfinite(value) && value >= min && value <= max;
  if (inRange) {
    const std::string field = fixedField(width, sign, precision, value);
    if (static_cast<int>(field.size()) == width) {
      writeText(out, field);
      return true;
    }
  }
  // Zero, in the field's own width, so that the fields after it keep their
  // places.
  std::string zero = fixedField(width, sign, precision, 0.0);
  fit(zero, width);
  writeText(out, zero);
  return false;
}

bool RPC00B::writeCoeff(std::ostream& out, int width, bool sign, int precision, double value,
                        double min, double max) {
  if (std::isfinite(value) && value >= min && value <= max) {
    std::string field = FieldText::scientific(value, precision);
    const std::size_t e = field.find('e');
    if (e != std::string::npos && e + 2 < field.size()) {
      field[e] = 'E';
      // One exponent digit: drop the leading zeros (E+05 becomes E+5).
      const std::size_t digits = e + 2;
      while (field.size() > digits + 1 && field[digits] == '0') field.erase(digits, 1);
      if (sign && value >= 0) field.insert(0, 1, '+');
      const std::size_t signWidth = field[0] == '+' || field[0] == '-' ? 1 : 0;
      if (static_cast<int>(field.size()) < width) {
        field.insert(signWidth, static_cast<std::size_t>(width) - field.size(), '0');
      }
      if (static_cast<int>(field.size()) == width) {
        writeText(out, field);
        return true;
      }
    }
  }
  std::string fallback = COEFF_FALLBACK;
  fit(fallback, width);
  writeText(out, fallback);
  return false;
}

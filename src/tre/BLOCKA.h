#pragma once
#include <ostream>
#include <string>

#include "../geometry/GeoQuad.h"
#include "Extension.h"

// The image block information record (tag "BLOCKA", 123 characters, field
// layout as in STDI-0002), written for an image whose four corners are known.
// Only the line count and the four corner locations are filled; the other
// fields keep their defaults. The record is written only: a BLOCKA found in a
// file is read by NitfASDE.
//
// A corner location is 21 characters: the latitude "+dd.dddddd" followed by
// the longitude "+ddd.dddddd", decimal degrees, north and east positive
// (latitude 10.5 and longitude -20.25 give "+10.500000-020.250000").
class BLOCKA : public Extension {
 public:
  static constexpr int FIELD_COUNT = 11;
  static constexpr int TEXT_LENGTH = 123;
  // An angle that is not given (written as blanks).
  static const int EMPTY_ANGLE;

  // The text fields in record order; also the indices of `fieldLengths`.
  enum Field {
    BLOCK_INSTANCE,
    N_GRAY,
    L_LINES,
    LAYOVER_ANGLE,
    SHADOW_ANGLE,
    RESERVED1,
    FRLC_LOC,
    LRLC_LOC,
    LRFC_LOC,
    FRFC_LOC,
    RESERVED2
  };

  int block_instance = 1;           // BLOCK_INSTANCE
  int n_gray = 0;                   // N_GRAY
  int l_lines = 0;                  // L_LINES
  int layover_angle = EMPTY_ANGLE;  // LAYOVER_ANGLE, degrees
  int shadow_angle = EMPTY_ANGLE;   // SHADOW_ANGLE, degrees
  std::string reserved1;            // RESERVED1
  std::string reserved2;            // RESERVED2
  std::string frlc_loc;             // first row, last column (upper right)
  std::string lrlc_loc;             // last row, last column (lower right)
  std::string lrfc_loc;             // last row, first column (lower left)
  std::string frfc_loc;             // first row, first column (upper left)
  // The widths of the text fields, indexed by Field.
  int fieldLengths[FIELD_COUNT] = {};

  // `lines` image lines and the corners of `quad` (latitude and longitude in
  // degrees; elevations are not used). A corner whose latitude lies outside
  // [-90, 90] or whose longitude lies outside [-180, 180] (or is not a
  // number) is written as a blank location.
  BLOCKA(int lines, zel::GeoQuad quad);
  // The values of `other`; widths, tag and length are this class's own and
  // the text is rebuilt.
  BLOCKA(const BLOCKA& other);
  explicit BLOCKA(const BLOCKA* other);
  BLOCKA& operator=(const BLOCKA&) = delete;

  // new BLOCKA(this), owned by the caller.
  Extension* copy() override;

  // Default values, widths, tag "BLOCKA" and length 123; the text is left
  // as it is.
  void initializeTags();
  // Rebuilds the text from the values (123 characters).
  void writeTags();
  // One fixed-point number of `width` characters with `precision` decimals,
  // zero-filled, with a leading "+" or "-" when `sign` (45.12345678 at 10
  // with sign and 6 decimals: "+45.123457"). A value outside [min, max], not
  // finite or not fitting is written as zero in the field's width and the
  // result is false.
  static bool writeDecimal(std::ostream& out, int width, bool sign, int precision, double value,
                           double min, double max);
  // The fields, one line each ("L_LINES \"1000\""), then an empty line, to
  // the standard output (whose precision is left at 8).
  void printTags();
  void printTags(std::ostream& out);

  // The 21-character location text of a corner, or an empty text when the
  // corner is out of range.
  static std::string locationText(const zel::DecimalCoordinate& corner);

 private:
  void copyValues(const BLOCKA& other);
};

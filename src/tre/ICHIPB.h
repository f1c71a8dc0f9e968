#pragma once
#include <ostream>
#include <string>

#include "Extension.h"

// The image chipping record (tag "ICHIPB", 224 characters, field layout as
// in STDI-0002): four corners of a chip in chip (output product) pixels and
// in the pixels of the full image it was cut from, and the full image's
// size. Corner 11 is upper left, 12 upper right, 21 lower left, 22 lower
// right; rows are y and columns x of zel::PixelCoordinate. Read and printed
// only; the library never writes one.
class ICHIPB : public Extension {
 public:
  static constexpr int FIELD_COUNT = 22;
  static constexpr int TEXT_LENGTH = 224;
  static constexpr int CORNER_VALUE_COUNT = 16;

  // The widths of the text fields in record order.
  int fieldLengths[FIELD_COUNT] = {};

  int xfrm_flag = 0;                    // XFRM_FLAG
  double scale_factor = 0;              // SCALE_FACTOR
  int anamrph_corr = 0;                 // ANAMRPH_CORR
  int scanblk_num = 0;                  // SCANBLK_NUM
  double op_row_11 = 0, op_col_11 = 0;  // chip pixels
  double op_row_12 = 0, op_col_12 = 0;
  double op_row_21 = 0, op_col_21 = 0;
  double op_row_22 = 0, op_col_22 = 0;
  double fi_row_11 = 0, fi_col_11 = 0;  // full-image pixels
  double fi_row_12 = 0, fi_col_12 = 0;
  double fi_row_21 = 0, fi_col_21 = 0;
  double fi_row_22 = 0, fi_col_22 = 0;
  int fi_row = 0;  // FI_ROW: rows of the full image
  int fi_col = 0;  // FI_COL: columns of the full image

  // Tag "ICHIPB", length 224, empty text, every value 0.
  ICHIPB();
  // Takes the raw values unchanged and decodes `text`.
  ICHIPB(std::string tag, int length, std::string text);
  // The 22 decoded values; tag and text stay empty, the length is the
  // source's.
  ICHIPB(const ICHIPB& other);
  explicit ICHIPB(const ICHIPB* other);
  ICHIPB& operator=(const ICHIPB&) = delete;

  // new ICHIPB(this): its tag is empty.
  Extension* copy() override;

  void initializeTags();
  // Decodes text; fields beyond the end of a short text read as 0.
  void readTags();
  // The fields, one line each, to the standard output with its current
  // precision.
  void printTags();
  void printTags(std::ostream& out);

  // The sixteen corner values in record order: the eight chip values, then
  // the eight full-image values, each corner row before column (index 0 is
  // op_row_11, 8 is fi_row_11, 15 is fi_col_22).
  double cornerValue(int index) const;

 private:
  void copyValues(const ICHIPB& other);
};

#include "ICHIPB.h"

#include <iostream>

#include "../io/StringDataReader.h"
#include "../nitf/NITF.h"

namespace {

constexpr int FIELD_WIDTHS[ICHIPB::FIELD_COUNT] = {2,  10, 2,  2,  12, 12, 12, 12, 12, 12, 12,
                                                   12, 12, 12, 12, 12, 12, 12, 12, 12, 8,  8};
constexpr int FIRST_CORNER_FIELD = 4;

// The corner members in record order.
constexpr double ICHIPB::*CORNERS[ICHIPB::CORNER_VALUE_COUNT] = {
    &ICHIPB::op_row_11, &ICHIPB::op_col_11, &ICHIPB::op_row_12, &ICHIPB::op_col_12,
    &ICHIPB::op_row_21, &ICHIPB::op_col_21, &ICHIPB::op_row_22, &ICHIPB::op_col_22,
    &ICHIPB::fi_row_11, &ICHIPB::fi_col_11, &ICHIPB::fi_row_12, &ICHIPB::fi_col_12,
    &ICHIPB::fi_row_21, &ICHIPB::fi_col_21, &ICHIPB::fi_row_22, &ICHIPB::fi_col_22};

const char* const CORNER_LABELS[ICHIPB::CORNER_VALUE_COUNT] = {
    "op_row_11", "op_col_11", "op_row_12", "op_col_12", "op_row_21", "op_col_21",
    "op_row_22", "op_col_22", "fi_row_11", "fi_col_11", "fi_row_12", "fi_col_12",
    "fi_row_21", "fi_col_21", "fi_row_22", "fi_col_22"};

}  // namespace

ICHIPB::ICHIPB() : Extension("ICHIPB", TEXT_LENGTH, "") { initializeTags(); }

ICHIPB::ICHIPB(std::string tag, int length, std::string text)
    : Extension(std::move(tag), length, std::move(text)) {
  initializeTags();
  readTags();
}

ICHIPB::ICHIPB(const ICHIPB& other) : Extension() {
  initializeTags();
  copyValues(other);
  length = other.length;
}

ICHIPB::ICHIPB(const ICHIPB* other) : ICHIPB(*other) {}

void ICHIPB::copyValues(const ICHIPB& other) {
  xfrm_flag = other.xfrm_flag;
  scale_factor = other.scale_factor;
  anamrph_corr = other.anamrph_corr;
  scanblk_num = other.scanblk_num;
  for (double ICHIPB::*corner : CORNERS) this->*corner = other.*corner;
  fi_row = other.fi_row;
  fi_col = other.fi_col;
}

Extension* ICHIPB::copy() { return new ICHIPB(this); }

void ICHIPB::initializeTags() {
  for (int i = 0; i < FIELD_COUNT; ++i) fieldLengths[i] = FIELD_WIDTHS[i];
}

void ICHIPB::readTags() {
  // Start from zero so that fields beyond the end of a short text read as 0.
  copyValues(ICHIPB());

  StringDataReader reader(text);
  NITF::readIntTag(&reader, fieldLengths[0], xfrm_flag);
  NITF::readDoubleTag(&reader, fieldLengths[1], scale_factor);
  NITF::readIntTag(&reader, fieldLengths[2], anamrph_corr);
  NITF::readIntTag(&reader, fieldLengths[3], scanblk_num);
  for (int i = 0; i < CORNER_VALUE_COUNT; ++i) {
    NITF::readDoubleTag(&reader, fieldLengths[FIRST_CORNER_FIELD + i], this->*CORNERS[i]);
  }
  NITF::readIntTag(&reader, fieldLengths[20], fi_row);
  NITF::readIntTag(&reader, fieldLengths[21], fi_col);
}

void ICHIPB::printTags() { printTags(std::cout); }

void ICHIPB::printTags(std::ostream& out) {
  out << "------ICHIPB------\n";
  out << "xrfm_flag: \"" << xfrm_flag << "\"\n";
  out << "scale_factor: \"" << scale_factor << "\"\n";
  out << "anamrph_coor: \"" << anamrph_corr << "\"\n";
  out << "scanblk_num: \"" << scanblk_num << "\"\n";
  for (int i = 0; i < CORNER_VALUE_COUNT; ++i) {
    out << CORNER_LABELS[i] << ": \"" << this->*CORNERS[i] << "\"\n";
  }
  out << "fi_row: \"" << fi_row << "\"\n";
  out << "fi_col: \"" << fi_col << "\"\n";
  out << std::endl;
}

double ICHIPB::cornerValue(int index) const {
  if (index < 0 || index >= CORNER_VALUE_COUNT) return 0;
  return this->*CORNERS[index];
}

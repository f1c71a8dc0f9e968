#include "BLOCKA.h"

#include <iostream>
#include <sstream>

#include "../nitf/NITF.h"
#include "RPC00B.h"

namespace {

const char* const TAG = "BLOCKA";
const int WIDTHS[BLOCKA::FIELD_COUNT] = {2, 5, 5, 3, 3, 16, 21, 21, 21, 21, 5};

const int LATITUDE_WIDTH = 10;
const int LONGITUDE_WIDTH = 11;
const int LOCATION_DECIMALS = 6;
const double LATITUDE_MAX_DEG = 90.0;
const double LONGITUDE_MAX_DEG = 180.0;

}  // namespace

const int BLOCKA::EMPTY_ANGLE = -9999;

BLOCKA::BLOCKA(int lines, zel::GeoQuad quad) {
  initializeTags();
  l_lines = lines;
  frfc_loc = locationText(quad.ul);
  frlc_loc = locationText(quad.ur);
  lrlc_loc = locationText(quad.lr);
  lrfc_loc = locationText(quad.ll);
  writeTags();
}

BLOCKA::BLOCKA(const BLOCKA& other) : Extension() { copyValues(other); }

BLOCKA::BLOCKA(const BLOCKA* other) { copyValues(*other); }

void BLOCKA::copyValues(const BLOCKA& other) {
  initializeTags();
  block_instance = other.block_instance;
  n_gray = other.n_gray;
  l_lines = other.l_lines;
  layover_angle = other.layover_angle;
  shadow_angle = other.shadow_angle;
  reserved1 = other.reserved1;
  frlc_loc = other.frlc_loc;
  lrlc_loc = other.lrlc_loc;
  lrfc_loc = other.lrfc_loc;
  frfc_loc = other.frfc_loc;
  reserved2 = other.reserved2;
  writeTags();
}

Extension* BLOCKA::copy() { return new BLOCKA(this); }

void BLOCKA::initializeTags() {
  for (int i = 0; i < FIELD_COUNT; ++i) fieldLengths[i] = WIDTHS[i];
  block_instance = 1;
  n_gray = 0;
  l_lines = 0;
  layover_angle = EMPTY_ANGLE;
  shadow_angle = EMPTY_ANGLE;
  reserved1.clear();
  reserved2.clear();
  frlc_loc.clear();
  lrlc_loc.clear();
  lrfc_loc.clear();
  frfc_loc.clear();
  tag = TAG;
  length = TEXT_LENGTH;
}

std::string BLOCKA::locationText(const zel::DecimalCoordinate& corner) {
  std::ostringstream location;
  const bool latitudeWritten = writeDecimal(location, LATITUDE_WIDTH, true, LOCATION_DECIMALS,
                                            corner.getLat(), -LATITUDE_MAX_DEG, LATITUDE_MAX_DEG);
  const bool longitudeWritten =
      writeDecimal(location, LONGITUDE_WIDTH, true, LOCATION_DECIMALS, corner.getLon(),
                   -LONGITUDE_MAX_DEG, LONGITUDE_MAX_DEG);
  // A location that cannot be written whole is left blank (not given)
  // rather than written with a made-up coordinate.
  return latitudeWritten && longitudeWritten ? location.str() : std::string();
}

void BLOCKA::writeTags() {
  std::ostringstream out;
  NITF::writeIntTag(&out, fieldLengths[BLOCK_INSTANCE], block_instance);
  NITF::writeIntTag(&out, fieldLengths[N_GRAY], n_gray);
  NITF::writeIntTag(&out, fieldLengths[L_LINES], l_lines);
  const int angles[2] = {layover_angle, shadow_angle};
  const Field angleFields[2] = {LAYOVER_ANGLE, SHADOW_ANGLE};
  for (int i = 0; i < 2; ++i) {
    if (angles[i] == EMPTY_ANGLE) {
      NITF::writeStringTag(&out, fieldLengths[angleFields[i]], std::string());
    } else {
      NITF::writeIntTag(&out, fieldLengths[angleFields[i]], angles[i]);
    }
  }
  NITF::writeStringTag(&out, fieldLengths[RESERVED1], reserved1);
  NITF::writeStringTag(&out, fieldLengths[FRLC_LOC], frlc_loc);
  NITF::writeStringTag(&out, fieldLengths[LRLC_LOC], lrlc_loc);
  NITF::writeStringTag(&out, fieldLengths[LRFC_LOC], lrfc_loc);
  NITF::writeStringTag(&out, fieldLengths[FRFC_LOC], frfc_loc);
  NITF::writeStringTag(&out, fieldLengths[RESERVED2], reserved2);
  text = out.str();
}

bool BLOCKA::writeDecimal(std::ostream& out, int width, bool sign, int precision, double value,
                          double min, double max) {
  // The same fixed-point field as the RPC00B record's.
  return RPC00B::writeDecimal(out, width, sign, precision, value, min, max);
}

void BLOCKA::printTags() {
  std::cout.precision(8);
  printTags(std::cout);
}

void BLOCKA::printTags(std::ostream& out) {
  const auto line = [&out](const char* label, const std::string& value) {
    out << label << " \"" << value << "\"" << std::endl;
  };
  out << "------BLOCKA------" << std::endl;
  line("BLOCK_INSTANCE", std::to_string(block_instance));
  line("N_GRAY", std::to_string(n_gray));
  line("L_LINES", std::to_string(l_lines));
  line("LAYOVER_ANGLE", std::to_string(layover_angle));
  line("SHADOW_ANGLE", std::to_string(shadow_angle));
  line("RESERVED1", reserved1);
  line("FRLC_LOC", frlc_loc);
  line("LRLC_LOC", lrlc_loc);
  line("LRFC_LOC", lrfc_loc);
  line("FRFC_LOC", frfc_loc);
  line("RESERVED2", reserved2);
  out << std::endl;
}

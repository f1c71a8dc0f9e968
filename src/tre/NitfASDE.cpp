#include "NitfASDE.h"

#include <limits>
#include <sstream>

namespace {
const char* const BLOCKA_TAG = "BLOCKA";
const char* const BLOCKA_LENGTH = "00123";
// Where the pieces of a 21-character location start.
const size_t LATITUDE_AT = 1;
const size_t LONGITUDE_HEMISPHERE_AT = 10;
const size_t LONGITUDE_AT = 11;
const size_t LONGITUDE_SECONDS_AT = 16;
}  // namespace

void parseMENSRA(std::string) {}
void parsePIAIMB(std::string) {}

NitfASDE::NitfASDE() {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  frfcLat = frfcLon = frlcLat = frlcLon = lrlcLat = lrlcLon = lrfcLat = lrfcLon = nan;
}

void NitfASDE::parseASDE(std::string text) { parseBLOCKA(text); }

std::vector<BlockAField> NitfASDE::blockALayout() {
  return {{"CETAG", 6},     {"CEL", 5},           {"BLOCK_INSTANCE", 2}, {"N_GRAY", 5},
          {"L_LINES", 5},   {"LAYOVER_ANGLE", 3}, {"SHADOW_ANGLE", 3},   {"RESERVED1", 16},
          {"FRLC_LOC", 21}, {"LRLC_LOC", 21},     {"LRFC_LOC", 21},      {"FRFC_LOC", 21},
          {"RESERVED2", 5}};
}

void NitfASDE::parseBLOCKA(std::string text) {
  const size_t at = text.find(BLOCKA_TAG);
  if (at == std::string::npos) return;
  const std::string record = text.substr(at);
  if (getCEL(record, 6, 10) != BLOCKA_LENGTH) return;

  std::map<std::string, std::string> values;
  parseExtensionString(record, blockALayout(), values);

  struct Corner {
    const char* field;
    double* lat;
    double* lon;
  };
  const Corner corners[] = {{"FRLC_LOC", &frlcLat, &frlcLon},
                            {"LRLC_LOC", &lrlcLat, &lrlcLon},
                            {"LRFC_LOC", &lrfcLat, &lrfcLon},
                            {"FRFC_LOC", &frfcLat, &frfcLon}};
  for (const Corner& corner : corners) {
    const auto found = values.find(corner.field);
    double latLon[2];
    if (found != values.end() && parseBlockACoordinateString(found->second, latLon)) {
      *corner.lat = latLon[0];
      *corner.lon = latLon[1];
    }
  }
}

void NitfASDE::parseExtensionString(const std::string& text, const std::vector<BlockAField>& layout,
                                    std::map<std::string, std::string>& values) {
  size_t cursor = 0;
  for (const BlockAField& field : layout) {
    if (cursor > text.size() || field.width < 0) return;
    values[field.name] = text.substr(cursor, static_cast<size_t>(field.width));
    cursor += static_cast<size_t>(field.width);
  }
}

namespace {
// The piece of `text` starting at `first`, at most `count` characters.
std::string piece(const std::string& text, size_t first, size_t count) {
  return first <= text.size() ? text.substr(first, count) : std::string();
}
}  // namespace

bool NitfASDE::parseBlockACoordinateString(const std::string& location, double* out) {
  if (location.empty() || out == nullptr) return false;
  const char kind = location[0];
  if (kind == '+' || kind == '-') {
    if (location.size() <= LONGITUDE_HEMISPHERE_AT) return false;
    double lat = string_to_double(piece(location, LATITUDE_AT, 9));
    double lon = string_to_double(piece(location, LONGITUDE_AT, 10));
    if (kind == '-') lat = -lat;
    if (location[LONGITUDE_HEMISPHERE_AT] == '-') lon = -lon;
    out[0] = lat;
    out[1] = lon;
    return true;
  }
  if (kind == 'N' || kind == 'S') {
    if (location.size() < LONGITUDE_SECONDS_AT) return false;
    double lat = string_to_double(piece(location, 1, 2)) +
                 string_to_double(piece(location, 3, 2)) / 60.0 +
                 string_to_double(piece(location, 5, 5)) / 3600.0;
    double lon = string_to_double(piece(location, 11, 3)) +
                 string_to_double(piece(location, 14, 2)) / 60.0 +
                 string_to_double(piece(location, 16, 5)) / 3600.0;
    if (kind == 'S') lat = -lat;
    if (location[LONGITUDE_HEMISPHERE_AT] == 'W') lon = -lon;
    out[0] = lat;
    out[1] = lon;
    return true;
  }
  return false;
}

double NitfASDE::string_to_double(const std::string& text) {
  std::istringstream in(text);
  double value = 0.0;
  if (!(in >> value)) return 0.0;
  return value;
}

std::string NitfASDE::getCEL(const std::string& text, int first, int last) {
  if (first < 0 || last < first || static_cast<size_t>(first) > text.size()) return std::string();
  return text.substr(static_cast<size_t>(first), static_cast<size_t>(last - first + 1));
}

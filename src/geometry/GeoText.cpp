#include "GeoText.h"

#include <cstdio>

namespace zel {

std::string geoDouble2string(double value, int width, int precision) {
  char format[80];
  std::snprintf(format, sizeof format, "%c%d.%dlf", '%', width, precision);
  char text[1024];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

bool decimalIsEquals(double a, double b, int precision) {
  return geoDouble2string(a, 3, precision) == geoDouble2string(b, 3, precision);
}

void nextToken(std::istringstream& in, std::string& token) {
  token.clear();
  while (token.empty() && std::getline(in, token, ' ')) {
  }
}

}  // namespace zel

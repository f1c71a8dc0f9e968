#pragma once
#include <string>

#include "UTMCoordinate.h"

namespace zel {

// A Military Grid Reference System position: the UTM zone and band, the
// two-letter 100-km square identifier, and easting and northing in metres
// inside that square.
class MGRSCoordinate : public UTMCoordinate {
 public:
  std::string square = "ZZ";

  MGRSCoordinate() = default;
  // Zone, band, hemisphere, easting and northing of `other`; square "ZZ".
  explicit MGRSCoordinate(const UTMCoordinate* other) : UTMCoordinate(*other) {}
  // Copies everything, the square included.
  explicit MGRSCoordinate(const MGRSCoordinate* other) : MGRSCoordinate(*other) {}
  MGRSCoordinate(const MGRSCoordinate&) = default;
  MGRSCoordinate& operator=(const MGRSCoordinate&) = default;
};

}  // namespace zel

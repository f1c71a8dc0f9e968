#pragma once
#include "DecimalCoordinate.h"

namespace zel {

// A geographic position with its accuracy: ce is the circular error (CE90)
// and le the linear error (LE90), both in metres. Constructors that do not
// take them set both to 0.
class ErrorCoordinate : public DecimalCoordinate {
 public:
  double ce = 0;
  double le = 0;

  ErrorCoordinate() = default;
  ErrorCoordinate(double lat, double lon) : DecimalCoordinate(lat, lon) {}
  ErrorCoordinate(double lat, double lon, double elev) : DecimalCoordinate(lat, lon, elev) {}
  ErrorCoordinate(double lat, double lon, double elev, double ce, double le)
      : DecimalCoordinate(lat, lon, elev), ce(ce), le(le) {}

  double getCE() const { return ce; }
  double getLE() const { return le; }
  void setCE(double value) { ce = value; }
  void setLE(double value) { le = value; }
};

}  // namespace zel

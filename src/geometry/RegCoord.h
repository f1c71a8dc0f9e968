#pragma once
#include "DecimalCoordinate.h"

namespace zel {

// A registration point: owns its coordinate (which may be null). Handled by
// pointer and never copied.
class RegCoord {
 public:
  DecimalCoordinate* coord;
  bool flag = false;  // carried for callers; the library never reads it

  RegCoord() : coord(new DecimalCoordinate()) {}
  explicit RegCoord(DecimalCoordinate* c) : coord(c) {}
  RegCoord(double lat, double lon) : coord(new DecimalCoordinate(lat, lon)) {}
  ~RegCoord() { delete coord; }
  RegCoord(const RegCoord&) = delete;
  RegCoord& operator=(const RegCoord&) = delete;

  DecimalCoordinate* getCoord() const { return coord; }
  // Deletes the current coordinate and adopts `c`.
  void setCoord(DecimalCoordinate* c) {
    if (c == coord) return;
    delete coord;
    coord = c;
  }
  double getLat() const { return coord ? coord->lat : 0; }
  double getLon() const { return coord ? coord->lon : 0; }
  double getElev() const { return coord ? coord->elev : 0; }
  void setLat(double value) { if (coord) coord->lat = value; }
  void setLon(double value) { if (coord) coord->lon = value; }
  void setElev(double value) { if (coord) coord->elev = value; }
};

}  // namespace zel

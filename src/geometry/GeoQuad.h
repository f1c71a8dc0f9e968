#pragma once
#include <vector>

#include "DecimalCoordinate.h"
#include "PixelCoordinate.h"
#include "Quad.h"

namespace zel {

// Four geographic corners in the order upper left, upper right, lower right,
// lower left (degrees, metres).
class GeoQuad {
 public:
  static const int UL_IND = 0;
  static const int UR_IND = 1;
  static const int LR_IND = 2;
  static const int LL_IND = 3;

  DecimalCoordinate ul;
  DecimalCoordinate ur;
  DecimalCoordinate lr;
  DecimalCoordinate ll;

  GeoQuad() = default;
  GeoQuad(const DecimalCoordinate& ul, const DecimalCoordinate& ur, const DecimalCoordinate& lr,
          const DecimalCoordinate& ll)
      : ul(ul), ur(ur), lr(lr), ll(ll) {}
  explicit GeoQuad(const GeoQuad* other) : GeoQuad(*other) {}
  GeoQuad(double ulLat, double ulLon, double urLat, double urLon, double lrLat, double lrLon,
          double llLat, double llLon)
      : ul(ulLat, ulLon), ur(urLat, urLon), lr(lrLat, lrLon), ll(llLat, llLon) {}

  static int getULIndex() { return UL_IND; }
  static int getURIndex() { return UR_IND; }
  static int getLRIndex() { return LR_IND; }
  static int getLLIndex() { return LL_IND; }

  DecimalCoordinate getUL() const { return ul; }
  DecimalCoordinate getUR() const { return ur; }
  DecimalCoordinate getLR() const { return lr; }
  DecimalCoordinate getLL() const { return ll; }
  void setUL(const DecimalCoordinate& c) { ul = c; }
  void setUR(const DecimalCoordinate& c) { ur = c; }
  void setLR(const DecimalCoordinate& c) { lr = c; }
  void setLL(const DecimalCoordinate& c) { ll = c; }

  // Copies every corner of `from` into `to`; this object takes no part.
  void copy(const GeoQuad* from, GeoQuad* to) const { *to = *from; }

  // Each corner as a pixel coordinate (x = lon, y = lat, z = 0).
  Quad toQuad() const;
  // The corners UL, UR, LR, LL as (x = lon, y = lat, z = elev).
  std::vector<PixelCoordinate> toVector() const;
  // The corners UL, UR, LR, LL.
  std::vector<DecimalCoordinate> toGeoVector() const;
};

}  // namespace zel

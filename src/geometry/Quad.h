#pragma once
#include "PixelCoordinate.h"

namespace zel {

// Four image corners in the order upper left, upper right, lower right, lower left.
class Quad {
 public:
  PixelCoordinate ul;
  PixelCoordinate ur;
  PixelCoordinate lr;
  PixelCoordinate ll;

  Quad() = default;
  Quad(const PixelCoordinate& ul, const PixelCoordinate& ur, const PixelCoordinate& lr,
       const PixelCoordinate& ll)
      : ul(ul), ur(ur), lr(lr), ll(ll) {}
  explicit Quad(const Quad* other) : Quad(*other) {}
  Quad(double ulX, double ulY, double urX, double urY, double lrX, double lrY, double llX,
       double llY)
      : ul(ulX, ulY), ur(urX, urY), lr(lrX, lrY), ll(llX, llY) {}

  PixelCoordinate getUL() const { return ul; }
  PixelCoordinate getUR() const { return ur; }
  PixelCoordinate getLR() const { return lr; }
  PixelCoordinate getLL() const { return ll; }
  void setUL(const PixelCoordinate& c) { ul = c; }
  void setUR(const PixelCoordinate& c) { ur = c; }
  void setLR(const PixelCoordinate& c) { lr = c; }
  void setLL(const PixelCoordinate& c) { ll = c; }

  // Copies every corner of `from` into `to`; this object takes no part.
  void copy(const Quad* from, Quad* to) const { *to = *from; }
};

}  // namespace zel

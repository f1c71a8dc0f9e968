#pragma once

namespace zel {

// A position in an image: x is the column (sample), y the row (line), both in
// pixels; z is a third component (a height in metres where a caller needs one).
class PixelCoordinate {
 public:
  double x = 0;
  double y = 0;
  double z = 0;

  PixelCoordinate() = default;
  PixelCoordinate(double x, double y) : x(x), y(y) {}
  PixelCoordinate(double x, double y, double z) : x(x), y(y), z(z) {}

  double getX() const { return x; }
  double getY() const { return y; }
  double getZ() const { return z; }
  void setX(double value) { x = value; }
  void setY(double value) { y = value; }
  void setZ(double value) { z = value; }
};

}  // namespace zel

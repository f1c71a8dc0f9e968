#include "GeoQuad.h"

namespace zel {

namespace {
PixelCoordinate asPixel(const DecimalCoordinate& c, double z) { return PixelCoordinate(c.lon, c.lat, z); }
}  // namespace

Quad GeoQuad::toQuad() const {
  return Quad(asPixel(ul, 0), asPixel(ur, 0), asPixel(lr, 0), asPixel(ll, 0));
}

std::vector<PixelCoordinate> GeoQuad::toVector() const {
  return {asPixel(ul, ul.elev), asPixel(ur, ur.elev), asPixel(lr, lr.elev), asPixel(ll, ll.elev)};
}

std::vector<DecimalCoordinate> GeoQuad::toGeoVector() const { return {ul, ur, lr, ll}; }

}  // namespace zel

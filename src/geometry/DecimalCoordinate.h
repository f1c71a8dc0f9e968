#pragma once
#include <string>

namespace zel {

// A geographic position: longitude and latitude in decimal degrees (east and
// north positive), elevation in metres. Stored longitude first, but every
// constructor takes latitude first.
class DecimalCoordinate {
 public:
  double lon = 0;
  double lat = 0;
  double elev = 0;

  DecimalCoordinate() = default;
  DecimalCoordinate(double lat, double lon) : lon(lon), lat(lat) {}
  DecimalCoordinate(double lat, double lon, double elev) : lon(lon), lat(lat), elev(elev) {}

  double getLat() const { return lat; }
  double getLon() const { return lon; }
  double getElev() const { return elev; }
  void setLat(double value) { lat = value; }
  void setLon(double value) { lon = value; }
  void setElev(double value) { elev = value; }

  // One field in fixed-point notation with six decimals: 0 lon, 1 lat,
  // 2 elev; any other value gives an empty string.
  std::string toXMLString(int which) const;

  // Geodesic distance in metres on the WGS 84 ellipsoid between two points
  // given in degrees (Vincenty's inverse formula, NGS iterative form).
  static double distance(double lat1, double lon1, double lat2, double lon2);
  // Geodesic distance in metres from this point to `other`.
  double distance(DecimalCoordinate* other) const;
};

}  // namespace zel

#pragma once

namespace zel {

// A position in the Universal Transverse Mercator grid: zone 1 to 60, the
// latitude band letter ('C' to 'X', or 'Z' outside the UTM bands), the
// hemisphere, and easting and northing in metres (false easting 500 000 m,
// southern false northing 10 000 000 m).
class UTMCoordinate {
 public:
  int zone = 0;
  char letter = 'Z';
  // The hemisphere used when the letter is 'Z' (no band).
  bool southern = false;
  double easting = 0.0;
  double northing = 0.0;

  UTMCoordinate() = default;
  // Copies all five fields of `other`.
  explicit UTMCoordinate(const UTMCoordinate* other) : UTMCoordinate(*other) {}
  virtual ~UTMCoordinate() = default;
  UTMCoordinate(const UTMCoordinate&) = default;
  UTMCoordinate& operator=(const UTMCoordinate&) = default;

  // For letter 'Z' the stored flag; otherwise true for the southern bands
  // C to H and J to M.
  bool inSouthernHemisphere() const {
    if (letter == 'Z') return southern;
    return (letter > 'B' && letter < 'I') || (letter > 'I' && letter < 'N');
  }
};

}  // namespace zel

#pragma once
#include <string>

#include "../geometry/DecimalCoordinate.h"
#include "MGRSCoordinate.h"

namespace zel {

// Military Grid Reference System: reading the 15-character MGRS form
// "zzBSSeeeeennnnn" (zone, band, 100-km square, easting and northing in metres
// inside the square) and converting it to latitude and longitude through UTM.
// Every member is static.
class MGRS {
 public:
  // Latitude band letters from south to north (no terminator).
  static const char ZONES[20];
  // Row letters of the 100-km squares: even sets (first 20), odd sets (last 20).
  static const char NORTHING[40];
  // Column letters: group s (1 to 6) holds at positions 9s+1 to 9s+8 the
  // letters of set s; position 9s (the letter 'I') is never used.
  static const char EASTING[63];

  MGRS() = default;
  ~MGRS() = default;

  // The 100-km square set of a zone, 1 to 6.
  static int computeSet(int zone);
  // The true 100-km row number of row letter index `row` (0 to 19) in latitude
  // band `band` (-10 to 9, counted from the equator) and column `column`
  // (0 to 7): the row in [-90, 95) closest to the band, or 100 when row and
  // band are incompatible.
  static int UTMRow(int band, int column, int row);
  // Latitude and longitude (degrees) of `mgrs` on ellipsoid `datum` into
  // `dec`. Returns 0, or -1 for a null pointer, a band letter or square
  // letters that do not exist in the zone's set (then `dec` is unchanged).
  static int toDecimal(MGRSCoordinate* mgrs, int datum, DecimalCoordinate* dec);
  // Reads the 15-character form into zone, letter, square, easting and
  // northing; the hemisphere flag is not touched. Throws std::out_of_range
  // when the text has fewer than 10 characters.
  static void parseMGRSString(const std::string& text, MGRSCoordinate* mgrs);
};

}  // namespace zel

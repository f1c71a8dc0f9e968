#pragma once
#include <string>

#include "../geometry/DecimalCoordinate.h"
#include "UTMCoordinate.h"

namespace zel {

// Universal Transverse Mercator on one of ten reference ellipsoids.
//
// The projection uses the transverse Mercator series expanded in the third
// flattening n: meridian arc and footpoint latitude to n^5, easting and
// northing to the eighth power of the longitude difference (or of the reduced
// easting). Scale factor 0.9996, false easting 500 000 m, southern false
// northing 10 000 000 m. Near a zone's central meridian the series agrees with
// exact transverse Mercator to about a millimetre; at the zone edge (3 degrees
// off) to a few centimetres.
//
// Every member is static; the coefficient tables are filled once when the
// library is loaded and never change.
class UTM {
 public:
  // Datum (ellipsoid) indices into the tables below.
  static const int WGS84 = 0;
  static const int WGS72 = 1;
  static const int WGS66 = 2;
  static const int WGS60 = 3;
  static const int GRS80 = 4;
  static const int GRS75 = 5;
  static const int GRS67 = 6;
  static const int TOKYO = 7;
  static const int AUSTRALIAN = 8;
  static const int NAD83 = 9;
  static const int DATUM_COUNT = 10;

  // Semi-major and semi-minor axes in metres, indexed by datum.
  static const double equatorialRadius[DATUM_COUNT];
  static const double polarRadius[DATUM_COUNT];
  static const double UTMScaleFactor;

  // Series coefficients, indexed by datum (see the compute functions).
  static const double n[DATUM_COUNT];
  static const double alpha[DATUM_COUNT];
  static const double beta[DATUM_COUNT];
  static const double gamma[DATUM_COUNT];
  static const double delta[DATUM_COUNT];
  static const double epsilon[DATUM_COUNT];
  static const double alpha_[DATUM_COUNT];
  static const double beta_[DATUM_COUNT];
  static const double gamma_[DATUM_COUNT];
  static const double delta_[DATUM_COUNT];
  static const double epsilon_[DATUM_COUNT];
  static const double ep2[DATUM_COUNT];

  UTM() = default;
  ~UTM() = default;

  // Third flattening (a - b) / (a + b).
  static double computeN(int datum);
  // Meridian arc coefficients (forward).
  static double computeAlpha(int datum);
  static double computeBeta(int datum);
  static double computeGamma(int datum);
  static double computeDelta(int datum);
  static double computeEpsilon(int datum);
  // Footpoint latitude coefficients (inverse).
  static double computeAlpha_(int datum);
  static double computeBeta_(int datum);
  static double computeGamma_(int datum);
  static double computeDelta_(int datum);
  static double computeEpsilon_(int datum);
  // Second eccentricity squared (a^2 - b^2) / b^2.
  static double computeEccentricityPS(int datum);

  // UTM zone of a point given in degrees, with the Norway (32V) and Svalbard
  // (31X, 33X, 35X, 37X) exceptions. Not wrapped: longitude 180 gives 61.
  static int computeZone(double latitude, double longitude);
  // Latitude band letter ('C' to 'X') of a latitude in degrees; 'Z' beyond
  // 84 N or 80 S.
  static int computeUTMLetterDesignator(double latitude);
  // Central meridian of a zone in radians.
  static double computeUTMCentralMeridian(int zone);
  // Length of the meridian arc from the equator to latitude `phi` (radians),
  // in metres.
  static double computeArcLengthOfMeridian(double phi, int datum);
  // Footpoint latitude in radians of a meridian arc length `y` in metres.
  static double footprintLatitude(double y, int datum);

  // Unscaled transverse Mercator (x, y) in metres of latitude `phi` and
  // longitude `lambda` (radians) about the central meridian of `zone`. Returns
  // a new array of two doubles owned by the caller (delete[]).
  static double* convertLatLonToTM(double phi, double lambda, int zone, int datum);
  // Latitude and longitude (radians) of unscaled transverse Mercator (x, y)
  // in metres about central meridian `lambda0` (radians). Returns a new array
  // of two doubles owned by the caller (delete[]).
  static double* convertTMToLatLon(double x, double y, double lambda0, int datum);

  // Fills zone, letter, hemisphere, easting and northing of `utm` for a point
  // in degrees. For a latitude outside the bands (letter 'Z') the hemisphere
  // flag keeps its previous value.
  static void toUTM(double latitude, double longitude, int datum, UTMCoordinate* utm);
  // Sets latitude and longitude (degrees) of `dec` from `utm`.
  static void toDecimal(UTMCoordinate* utm, int datum, DecimalCoordinate* dec);
  // Reads the 15-character UTM form "zzeeeeeennnnnnn" (zone, easting,
  // northing) into `utm`; letter and hemisphere are not touched. Throws
  // std::out_of_range when the text has fewer than 8 characters.
  static void parseUTMString(const std::string& text, UTMCoordinate* utm);

  // Decimal integer at the start of `text` (leading blanks, optional sign,
  // digits up to the first other character; 0 when there are none).
  // Saturates at the int limits.
  static int leadingInteger(const std::string& text);
};

}  // namespace zel

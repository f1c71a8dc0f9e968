#pragma once
#include "../geodesy/Newmat.h"

// What one image-to-ground solution produces. Lengths in metres, ECEF in
// metres, angles as stated per field. The -999.0 defaults mark values not
// (yet) computed.
class I2GResult {
 public:
  double line = 0.0;    // full-image line given to the solver
  double sample = 0.0;  // full-image sample given to the solver
  double ecefX = -999.0, ecefY = -999.0, ecefZ = -999.0;
  double elevation = -999.0;       // height used as the constraint, metres
  double elevationSigma = -999.0;  // its one-sigma accuracy, metres
  Matrix ecefCovariance;           // 3 x 3, square metres
  Matrix enuCovariance;            // 3 x 3, east-north-up, square metres
  double solverParameter = 0.0;    // passed to the solver, unused
  double ce90 = -999.0;            // metres
  double le90 = -999.0;            // metres
  RowVector geodetic;              // (longitude, latitude radians, height metres)
  double latitude = -999.0;        // degrees (the chip line after the lookup alone)
  double longitude = -999.0;       // degrees (the chip sample after the lookup alone)

  I2GResult() : ecefCovariance(3, 3), enuCovariance(3, 3), geodetic(3) {
    ecefCovariance = 0.0;
    enuCovariance = 0.0;
    geodetic = 0.0;
  }
};

// Ground sample distance and the default view direction, both from the
// camera model alone at its reference height.
#include <algorithm>
#include <cmath>
#include <iostream>

#include "TAV.h"

namespace {

double distance3(const double* a, const double* b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                   (a[2] - b[2]) * (a[2] - b[2]));
}

}  // namespace

double TAV::getGSD() {
  const int n = std::min(height, width);
  const double d = n > 99 ? 100.0 : static_cast<double>(n - 1);
  // (line, sample) of the four points around the camera model's centre.
  const double points[4][2] = {{LINE_OFF - d, SAMP_OFF - d},
                               {LINE_OFF - d, SAMP_OFF + d},
                               {LINE_OFF + d, SAMP_OFF + d},
                               {LINE_OFF + d, SAMP_OFF - d}};
  double X = 0, Y = 0, Z = 0, angle = 0;
  double ground[4][3] = {};
  for (int i = 0; i < 4; ++i) {
    try {
      calcGroundPointNoProp(zel::PixelCoordinate(points[i][1], points[i][0]), HEIGHT_OFF, X, Y, Z,
                            angle, 0.0);
      ground[i][0] = X;
      ground[i][1] = Y;
      ground[i][2] = Z;
    } catch (BaseException&) {
      const char* text = BaseException::what();
      std::cout << (text != nullptr ? text : "") << std::endl;
    } catch (BaseException* e) {
      delete e;
      std::cout << "exception caught in main program" << std::endl;
    } catch (...) {
      std::cout << "exception caught in main program" << std::endl;
    }
  }
  const double pixels02 = std::hypot(points[2][0] - points[0][0], points[2][1] - points[0][1]);
  const double pixels13 = std::hypot(points[3][0] - points[1][0], points[3][1] - points[1][1]);
  const double result = std::sqrt((distance3(ground[2], ground[0]) / pixels02) *
                                  (distance3(ground[3], ground[1]) / pixels13));
  elevationAngle = angle;
  return result;
}

void TAV::deriveSensorDirection() {
  sensorAzimuth = 0;
  sensorElevation = 0;
  if (chipTransform().chipToFull.singular) return;
  try {
    const zel::PixelCoordinate centre = chip2full(zel::PixelCoordinate(width / 2.0, height / 2.0));
    double X = 0, Y = 0, Z = 0, angle = 0;
    if (!calcGroundPointNoProp(centre, HEIGHT_OFF, X, Y, Z, angle, 0.0)) return;
    RowVector ground(3);
    ground(1) = toFeet(X);
    ground(2) = toFeet(Y);
    ground(3) = toFeet(Z);
    Matrix A, B;
    RowVector F;
    double azimuth = 0, elevation = 0;
    calculateA_B_F_az_el(centre.y, centre.x, toFeet(HEIGHT_OFF), ground, A, B, F, azimuth,
                         elevation);
    if (std::isfinite(azimuth) && std::isfinite(elevation)) {
      sensorAzimuth = azimuth;
      sensorElevation = elevation;
    }
  } catch (BaseException&) {
  } catch (BaseException* e) {
    delete e;
  }
}

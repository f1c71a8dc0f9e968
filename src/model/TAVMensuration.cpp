// Height mensuration: the height of an object from two picked points (base,
// top, shadow tip), by the closest approach of two lines in ECEF space.
#include <cmath>
#include <cstdlib>
#include <string>

#include "../geodesy/CommonModel.h"
#include "TAV.h"

namespace {

constexpr double RAD_TO_DEG = 57.29577951308232;  // exact 180/pi
constexpr double LOCUS_TOLERANCE = 0.001;         // metres
constexpr int LOCUS_ITERATIONS = 10;

int field(const std::string& text, size_t position, size_t width) {
  return std::atoi(text.substr(position, width).c_str());  // out_of_range past the end
}

RowVector rowOf(double x, double y, double z) {
  RowVector v(3);
  v(1) = x;
  v(2) = y;
  v(3) = z;
  return v;
}

// Height of the closest approach of two lines above `reference` (ECEF
// metres) along the unit vector `up`; `midpoint` receives the approach.
double heightOfApproach(const zel::ECEFRay& a, const zel::ECEFRay& b, const RowVector& reference,
                        const RowVector& up, RowVector& midpoint) {
  RowVector separation;
  a.calcPointOfClosestApproach(b, midpoint, separation);
  return DotProduct(up, midpoint - reference);
}

}  // namespace

void TAV::parseDateString(int& year, int& month, int& day, int& hour, int& minute, int& second) {
  year = field(imageDateTime, 0, 4);
  month = field(imageDateTime, 4, 2);
  day = field(imageDateTime, 6, 2);
  hour = field(imageDateTime, 8, 2);
  minute = field(imageDateTime, 10, 2);
  second = field(imageDateTime, 12, 2);
}

RowVector TAV::getVectorFromGroundToObject(zel::ErrorCoordinate& ground, const double& azimuth,
                                           const double& elevation) {
  const ColumnVector ecef =
      CommonModel::enuToECEF(ground.lat, ground.lon, CommonModel::azElToENU(azimuth, elevation));
  return ecef.t();
}

RowVector TAV::getVectorToSensor(zel::ErrorCoordinate& ground) {
  return getVectorFromGroundToObject(ground, sensorAzimuth * RAD_TO_DEG,
                                     sensorElevation * RAD_TO_DEG);
}

RowVector TAV::getVectorToSun(zel::ErrorCoordinate& ground) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  parseDateString(year, month, day, hour, minute, second);
  CommonModel::calSunAngles(year, month, day, hour, minute, second, ground.lat, ground.lon,
                            sunAzimuth, sunElevation);
  return getVectorFromGroundToObject(ground, sunAzimuth, sunElevation);
}

zel::ECEFRay TAV::getImagingLocus(zel::PixelCoordinate& target, zel::DecimalCoordinate& ground,
                                  double tolerance, double& convergence) {
  zel::ECEFRay ray;
  const I2GResult start = I2G(zel::PixelCoordinate(0, 0));
  RowVector estimate = rowOf(start.ecefX, start.ecefY, start.ecefZ);
  RowVector intersection = rowOf(0, 0, 0);
  double previousStep = 1000000000.0;
  double step = 0;
  for (int iteration = 0; iteration < LOCUS_ITERATIONS; ++iteration) {
    double lambda = 0, phi = 0, h = 0;
    CommonModel::ecefTogeodetic(estimate(1), estimate(2), estimate(3), true, lambda, phi, h);
    const zel::PixelCoordinate p =
        groundToFullImage(zel::DecimalCoordinate(phi * RAD_TO_DEG, lambda * RAD_TO_DEG, h));
    const std::vector<double> g = computeGroundPartials(estimate);
    ray.computeIntersectionOfPlanes(g[0], g[1], g[2], target.y - p.y, g[3], g[4], g[5],
                                    target.x - p.x);
    RowVector point, direction;
    ray.get(point, direction);
    point = point + estimate;
    ray.set(point, direction);
    ray.groundIntersection(ground.elev, intersection);

    const RowVector delta = intersection - estimate;
    estimate = intersection;
    step = std::max(std::fabs(delta(1)), std::max(std::fabs(delta(2)), std::fabs(delta(3))));
    if (step <= tolerance) {
      convergence = step;
      return ray;
    }
    if (step >= previousStep) {
      convergence = previousStep;
      return ray;
    }
    previousStep = step;
  }
  RowVector point, direction;
  ray.get(point, direction);
  if (DotProduct(point, direction) > 0) {
    direction = direction * -1.0;
    ray.set(point, direction);
    convergence = step;
  }
  return ray;
}

double TAV::getHeightOffsetBaseToTop(zel::PixelCoordinate base, zel::PixelCoordinate top) {
  return getHeightOffsetBaseToTop(base, this, top);
}

double TAV::getHeightOffsetBaseToTop(zel::PixelCoordinate base, TAV* other,
                                     zel::PixelCoordinate top) {
  zel::ErrorCoordinate groundBase = imageToGround(base);
  zel::PixelCoordinate fullTop = other->chip2full(top);
  zel::ErrorCoordinate groundTop = other->imageToGroundOverrideHeight(top, true, groundBase.elev);
  const RowVector baseEcef = calcECEF(groundBase);
  const RowVector up = getUpVector(groundBase);
  const zel::ECEFRay vertical(baseEcef, up);
  double convergence = 0;
  const zel::ECEFRay locus =
      other->getImagingLocus(fullTop, groundTop, LOCUS_TOLERANCE, convergence);
  const zel::ECEFRay lineOfSight(calcECEF(groundTop), locus.direction);
  RowVector midpoint;
  return heightOfApproach(vertical, lineOfSight, baseEcef, up, midpoint);
}

double TAV::getHeightOffsetBaseToShadowTip(zel::PixelCoordinate base, zel::PixelCoordinate shadow) {
  return getHeightOffsetBaseToShadowTip(base, this, shadow);
}

double TAV::getHeightOffsetBaseToShadowTip(zel::PixelCoordinate base, TAV* other,
                                           zel::PixelCoordinate shadow) {
  zel::ErrorCoordinate groundShadow = other->imageToGround(shadow);
  zel::ErrorCoordinate groundBase = imageToGroundOverrideHeight(base, true, groundShadow.elev);
  const RowVector baseEcef = calcECEF(groundBase);
  const RowVector up = getUpVector(groundBase);
  const zel::ECEFRay vertical(baseEcef, up);
  const zel::ECEFRay sunRay(calcECEF(groundShadow), getVectorToSun(groundShadow));
  RowVector midpoint;
  return heightOfApproach(vertical, sunRay, baseEcef, up, midpoint);
}

zel::DecimalCoordinate TAV::getHeightOffsetTopToShadowTip(zel::PixelCoordinate top,
                                                          zel::PixelCoordinate shadow) {
  zel::ErrorCoordinate groundShadow = imageToGround(shadow);
  zel::ErrorCoordinate groundTop = imageToGroundOverrideHeight(top, true, groundShadow.elev);
  const RowVector topEcef = calcECEF(groundTop);
  const zel::ECEFRay towardSensor(topEcef, getVectorToSensor(groundTop));
  const zel::ECEFRay sunRay(calcECEF(groundShadow), getVectorToSun(groundShadow));
  RowVector midpoint;
  const double height =
      heightOfApproach(towardSensor, sunRay, topEcef, getUpVector(groundTop), midpoint);
  double lambda = 0, phi = 0, h = 0;
  CommonModel::ecefTogeodetic(midpoint(1), midpoint(2), midpoint(3), true, lambda, phi, h);
  return zel::DecimalCoordinate(phi * RAD_TO_DEG, lambda * RAD_TO_DEG, height);
}

zel::DecimalCoordinate TAV::getHeightOffsetTopToShadowTip(zel::PixelCoordinate top, TAV* other,
                                                          zel::PixelCoordinate shadow) {
  zel::ErrorCoordinate groundShadow = other->imageToGround(shadow);
  zel::ErrorCoordinate groundTop = imageToGroundOverrideHeight(top, true, groundShadow.elev);
  const RowVector topEcef = calcECEF(groundTop);
  zel::PixelCoordinate fullTop = chip2full(top);
  double convergence = 0;
  const zel::ECEFRay locus = getImagingLocus(fullTop, groundTop, LOCUS_TOLERANCE, convergence);
  const zel::ECEFRay sunRay(calcECEF(groundShadow), getVectorToSun(groundShadow));
  RowVector midpoint;
  const double height = heightOfApproach(locus, sunRay, topEcef, getUpVector(groundTop), midpoint);
  double lambda = 0, phi = 0, h = 0;
  CommonModel::ecefTogeodetic(midpoint(1), midpoint(2), midpoint(3), true, lambda, phi, h);
  return zel::DecimalCoordinate(phi * RAD_TO_DEG, lambda * RAD_TO_DEG, height);
}

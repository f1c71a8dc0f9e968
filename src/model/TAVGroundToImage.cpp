// RPC ground-to-image, ECEF helpers and the partial derivatives of image
// coordinates by ECEF position.
#include <cmath>

#include "../geodesy/CommonModel.h"
#include "RpcPolynomial.h"
#include "TAV.h"

namespace {

constexpr double PI = 3.141592653589793;
constexpr double DEG_TO_RAD = 0.017453292519943295;  // exact pi/180
constexpr double RAD_TO_DEG = 57.29577951308232;     // exact 180/pi

}  // namespace

zel::PixelCoordinate TAV::groundToFullImage(const zel::DecimalCoordinate& ground) const {
  const double L = (ground.lon - LONG_OFF) / LONG_SCALE;
  const double P = (ground.lat - LAT_OFF) / LAT_SCALE;
  const double H = (ground.elev - HEIGHT_OFF) / HEIGHT_SCALE;
  double T[rpc::TERM_COUNT];
  rpc::terms(L, P, H, T);
  const double line = rpc::dot(rpc::coefficients(LINE_NUM_COEFF), T) /
                          rpc::dot(rpc::coefficients(LINE_DEN_COEFF), T) * LINE_SCALE +
                      LINE_OFF;
  const double sample = rpc::dot(rpc::coefficients(SAMP_NUM_COEFF), T) /
                            rpc::dot(rpc::coefficients(SAMP_DEN_COEFF), T) * SAMP_SCALE +
                        SAMP_OFF;
  return zel::PixelCoordinate(sample, line, 0);
}

zel::PixelCoordinate TAV::groundToImage(zel::DecimalCoordinate ground) {
  return full2chip(groundToFullImage(ground));
}

zel::PixelCoordinate TAV::ecefGroundToImage(RowVector ecef) {
  double longitude = 0, latitude = 0, h = 0;
  CommonModel::ecefTogeodetic(ecef(1), ecef(2), ecef(3), true, longitude, latitude, h);
  return groundToImage(zel::DecimalCoordinate(latitude * RAD_TO_DEG, longitude * RAD_TO_DEG, h));
}

RowVector TAV::calcECEF(zel::DecimalCoordinate ground) {
  RowVector geodetic(3);
  geodetic(1) = ground.lon * DEG_TO_RAD;
  geodetic(2) = ground.lat * DEG_TO_RAD;
  geodetic(3) = ground.elev;
  return CommonModel::geodeticToGeocentricMetric(geodetic);
}

RowVector TAV::getUpVector(zel::DecimalCoordinate ground) {
  const double phi = ground.lat * DEG_TO_RAD;
  const double lambda = ground.lon * DEG_TO_RAD;
  RowVector up(3);
  up(1) = std::cos(lambda) * std::cos(phi);
  up(2) = std::sin(lambda) * std::cos(phi);
  up(3) = std::sin(phi);
  return up;
}

void TAV::computeWGS84PartialDerivs(double latitude, double longitude, double h,
                                    double* partials) const {
  const double sinPhi = std::sin(latitude), cosPhi = std::cos(latitude);
  const double sinLambda = std::sin(longitude), cosLambda = std::cos(longitude);
  const double N = SEMI_MAJOR_AXIS / std::sqrt(1 - e2 * sinPhi * sinPhi);
  const double M = N * N * N * 0.9933056200098587 / 40680631590769.0 + h;
  const double Q = (N + h) * cosPhi;
  partials[0] = -sinPhi * cosLambda / M;
  partials[1] = -sinPhi * sinLambda / M;
  partials[2] = cosPhi / M;
  partials[3] = -sinLambda / Q;
  partials[4] = cosLambda / Q;
  partials[5] = 0;
  partials[6] = cosPhi * cosLambda;
  partials[7] = cosPhi * sinLambda;
  partials[8] = sinPhi;
}

void TAV::rpcDerivatives(const RowVector& num, const RowVector& den, double L, double P, double H,
                         double& dL, double& dP, double& dH) {
  double T[rpc::TERM_COUNT], TL[rpc::TERM_COUNT], TP[rpc::TERM_COUNT], TH[rpc::TERM_COUNT];
  rpc::terms(L, P, H, T);
  rpc::termDerivatives(L, P, H, TL, TP, TH);
  const double* n = rpc::coefficients(num);
  const double* d = rpc::coefficients(den);
  const double nv = rpc::dot(n, T), dv = rpc::dot(d, T);
  const double d2 = dv * dv;
  dL = (dv * rpc::dot(n, TL) - nv * rpc::dot(d, TL)) / d2;
  dP = (dv * rpc::dot(n, TP) - nv * rpc::dot(d, TP)) / d2;
  dH = (dv * rpc::dot(n, TH) - nv * rpc::dot(d, TH)) / d2;
}

std::vector<double> TAV::computeGroundPartials(const RowVector& ecef) const {
  double lambda = 0, phi = 0, h = 0;
  CommonModel::ecefTogeodetic(ecef(1), ecef(2), ecef(3), true, lambda, phi, h);
  double J[9];
  computeWGS84PartialDerivs(phi, lambda, h, J);
  const double latScale = LAT_SCALE * DEG_TO_RAD;
  const double longScale = LONG_SCALE * DEG_TO_RAD;
  const double P = deltaAngle(phi, LAT_OFF * DEG_TO_RAD) / latScale;
  const double L = deltaAngle(lambda, LONG_OFF * DEG_TO_RAD) / longScale;
  const double H = (h - HEIGHT_OFF) / HEIGHT_SCALE;

  std::vector<double> result(6);
  const RowVector* numerators[] = {&LINE_NUM_COEFF, &SAMP_NUM_COEFF};
  const RowVector* denominators[] = {&LINE_DEN_COEFF, &SAMP_DEN_COEFF};
  const double scales[] = {LINE_SCALE, SAMP_SCALE};
  for (int set = 0; set < 2; ++set) {
    double gL = 0, gP = 0, gH = 0;
    rpcDerivatives(*numerators[set], *denominators[set], L, P, H, gL, gP, gH);
    const double gLambda = gL / longScale, gPhi = gP / latScale, gHeight = gH / HEIGHT_SCALE;
    for (int k = 0; k < 3; ++k) {
      result[set * 3 + k] = (gPhi * J[k] + gLambda * J[3 + k] + gHeight * J[6 + k]) * scales[set];
    }
  }
  return result;
}

double TAV::deltaAngle(double a, double b) {
  double d = a - b;
  if (d > PI) d = d - 2 * PI;
  if (d < -PI) d = d + 2 * PI;
  return d;
}

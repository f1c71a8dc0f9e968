// Image to ground: the iterated (weighted) least-squares intersection of the
// RPC line and sample equations with the ellipsoid raised by the terrain
// height, in ECEF feet, and its error propagation to CE90/LE90.
#include <algorithm>
#include <cmath>

#include "../geodesy/CommonModel.h"
#include "RpcPolynomial.h"
#include "TAV.h"

namespace {

constexpr double DEG_TO_RAD = 0.017453292519943295;  // exact pi/180
constexpr double RAD_TO_DEG = 57.29577951308232;     // exact 180/pi
constexpr double ONE_MINUS_E2 = 0.9933056200098587;
constexpr double A_FT_E2 = 140084.22804192902;  // aFt * e2
constexpr int WEIGHTED_ITERATIONS = 10;
constexpr int UNWEIGHTED_ITERATIONS = 15;
constexpr const char* NOT_CONVERGED = "Image to ground solution did not converge";

// |d1| + |d2| + |d3| of a 3 x 1 correction in feet, as metres.
double correctionMetres(const Matrix& delta) {
  return (std::fabs(delta(1, 1)) + std::fabs(delta(2, 1)) + std::fabs(delta(3, 1))) * 0.3048;
}

void addCorrection(RowVector& estimate, const Matrix& delta) {
  for (int i = 1; i <= 3; ++i) estimate(i) += delta(i, 1);
}

}  // namespace

I2GResult TAV::I2G(zel::PixelCoordinate chipPixel) {
  return I2GOverrideHeight(chipPixel, false, 0.0);
}

I2GResult TAV::I2GOverrideHeight(zel::PixelCoordinate chipPixel, bool overrideHeight,
                                 double heightMetres) {
  I2GResult result;
  Matrix imageCovariance(2, 2);
  imageCovariance = 0.0;
  imageCovariance(1, 1) = imageCovariance(2, 2) = 1.0;

  const zel::PixelCoordinate full = chip2full(chipPixel);
  getElevation(full, result);
  result.line = full.y + (blockRow - 1) * BLOCKSIZE;
  result.sample = full.x + (blockColumn - 1) * BLOCKSIZE;
  if (overrideHeight) result.elevation = heightMetres;

  const bool converged = calcGroundPoint(
      result.line, result.sample, imageCovariance, result.elevation, result.elevationSigma,
      result.ecefX, result.ecefY, result.ecefZ, result.ecefCovariance, result.solverParameter);
  // A point that was never solved has no position to report.
  if (!converged) throw new BaseException(NOT_CONVERGED);

  ColumnVector position(3);
  position(1) = result.ecefX;
  position(2) = result.ecefY;
  position(3) = result.ecefZ;
  CommonModel::calculatePositionError(position, result.ecefCovariance, result.ce90, result.le90,
                                      result.enuCovariance);
  RowVector ecef(3);
  ecef(1) = result.ecefX;
  ecef(2) = result.ecefY;
  ecef(3) = result.ecefZ;
  result.geodetic = CommonModel::geocentricToGeodeticMetric(ecef);
  result.longitude = result.geodetic(1) * RAD_TO_DEG;
  result.latitude = result.geodetic(2) * RAD_TO_DEG;
  return result;
}

zel::ErrorCoordinate TAV::imageToGround(zel::PixelCoordinate chipPixel) {
  const I2GResult r = I2G(chipPixel);
  return zel::ErrorCoordinate(r.latitude, r.longitude, r.elevation, r.ce90, r.le90);
}

zel::ErrorCoordinate TAV::imageToGroundOverrideHeight(zel::PixelCoordinate chipPixel,
                                                      bool overrideHeight, double heightMetres) {
  const I2GResult r = I2GOverrideHeight(chipPixel, overrideHeight, heightMetres);
  return zel::ErrorCoordinate(r.latitude, r.longitude, r.elevation, r.ce90, r.le90);
}

RowVector TAV::toECEF(zel::PixelCoordinate chipPixel) { return calcECEF(imageToGround(chipPixel)); }

RowVector TAV::toECEF(zel::PixelCoordinate chipPixel, double heightMetres) {
  return calcECEF(imageToGroundOverrideHeight(chipPixel, true, heightMetres));
}

bool TAV::calcGroundPoint(double line, double sample, Matrix imageCovariance, double heightMetres,
                          double heightSigma, double& X, double& Y, double& Z, Matrix& covariance,
                          double solverParameter) {
  (void)solverParameter;
  const Matrix P = calculateP(imageCovariance, heightSigma);
  RowVector G = originECEF;
  const double h = toFeet(heightMetres);
  Matrix A, B, Ninverse;
  RowVector F;
  double azimuth = 0, elevation = 0, conv = 0;
  int iteration = 0;
  do {
    ++iteration;
    calculateA_B_F_az_el(line, sample, h, G, A, B, F, azimuth, elevation);
    const Matrix W = (A * P * A.t()).i();
    const Matrix N = B.t() * W * B;
    Ninverse = N.i();
    const Matrix delta = Ninverse * B.t() * W * F.t();
    addCorrection(G, delta);
    conv = correctionMetres(delta);
  } while (conv > DESIRED_PRECISION && iteration < WEIGHTED_ITERATIONS);

  if (conv > DESIRED_PRECISION || iteration >= WEIGHTED_ITERATIONS) return false;
  X = G(1) * M_PER_FT;
  Y = G(2) * M_PER_FT;
  Z = G(3) * M_PER_FT;
  covariance = Ninverse * (M_PER_FT * M_PER_FT);
  // A correction that is not a number ends the loop like a small one, but
  // the point it leaves is no solution.
  return std::isfinite(conv);
}

bool TAV::calcGroundPointNoProp(zel::PixelCoordinate fullPixel, double heightMetres, double& X,
                                double& Y, double& Z, double& sensorElevationAngle,
                                double solverParameter) {
  (void)solverParameter;
  RowVector G = originECEF;
  const double h = toFeet(heightMetres);
  Matrix A, B;
  RowVector F;
  double azimuth = 0, elevation = 0, conv = 0;
  int iteration = 0;
  do {
    ++iteration;
    calculateA_B_F_az_el(fullPixel.y, fullPixel.x, h, G, A, B, F, azimuth, elevation);
    // Inverted on its own: newmat loses the nodes of a longer expression
    // when the inversion throws inside it.
    const Matrix normal = B.t() * B;
    const Matrix inverse = normal.i();
    const ColumnVector misclosure = F.t();
    const Matrix delta = inverse * (B.t() * misclosure);
    addCorrection(G, delta);
    conv = correctionMetres(delta);
  } while (conv > DESIRED_PRECISION && iteration < UNWEIGHTED_ITERATIONS);

  if (conv > DESIRED_PRECISION || iteration >= UNWEIGHTED_ITERATIONS) return false;
  X = G(1) * M_PER_FT;
  Y = G(2) * M_PER_FT;
  Z = G(3) * M_PER_FT;
  sensorElevationAngle = elevation;
  return std::isfinite(conv);
}

void TAV::calculateA_B_F_az_el(double line, double sample, double heightFeet, RowVector estimate,
                               Matrix& A, Matrix& B, RowVector& F, double& azimuth,
                               double& elevation) {
  const double X = estimate(1), Y = estimate(2), Z = estimate(3);
  double lambda = 0, phi = 0, hG = 0;
  CommonModel::ecefTogeodetic(X, Y, Z, false, lambda, phi, hG);
  A = Matrix(3, 3);
  B = Matrix(3, 3);
  F = RowVector(3);
  A = 0.0;
  B = 0.0;
  F = 0.0;

  const double longScale = LONG_SCALE * DEG_TO_RAD;
  const double latScale = LAT_SCALE * DEG_TO_RAD;
  const double heightScale = toFeet(HEIGHT_SCALE);
  const double L = (lambda - LONG_OFF * DEG_TO_RAD) / longScale;
  const double P = (phi - LAT_OFF * DEG_TO_RAD) / latScale;
  const double H = (hG - toFeet(HEIGHT_OFF)) / heightScale;
  const double l = (line - LINE_OFF) / LINE_SCALE;
  const double s = (sample - SAMP_OFF) / SAMP_SCALE;

  double T[rpc::TERM_COUNT], TL[rpc::TERM_COUNT], TP[rpc::TERM_COUNT], TH[rpc::TERM_COUNT];
  rpc::terms(L, P, H, T);
  rpc::termDerivatives(L, P, H, TL, TP, TH);
  const double* lineNum = rpc::coefficients(LINE_NUM_COEFF);
  const double* lineDen = rpc::coefficients(LINE_DEN_COEFF);
  const double* sampNum = rpc::coefficients(SAMP_NUM_COEFF);
  const double* sampDen = rpc::coefficients(SAMP_DEN_COEFF);
  const double nl = rpc::dot(lineNum, T), dl = rpc::dot(lineDen, T);
  const double ns = rpc::dot(sampNum, T), ds = rpc::dot(sampDen, T);

  // M: negated derivatives of the normalised line (row 1) and sample (row 2)
  // by longitude, latitude (radians) and height (feet).
  const double* derivatives[] = {TL, TP, TH};
  const double scales[] = {longScale, latScale, heightScale};
  Matrix M(2, 3);
  for (int k = 0; k < 3; ++k) {
    const double* Tk = derivatives[k];
    M(1, k + 1) =
        -(dl * rpc::dot(lineNum, Tk) - nl * rpc::dot(lineDen, Tk)) / (dl * dl * scales[k]);
    M(2, k + 1) =
        -(ds * rpc::dot(sampNum, Tk) - ns * rpc::dot(sampDen, Tk)) / (ds * ds * scales[k]);
  }

  // The horizontal drift of the line of sight per foot of height at a fixed
  // pixel points toward the sensor.
  const double D = M(1, 1) * M(2, 2) - M(1, 2) * M(2, 1);
  const double dLambda = (M(1, 2) * M(2, 3) - M(2, 2) * M(1, 3)) / D;
  const double dPhi = (M(2, 1) * M(1, 3) - M(1, 1) * M(2, 3)) / D;
  const double east = aFt * std::cos(phi) * dLambda;
  const double north = aFt * dPhi;
  azimuth = std::atan2(east, north);
  elevation = std::atan2(1.0, std::sqrt(east * east + north * north));

  // d(X, Y, Z)/d(lambda, phi, h), feet.
  const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
  const double sinLambda = std::sin(lambda), cosLambda = std::cos(lambda);
  const double w = std::sqrt(1 - e2 * sinPhi * sinPhi);
  const double N = aFt / w;
  const double dN = A_FT_E2 * sinPhi * cosPhi / (w * w * w);
  Matrix J(3, 3);
  J(1, 1) = -(N + hG) * cosPhi * sinLambda;
  J(1, 2) = cosLambda * (dN * cosPhi - (N + hG) * sinPhi);
  J(1, 3) = cosPhi * cosLambda;
  J(2, 1) = (N + hG) * cosPhi * cosLambda;
  J(2, 2) = sinLambda * (dN * cosPhi - (N + hG) * sinPhi);
  J(2, 3) = cosPhi * sinLambda;
  J(3, 1) = 0;
  J(3, 2) = ONE_MINUS_E2 * dN * sinPhi + (ONE_MINUS_E2 * N + hG) * cosPhi;
  J(3, 3) = sinPhi;
  const Matrix Q = M * J.i();

  const double Ra = aFt + heightFeet, Rb = bFt + heightFeet;
  A(1, 1) = 1;
  A(2, 2) = 1;
  A(3, 3) = -2 * ((X * X + Y * Y) / (Ra * Ra * Ra) + Z * Z / (Rb * Rb * Rb));
  for (int k = 1; k <= 3; ++k) {
    B(1, k) = Q(1, k);
    B(2, k) = Q(2, k);
  }
  B(3, 1) = 2 * X / (Ra * Ra);
  B(3, 2) = 2 * Y / (Ra * Ra);
  B(3, 3) = 2 * Z / (Rb * Rb);
  F(1) = nl / dl - l;
  F(2) = ns / ds - s;
  F(3) = 1 - (X * X + Y * Y) / (Ra * Ra) - Z * Z / (Rb * Rb);
}

Matrix TAV::calculateP(Matrix imageCovariance, double heightSigma) {
  const double m = imageCovariance(1, 1);
  const double k = m < 0 ? 1.0 : std::max(1.0, m);
  const double sigma = std::sqrt(ERR_BIAS * ERR_BIAS + ERR_RAND * ERR_RAND + (k * gsd) * (k * gsd));
  const double g = std::sqrt(std::fabs(std::sin(elevationAngle))) * gsd;
  Matrix P(3, 3);
  P = 0.0;
  P(1, 1) = std::pow(sigma / (LINE_SCALE * g), 2);
  P(2, 2) = std::pow(sigma / (SAMP_SCALE * g), 2);
  P(3, 3) = std::pow(heightSigma * FT_PER_M, 2);
  return P;
}

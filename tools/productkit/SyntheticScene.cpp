#include "productkit/SyntheticScene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "geodesy/CommonModel.h"

namespace productkit {

namespace {

constexpr double PI = 3.141592653589793;
constexpr double DEG = PI / 180.0;
constexpr double A = 6378137.0;
constexpr double B = 6378137.0 * (1.0 - 1.0 / 298.257223563);

Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator*(double s, const Vec3& a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 unit(const Vec3& a) { return (1.0 / std::sqrt(dot(a, a))) * a; }

Vec3 toEcef(double lat, double lon, double height) {
  Vec3 p;
  CommonModel::geodeticToECEF(lon * DEG, lat * DEG, height, true, p.x, p.y, p.z);
  return p;
}

void toGeodetic(const Vec3& p, double& lat, double& lon, double& height) {
  double lambda = 0, phi = 0;
  CommonModel::ecefTogeodetic(p.x, p.y, p.z, true, lambda, phi, height);
  lat = phi / DEG;
  lon = lambda / DEG;
}

// Nearest crossing of the line p + t d with the ellipsoid raised by h.
bool intersectRaised(const Vec3& p, const Vec3& d, double h, Vec3& out) {
  const double a2 = (A + h) * (A + h), b2 = (B + h) * (B + h);
  const double qa = (d.x * d.x + d.y * d.y) / a2 + d.z * d.z / b2;
  const double qb = 2 * ((p.x * d.x + p.y * d.y) / a2 + p.z * d.z / b2);
  const double qc = (p.x * p.x + p.y * p.y) / a2 + p.z * p.z / b2 - 1;
  const double disc = qb * qb - 4 * qa * qc;
  if (disc < 0) return false;
  const double t1 = (-qb - std::sqrt(disc)) / (2 * qa), t2 = (-qb + std::sqrt(disc)) / (2 * qa);
  const double t = t1 > 0 ? t1 : t2;
  if (t <= 0) return false;
  out = p + t * d;
  return true;
}

// Fixed-width decimal field: sign (optional), zero-filled, `decimals` places.
std::string decimalField(double value, int width, int decimals, bool sign) {
  char text[64];
  std::snprintf(text, sizeof text, sign ? "%+0*.*f" : "%0*.*f", width, decimals, value);
  if (static_cast<int>(std::string(text).size()) != width)
    throw std::runtime_error("RPC field does not fit: " + std::string(text));
  return text;
}

// An RPC00B coefficient: +d.ddddddE+d; values below 1e-9 in magnitude become 0.
std::string coefficientField(double value, double& written) {
  written = 0;
  if (value == 0 || std::fabs(value) < 1e-9) return "+0.000000E+0";
  int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  double mantissa = value / std::pow(10.0, exponent);
  mantissa = std::round(mantissa * 1e6) / 1e6;
  if (std::fabs(mantissa) >= 10) {
    mantissa /= 10;
    ++exponent;
  }
  if (exponent > 9) throw std::runtime_error("RPC coefficient too large");
  if (exponent < -9) return "+0.000000E+0";
  char text[32];
  std::snprintf(text, sizeof text, "%+.6fE%+d", mantissa, exponent);
  written = std::strtod(text, nullptr);
  return text;
}

void terms(double L, double P, double H, double* T) {
  const double v[20] = {1,         L,         P,         H,         L * P,     L * H,     P * H,
                        L * L,     P * P,     H * H,     P * L * H, L * L * L, L * P * P, L * H * H,
                        L * L * P, P * P * P, P * H * H, L * L * H, P * P * H, H * H * H};
  std::copy(v, v + 20, T);
}

// Solves the (symmetric) system by Gaussian elimination with partial pivoting.
std::vector<long double> solve(std::vector<std::vector<long double>> m,
                               std::vector<long double> b) {
  const size_t n = b.size();
  for (size_t c = 0; c < n; ++c) {
    size_t pivot = c;
    for (size_t r = c + 1; r < n; ++r)
      if (std::fabs(m[r][c]) > std::fabs(m[pivot][c])) pivot = r;
    std::swap(m[c], m[pivot]);
    std::swap(b[c], b[pivot]);
    for (size_t r = c + 1; r < n; ++r) {
      const long double f = m[r][c] / m[c][c];
      for (size_t k = c; k < n; ++k) m[r][k] -= f * m[c][k];
      b[r] -= f * b[c];
    }
  }
  std::vector<long double> x(n);
  for (size_t i = n; i-- > 0;) {
    long double s = b[i];
    for (size_t k = i + 1; k < n; ++k) s -= m[i][k] * x[k];
    x[i] = s / m[i][i];
  }
  return x;
}

struct Observation {
  double T[20];
  double value;  // normalised line or sample
};

// num . T / den . T = value, den_0 = 1, weighted iteratively by 1 / (den . T).
void fitRational(const std::vector<Observation>& obs, std::array<double, 20>& num,
                 std::array<double, 20>& den) {
  constexpr size_t n = 39;
  std::vector<double> weight(obs.size(), 1.0);
  for (int pass = 0; pass < 3; ++pass) {
    std::vector<std::vector<long double>> m(n, std::vector<long double>(n, 0));
    std::vector<long double> rhs(n, 0);
    double row[n];
    for (size_t o = 0; o < obs.size(); ++o) {
      const Observation& ob = obs[o];
      for (int i = 0; i < 20; ++i) row[i] = ob.T[i];
      for (int i = 1; i < 20; ++i) row[19 + i] = -ob.value * ob.T[i];
      const double w = weight[o] * weight[o];
      for (size_t i = 0; i < n; ++i) {
        rhs[i] += w * row[i] * ob.value;
        for (size_t k = 0; k < n; ++k) m[i][k] += w * row[i] * row[k];
      }
    }
    long double trace = 0;
    for (size_t i = 0; i < n; ++i) trace += m[i][i];
    for (size_t i = 0; i < n; ++i) m[i][i] += 1e-12L * trace / n;  // a touch of ridge
    const std::vector<long double> x = solve(m, rhs);
    for (int i = 0; i < 20; ++i) num[i] = static_cast<double>(x[i]);
    den[0] = 1;
    for (int i = 1; i < 20; ++i) den[i] = static_cast<double>(x[19 + i]);
    for (size_t o = 0; o < obs.size(); ++o) {
      double d = 0;
      for (int i = 0; i < 20; ++i) d += den[i] * obs[o].T[i];
      weight[o] = 1.0 / d;
    }
  }
}

double ceilTo(double value, double step) { return std::ceil(value / step - 1e-9) * step; }
double roundTo(double value, double step) { return std::round(value / step) * step; }

}  // namespace

double Terrain::heightAt(double lat, double lon) const {
  const double n = (lat - originLat) * DEG * A;
  const double e = (lon - originLon) * DEG * A * std::cos(originLat * DEG);
  return base + eastSlope * e + northSlope * n +
         amplitude * std::sin(2 * PI * e / wavelength) * std::cos(2 * PI * n / wavelength);
}

FrameCamera::FrameCamera(double lat, double lon, double height, double targetLat, double targetLon,
                         double targetHeight, double focal, int rowCount, int columnCount)
    : rows(rowCount), columns(columnCount), focalLength(focal) {
  centre = toEcef(lat, lon, height);
  const Vec3 target = toEcef(targetLat, targetLon, targetHeight);
  forward = unit(target - centre);
  const double phi = targetLat * DEG, lambda = targetLon * DEG;
  const Vec3 north{-std::sin(phi) * std::cos(lambda), -std::sin(phi) * std::sin(lambda),
                   std::cos(phi)};
  right = unit(cross(forward, north));
  down = cross(forward, right);
}

void FrameCamera::project(const Vec3& p, double& line, double& sample) const {
  const Vec3 v = p - centre;
  const double z = dot(v, forward);
  sample = columns / 2.0 + focalLength * dot(v, right) / z;
  line = rows / 2.0 + focalLength * dot(v, down) / z;
}

void FrameCamera::projectGround(double lat, double lon, double height, double& line,
                                double& sample) const {
  project(toEcef(lat, lon, height), line, sample);
}

Vec3 FrameCamera::rayDirection(double line, double sample) const {
  return unit(forward + ((sample - columns / 2.0) / focalLength) * right +
              ((line - rows / 2.0) / focalLength) * down);
}

bool FrameCamera::intersectHeight(double line, double sample, double height, double& lat,
                                  double& lon) const {
  Vec3 p;
  if (!intersectRaised(centre, rayDirection(line, sample), height, p)) return false;
  double h = 0;
  toGeodetic(p, lat, lon, h);
  return true;
}

bool FrameCamera::intersectTerrain(double line, double sample, const Terrain& terrain, double& lat,
                                   double& lon, double& height) const {
  height = terrain.base;
  for (int i = 0; i < 200; ++i) {
    if (!intersectHeight(line, sample, height, lat, lon)) return false;
    const double next = terrain.heightAt(lat, lon);
    const bool settled = std::fabs(next - height) < 1e-7;
    height = next;
    if (settled) return intersectHeight(line, sample, height, lat, lon);
  }
  return false;
}

RpcFit fitRpc(const FrameCamera& camera, double minHeight, double maxHeight, double errBias,
              double errRand, int gridSize, int heightLevels) {
  struct GroundSample {
    double lat, lon, h, line, sample;
  };
  std::vector<GroundSample> grid;
  for (int i = 0; i < gridSize; ++i) {
    for (int j = 0; j < gridSize; ++j) {
      const double line = (camera.rows - 1.0) * i / (gridSize - 1.0);
      const double sample = (camera.columns - 1.0) * j / (gridSize - 1.0);
      for (int k = 0; k < heightLevels; ++k) {
        const double h = minHeight + (maxHeight - minHeight) * k / std::max(1, heightLevels - 1);
        GroundSample g{0, 0, h, line, sample};
        if (camera.intersectHeight(line, sample, h, g.lat, g.lon)) grid.push_back(g);
      }
    }
  }
  if (grid.empty()) throw std::runtime_error("camera does not see the earth");

  RpcFit fit;
  double minLat = 1e9, maxLat = -1e9, minLon = 1e9, maxLon = -1e9;
  for (const GroundSample& g : grid) {
    minLat = std::min(minLat, g.lat);
    maxLat = std::max(maxLat, g.lat);
    minLon = std::min(minLon, g.lon);
    maxLon = std::max(maxLon, g.lon);
  }
  fit.lineOff = std::floor(camera.rows / 2.0);
  fit.sampOff = std::floor(camera.columns / 2.0);
  fit.lineScale = std::ceil(camera.rows / 2.0) + 1;
  fit.sampScale = std::ceil(camera.columns / 2.0) + 1;
  fit.latOff = roundTo((minLat + maxLat) / 2, 1e-4);
  fit.longOff = roundTo((minLon + maxLon) / 2, 1e-4);
  fit.latScale = std::max(1e-4, ceilTo(std::max(maxLat - fit.latOff, fit.latOff - minLat), 1e-4));
  fit.longScale =
      std::max(1e-4, ceilTo(std::max(maxLon - fit.longOff, fit.longOff - minLon), 1e-4));
  fit.heightOff = std::round((minHeight + maxHeight) / 2);
  fit.heightScale = std::max(1.0, std::ceil((maxHeight - minHeight) / 2));

  std::vector<Observation> lines, samples;
  for (const GroundSample& g : grid) {
    Observation o;
    terms((g.lon - fit.longOff) / fit.longScale, (g.lat - fit.latOff) / fit.latScale,
          (g.h - fit.heightOff) / fit.heightScale, o.T);
    o.value = (g.line - fit.lineOff) / fit.lineScale;
    lines.push_back(o);
    o.value = (g.sample - fit.sampOff) / fit.sampScale;
    samples.push_back(o);
  }
  fitRational(lines, fit.lineNum, fit.lineDen);
  fitRational(samples, fit.sampNum, fit.sampDen);

  // The record text; the coefficients keep the values it holds.
  std::string text = "1";
  text += decimalField(errBias, 7, 2, false) + decimalField(errRand, 7, 2, false);
  text += decimalField(fit.lineOff, 6, 0, false) + decimalField(fit.sampOff, 5, 0, false);
  text += decimalField(fit.latOff, 8, 4, true) + decimalField(fit.longOff, 9, 4, true);
  text += decimalField(fit.heightOff, 5, 0, true);
  text += decimalField(fit.lineScale, 6, 0, false) + decimalField(fit.sampScale, 5, 0, false);
  text += decimalField(fit.latScale, 8, 4, true) + decimalField(fit.longScale, 9, 4, true);
  text += decimalField(fit.heightScale, 5, 0, true);
  for (std::array<double, 20>* set : {&fit.lineNum, &fit.lineDen, &fit.sampNum, &fit.sampDen}) {
    for (double& c : *set) {
      double written = 0;
      text += coefficientField(c, written);
      c = written;
    }
  }
  if (text.size() != 1041) throw std::runtime_error("RPC00B text of wrong length");
  fit.text = text;

  double sum = 0;
  for (const GroundSample& g : grid) {
    double line = 0, sample = 0;
    evaluateRpc(fit, g.lat, g.lon, g.h, line, sample);
    const double r = std::hypot(line - g.line, sample - g.sample);
    sum += r * r;
    fit.maxResidual = std::max(fit.maxResidual, r);
  }
  fit.rmsResidual = std::sqrt(sum / grid.size());
  return fit;
}

void evaluateRpc(const RpcFit& rpc, double lat, double lon, double height, double& line,
                 double& sample) {
  double T[20];
  terms((lon - rpc.longOff) / rpc.longScale, (lat - rpc.latOff) / rpc.latScale,
        (height - rpc.heightOff) / rpc.heightScale, T);
  double ln = 0, ld = 0, sn = 0, sd = 0;
  for (int i = 0; i < 20; ++i) {
    ln += rpc.lineNum[i] * T[i];
    ld += rpc.lineDen[i] * T[i];
    sn += rpc.sampNum[i] * T[i];
    sd += rpc.sampDen[i] * T[i];
  }
  line = ln / ld * rpc.lineScale + rpc.lineOff;
  sample = sn / sd * rpc.sampScale + rpc.sampOff;
}

std::vector<Post> samplePosts(const FrameCamera& camera, const Terrain& terrain,
                              const ChipCorners& chip, int spacing, double unitsPerMetre,
                              int accuracy, int& baseElevation) {
  const double lastRow = chip.chip[3][0], lastColumn = chip.chip[3][1];
  struct Raw {
    int row, column;
    long value;
  };
  std::vector<Raw> raw;
  for (int r = 0; r <= lastRow; r += spacing) {
    for (int c = 0; c <= lastColumn; c += spacing) {
      // Bilinear interpolation of the full-image corners (UL, UR, LL, LR).
      const double u = lastColumn > 0 ? c / lastColumn : 0, v = lastRow > 0 ? r / lastRow : 0;
      double full[2];
      for (int k = 0; k < 2; ++k) {
        full[k] = (1 - u) * (1 - v) * chip.full[0][k] + u * (1 - v) * chip.full[1][k] +
                  (1 - u) * v * chip.full[2][k] + u * v * chip.full[3][k];
      }
      double lat = 0, lon = 0, h = 0;
      if (!camera.intersectTerrain(full[0], full[1], terrain, lat, lon, h)) continue;
      raw.push_back({r, c, std::lround(h * unitsPerMetre)});
    }
  }
  long lowest = 0;
  for (size_t i = 0; i < raw.size(); ++i)
    lowest = i == 0 ? raw[i].value : std::min(lowest, raw[i].value);
  baseElevation = static_cast<int>(lowest);
  std::vector<Post> posts;
  for (const Raw& p : raw) {
    const long stored = p.value - lowest;
    if (stored > 0xFFFF) throw std::runtime_error("terrain relief too large for 16-bit posts");
    posts.push_back({p.row, p.column, static_cast<int>(stored), accuracy, accuracy});
  }
  return posts;
}

}  // namespace productkit

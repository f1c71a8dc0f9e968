#pragma once
// Synthetic scenes with known truth for testing the sensor model: a terrain
// surface, a physical frame camera over it, an RPC00B fitted to that camera
// by least squares, and elevation posts sampled from the surface.
//
// Units: latitude and longitude in degrees, heights in metres above the
// WGS 84 ellipsoid, ECEF in metres, image positions in full-image pixels
// (line = row, sample = column) unless a name says chip.
#include <array>
#include <string>
#include <vector>

#include "productkit/ChipRecord.h"
#include "productkit/ElevationPayload.h"

namespace productkit {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

// h(lat, lon) = base + east slope * e + north slope * n
//               + amplitude * sin(2 pi e / wavelength) * cos(2 pi n / wavelength),
// with (e, n) metres east and north of (originLat, originLon) on a local
// sphere of radius 6378137 m.
struct Terrain {
  double originLat = 0, originLon = 0;
  double base = 100;
  double eastSlope = 0, northSlope = 0;  // metres per metre
  double amplitude = 0, wavelength = 1000;

  double heightAt(double lat, double lon) const;
};

// A pinhole frame camera at `position` looking at `target`. Samples grow to
// the right of the view, lines downward; with a nadir view samples run east
// and lines south. `focalLength` in pixels; the principal point is the
// image centre.
class FrameCamera {
 public:
  FrameCamera(double lat, double lon, double height, double targetLat, double targetLon,
              double targetHeight, double focalLength, int rows, int columns);

  int rows = 0, columns = 0;
  double focalLength = 0;
  Vec3 centre;                // ECEF of the camera
  Vec3 right, down, forward;  // unit camera axes in ECEF

  // Full-image (line, sample) of an ECEF point (metres).
  void project(const Vec3& ecef, double& line, double& sample) const;
  void projectGround(double lat, double lon, double height, double& line, double& sample) const;
  // Unit ECEF direction of the line of sight of a pixel.
  Vec3 rayDirection(double line, double sample) const;
  // Where the pixel's line of sight meets the ellipsoid raised by `height`
  // (false when it misses). Latitude/longitude in degrees.
  bool intersectHeight(double line, double sample, double height, double& lat, double& lon) const;
  // Where the pixel's line of sight meets the terrain (fixed-point
  // iteration on the height); false when it does not settle.
  bool intersectTerrain(double line, double sample, const Terrain& terrain, double& lat,
                        double& lon, double& height) const;
};

// An RPC00B fitted to a camera.
struct RpcFit {
  std::string text;        // the 1041-character RPC00B record
  double rmsResidual = 0;  // pixels, over the fitting grid, after formatting
  double maxResidual = 0;  // pixels
  double lineOff = 0, sampOff = 0, latOff = 0, longOff = 0, heightOff = 0;
  double lineScale = 0, sampScale = 0, latScale = 0, longScale = 0, heightScale = 0;
  std::array<double, 20> lineNum{}, lineDen{}, sampNum{}, sampDen{};
};

// Least-squares fit of the 78 RPC coefficients (both denominators with a
// constant term of 1) over a grid of `gridSize` x `gridSize` pixels of the
// full image times `heightLevels` heights in [minHeight, maxHeight]. The
// residual is measured with the coefficients as the record text holds them.
// errBias / errRand go into ERR_BIAS / ERR_RAND (metres).
RpcFit fitRpc(const FrameCamera& camera, double minHeight, double maxHeight, double errBias = 1.0,
              double errRand = 0.5, int gridSize = 21, int heightLevels = 9);

// Evaluates a fitted RPC: full-image (line, sample) of a ground point.
void evaluateRpc(const RpcFit& rpc, double lat, double lon, double height, double& line,
                 double& sample);

// Posts on a regular grid of chip pixels (every `spacing` chip pixels over
// the chip), each the terrain height where the camera sees that pixel,
// stored in `unitsPerMetre` units (1 metres, 10 decimetres, 3.28 feet)
// relative to the returned base elevation (the lowest stored value). The
// accuracies are set to `accuracy` (stored units, 12 bits).
std::vector<Post> samplePosts(const FrameCamera& camera, const Terrain& terrain,
                              const ChipCorners& chip, int spacing, double unitsPerMetre,
                              int accuracy, int& baseElevation);

}  // namespace productkit

// Elevation under a pixel: inverse-distance weighting of the nearest post in
// each quadrant around it, with the accuracy that goes with it.
#include <algorithm>
#include <cmath>

#include "TAV.h"

namespace {

constexpr double DEG_TO_RAD = 0.017453292519943295;  // exact pi/180
constexpr const char* NO_POST =
    "Could not find a post close enough to                                 calculate an elevation "
    "value.";
constexpr const char* NO_SPACING = "Error, couldn't determine elevation post spacing";
constexpr const char* BAD_ACCURACY = "Invalid elevation accuracy";
constexpr int QUADRANTS = 4;

bool isRoughSource(DataSource::DataSource source) {
  return source == DataSource::SOURCE_6 || source == DataSource::SOURCE_8;
}

// Converts a post's stored value to metres.
double toMetres(double value, bool form1, int units) {
  if (form1) return value / 10;
  switch (units) {
    case 1: return TAV::toMeters(value);
    case 2: return value / 10;
    default: return value;
  }
}

}  // namespace

double TAV::getElevation(zel::PixelCoordinate chipPixel) {
  I2GResult result;
  getElevation(chip2full(chipPixel), result);
  return result.elevation;
}

void TAV::getElevation(zel::PixelCoordinate fullPixel, I2GResult& result) {
  const zel::PixelCoordinate cp = full2chip(fullPixel);
  result.latitude = cp.y;
  result.longitude = cp.x;
  double radius = 0;
  if (elevationFormat == "1.7") {
    // A "1.7" product without segments has no spacing to go by and no post to find.
    if (elevationSegments.empty()) throw new BaseException(NO_POST);
    ElevationSegmentData* chosen = &elevationSegments.front();
    for (ElevationSegmentData& segment : elevationSegments) {
      const int source = segment.dataSource;
      if ((source >= 0 && source <= 2) || source == 8) {
        chosen = &segment;
        break;
      }
    }
    radius = 1.5 * getApproximateDTEDPostSpacing(*chosen);
  }
  const std::vector<double> interpolated =
      IDW_Interpolation(elevationSegments, cp.y, cp.x, MAX_POSTS, radius);
  result.elevation = interpolated[0];
  result.elevationSigma = interpolated[1] * LE90_TO_SIGMA;
  if (result.elevationSigma <= 0) throw new BaseException(BAD_ACCURACY);
}

std::vector<double> TAV::IDW_Interpolation(std::vector<ElevationSegmentData>& segments, double line,
                                           double sample, int postCount, double searchRadius) {
  (void)postCount;  // the selection is one post per quadrant whatever its value
  // The nearest post of each quadrant over all segments: the first segment
  // wins a tie, as it would in a scan in segment order.
  struct Best {
    int segment = -1;
    int index = -1;
    double distance = 0;
  } best[QUADRANTS];
  double slope = 0;
  for (size_t s = 0; s < segments.size(); ++s) {
    ElevationSegmentData& segment = segments[s];
    if (isRoughSource(segment.dataSource)) {
      if (segment.slope90 == -999.0) segment.slope90 = segment.computeSlope90(gsd);
      slope = segment.slope90;
    }
    const double radius = searchRadius == 0 ? segment.searchRadius : searchRadius;
    PostGrid::Nearest nearest[QUADRANTS];
    segment.postIndex().nearestByQuadrant(segment.points, line, sample, radius, nearest);
    for (int q = 0; q < QUADRANTS; ++q) {
      if (nearest[q].index < 0) continue;
      if (best[q].segment < 0 || nearest[q].distance < best[q].distance) {
        best[q].segment = static_cast<int>(s);
        best[q].index = nearest[q].index;
        best[q].distance = nearest[q].distance;
      }
    }
  }

  std::vector<PostRec> selection;
  for (const Best& b : best) {
    if (b.segment < 0) continue;
    ElevationSegmentData& segment = segments[static_cast<size_t>(b.segment)];
    ElevationPoint& post = segment.points[static_cast<size_t>(b.index)];
    const double weight = b.distance < 0.01 ? 99.9 : 1.0 / b.distance;
    savePostSorted(selection, b.distance, weight, post, segment.dataSource);
  }
  if (selection.empty()) throw new BaseException(NO_POST);

  double totalWeight = 0;
  for (const PostRec& r : selection) totalWeight += r.weight;
  const bool form1 = elevationFormat == "1.7";
  const int units = elevationSegments.empty() ? 0 : elevationSegments.front().units;
  double elevation = 0, variance = 0;
  for (const PostRec& r : selection) {
    const double e = toMetres(r.post.elevation, form1, units);
    const double a = toMetres(r.post.verticalAccuracy, form1, units);
    const double wn = r.weight / totalWeight;
    elevation += wn * e;
    variance += wn * a * a;
  }
  for (const PostRec& r : selection) {
    if (isRoughSource(r.source)) {
      variance += r.distance + (slope * gsd) * (slope * gsd);
      break;
    }
  }
  return {elevation, std::sqrt(variance)};
}

void TAV::savePostSorted(std::vector<PostRec>& posts, double distance, double weight,
                         ElevationPoint& post, DataSource::DataSource& source) {
  const auto at = std::find_if(posts.begin(), posts.end(),
                               [distance](const PostRec& r) { return r.distance > distance; });
  posts.insert(at, PostRec(distance, weight, post, source));
}

double TAV::getApproximateDTEDPostSpacing(ElevationSegmentData& segment) {
  // Post spacing of DTED levels 0 to 3, arc-seconds.
  static constexpr double SPACING_ARC_SECONDS[] = {30, 3, 1, 0};
  // Levels outside the table have no known spacing.
  if (segment.dtedLevel < 0 || segment.dtedLevel > 3) throw new BaseException(NO_SPACING);
  const double spacing =
      SPACING_ARC_SECONDS[segment.dtedLevel] / 3600 * DEG_TO_RAD * SEMI_MAJOR_AXIS / gsd;
  if (spacing <= 0) throw new BaseException(NO_SPACING);
  return spacing;
}

// Terrain roughness of an elevation segment (90th-percentile slope between
// nearby posts), the post index and small helpers.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "ElevationSegmentData.h"

namespace {

constexpr double MAX_PAIR_DISTANCE_M = 60.0;
// Slopes held in memory at once before switching to a two-pass selection.
constexpr size_t DIRECT_SELECTION_LIMIT = size_t(1) << 24;
constexpr int HISTOGRAM_BITS = 20;

// Monotone key of a non-negative double (its top bits).
uint32_t bucketOf(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return static_cast<uint32_t>(bits >> (64 - HISTOGRAM_BITS));
}

// Post spacing that gives about two posts per cell of the lookup grid.
double lookupCellSize(const std::vector<ElevationPoint>& points) {
  if (points.empty()) return 1;
  int minRow = points[0].row, maxRow = minRow, minColumn = points[0].column, maxColumn = minColumn;
  for (const ElevationPoint& p : points) {
    minRow = std::min(minRow, p.row);
    maxRow = std::max(maxRow, p.row);
    minColumn = std::min(minColumn, p.column);
    maxColumn = std::max(maxColumn, p.column);
  }
  const double area = (double(maxRow) - minRow + 1) * (double(maxColumn) - minColumn + 1);
  return std::sqrt(2.0 * area / static_cast<double>(points.size()));
}

}  // namespace

const PostGrid& ElevationSegmentData::postIndex() const {
  if (!index.grid || !index.grid->indexes(points))
    index.grid = std::make_shared<const PostGrid>(points, lookupCellSize(points));
  return *index.grid;
}

double ElevationSegmentData::computeSlope90(double gsd) {
  if (!(gsd > 0) || points.size() < 2) return 0;
  // Pixel distance within which a pair can be at most 60 m apart.
  const double reach = MAX_PAIR_DISTANCE_M / gsd * (1 + 1e-9) + 1;
  const PostGrid grid(points, reach);
  const ElevationPoint* p = points.data();

  // slope(i, j) for a pair that qualifies; a negative value otherwise.
  const auto slopeOf = [&](int i, int j) {
    const double dr = static_cast<double>(p[i].row - p[j].row);
    const double dc = static_cast<double>(p[i].column - p[j].column);
    const double g = std::sqrt(dr * dr + dc * dc) * gsd;
    if (!(g > 0 && g <= MAX_PAIR_DISTANCE_M)) return -1.0;
    return std::fabs(p[i].elevation / 10 - p[j].elevation / 10) / g;
  };

  // First try: hold every slope and select.
  std::vector<double> slopes;
  bool overflow = false;
  size_t n = 0;
  grid.forEachNearbyPair([&](int i, int j) {
    const double s = slopeOf(i, j);
    if (s < 0) return;
    ++n;
    if (overflow) return;
    if (slopes.size() >= DIRECT_SELECTION_LIMIT) {
      overflow = true;
      slopes.clear();
      slopes.shrink_to_fit();
      return;
    }
    slopes.push_back(s);
  });
  if (n == 0) return 0;
  const size_t k = static_cast<size_t>(round(0.9 * static_cast<double>(n)));
  if (k == 0) return 0;
  size_t target = k - 1;
  if (!overflow) {
    std::nth_element(slopes.begin(), slopes.begin() + static_cast<long>(target), slopes.end());
    return slopes[target];
  }

  // Too many to hold: count by bucket, then keep only the target's bucket.
  std::vector<uint64_t> histogram(size_t(1) << HISTOGRAM_BITS, 0);
  grid.forEachNearbyPair([&](int i, int j) {
    const double s = slopeOf(i, j);
    if (s >= 0) ++histogram[bucketOf(s)];
  });
  uint32_t bucket = 0;
  for (;; ++bucket) {
    if (target < histogram[bucket]) break;
    target -= histogram[bucket];
  }
  grid.forEachNearbyPair([&](int i, int j) {
    const double s = slopeOf(i, j);
    if (s >= 0 && bucketOf(s) == bucket) slopes.push_back(s);
  });
  std::nth_element(slopes.begin(), slopes.begin() + static_cast<long>(target), slopes.end());
  return slopes[target];
}

void ElevationSegmentData::saveSlopeSorted(std::vector<double>& slopes, double slope) {
  slopes.insert(std::upper_bound(slopes.begin(), slopes.end(), slope), slope);
}

double ElevationSegmentData::round(double x) {
  return x >= 0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5);
}

// Starts from 65535 and takes the minimum of the integer parts of the first
// postCount elevations (65535 when postCount <= 0); -32768 is returned as it
// is, any other negative minimum less 1. Nothing in the library calls it.
int ElevationSegmentData::calcBaseElevation() {
  int lowest = 65535;
  if (postCount <= 0) return lowest;
  const size_t limit = std::min(points.size(), static_cast<size_t>(postCount));
  for (size_t i = 0; i < limit; ++i)
    lowest = std::min(lowest, static_cast<int>(points[i].elevation));
  if (lowest == -32768) return lowest;
  return lowest < 0 ? lowest - 1 : lowest;
}

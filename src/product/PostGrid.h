#pragma once
// A uniform grid over the chip positions of a segment's elevation posts, so
// that searches visit only the posts near a point instead of all of them.
#include <cstddef>
#include <vector>

#include "ElevationPoint.h"

class PostGrid {
 public:
  // The nearest qualifying post of one quadrant: its index in the segment
  // (-1 for none) and its distance in chip pixels.
  struct Nearest {
    int index = -1;
    double distance = 0;
  };

  // Indexes `points` with square cells of `cellSize` pixels (at least 1;
  // enlarged when the grid would have more than about four cells per post).
  PostGrid(const std::vector<ElevationPoint>& points, double cellSize);

  // True when the grid was built for this very vector (same storage and size).
  bool indexes(const std::vector<ElevationPoint>& points) const {
    return points.data() == source && points.size() == count;
  }

  // For each quadrant around (line, sample): Q1 row <= line and column <=
  // sample, Q2 row <= line and column >= sample, Q3 row >= line and column >=
  // sample, Q4 row >= line and column <= sample; the post with the smallest
  // distance sqrt((line - row)^2 + (sample - column)^2) below `radius`, the
  // lowest index among equal distances. Exactly what a scan of every post in
  // order that keeps the first of the nearest would find.
  void nearestByQuadrant(const std::vector<ElevationPoint>& points, double line, double sample,
                         double radius, Nearest nearest[4]) const;

  // Calls visit(i, j) once for every pair i < j of posts whose cells touch
  // (a superset of the pairs closer than the cell size).
  template <class Visit>
  void forEachNearbyPair(Visit visit) const;

 private:
  const ElevationPoint* source = nullptr;
  std::size_t count = 0;
  double minRow = 0, minColumn = 0, maxRow = 0, maxColumn = 0;
  double cellSize = 1;
  long long rows = 0, columns = 0;  // cells
  std::vector<int> cellStart;       // rows * columns + 1 offsets into cellPosts
  std::vector<int> cellPosts;       // post indices, by cell, ascending within a cell
  std::vector<int> postCell;        // the cell of each post

  long long cellRow(double row) const;
  long long cellColumn(double column) const;
};

template <class Visit>
void PostGrid::forEachNearbyPair(Visit visit) const {
  for (std::size_t i = 0; i < count; ++i) {
    const long long cell = postCell[i];
    const long long cy = cell / columns, cx = cell % columns;
    for (long long y = cy - 1; y <= cy + 1; ++y) {
      if (y < 0 || y >= rows) continue;
      for (long long x = cx - 1; x <= cx + 1; ++x) {
        if (x < 0 || x >= columns) continue;
        const long long other = y * columns + x;
        for (int k = cellStart[other]; k < cellStart[other + 1]; ++k) {
          const int j = cellPosts[k];
          if (j > static_cast<int>(i)) visit(static_cast<int>(i), j);
        }
      }
    }
  }
}

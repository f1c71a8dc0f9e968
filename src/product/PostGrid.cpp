#include "PostGrid.h"

#include <algorithm>
#include <cmath>

PostGrid::PostGrid(const std::vector<ElevationPoint>& points, double size)
    : source(points.data()), count(points.size()) {
  if (count == 0) return;
  minRow = maxRow = points[0].row;
  minColumn = maxColumn = points[0].column;
  for (const ElevationPoint& p : points) {
    minRow = std::min(minRow, static_cast<double>(p.row));
    maxRow = std::max(maxRow, static_cast<double>(p.row));
    minColumn = std::min(minColumn, static_cast<double>(p.column));
    maxColumn = std::max(maxColumn, static_cast<double>(p.column));
  }
  cellSize = std::isfinite(size) ? std::max(1.0, size) : 1.0;
  const double spanRows = maxRow - minRow + 1, spanColumns = maxColumn - minColumn + 1;
  const double maxCells = 4.0 * static_cast<double>(count) + 16.0;
  while (std::ceil(spanRows / cellSize) * std::ceil(spanColumns / cellSize) > maxCells)
    cellSize *= 1.5;
  rows = static_cast<long long>(std::floor((maxRow - minRow) / cellSize)) + 1;
  columns = static_cast<long long>(std::floor((maxColumn - minColumn) / cellSize)) + 1;

  // Counting sort of the posts by cell keeps ascending indices in each cell.
  postCell.resize(count);
  cellStart.assign(static_cast<size_t>(rows * columns + 1), 0);
  for (size_t i = 0; i < count; ++i) {
    const long long cell = cellRow(points[i].row) * columns + cellColumn(points[i].column);
    postCell[i] = static_cast<int>(cell);
    ++cellStart[static_cast<size_t>(cell) + 1];
  }
  for (size_t c = 1; c < cellStart.size(); ++c) cellStart[c] += cellStart[c - 1];
  cellPosts.resize(count);
  std::vector<int> next(cellStart.begin(), cellStart.end() - 1);
  for (size_t i = 0; i < count; ++i)
    cellPosts[static_cast<size_t>(next[postCell[i]]++)] = static_cast<int>(i);
}

long long PostGrid::cellRow(double row) const {
  const double c = std::floor((row - minRow) / cellSize);
  return static_cast<long long>(std::min(std::max(c, 0.0), static_cast<double>(rows - 1)));
}

long long PostGrid::cellColumn(double column) const {
  const double c = std::floor((column - minColumn) / cellSize);
  return static_cast<long long>(std::min(std::max(c, 0.0), static_cast<double>(columns - 1)));
}

void PostGrid::nearestByQuadrant(const std::vector<ElevationPoint>& points, double y, double x,
                                 double radius, Nearest nearest[4]) const {
  for (int q = 0; q < 4; ++q) nearest[q] = Nearest();
  if (count == 0 || !(radius > 0) || std::isnan(x) || std::isnan(y)) return;

  // A quadrant whose region misses the posts' bounding box has nothing to find.
  bool open[4] = {minRow <= y && minColumn <= x, minRow <= y && maxColumn >= x,
                  maxRow >= y && maxColumn >= x, maxRow >= y && minColumn <= x};

  // The query's cell, clamped to one cell outside the grid; the ring bound
  // below only grows for a query farther out.
  const auto clampCell = [](double value, long long limit) {
    if (!(value > -1)) return -1LL;
    if (!(value < static_cast<double>(limit))) return limit;
    return static_cast<long long>(value);
  };
  const long long qy = clampCell(std::floor((y - minRow) / cellSize), rows);
  const long long qx = clampCell(std::floor((x - minColumn) / cellSize), columns);
  const long long lastRing =
      std::max(std::max(qy, rows - 1 - qy), std::max(qx, columns - 1 - qx)) + 1;

  const auto offer = [&](int index) {
    const ElevationPoint& p = points[static_cast<size_t>(index)];
    const double d = std::sqrt((y - p.row) * (y - p.row) + (x - p.column) * (x - p.column));
    if (!(d < radius)) return;
    const bool in[4] = {p.row <= y && p.column <= x, p.row <= y && p.column >= x,
                        p.row >= y && p.column >= x, p.row >= y && p.column <= x};
    for (int q = 0; q < 4; ++q) {
      if (!in[q]) continue;
      Nearest& n = nearest[q];
      if (n.index < 0 || d < n.distance || (d == n.distance && index < n.index)) {
        n.index = index;
        n.distance = d;
      }
    }
  };
  const auto visitCell = [&](long long cy, long long cx) {
    if (cy < 0 || cy >= rows || cx < 0 || cx >= columns) return;
    const long long cell = cy * columns + cx;
    for (int k = cellStart[static_cast<size_t>(cell)]; k < cellStart[static_cast<size_t>(cell) + 1];
         ++k)
      offer(cellPosts[static_cast<size_t>(k)]);
  };

  for (long long ring = 0; ring <= lastRing; ++ring) {
    // Every post in this ring lies farther than (ring - 1) cells from the query.
    const double bound = (static_cast<double>(ring) - 1.001) * cellSize;
    bool needed = false;
    for (int q = 0; q < 4; ++q) {
      if (!open[q]) continue;
      const double threshold = nearest[q].index >= 0 ? nearest[q].distance : radius;
      if (bound <= threshold) needed = true;
    }
    if (!needed) break;
    if (ring == 0) {
      visitCell(qy, qx);
      continue;
    }
    const long long firstX = std::max(qx - ring, 0LL), lastX = std::min(qx + ring, columns - 1);
    for (long long cx = firstX; cx <= lastX; ++cx) {
      visitCell(qy - ring, cx);
      visitCell(qy + ring, cx);
    }
    const long long firstY = std::max(qy - ring + 1, 0LL);
    const long long lastY = std::min(qy + ring - 1, rows - 1);
    for (long long cy = firstY; cy <= lastY; ++cy) {
      visitCell(cy, qx - ring);
      visitCell(cy, qx + ring);
    }
  }
}

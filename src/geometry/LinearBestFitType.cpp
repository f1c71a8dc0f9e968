#include "LinearBestFitType.h"

#include <cmath>
#include <utility>

namespace zel {

namespace {

// Sums of the least-squares normal equations.
struct Sums {
  double n = 0, x = 0, y = 0, xy = 0, xx = 0;
  void add(double xi, double yi) {
    n += 1;
    x += xi;
    y += yi;
    xy += xi * yi;
    xx += xi * xi;
  }
  double slope() const { return (n * xy - x * y) / (n * xx - x * x); }
  double intercept() const { return (y * xx - xy * x) / (n * xx - x * x); }
};

template <typename T, typename Pair>
Sums sumsOf(DLinkedList<T>* points, Pair pair) {
  Sums sums;
  if (!points) return sums;
  for (auto* node = points->head; node; node = node->next) {
    if (node->element) sums.add(pair(*node->element).first, pair(*node->element).second);
  }
  return sums;
}

}  // namespace

double LinearBestFitType::getLinearBestFitTypeRadians(DLinkedList<double>* xs,
                                                      DLinkedList<double>* ys) {
  Sums sums;
  if (xs && ys) {
    for (auto *x = xs->head, *y = ys->head; x && y; x = x->next, y = y->next) {
      if (x->element && y->element) sums.add(*x->element, *y->element);
    }
  }
  return std::atan(sums.slope());
}

double LinearBestFitType::getLinearBestFitTypeRadians(DLinkedList<PixelCoordinate>* points) {
  return std::atan(
      sumsOf(points, [](const PixelCoordinate& p) { return std::make_pair(p.x, p.y); }).slope());
}

double LinearBestFitType::getLinearBestFitTypeRadians(DLinkedList<DecimalCoordinate>* points) {
  return std::atan(sumsOf(points, [](const DecimalCoordinate& p) {
                     return std::make_pair(p.lat, p.lon);
                   }).slope());
}

void LinearBestFitType::polyfit2(DLinkedList<PixelCoordinate>* points, double* out) {
  if (!out) return;
  const Sums sums =
      sumsOf(points, [](const PixelCoordinate& p) { return std::make_pair(p.x, p.y); });
  out[0] = sums.intercept();
  out[1] = sums.slope();
  out[2] = std::atan(out[1]);
}

}  // namespace zel

// Chip <-> full-image mapping: a bilinear transform through the four ICHIPB
// corner correspondences, solved once per corner set.
#include <algorithm>
#include <iostream>

#include "TAV.h"

namespace {

bool sameQuad(const zel::Quad& a, const zel::Quad& b) {
  const zel::PixelCoordinate* pa[] = {&a.ul, &a.ur, &a.lr, &a.ll};
  const zel::PixelCoordinate* pb[] = {&b.ul, &b.ur, &b.lr, &b.ll};
  for (int i = 0; i < 4; ++i) {
    if (pa[i]->x != pb[i]->x || pa[i]->y != pb[i]->y) return false;
  }
  return true;
}

zel::PixelCoordinate applyCoefficients(const zel::PixelCoordinate& p, const double* c) {
  const double x = p.x, y = p.y;
  return zel::PixelCoordinate(c[0] * x + c[1] * y + c[2] * x * y + c[3],
                              c[4] * x + c[5] * y + c[6] * x * y + c[7], 0);
}

}  // namespace

std::vector<double> TAV::generateTransformMap(zel::Quad target, zel::Quad source) {
  Matrix b(8, 1);
  Matrix A(8, 8);
  b = 0.0;
  A = 0.0;
  const zel::PixelCoordinate* targets[] = {&target.ul, &target.ur, &target.lr, &target.ll};
  const zel::PixelCoordinate* sources[] = {&source.ul, &source.ur, &source.lr, &source.ll};
  for (int k = 0; k < 4; ++k) {
    b(2 * k + 1, 1) = targets[k]->x;
    b(2 * k + 2, 1) = targets[k]->y;
    const double x = sources[k]->x, y = sources[k]->y;
    A(2 * k + 1, 1) = x;
    A(2 * k + 1, 2) = y;
    A(2 * k + 1, 3) = x * y;
    A(2 * k + 1, 4) = 1;
    A(2 * k + 2, 5) = x;
    A(2 * k + 2, 6) = y;
    A(2 * k + 2, 7) = x * y;
    A(2 * k + 2, 8) = 1;
  }
  const Matrix coefficients = A.i() * b;
  std::vector<double> result(8);
  for (int i = 0; i < 8; ++i) result[i] = coefficients(i + 1, 1);
  return result;
}

zel::PixelCoordinate TAV::mapCoordinate(zel::PixelCoordinate p, std::vector<double> coeffs) {
  return applyCoefficients(p, coeffs.data());
}

void TAV::solveDirection(const zel::Quad& target, const zel::Quad& source, Direction& direction) {
  try {
    const std::vector<double> c = generateTransformMap(target, source);
    std::copy(c.begin(), c.end(), direction.coefficients.begin());
  } catch (BaseException&) {
    direction.singular = true;
    const char* text = BaseException::what();
    direction.message = text != nullptr ? text : "";
  } catch (...) {
    direction.singular = true;
    direction.message = "exception caught in main program";
  }
}

const TAV::ChipTransform& TAV::chipTransform() {
  if (transform.solved && sameQuad(transform.chip, chipQuad) && sameQuad(transform.full, fullQuad))
    return transform;
  transform = ChipTransform();
  transform.solved = true;
  transform.chip = chipQuad;
  transform.full = fullQuad;
  solveDirection(fullQuad, chipQuad, transform.chipToFull);
  solveDirection(chipQuad, fullQuad, transform.fullToChip);
  return transform;
}

zel::PixelCoordinate TAV::applyChipMapping(const zel::PixelCoordinate& p, bool toFull) {
  const ChipTransform& t = chipTransform();
  const Direction& d = toFull ? t.chipToFull : t.fullToChip;
  if (d.singular) {
    std::cout << d.message << std::endl;
    return zel::PixelCoordinate(0, 0, 0);
  }
  return applyCoefficients(p, d.coefficients.data());
}

zel::PixelCoordinate TAV::chip2full(zel::PixelCoordinate p) { return applyChipMapping(p, true); }

zel::PixelCoordinate TAV::full2chip(zel::PixelCoordinate p) { return applyChipMapping(p, false); }

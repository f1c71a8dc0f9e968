#pragma once
// The text of an ICHIPB chipping record (STDI-0002), which the library reads
// but never writes: four chip corners in output-product pixels and the same
// corners in full-image pixels, each (row, column), in the order upper left,
// upper right, lower left, lower right.
#include <array>
#include <string>

namespace productkit {

struct ChipCorners {
  // {row, column} of corners 11 (UL), 12 (UR), 21 (LL), 22 (LR).
  std::array<std::array<double, 2>, 4> chip{};
  std::array<std::array<double, 2>, 4> full{};
  int fullRows = 0;
  int fullColumns = 0;
};

// Corners of a chip of `rows` x `columns` pixels cut at (`rowOffset`,
// `columnOffset`) from a full image of `fullRows` x `fullColumns`, scaled by
// `scale` full-image pixels per chip pixel.
ChipCorners chipOf(int rows, int columns, double rowOffset, double columnOffset, double scale,
                   int fullRows, int fullColumns);

// The 224-character ICHIPB text.
std::string ichipbText(const ChipCorners& corners);

}  // namespace productkit

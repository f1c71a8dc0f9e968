#pragma once

// One elevation post of a product: its chip position and elevation with two
// accuracy values, all in the units of its segment.
class ElevationPoint {
 public:
  int row = 0;                  // chip row (line)
  int column = 0;               // chip column (sample)
  double elevation = 0;         // segment units (form 1: decimetres)
  double accuracy = 0;          // first accuracy value, segment units
  double verticalAccuracy = 0;  // vertical accuracy as a 90 % linear error, segment units

  ElevationPoint() = default;
  // Decodes one payload record of `size` bytes (9: "TAV001" layout, any other
  // size: "DORARI" layout). `row` and `column` receive the record's row and
  // column steps; `base` is added to the elevation (times 10 in the DORARI
  // layout, whose elevations are decimetres).
  ElevationPoint(const char* record, int base, int size);

  // Converts elevation and both accuracies in place; returns `point`.
  static ElevationPoint& feetToMeters(ElevationPoint& point);
  static ElevationPoint& decimetersToMeters(ElevationPoint& point);
};

#include "productkit/ChipRecord.h"

#include <cstdio>

namespace productkit {

ChipCorners chipOf(int rows, int columns, double rowOffset, double columnOffset, double scale,
                   int fullRows, int fullColumns) {
  ChipCorners c;
  const double lastRow = rows - 1.0;
  const double lastColumn = columns - 1.0;
  c.chip = {{{0, 0}, {0, lastColumn}, {lastRow, 0}, {lastRow, lastColumn}}};
  for (size_t i = 0; i < 4; ++i) {
    c.full[i] = {rowOffset + scale * c.chip[i][0], columnOffset + scale * c.chip[i][1]};
  }
  c.fullRows = fullRows;
  c.fullColumns = fullColumns;
  return c;
}

std::string ichipbText(const ChipCorners& corners) {
  char field[64];
  std::string text = "00";  // XFRM_FLAG
  std::snprintf(field, sizeof field, "%010.5f", 1.0);
  text += field;
  text += "00";  // ANAMRPH_CORR
  text += "00";  // SCANBLK_NUM
  for (const auto* set : {&corners.chip, &corners.full}) {
    for (const auto& corner : *set) {
      for (double value : corner) {
        std::snprintf(field, sizeof field, "%012.3f", value);
        text += field;
      }
    }
  }
  std::snprintf(field, sizeof field, "%08d%08d", corners.fullRows, corners.fullColumns);
  text += field;
  return text;
}

}  // namespace productkit

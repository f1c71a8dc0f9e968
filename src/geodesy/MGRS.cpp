#include "MGRS.h"

#include <cmath>

#include "UTM.h"

namespace zel {

namespace {
const double SQUARE_M = 100000.0;
const double SOUTHERN_FALSE_NORTHING_M = 10000000.0;
const int ROW_PERIOD = 20;
// UTMRow's answer for a row letter that cannot occur in the band.
const int INCOMPATIBLE_ROW = 100;
}  // namespace

const char MGRS::ZONES[20] = {'C', 'D', 'E', 'F', 'G', 'H', 'J', 'K', 'L', 'M',
                              'N', 'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X'};

const char MGRS::NORTHING[40] = {'F', 'G', 'H', 'J', 'K', 'L', 'M', 'N', 'P', 'Q',
                                 'R', 'S', 'T', 'U', 'V', 'A', 'B', 'C', 'D', 'E',
                                 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'J', 'K',
                                 'L', 'M', 'N', 'P', 'Q', 'R', 'S', 'T', 'U', 'V'};

const char MGRS::EASTING[63] = {
    'I', 'I', 'I', 'I', 'I', 'I', 'I', 'I', 'I',  // unused group 0
    'I', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H',  // set 1
    'I', 'J', 'K', 'L', 'M', 'N', 'P', 'Q', 'R',  // set 2
    'I', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z',  // set 3
    'I', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H',  // set 4
    'I', 'J', 'K', 'L', 'M', 'N', 'P', 'Q', 'R',  // set 5
    'I', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z',  // set 6
};

int MGRS::computeSet(int zone) {
  // Mathematical modulo, so that a zone read from bad text (0 or negative)
  // still gives a set from 1 to 6.
  const int set = ((zone % 6) + 6) % 6;
  return set == 0 ? 6 : set;
}

int MGRS::UTMRow(int band, int column, int row) {
  const double k = (800.0 * band + 400.0) / 90.0;  // band centre in 100-km rows
  int minrow;
  int maxrow;
  if (band >= 0) {
    minrow = static_cast<int>(std::floor(k - 4.3 - 0.1));
    maxrow = band < 9 ? static_cast<int>(std::floor(k + 4.4 - 0.1)) : 94;
  } else {
    minrow = band < -9 ? -90 : static_cast<int>(std::floor(k - 4.3));
    maxrow = static_cast<int>(std::floor(k + 4.4));
  }
  const int baserow = (minrow + maxrow) / 2 - ROW_PERIOD / 2;
  const int shifted = ((row - baserow + 100) % ROW_PERIOD + ROW_PERIOD) % ROW_PERIOD;
  row = shifted + baserow;
  if (row >= minrow && row <= maxrow) return row;

  // Rows just outside the band that exist near the Norway and Svalbard
  // exceptions.
  const int sband = band >= 0 ? band : -band - 1;
  const int srow = row >= 0 ? row : -row - 1;
  const int scol = column < 4 ? column : 7 - column;
  if ((srow == 70 && sband == 8 && scol >= 2) || (srow == 71 && sband == 7 && scol <= 2) ||
      (srow == 79 && sband == 9 && scol >= 1) || (srow == 80 && sband == 8 && scol <= 1)) {
    return row;
  }
  return INCOMPATIBLE_ROW;
}

int MGRS::toDecimal(MGRSCoordinate* mgrs, int datum, DecimalCoordinate* dec) {
  if (mgrs == nullptr || dec == nullptr) return -1;
  UTMCoordinate utm;
  utm.zone = mgrs->zone;
  utm.letter = mgrs->letter;
  const int set = computeSet(mgrs->zone);
  const char columnLetter = mgrs->square.size() > 0 ? mgrs->square[0] : '\0';
  const char rowLetter = mgrs->square.size() > 1 ? mgrs->square[1] : '\0';

  int column = -1;
  for (int i = 1; i <= 8; ++i) {
    if (EASTING[9 * set + i] == columnLetter) {
      column = i;
      break;
    }
  }
  if (column < 0) return -1;
  utm.easting = column * SQUARE_M + mgrs->easting;

  int band = -1;
  for (int h = 0; h < 20; ++h) {
    if (ZONES[h] == mgrs->letter) {
      band = h;
      break;
    }
  }
  if (band < 0) return -1;

  int rowIndex = -1;
  const int first = ROW_PERIOD * (set % 2);
  for (int j = 0; j < ROW_PERIOD; ++j) {
    if (NORTHING[first + j] == rowLetter) {
      rowIndex = j;
      break;
    }
  }
  if (rowIndex < 0) return -1;

  const int row = UTMRow(band - 10, column - 1, rowIndex);
  utm.northing =
      (band - 10 < 0 ? SOUTHERN_FALSE_NORTHING_M : 0.0) + row * SQUARE_M + mgrs->northing;
  UTM::toDecimal(&utm, datum, dec);
  return 0;
}

void MGRS::parseMGRSString(const std::string& text, MGRSCoordinate* mgrs) {
  // substr throws std::out_of_range before anything is stored when the text
  // does not reach the northing.
  const std::string zone = text.substr(0, 2);
  const std::string square = text.substr(3, 2);
  const std::string easting = text.substr(5, 5);
  const std::string northing = text.substr(10, 5);
  if (mgrs == nullptr) return;
  mgrs->zone = UTM::leadingInteger(zone);
  mgrs->letter = text[2];
  mgrs->square = square;
  mgrs->easting = UTM::leadingInteger(easting);
  mgrs->northing = UTM::leadingInteger(northing);
}

}  // namespace zel

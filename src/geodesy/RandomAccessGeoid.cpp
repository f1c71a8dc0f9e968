#include "RandomAccessGeoid.h"

#include <cmath>
#include <cstdint>
#include <iostream>

namespace zel {

namespace {

constexpr double FAILED = -999999.0;
constexpr int ROWS = 721;      // 90 N to 90 S by 15'
constexpr int COLUMNS = 1440;  // 0 E to 359.75 E by 15'
constexpr unsigned long GRID_BYTES = 2UL * ROWS * COLUMNS;
constexpr double NODES_PER_DEGREE = 4.0;

double centimetresToMetres(unsigned char high, unsigned char low) {
  const int16_t centimetres = static_cast<int16_t>(static_cast<uint16_t>((high << 8) | low));
  return centimetres / 100.0;
}

// The grid index of a row or column given in degrees, or -1 when outside.
bool nodeIndices(double rowDegrees, double columnDegrees, int& row, int& column) {
  if (!(rowDegrees >= 0.0 && rowDegrees <= 180.0 && columnDegrees >= 0.0 &&
        columnDegrees < 360.0)) {
    return false;
  }
  row = static_cast<int>(NODES_PER_DEGREE * rowDegrees);
  column = static_cast<int>(NODES_PER_DEGREE * columnDegrees);
  return row < ROWS && column < COLUMNS;
}

}  // namespace

RandomAccessGeoid::RandomAccessGeoid(std::string fileName)
    : dataFile(std::move(fileName)), data(nullptr), length(0) {}

RandomAccessGeoid::RandomAccessGeoid(const unsigned char* data, unsigned int length)
    : data(data), length(length) {}

void RandomAccessGeoid::setDataFile(std::string fileName) { dataFile = std::move(fileName); }

double RandomAccessGeoid::readValue(std::ifstream& in, double rowDegrees, double columnDegrees) {
  int row, column;
  if (!nodeIndices(rowDegrees, columnDegrees, row, column)) return FAILED;
  const std::streamoff offset = (std::streamoff(row) * COLUMNS + column) * 2;
  in.clear();
  in.seekg(offset, std::ios::beg);
  unsigned char bytes[2];
  in.read(reinterpret_cast<char*>(bytes), 2);
  if (in.gcount() != 2) {
    in.clear();
    return FAILED;
  }
  return centimetresToMetres(bytes[0], bytes[1]);
}

double RandomAccessGeoid::readValue(const unsigned char* grid, double rowDegrees,
                                    double columnDegrees) {
  int row, column;
  if (!grid || !nodeIndices(rowDegrees, columnDegrees, row, column)) return FAILED;
  const unsigned long offset = (static_cast<unsigned long>(row) * COLUMNS + column) * 2;
  const unsigned long available = grid == data ? length : GRID_BYTES;
  if (offset + 2 > available) return FAILED;
  return centimetresToMetres(grid[offset], grid[offset + 1]);
}

bool RandomAccessGeoid::openIfNeeded() {
  if (!stream.is_open()) stream.open(dataFile, std::ios::in | std::ios::binary);
  if (stream.is_open()) return true;
  std::cout << "Couldn't open data file!" << std::endl;
  return false;
}

double RandomAccessGeoid::node(double rowDegrees, double columnDegrees) {
  return data ? readValue(data, rowDegrees, columnDegrees)
              : readValue(stream, rowDegrees, columnDegrees);
}

double RandomAccessGeoid::getUndulation(double latitude, double longitude) {
  if (!(latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0)) {
    return FAILED;
  }
  if (longitude < 0) longitude += 360.0;
  const double r = 90.0 - latitude;  // degrees from the north pole
  const double c = longitude;        // degrees east, [0, 360)
  if (!data && !openIfNeeded()) return FAILED;

  const double rowPosition = NODES_PER_DEGREE * r;
  const double columnPosition = NODES_PER_DEGREE * c;
  const double row0 = std::floor(rowPosition);
  const double column0 = std::floor(columnPosition);
  if (rowPosition == row0 && columnPosition == column0) return node(r, c);

  // The 4 x 4 nodes around the point, p[column][row], from one row and
  // column before (row0, column0) to two after. Rows beyond a pole continue
  // down the meridian half a turn away; columns wrap at 360 degrees.
  double p[4][4];
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      int row = static_cast<int>(row0) - 1 + i;
      int column = static_cast<int>(column0) - 1 + j;
      if (row < 0) {
        row = -row;
        column += COLUMNS / 2;
      } else if (row > ROWS - 1) {
        row = 2 * (ROWS - 1) - row;
        column += COLUMNS / 2;
      }
      column = ((column % COLUMNS) + COLUMNS) % COLUMNS;
      const double value = node(row / NODES_PER_DEGREE, column / NODES_PER_DEGREE);
      if (value == FAILED) return FAILED;
      p[j][i] = value;
    }
  }
  return bicubicInterpolate(p, columnPosition - column0, rowPosition - row0);
}

double cubicInterpolate(double p[4], double x) {
  return p[1] + 0.5 * x * (p[2] - p[0]) + x * x * (p[0] - 2.5 * p[1] + 2.0 * p[2] - 0.5 * p[3]) +
         x * x * x * (1.5 * (p[1] - p[2]) + 0.5 * (p[3] - p[0]));
}

double bicubicInterpolate(double p[4][4], double x, double y) {
  double columns[4];
  for (int j = 0; j < 4; ++j) columns[j] = cubicInterpolate(p[j], y);
  return cubicInterpolate(columns, x);
}

}  // namespace zel

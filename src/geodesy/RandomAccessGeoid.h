#pragma once
#include <fstream>
#include <string>

namespace zel {

// EGM96 geoid undulation (geoid height above the WGS 84 ellipsoid, metres)
// interpolated in the 15-minute grid WW15MGH.DAC: 721 rows x 1440 columns of
// big-endian int16 centimetres, no header; row r at latitude 90 - r/4 degrees,
// column c at longitude c/4 degrees east. The grid is read from a file (one
// seek and two-byte read per value, the stream kept open) or from memory,
// typically the built-in zel::Resources::WW15MGH_DAC.
//
// Between nodes the value is the bicubic Catmull-Rom interpolation of the
// surrounding 4 x 4 nodes; neighbours beyond 0/360 degrees of longitude wrap
// round, neighbours beyond a pole are taken across it (half a turn away in
// longitude). Not for concurrent use in file mode (one shared stream).
class RandomAccessGeoid {
 public:
  std::string dataFile;       // grid file; empty in memory mode
  const unsigned char* data;  // grid bytes in memory mode, else null
  unsigned int length;        // bytes at `data`
  std::ifstream stream;       // opened on the first query in file mode

  // File mode: the grid is read from `fileName` when first needed.
  explicit RandomAccessGeoid(std::string fileName);
  // Memory mode: the grid is the `length` bytes at `data` (not copied; they
  // must outlive this object).
  RandomAccessGeoid(const unsigned char* data, unsigned int length);
  RandomAccessGeoid(const RandomAccessGeoid&) = delete;
  RandomAccessGeoid& operator=(const RandomAccessGeoid&) = delete;

  // Replaces the file name; a stream already open stays on its file.
  void setDataFile(std::string fileName);

  // Undulation in metres at latitude [-90, 90] and longitude [-180, 180]
  // (degrees). -999999.0 for arguments outside those ranges (or not numbers),
  // and when the grid cannot be read: an unopenable file also writes
  // "Couldn't open data file!" to standard output.
  double getUndulation(double latitude, double longitude);

  // The node at row (int)(4 rowDegrees), column (int)(4 columnDegrees) in
  // metres, rowDegrees counted from the north pole (0..180) and columnDegrees
  // eastwards from 0 E (0..359.75). -999999.0 outside the grid or when the
  // bytes cannot be read; a failed read leaves the stream usable.
  double readValue(std::ifstream& in, double rowDegrees, double columnDegrees);
  // The same from a full grid in memory (the object's `length` bounds it
  // when `grid` is the object's own `data`).
  double readValue(const unsigned char* grid, double rowDegrees, double columnDegrees);

 private:
  bool openIfNeeded();
  double node(double rowDegrees, double columnDegrees);
};

// Catmull-Rom cubic through p[1] at x = 0 and p[2] at x = 1 (p[0] and p[3]
// are the neighbours at x = -1 and x = 2).
double cubicInterpolate(double p[4], double x);
// Bicubic Catmull-Rom on a 4 x 4 patch p[column][row]: each column is
// interpolated at y (rows), then the four results at x (columns).
double bicubicInterpolate(double p[4][4], double x, double y);

}  // namespace zel

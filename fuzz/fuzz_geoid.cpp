// Geoid coefficient files of any content, and grids of any length in memory.
// The input is written to a file used as both the model and the correction
// file; every line that does not fit the tables must be skipped, and the
// grid lookups must stay within the bytes given.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "geodesy/Geoid.h"
#include "geodesy/RandomAccessGeoid.h"

namespace {

double coordinate(const uint8_t* data, size_t size, size_t at, double range) {
  if (size < at + 2) return 0.0;
  const int raw = data[at] | (data[at + 1] << 8);
  return (raw / 65535.0 * 2.0 - 1.0) * range * 1.01;  // slightly beyond the valid range too
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path =
      "/tmp/vuziza-fuzz-geoid-" + std::to_string(static_cast<long>(getpid())) + ".txt";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // One instance re-reads the input as its model file (a new instance costs
  // megabytes of fresh tables); inputs starting with 'D' are also read as a
  // correction file by a new instance.
  static zel::Geoid geoid(path, path);
  if (!geoid.dhcsin(360, path)) std::abort();  // the file exists: the read succeeds
  if (size > 0 && data[0] == 'D') {
    zel::Geoid corrected(path, path);
    if (!corrected.getIsInitialized()) std::abort();
  }
  const double latitude = coordinate(data, size, 0, 90.0);
  const double longitude = coordinate(data, size, 2, 180.0);
  // The synthesis itself is costly; run it on a small share of the inputs.
  if (size > 0 && data[size - 1] == 'Q') geoid.getUndulation(latitude, longitude);

  zel::RandomAccessGeoid grid(data, static_cast<unsigned int>(size));
  const double value = grid.getUndulation(latitude, longitude);
  if (!(value == -999999.0 || std::fabs(value) < 1000.0)) std::abort();
  return 0;
}

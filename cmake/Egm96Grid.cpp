// Build-time converter: EGM96 15-minute geoid grid from PROJ's egm96_15.gtx
// (proj-data) to the layout of the published WW15MGH.DAC file.
//
// Input (.gtx, all big-endian): four doubles (south latitude -90, west
// longitude -180, latitude step 0.25, longitude step 0.25), two int32 (721
// rows, 1440 columns), then float32 undulations in metres, rows from south to
// north, each row from 180 W eastwards.
//
// Output: 721 x 1440 big-endian int16 undulations in centimetres, row 0 at
// 90 N (row r at 90 - r/4), column 0 at 0 E (column c at c/4 E), no header:
// 2,076,480 bytes.
//
// Usage: Egm96Grid <egm96_15.gtx> <WW15MGH.DAC>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr int ROWS = 721;
constexpr int COLUMNS = 1440;
constexpr std::size_t HEADER_BYTES = 40;

uint64_t bigEndian(const unsigned char* p, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | p[i];
  return value;
}

double bigEndianDouble(const unsigned char* p) {
  uint64_t bits = bigEndian(p, 8);
  double value;
  static_assert(sizeof value == sizeof bits, "IEEE double expected");
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

float bigEndianFloat(const unsigned char* p) {
  uint32_t bits = static_cast<uint32_t>(bigEndian(p, 4));
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

int fail(const char* message) {
  std::fprintf(stderr, "Egm96Grid: %s\n", message);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return fail("usage: Egm96Grid <egm96_15.gtx> <WW15MGH.DAC>");
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) return fail("cannot open the .gtx input");
  std::vector<unsigned char> gtx((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
  const std::size_t expected = HEADER_BYTES + std::size_t(ROWS) * COLUMNS * 4;
  if (gtx.size() != expected) return fail("the .gtx input does not have the 15-minute size");
  const unsigned char* header = gtx.data();
  if (bigEndianDouble(header) != -90.0 || bigEndianDouble(header + 8) != -180.0 ||
      bigEndianDouble(header + 16) != 0.25 || bigEndianDouble(header + 24) != 0.25 ||
      bigEndian(header + 32, 4) != ROWS || bigEndian(header + 36, 4) != COLUMNS) {
    return fail("the .gtx header is not the global 15-minute grid");
  }

  std::vector<unsigned char> dac(std::size_t(ROWS) * COLUMNS * 2);
  for (int r = 0; r < ROWS; ++r) {
    const int gtxRow = ROWS - 1 - r;  // .gtx rows run from the south
    for (int c = 0; c < COLUMNS; ++c) {
      const int gtxColumn = (c + COLUMNS / 2) % COLUMNS;  // .gtx columns start at 180 W
      const float metres =
          bigEndianFloat(header + HEADER_BYTES + (std::size_t(gtxRow) * COLUMNS + gtxColumn) * 4);
      const double centimetres = std::round(double(metres) * 100.0);
      if (!(centimetres >= -32768.0 && centimetres <= 32767.0)) return fail("value out of range");
      const uint16_t bits = static_cast<uint16_t>(static_cast<int16_t>(centimetres));
      unsigned char* out = &dac[(std::size_t(r) * COLUMNS + c) * 2];
      out[0] = static_cast<unsigned char>(bits >> 8);
      out[1] = static_cast<unsigned char>(bits & 0xff);
    }
  }

  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(dac.data()), static_cast<std::streamsize>(dac.size()));
  out.close();
  if (!out) {
    std::remove(argv[2]);
    return fail("cannot write the output");
  }
  return 0;
}

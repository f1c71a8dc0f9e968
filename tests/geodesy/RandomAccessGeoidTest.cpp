// The EGM96 15-minute grid built into the library and its interpolation,
// checked against PROJ's copy of the grid (proj-data egm96_15.gtx) read here
// independently, and against the published EGM96 test values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "geodesy/RandomAccessGeoid.h"
#include "geodesy/Resources.h"
#include "support/TestPaths.h"

using namespace zel;

namespace {

constexpr double FAILED = -999999.0;
const char* const GTX_PATH = "/usr/share/proj/egm96_15.gtx";

// PROJ's grid: 40-byte header, then big-endian float32 metres, 721 rows from
// 90 S northwards, 1440 columns from 180 W eastwards.
class ProjGrid {
 public:
  bool load() {
    std::ifstream in(GTX_PATH, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return bytes_.size() == 40 + 721u * 1440u * 4u;
  }
  // Undulation in metres, rounded to centimetres as the published grid has it,
  // at row r (0 at 90 N) and column c (0 at 0 E) of the WW15MGH layout.
  double node(int r, int c) const {
    const int row = 720 - r;
    const int column = (c + 720) % 1440;
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes_.data()) + 40 +
                             (std::size_t(row) * 1440 + column) * 4;
    const uint32_t bits =
        (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
    float metres;
    std::memcpy(&metres, &bits, 4);
    return std::round(double(metres) * 100.0) / 100.0;
  }
  // Reference bicubic Catmull-Rom at (latitude, longitude), taking neighbours
  // across the poles on the opposite meridian.
  double interpolate(double latitude, double longitude) const {
    const double y = (90.0 - latitude) * 4.0;
    const double x = (longitude < 0 ? longitude + 360.0 : longitude) * 4.0;
    const int r0 = int(std::floor(y)), c0 = int(std::floor(x));
    double columns[4];
    for (int j = 0; j < 4; ++j) {
      double rows[4];
      for (int i = 0; i < 4; ++i) {
        int r = r0 - 1 + i, c = c0 - 1 + j;
        if (r < 0) r = -r, c += 720;
        if (r > 720) r = 1440 - r, c += 720;
        rows[i] = node(r, ((c % 1440) + 1440) % 1440);
      }
      columns[j] = catmullRom(rows, y - r0);
    }
    return catmullRom(columns, x - c0);
  }

 private:
  static double catmullRom(const double p[4], double t) {
    // Hermite form with tangents (p2 - p0)/2 and (p3 - p1)/2.
    const double m1 = (p[2] - p[0]) / 2, m2 = (p[3] - p[1]) / 2;
    const double t2 = t * t, t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * p[1] + (t3 - 2 * t2 + t) * m1 + (-2 * t3 + 3 * t2) * p[2] +
           (t3 - t2) * m2;
  }
  std::string bytes_;
};

// Longitude in [-180, 180] of WW15MGH column c.
double columnLongitude(int c) { return c <= 720 ? c / 4.0 : c / 4.0 - 360.0; }

std::string builtInGridFile() {
  const std::string path = testsupport::scratchPath("WW15MGH.DAC");
  testsupport::writeWholeFile(path,
                              std::string(reinterpret_cast<const char*>(Resources::WW15MGH_DAC),
                                          Resources::WW15MGH_length));
  return path;
}

class RandomAccessGeoidTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!proj.load()) GTEST_SKIP() << GTX_PATH << " (proj-data) is not installed";
  }
  ProjGrid proj;
  RandomAccessGeoid memory{Resources::WW15MGH_DAC, Resources::WW15MGH_length};
};

}  // namespace

TEST_F(RandomAccessGeoidTest, BuiltInGridEqualsProjDataAtEveryNode) {
  ASSERT_EQ(Resources::WW15MGH_length, 2076480u);
  int mismatches = 0;
  for (int r = 0; r <= 720; ++r) {
    for (int c = 0; c < 1440; ++c) {
      const double value = memory.getUndulation(90.0 - r / 4.0, columnLongitude(c));
      if (value != proj.node(r, c) && ++mismatches < 10) {
        ADD_FAILURE() << "row " << r << " column " << c << ": " << value << " vs "
                      << proj.node(r, c);
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  // Longitude 180 and -180 are the same column.
  EXPECT_EQ(memory.getUndulation(12.5, 180.0), memory.getUndulation(12.5, -180.0));
}

TEST_F(RandomAccessGeoidTest, PublishedEgm96TestPoints) {
  // Latitude, longitude, undulation (m) from the EGM96 synthesis program F477
  // (the test values distributed with it).
  struct Case {
    double lat, lon, undulation;
  } cases[] = {{1.0, 1.0, 16.7416773},
               {45.565906, 6.066653, 49.8335647},
               {-13.542795, -43.267415, -13.9763208}};
  for (const Case& c : cases) {
    EXPECT_NEAR(memory.getUndulation(c.lat, c.lon), c.undulation, 0.1) << c.lat << " " << c.lon;
  }
}

TEST_F(RandomAccessGeoidTest, InterpolationMatchesReferenceIncludingWrapsAndPoles) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> lat(-90.0, 90.0), lon(-180.0, 180.0);
  std::vector<std::pair<double, double>> points = {
      {10.1, -0.1},     {10.1, 0.1},    {-33.3, 179.9}, {-33.3, -179.9},    {89.9, 17.3},
      {89.999, -120.0}, {-89.9, 42.0},  {-89.999, 5.0}, {90.0, 0.1},        {-90.0, -0.1},
      {0.0, 0.13},      {44.0, -180.0}, {-0.01, 180.0}, {89.8, 359.8 - 360}};
  for (int i = 0; i < 2000; ++i) points.emplace_back(lat(random), lon(random));
  for (const auto& [la, lo] : points) {
    EXPECT_NEAR(memory.getUndulation(la, lo), proj.interpolate(la, lo), 1e-9) << la << " " << lo;
  }
  // Longitude -0.1 is 359.9 E: continuous across 0 E.
  EXPECT_NEAR(memory.getUndulation(10.1, -1e-9), memory.getUndulation(10.1, 1e-9), 1e-6);
  EXPECT_NEAR(memory.getUndulation(-20.3, 180.0 - 1e-9), memory.getUndulation(-20.3, -180.0 + 1e-9),
              1e-6);
  // The poles are single rows of equal values; next to them the surface is
  // continuous (neighbours are taken across the pole, not from the other pole).
  for (double lo : {-170.0, -45.3, 0.0, 33.3, 179.0}) {
    EXPECT_EQ(memory.getUndulation(90.0, lo), proj.node(0, 0));
    EXPECT_EQ(memory.getUndulation(-90.0, lo), proj.node(720, 0));
    EXPECT_NEAR(memory.getUndulation(89.999, lo), proj.node(0, 0), 0.01);
    EXPECT_NEAR(memory.getUndulation(-89.999, lo), proj.node(720, 0), 0.01);
  }
}

TEST_F(RandomAccessGeoidTest, NodeAndItsNeighbourhood) {
  EXPECT_EQ(memory.getUndulation(45.25, -71.5), proj.node(179, 1154));
  EXPECT_NEAR(memory.getUndulation(45.25 + 1e-6, -71.5 + 1e-6), proj.node(179, 1154), 1e-3);
  EXPECT_EQ(memory.readValue(Resources::WW15MGH_DAC, 44.75, 288.5), proj.node(179, 1154));
}

TEST_F(RandomAccessGeoidTest, FileModeAgreesWithMemoryMode) {
  RandomAccessGeoid file(builtInGridFile());
  for (int r = 0; r <= 720; r += 3) {
    for (int c = 0; c < 1440; c += 7) {
      const double la = 90.0 - r / 4.0, lo = columnLongitude(c);
      ASSERT_EQ(file.getUndulation(la, lo), memory.getUndulation(la, lo)) << la << " " << lo;
    }
  }
  std::mt19937 random(7);
  std::uniform_real_distribution<double> lat(-90.0, 90.0), lon(-180.0, 180.0);
  for (int i = 0; i < 5000; ++i) {
    const double la = lat(random), lo = lon(random);
    ASSERT_EQ(file.getUndulation(la, lo), memory.getUndulation(la, lo)) << la << " " << lo;
  }
  for (double la : {90.0, 89.99, -89.99, -90.0}) {
    EXPECT_EQ(file.getUndulation(la, -0.05), memory.getUndulation(la, -0.05));
  }
}

TEST(RandomAccessGeoid, OutOfRangeArgumentsFailSilently) {
  RandomAccessGeoid memory(Resources::WW15MGH_DAC, Resources::WW15MGH_length);
  testing::internal::CaptureStdout();
  for (auto [la, lo] : std::vector<std::pair<double, double>>{
           {90.5, 0}, {-90.5, 0}, {0, 180.5}, {0, -180.5}, {NAN, 0}, {0, NAN}, {0, INFINITY}}) {
    EXPECT_EQ(memory.getUndulation(la, lo), FAILED) << la << " " << lo;
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(memory.readValue(Resources::WW15MGH_DAC, 180.25, 0), FAILED);
  EXPECT_EQ(memory.readValue(Resources::WW15MGH_DAC, 0, 360), FAILED);
  EXPECT_EQ(memory.readValue(Resources::WW15MGH_DAC, -0.25, 0), FAILED);
}

TEST(RandomAccessGeoid, UnreadableGridsGiveTheFailureValue) {
  RandomAccessGeoid missing(testsupport::scratchPath("no-such-grid.dac"));
  testing::internal::CaptureStdout();
  EXPECT_EQ(missing.getUndulation(10, 10), FAILED);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Couldn't open data file!\n");

  // A truncated file: rows that exist are read, the others fail, and the
  // stream recovers for later queries.
  const std::string path = testsupport::scratchPath("truncated.dac");
  testsupport::writeWholeFile(
      path, std::string(reinterpret_cast<const char*>(Resources::WW15MGH_DAC), 1440 * 2 * 10));
  RandomAccessGeoid truncated(path);
  RandomAccessGeoid memory(Resources::WW15MGH_DAC, Resources::WW15MGH_length);
  EXPECT_EQ(truncated.getUndulation(88.0, 20.0), memory.getUndulation(88.0, 20.0));
  EXPECT_EQ(truncated.getUndulation(0.0, 20.0), FAILED);
  EXPECT_EQ(truncated.getUndulation(88.1, 20.1), memory.getUndulation(88.1, 20.1));

  // A short buffer in memory mode is not read beyond its length.
  RandomAccessGeoid shortGrid(Resources::WW15MGH_DAC, 1440 * 2 * 10);
  EXPECT_EQ(shortGrid.getUndulation(88.0, 20.0), memory.getUndulation(88.0, 20.0));
  EXPECT_EQ(shortGrid.getUndulation(-45.0, 20.0), FAILED);
  RandomAccessGeoid nullGrid(nullptr, 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(nullGrid.getUndulation(1, 1), FAILED);
  testing::internal::GetCapturedStdout();
}

TEST(RandomAccessGeoid, CubicInterpolationIsCatmullRom) {
  double line[4] = {1, 2, 4, 8};
  EXPECT_DOUBLE_EQ(cubicInterpolate(line, 0), 2);
  EXPECT_DOUBLE_EQ(cubicInterpolate(line, 1), 4);
  // A cubic is reproduced exactly where Catmull-Rom is exact: quadratics.
  double square[4] = {1, 0, 1, 4};  // (x)^2 at x = -1..2
  EXPECT_DOUBLE_EQ(cubicInterpolate(square, 0.5), 0.25);
  double plane[4][4];
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i)
      plane[j][i] = 3.0 * (j - 1) - 2.0 * (i - 1) + 1.0;  // p[column][row]
  EXPECT_DOUBLE_EQ(bicubicInterpolate(plane, 0.25, 0.75), 3.0 * 0.25 - 2.0 * 0.75 + 1.0);
}

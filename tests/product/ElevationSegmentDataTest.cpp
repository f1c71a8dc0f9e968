#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "product/ElevationSegmentData.h"
#include "productkit/ElevationPayload.h"
#include "support/NitfBuilder.h"

namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

std::string desshfWith(const std::string& sourceKind, const std::string& level,
                       const std::string& datum, const std::string& units,
                       const std::string& base = "000100") {
  // 20 + 10 characters of text, then the coded fields.
  std::string text = std::string("HEADER TEXT ONE     ") + "TEXT TWO  " + sourceKind + level +
                     datum + units + "0000002" + base + "GZ" + "00042" + "12.5E1   " + "00007" +
                     "-0003" + "  ";
  EXPECT_EQ(text.size(), 81u);
  return text;
}

TEST(ElevationSegmentData, Form2SubheaderFieldsAndCodes) {
  struct Case {
    std::string kind, level, datum, units;
    int source, datumCode, unitsCode;
  } cases[] = {
      {"01", "2", "MSL96", "dm", 2, 2, 2}, {"01", "0", "HAE  ", "m ", 0, 0, 0},
      {"01", "7", "msl96", "ft", 9, 5, 3}, {"05", "1", "AGL  ", "f ", 6, 4, 1},
      {"07", "1", "MSL08", "m ", 9, 3, 0}, {"02", "1", "MSL84", "m ", 3, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind + c.level + c.datum + c.units);
    ElevationSegmentData segment(desshfWith(c.kind, c.level, c.datum, c.units), nullptr, 0);
    EXPECT_EQ(segment.dataSource, c.source);
    EXPECT_EQ(segment.verticalDatum, c.datumCode);
    EXPECT_EQ(segment.units, c.unitsCode);
    EXPECT_EQ(segment.headerText1, "HEADER TEXT ONE     ");
    EXPECT_EQ(segment.headerText2, "TEXT TWO  ");
    EXPECT_EQ(segment.postCount, 2);
    EXPECT_EQ(segment.baseElevation, 100);
    EXPECT_EQ(segment.compression, 0);
    EXPECT_EQ(segment.searchRadius, 42);
    EXPECT_DOUBLE_EQ(segment.headerValue, 125.0);
    EXPECT_EQ(segment.headerNumber1, 7);
    EXPECT_EQ(segment.headerNumber2, -3);
    EXPECT_EQ(segment.columnMask, 0xFFFF);
    EXPECT_EQ(segment.slope90, -999.0);
    EXPECT_TRUE(segment.points.empty());
  }
}

TEST(ElevationSegmentData, Form2RecordsWithColumnWrap) {
  const std::string payload = bytes({0x00, 0x01, 0x00, 0x02, 0x00, 0x64, 0x01, 0x20, 0x05, 0x00,
                                     0x00, 0xFF, 0xFF, 0x00, 0x0A, 0x00, 0x00, 0x00});
  ElevationSegmentData segment(desshfWith("01", "2", "HAE  ", "m "), payload.data(),
                               static_cast<int>(payload.size()));
  ASSERT_EQ(segment.points.size(), 2u);
  const ElevationPoint& first = segment.points[0];
  EXPECT_EQ(first.row, 1);
  EXPECT_EQ(first.column, 2);
  EXPECT_EQ(first.elevation, 200);
  EXPECT_EQ(first.accuracy, 18);
  EXPECT_EQ(first.verticalAccuracy, 5);
  const ElevationPoint& second = segment.points[1];
  EXPECT_EQ(second.row, 1);
  EXPECT_EQ(second.column, 1);  // a step of 65535 wraps to -1
  EXPECT_EQ(second.elevation, 110);
  EXPECT_EQ(second.accuracy, 0);
}

TEST(ElevationSegmentData, Form1HeaderAndDecimetreRecord) {
  const std::string payload = bytes(
      {0x00, 0x02, 0x01, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x10, 0x05, 0x00, 0x64, 0x00, 0x00, 0x00});
  ElevationSegmentData segment("length != 81", payload.data(), static_cast<int>(payload.size()));
  EXPECT_EQ(segment.dataSource, 0);
  EXPECT_EQ(segment.dtedLevel, 1);
  EXPECT_EQ(segment.baseElevation, 10);
  EXPECT_EQ(segment.columnMask, 0xFFF);
  ASSERT_EQ(segment.points.size(), 1u);
  EXPECT_EQ(segment.points[0].row, 1);
  EXPECT_EQ(segment.points[0].column, 5);
  EXPECT_EQ(segment.points[0].elevation, 200);
}

TEST(ElevationSegmentData, Form1ColumnWrapsAt4096AndSignedHeaderValues) {
  std::vector<productkit::Post> posts = {{2, 4000, 5, 1, 2}, {3, 10, 6, 0, 0}};
  std::string payload = productkit::form1Payload(3, -1, -20, posts);
  ElevationSegmentData segment("anything", payload.data(), static_cast<int>(payload.size()));
  EXPECT_EQ(segment.dataSource, 8);
  EXPECT_EQ(segment.dtedLevel, -1);
  EXPECT_EQ(segment.baseElevation, -20);
  ASSERT_EQ(segment.points.size(), 2u);
  EXPECT_EQ(segment.points[1].column, 10);
  EXPECT_EQ(segment.points[1].row, 3);
  EXPECT_EQ(segment.points[1].elevation, 6 - 200);
}

TEST(ElevationSegmentData, IncompleteTailsAndShortPayloadsAreIgnored) {
  const std::string form2 = std::string(9 + 5, '\0');
  ElevationSegmentData a(desshfWith("01", "2", "HAE  ", "m "), form2.data(), 14);
  EXPECT_EQ(a.points.size(), 1u);
  const std::string form1 = std::string(5, '\x03');
  ElevationSegmentData b("x", form1.data(), 5);
  EXPECT_TRUE(b.points.empty());
  EXPECT_EQ(b.dataSource, DataSource::UNKNOWN);
  ElevationSegmentData c(desshfWith("01", "2", "HAE  ", "m "), nullptr, -1);
  EXPECT_TRUE(c.points.empty());
}

TEST(ElevationPoint, UnitConversions) {
  ElevationPoint p;
  p.elevation = 100;
  p.accuracy = 10;
  p.verticalAccuracy = 20;
  ElevationPoint::feetToMeters(p);
  EXPECT_DOUBLE_EQ(p.elevation, 30.48);
  EXPECT_DOUBLE_EQ(p.verticalAccuracy, 6.096);
  ElevationPoint::decimetersToMeters(p);
  EXPECT_DOUBLE_EQ(p.elevation, 3.048);
}

TEST(DecompressDES, InflatesGzipAndRejectsOtherBytes) {
  std::string plain(100000, 'a');
  for (size_t i = 0; i < plain.size(); i += 7) plain[i] = static_cast<char>(i % 251);
  const std::string packed = testsupport::gzipCompress(plain);
  char* out = nullptr;
  const int length = DecompressDES(packed.data(), static_cast<int>(packed.size()), out);
  std::unique_ptr<char[]> owned(out);
  ASSERT_EQ(length, static_cast<int>(plain.size()));
  EXPECT_EQ(std::string(out, length), plain);

  const std::string garbage = "this is not a gzip stream at all";
  char* none = reinterpret_cast<char*>(1);
  EXPECT_EQ(DecompressDES(garbage.data(), static_cast<int>(garbage.size()), none), -1);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(DecompressDES(packed.data(), 10, none), -1);  // truncated stream
  EXPECT_EQ(none, nullptr);
}

TEST(DecompressDES, HighlyCompressedPayloadNeedsSeveralAttempts) {
  // 4 MB of zeros packs to about 4 kB: the 10x and 50x buffers are too small.
  const std::string plain(4 << 20, '\0');
  const std::string packed = testsupport::gzipCompress(plain);
  char* out = nullptr;
  const int length = DecompressDES(packed.data(), static_cast<int>(packed.size()), out);
  std::unique_ptr<char[]> owned(out);
  EXPECT_EQ(length, static_cast<int>(plain.size()));
}

TEST(DecompressDES, BombBeyondTheCeilingFailsWithoutAllocatingIt) {
  // 300 MiB of zeros packs to about 300 kB; the buffers that could hold it
  // are past the 256 MiB ceiling, so the attempts end with -1.
  const std::string packed = testsupport::gzipCompress(std::string(300u << 20, '\0'), 1);
  char* out = nullptr;
  EXPECT_EQ(DecompressDES(packed.data(), static_cast<int>(packed.size()), out), -1);
  EXPECT_EQ(out, nullptr);
}

TEST(ReadData, CopiesAndAdvances) {
  const char source[] = "abcdefgh";
  char target[8] = {};
  EXPECT_EQ(ReadData(source, target, 3, 2), 5);
  EXPECT_EQ(std::string(target, 3), "cde");
  EXPECT_EQ(ReadData(source, target, 0, 4), 4);
  EXPECT_EQ(ReadData(source, target, -2, 4), 4);
}

}  // namespace

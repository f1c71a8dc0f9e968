// BLOCKA: the 123-character record text written from four corners.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

#include "geometry/GeoQuad.h"
#include "tre/BLOCKA.h"
#include "tre/NitfASDE.h"

namespace {

// UL, UR, LR, LL as latitude, longitude.
zel::GeoQuad exampleQuad() {
  return zel::GeoQuad(10.5, -20.25, 10.5, -20.0, 10.25, -20.0, 10.25, -20.25);
}

TEST(BLOCKA, TextFromFourCornersFollowsTheRecordLayout) {
  BLOCKA record(1000, exampleQuad());
  const std::string expected = std::string("01") + "00000" + "01000" + "   " + "   " +
                               std::string(16, ' ') + "+10.500000-020.000000" +
                               "+10.250000-020.000000" + "+10.250000-020.250000" +
                               "+10.500000-020.250000" + std::string(5, ' ');
  EXPECT_EQ(record.getTag(), "BLOCKA");
  EXPECT_EQ(record.getLength(), 123);
  ASSERT_EQ(expected.size(), 123u);
  EXPECT_EQ(record.getText(), expected);
}

TEST(BLOCKA, TextReadsBackThroughTheAirborneSupportDataParser) {
  // An independent reader of BLOCKA corners: CETAG, CEL, then the text.
  BLOCKA record(512, zel::GeoQuad(32.5, -117.25, 32.5, -116.75, 32.0, -116.75, 32.0, -117.25));
  NitfASDE asde;
  asde.parseASDE("BLOCKA00123" + record.getText());
  EXPECT_DOUBLE_EQ(asde.frfcLat, 32.5);
  EXPECT_DOUBLE_EQ(asde.frfcLon, -117.25);
  EXPECT_DOUBLE_EQ(asde.frlcLon, -116.75);
  EXPECT_DOUBLE_EQ(asde.lrlcLat, 32.0);
  EXPECT_DOUBLE_EQ(asde.lrfcLon, -117.25);
}

TEST(BLOCKA, LocationTexts) {
  struct Case {
    double lat, lon;
    const char* text;
  } cases[] = {
      {10.5, -20.25, "+10.500000-020.250000"},
      {90.0, 180.0, "+90.000000+180.000000"},
      {-90.0, -180.0, "-90.000000-180.000000"},
      {0.0, 5.5, "+00.000000+005.500000"},
      {45.12345678, -7.5, "+45.123457-007.500000"},
      // Out of range or not a number: no location (blank in the text).
      {95.0, 30.0, ""},
      {10.0, -180.5, ""},
      {std::numeric_limits<double>::quiet_NaN(), 0.0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BLOCKA::locationText(zel::DecimalCoordinate(c.lat, c.lon)), c.text)
        << c.lat << " " << c.lon;
  }
}

TEST(BLOCKA, CornerOutOfRangeLeavesItsFieldBlankAndTheOthersInPlace) {
  BLOCKA record(10, zel::GeoQuad(95.0, 30.0, 10.5, -20.0, 10.25, -20.0, 10.25, -20.25));
  const std::string text = record.getText();
  ASSERT_EQ(text.size(), 123u);
  EXPECT_EQ(text.substr(34, 21), "+10.500000-020.000000");  // FRLC (upper right)
  EXPECT_EQ(text.substr(97, 21), std::string(21, ' '));     // FRFC (upper left)
  EXPECT_EQ(text.substr(118), std::string(5, ' '));
}

TEST(BLOCKA, NumbersThatDoNotFitAreSaturated) {
  BLOCKA record(123456, exampleQuad());
  EXPECT_EQ(record.getText().substr(7, 5), "99999");
}

TEST(BLOCKA, WriteDecimal) {
  struct Case {
    int width;
    double value, min, max;
    const char* text;
    bool written;
  } cases[] = {
      {10, 45.12345678, -90, 90, "+45.123457", true}, {10, -7.5, -90, 90, "-07.500000", true},
      {10, 0.0, -90, 90, "+00.000000", true},         {11, 5.5, -180, 180, "+005.500000", true},
      {11, -180.0, -180, 180, "-180.000000", true},   {10, 90.5, -90, 90, "+00.000000", false},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    EXPECT_EQ(BLOCKA::writeDecimal(out, c.width, true, 6, c.value, c.min, c.max), c.written);
    EXPECT_EQ(out.str(), c.text) << c.value;
  }
}

TEST(BLOCKA, CopyIsIndependent) {
  auto original = std::make_unique<BLOCKA>(700, exampleQuad());
  const std::string text = original->getText();
  std::unique_ptr<Extension> copy(original->copy());
  original.reset();
  auto* blocka = dynamic_cast<BLOCKA*>(copy.get());
  ASSERT_NE(blocka, nullptr);
  EXPECT_EQ(blocka->getText(), text);
  EXPECT_EQ(blocka->l_lines, 700);
  EXPECT_EQ(blocka->frfc_loc, "+10.500000-020.250000");
  EXPECT_EQ(blocka->getTag(), "BLOCKA");
}

TEST(BLOCKA, PrintTagsListsEveryFieldAndEndsWithAnEmptyLine) {
  BLOCKA record(1000, exampleQuad());
  std::ostringstream out;
  record.printTags(out);
  const std::string listing = out.str();
  EXPECT_EQ(listing.rfind("------BLOCKA------\n", 0), 0u);
  EXPECT_NE(listing.find("L_LINES \"1000\"\n"), std::string::npos);
  EXPECT_NE(listing.find("LAYOVER_ANGLE \"-9999\"\n"), std::string::npos);
  EXPECT_NE(listing.find("SHADOW_ANGLE \"-9999\"\n"), std::string::npos);
  EXPECT_NE(listing.find("FRFC_LOC \"+10.500000-020.250000\"\n"), std::string::npos);
  EXPECT_EQ(listing.substr(listing.size() - 2), "\n\n");
}

}  // namespace

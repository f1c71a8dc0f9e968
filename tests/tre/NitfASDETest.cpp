// BLOCKA corners from the extended subheader data.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tre/NitfASDE.h"

namespace {

// A BLOCKA record (tag, length, 123 characters of data) with the four
// locations given in the order FRLC, LRLC, LRFC, FRFC.
std::string blocka(const std::string& frlc, const std::string& lrlc, const std::string& lrfc,
                   const std::string& frfc, const std::string& length = "00123") {
  return "BLOCKA" + length + "01" + "00000" + "01000" + "   " + "   " + std::string(16, ' ') +
         frlc + lrlc + lrfc + frfc + "     ";
}

TEST(NitfASDE, DecimalAndDMSLocations) {
  double out[2] = {0, 0};
  ASSERT_TRUE(NitfASDE::parseBlockACoordinateString("+34.123456-117.654321", out));
  EXPECT_DOUBLE_EQ(out[0], 34.123456);
  EXPECT_DOUBLE_EQ(out[1], -117.654321);
  ASSERT_TRUE(NitfASDE::parseBlockACoordinateString("S341530.00E1174500.00", out));
  EXPECT_DOUBLE_EQ(out[0], -(34 + 15 / 60.0 + 30 / 3600.0));
  EXPECT_DOUBLE_EQ(out[1], 117.75);
  ASSERT_TRUE(NitfASDE::parseBlockACoordinateString("N000000.00W0013000.00", out));
  EXPECT_DOUBLE_EQ(out[1], -1.5);
  // Blanks after a valid first character read as zero.
  ASSERT_TRUE(NitfASDE::parseBlockACoordinateString("+         +010.000000", out));
  EXPECT_EQ(out[0], 0.0);
  EXPECT_EQ(out[1], 10.0);

  out[0] = out[1] = 7.0;
  EXPECT_FALSE(NitfASDE::parseBlockACoordinateString(" 34.123456-117.654321", out));
  EXPECT_FALSE(NitfASDE::parseBlockACoordinateString("", out));
  EXPECT_FALSE(NitfASDE::parseBlockACoordinateString("+34.12", out));  // no longitude at all
  EXPECT_FALSE(NitfASDE::parseBlockACoordinateString("N341530.00W11", out));
  EXPECT_EQ(out[0], 7.0);
  EXPECT_EQ(out[1], 7.0);
}

TEST(NitfASDE, CornersFromFirstBlockA) {
  NitfASDE asde;
  EXPECT_FALSE(asde.isAvailable());
  EXPECT_TRUE(std::isnan(asde.frfcLat));
  const std::string first = blocka("+10.500000-020.000000", "+10.250000-020.000000",
                                   "+10.250000-020.250000", " 10.500000-020.250000");
  const std::string second = blocka("+01.000000+001.000000", "+01.000000+001.000000",
                                    "+01.000000+001.000000", "+01.000000+001.000000");
  asde.parseASDE("PIAIMC00003abc" + first + second);
  EXPECT_DOUBLE_EQ(asde.frlcLat, 10.5);
  EXPECT_DOUBLE_EQ(asde.frlcLon, -20.0);
  EXPECT_DOUBLE_EQ(asde.lrlcLat, 10.25);
  EXPECT_DOUBLE_EQ(asde.lrlcLon, -20.0);
  EXPECT_DOUBLE_EQ(asde.lrfcLat, 10.25);
  EXPECT_DOUBLE_EQ(asde.lrfcLon, -20.25);
  // The upper left location starts with a blank: that corner alone stays NaN.
  EXPECT_TRUE(std::isnan(asde.frfcLat));
  EXPECT_TRUE(std::isnan(asde.frfcLon));
}

TEST(NitfASDE, IgnoredRecords) {
  const std::string location = "+10.500000-020.000000";
  NitfASDE wrongLength;
  wrongLength.parseASDE(blocka(location, location, location, location, "00124"));
  EXPECT_TRUE(std::isnan(wrongLength.frlcLat));
  NitfASDE none;
  none.parseASDE("no record here");
  EXPECT_TRUE(std::isnan(none.frlcLat));
}

TEST(NitfASDE, RecordCutShortNeverReadsPastTheText) {
  const std::string full = blocka("+10.500000-020.000000", "+10.250000-020.000000",
                                  "+10.250000-020.250000", "+10.500000-020.250000");
  // Every possible cut of the record: no exception, corners beyond the cut NaN.
  for (size_t length = 0; length <= full.size(); ++length) {
    NitfASDE asde;
    EXPECT_NO_THROW(asde.parseASDE(full.substr(0, length))) << length;
    if (length < 45 + 11) {
      EXPECT_TRUE(std::isnan(asde.frlcLat)) << length;
    }
    if (length >= full.size()) {
      EXPECT_DOUBLE_EQ(asde.frfcLat, 10.5);
    }
  }
  // A location cut inside its longitude keeps the digits present.
  NitfASDE cut;
  cut.parseASDE(full.substr(0, 45 + 17));
  EXPECT_DOUBLE_EQ(cut.frlcLat, 10.5);
  EXPECT_DOUBLE_EQ(cut.frlcLon, -20.0);
}

TEST(NitfASDE, ExtensionStringAndCEL) {
  std::map<std::string, std::string> values;
  values["B"] = "old";
  NitfASDE::parseExtensionString("AABBBC", {{"A", 2}, {"B", 3}, {"C", 4}, {"D", 1}, {"E", 1}},
                                 values);
  EXPECT_EQ(values["A"], "AA");
  EXPECT_EQ(values["B"], "BBB");
  EXPECT_EQ(values["C"], "C");
  EXPECT_EQ(values.count("D"), 0u);  // would start past the end
  EXPECT_EQ(NitfASDE::getCEL("BLOCKA00123", 6, 10), "00123");
  EXPECT_EQ(NitfASDE::getCEL("BLOCKA", 6, 10), "");
  EXPECT_EQ(NitfASDE::string_to_double("  12.5xyz"), 12.5);
  EXPECT_EQ(NitfASDE::string_to_double("xyz"), 0.0);
}

}  // namespace

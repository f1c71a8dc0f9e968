// UTM and MGRS: zones, bands, the series against PROJ (cs2cs) and
// GeographicLib (GeoConvert), MGRS decoding.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "geodesy/MGRS.h"
#include "geodesy/UTM.h"
#include "support/TestPaths.h"

using zel::DecimalCoordinate;
using zel::MGRS;
using zel::MGRSCoordinate;
using zel::UTM;
using zel::UTMCoordinate;

namespace {

TEST(UTMZones, ZoneAndBandRules) {
  struct Case {
    double lat, lon;
    int zone;
    char letter;
  };
  const Case cases[] = {
      {60.0, 5.0, 32, 'V'},     // Norway exception
      {60.0, 2.9, 31, 'V'},     // west of it
      {64.0, 5.0, 31, 'W'},     // north of it
      {75.0, 10.0, 33, 'X'},    // Svalbard
      {75.0, 8.9, 31, 'X'},     // Svalbard
      {75.0, 21.0, 35, 'X'},    // Svalbard
      {75.0, 41.9, 37, 'X'},    // Svalbard
      {75.0, 42.0, 38, 'X'},    // east of Svalbard
      {84.0, 0.0, 31, 'X'},     // upper edge of X included
      {0.0, 3.0, 31, 'N'},      // equator belongs to N
      {-0.0001, 3.0, 31, 'M'},  // just south of it
      {-80.0, 0.0, 31, 'C'},    // lower edge included
      {-80.0001, 0.0, 31, 'Z'}, {84.0001, 0.0, 31, 'Z'}, {-8.0, 0.0, 31, 'M'},
      {-8.0001, 0.0, 31, 'L'},  {0.0, 180.0, 61, 'N'},  // not wrapped
      {0.0, -180.0, 1, 'N'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon);
    EXPECT_EQ(UTM::computeZone(c.lat, c.lon), c.zone);
    EXPECT_EQ(UTM::computeUTMLetterDesignator(c.lat), c.letter);
  }
}

TEST(UTMZones, NonsenseLongitudesGiveNoZone) {
  EXPECT_EQ(UTM::computeZone(0.0, std::nan("")), 0);
  EXPECT_EQ(UTM::computeZone(0.0, 1e300), 0);
  EXPECT_EQ(UTM::computeUTMLetterDesignator(std::nan("")), 'Z');
}

TEST(UTMZones, HemisphereFollowsBandUnlessNone) {
  UTMCoordinate utm;
  for (char letter : std::string("CDEFGHJKLM")) {
    utm.letter = letter;
    EXPECT_TRUE(utm.inSouthernHemisphere()) << letter;
  }
  for (char letter : std::string("NPQRSTUVWXAB")) {
    utm.letter = letter;
    EXPECT_FALSE(utm.inSouthernHemisphere()) << letter;
  }
  utm.letter = 'Z';
  utm.southern = true;
  EXPECT_TRUE(utm.inSouthernHemisphere());

  // Outside the bands toUTM keeps the flag it had.
  UTMCoordinate polar;
  EXPECT_FALSE(polar.southern);
  polar.southern = true;
  UTM::toUTM(-85.0, 10.0, UTM::WGS84, &polar);
  EXPECT_EQ(polar.letter, 'Z');
  EXPECT_TRUE(polar.southern);
}

TEST(UTMProjection, EquatorAndCentralMeridian) {
  UTMCoordinate utm;
  UTM::toUTM(0.0, 3.0, UTM::WGS84, &utm);
  EXPECT_EQ(utm.zone, 31);
  EXPECT_EQ(utm.letter, 'N');
  EXPECT_FALSE(utm.southern);
  EXPECT_NEAR(utm.easting, 500000.0, 1e-9);
  EXPECT_NEAR(utm.northing, 0.0, 1e-9);

  UTM::toUTM(-0.0001, 3.0, UTM::WGS84, &utm);
  EXPECT_EQ(utm.letter, 'M');
  EXPECT_TRUE(utm.southern);
  EXPECT_LT(utm.northing, 10000000.0);
  EXPECT_GT(utm.northing, 10000000.0 - 12.0);
}

TEST(UTMProjection, RoundTripWithinZone) {
  for (int datum = 0; datum < UTM::DATUM_COUNT; ++datum) {
    for (double lat = -79.5; lat < 84.0; lat += 7.3) {
      for (double offset = -2.9; offset <= 2.9; offset += 0.7) {
        const double lon = 15.0 + offset;  // zone 33 unless an exception applies
        UTMCoordinate utm;
        UTM::toUTM(lat, lon, datum, &utm);
        DecimalCoordinate back;
        UTM::toDecimal(&utm, datum, &back);
        EXPECT_NEAR(back.getLat(), lat, 1e-8) << datum << " " << lat << " " << lon;
        EXPECT_NEAR(back.getLon(), lon, 1e-8) << datum << " " << lat << " " << lon;
      }
    }
  }
}

TEST(UTMProjection, ParseUTMString) {
  UTMCoordinate utm;
  utm.letter = 'Q';
  UTM::parseUTMString("114829513762517", &utm);
  EXPECT_EQ(utm.zone, 11);
  EXPECT_EQ(utm.easting, 482951.0);
  EXPECT_EQ(utm.northing, 3762517.0);
  EXPECT_EQ(utm.letter, 'Q');
  UTM::parseUTMString("1A12x456  -1234", &utm);  // digits up to the first other character
  EXPECT_EQ(utm.zone, 1);
  EXPECT_EQ(utm.easting, 12.0);
  EXPECT_EQ(utm.northing, -1234.0);
  EXPECT_THROW(UTM::parseUTMString("1112345", &utm), std::out_of_range);
  EXPECT_EQ(utm.zone, 1);  // nothing stored on failure
}

// ---- Cross-checks against PROJ and GeographicLib ----

struct Ellipsoid {
  int datum;
  const char* name;
};
const Ellipsoid ELLIPSOIDS[] = {
    {UTM::WGS84, "WGS84"}, {UTM::WGS72, "WGS72"},           {UTM::GRS67, "GRS67"},
    {UTM::TOKYO, "TOKYO"}, {UTM::AUSTRALIAN, "AUSTRALIAN"},
};

struct GridPoint {
  double lat, lon;
};

// Points covering a zone's whole width (central meridian +-3 degrees) at
// several latitudes of one hemisphere.
std::vector<GridPoint> zoneSweep(int zone, bool south) {
  std::vector<GridPoint> points;
  const double centre = 6.0 * zone - 183.0;
  const double lats[] = {0.5, 12.0, 33.0, 47.5, 61.0, 79.5};
  for (double lat : lats) {
    for (double offset = -2.999; offset <= 3.0; offset += 0.5) {
      points.push_back({south ? -lat : lat, centre + offset});
    }
  }
  return points;
}

std::string cs2csParameters(int zone, bool south, int datum) {
  std::ostringstream out;
  out << std::setprecision(17) << "+proj=utm +zone=" << zone << (south ? " +south" : "")
      << " +a=" << UTM::equatorialRadius[datum] << " +b=" << UTM::polarRadius[datum];
  return out.str();
}

// Runs cs2cs over `input` (one "x y" pair per line) and returns the pairs.
std::vector<std::pair<double, double>> runCs2cs(const std::string& from, const std::string& to,
                                                const std::string& input) {
  const std::string file = testsupport::scratchPath("cs2cs-input.txt");
  testsupport::writeWholeFile(file, input);
  std::istringstream out(
      testsupport::runCommand("cs2cs -f %.10f " + from + " +to " + to + " " + file));
  std::vector<std::pair<double, double>> result;
  std::string line;
  while (std::getline(out, line)) {
    std::istringstream fields(line);
    double a = 0, b = 0;
    fields >> a >> b;
    result.emplace_back(a, b);
  }
  return result;
}

TEST(UTMCrossCheck, ForwardAndInverseAgreeWithProjAcrossZones) {
  if (!testsupport::haveCommand("cs2cs")) GTEST_SKIP() << "cs2cs (proj-bin) not installed";
  struct ZoneCase {
    int zone;
    bool south;
    int datum;
  };
  const ZoneCase zones[] = {
      {31, false, UTM::WGS84}, {33, false, UTM::WGS84},     {10, false, UTM::WGS72},
      {54, false, UTM::TOKYO}, {55, true, UTM::AUSTRALIAN}, {23, true, UTM::GRS67},
      {1, true, UTM::WGS84},   {60, false, UTM::GRS80},
  };
  for (const ZoneCase& zc : zones) {
    const std::vector<GridPoint> points = zoneSweep(zc.zone, zc.south);
    std::ostringstream input;
    input << std::setprecision(15);
    for (const GridPoint& p : points) input << p.lon << " " << p.lat << "\n";
    const std::string geographic =
        "+proj=longlat +a=" + std::to_string(UTM::equatorialRadius[zc.datum]) +
        " +b=" + std::to_string(UTM::polarRadius[zc.datum]);
    const std::string projected = cs2csParameters(zc.zone, zc.south, zc.datum);
    const auto reference = runCs2cs(geographic, projected, input.str());
    ASSERT_EQ(reference.size(), points.size());

    double worstForward = 0.0, worstInverse = 0.0, worstNearCentre = 0.0;
    std::ostringstream back;
    back << std::setprecision(15);
    for (size_t i = 0; i < points.size(); ++i) {
      // Project about the zone of the case, whatever computeZone would say.
      double* xy = UTM::convertLatLonToTM(points[i].lat * M_PI / 180.0,
                                          points[i].lon * M_PI / 180.0, zc.zone, zc.datum);
      const double easting = 0.9996 * xy[0] + 500000.0;
      const double northing = 0.9996 * xy[1] + (zc.south ? 10000000.0 : 0.0);
      delete[] xy;
      const double error = std::hypot(easting - reference[i].first, northing - reference[i].second);
      worstForward = std::max(worstForward, error);
      const double offset = std::fabs(points[i].lon - (6.0 * zc.zone - 183.0));
      if (offset < 0.6) worstNearCentre = std::max(worstNearCentre, error);
      back << reference[i].first << " " << reference[i].second << "\n";
    }
    // Inverse: PROJ's grid coordinates back through our series.
    const auto geographicReference = runCs2cs(projected, geographic, back.str());
    ASSERT_EQ(geographicReference.size(), points.size());
    for (size_t i = 0; i < points.size(); ++i) {
      UTMCoordinate utm;
      utm.zone = zc.zone;
      utm.letter = 'Z';
      utm.southern = zc.south;
      utm.easting = reference[i].first;
      utm.northing = reference[i].second;
      DecimalCoordinate dec;
      UTM::toDecimal(&utm, zc.datum, &dec);
      // Degrees to metres on the ground (roughly).
      const double dlat = (dec.getLat() - geographicReference[i].second) * 111320.0;
      const double dlon = (dec.getLon() - geographicReference[i].first) * 111320.0 *
                          std::cos(points[i].lat * M_PI / 180.0);
      worstInverse = std::max(worstInverse, std::hypot(dlat, dlon));
    }
    std::printf(
        "zone %2d%c datum %d: largest difference to PROJ over 6 degrees: forward %.3f mm, "
        "inverse %.3f mm; within 0.6 degrees of the central meridian %.3f mm\n",
        zc.zone, zc.south ? 'S' : 'N', zc.datum, worstForward * 1000.0, worstInverse * 1000.0,
        worstNearCentre * 1000.0);
    EXPECT_LT(worstNearCentre, 0.005);
    EXPECT_LT(worstForward, 0.05);
    EXPECT_LT(worstInverse, 0.05);
  }
}

TEST(UTMCrossCheck, ToUTMAgreesWithGeoConvert) {
  if (!testsupport::haveCommand("GeoConvert")) GTEST_SKIP() << "GeoConvert not installed";
  const GridPoint points[] = {
      {48.2495, 16.4145}, {60.0, 5.0},  {75.0, 10.0},     {75.0, 8.9},   {-33.8688, 151.2093},
      {-0.0001, 3.0},     {71.9, 41.5}, {-79.9, -179.9},  {83.9, 179.9}, {35.6762, 139.6503},
      {-54.8, -68.3},     {56.0, 3.0},  {63.999, 11.999}, {1.2, -77.7},
  };
  std::ostringstream input;
  input << std::setprecision(15);
  for (const GridPoint& p : points) input << p.lat << " " << p.lon << "\n";
  const std::string file = testsupport::scratchPath("geoconvert-input.txt");
  testsupport::writeWholeFile(file, input.str());
  std::istringstream out(testsupport::runCommand("GeoConvert -u -p 4 --input-file " + file));
  for (const GridPoint& p : points) {
    std::string zoneText;
    double easting = 0, northing = 0;
    ASSERT_TRUE(out >> zoneText >> easting >> northing);
    UTMCoordinate utm;
    UTM::toUTM(p.lat, p.lon, UTM::WGS84, &utm);
    SCOPED_TRACE(testing::Message() << p.lat << " " << p.lon << " " << zoneText);
    EXPECT_EQ(utm.zone, std::stoi(zoneText));
    EXPECT_EQ(utm.southern, zoneText.back() == 's');
    EXPECT_NEAR(utm.easting, easting, 0.05);
    EXPECT_NEAR(utm.northing, northing, 0.05);
  }
}

// ---- MGRS ----

TEST(MGRSDecoding, ViennaExample) {
  MGRSCoordinate mgrs;
  MGRS::parseMGRSString("33UXP0500444996", &mgrs);
  EXPECT_EQ(mgrs.zone, 33);
  EXPECT_EQ(mgrs.letter, 'U');
  EXPECT_EQ(mgrs.square, "XP");
  EXPECT_EQ(mgrs.easting, 5004.0);
  EXPECT_EQ(mgrs.northing, 44996.0);
  EXPECT_EQ(MGRS::computeSet(33), 3);
  EXPECT_EQ(MGRS::UTMRow(6, 5, 13), 53);

  DecimalCoordinate dec;
  ASSERT_EQ(MGRS::toDecimal(&mgrs, UTM::WGS84, &dec), 0);
  // GeoConvert -g -p 9 <<< "33n 605004 5344996" (the corner of the 1-m
  // square; GeoConvert's own MGRS reading gives the square's centre).
  EXPECT_NEAR(dec.getLat(), 48.24947477507573, 1e-8);
  EXPECT_NEAR(dec.getLon(), 16.41449427857976, 1e-8);
}

TEST(MGRSDecoding, SetsAndFailures) {
  EXPECT_EQ(MGRS::computeSet(6), 6);
  EXPECT_EQ(MGRS::computeSet(12), 6);
  EXPECT_EQ(MGRS::computeSet(7), 1);
  EXPECT_EQ(MGRS::computeSet(0), 6);
  EXPECT_EQ(MGRS::computeSet(-5), 1);  // bad text must not index outside the tables

  DecimalCoordinate dec(1.0, 2.0);
  EXPECT_EQ(MGRS::toDecimal(nullptr, UTM::WGS84, &dec), -1);
  MGRSCoordinate mgrs;
  EXPECT_EQ(MGRS::toDecimal(&mgrs, UTM::WGS84, nullptr), -1);
  const char* bad[] = {
      "33IXP0500444996",  // band I does not exist
      "33UAP0500444996",  // column A is not in set 3
      "33UXI0500444996",  // row I never exists
      "-5UXP0500444996",  // nonsense zone, column X not in set 1
  };
  for (const char* text : bad) {
    MGRS::parseMGRSString(text, &mgrs);
    EXPECT_EQ(MGRS::toDecimal(&mgrs, UTM::WGS84, &dec), -1) << text;
    EXPECT_EQ(dec.getLat(), 1.0);
    EXPECT_EQ(dec.getLon(), 2.0);
  }
  EXPECT_THROW(MGRS::parseMGRSString("33UXP0500", &mgrs), std::out_of_range);
}

TEST(MGRSCrossCheck, AgreesWithGeoConvert) {
  if (!testsupport::haveCommand("GeoConvert")) GTEST_SKIP() << "GeoConvert not installed";
  // MGRS references of points in both hemispheres, near band edges and in the
  // Norway and Svalbard zones, made by GeoConvert itself at 1 m precision.
  const GridPoint points[] = {
      {48.2495, 16.4145}, {-33.8688, 151.2093}, {60.0, 5.0},  {75.0, 10.0},    {79.0, 25.0},
      {71.95, 30.5},      {-0.3, 3.2},          {0.3, -3.2},  {-79.7, -170.0}, {83.5, 100.0},
      {56.1, 3.1},        {-40.0, 174.0},       {64.0, 11.9}, {8.0001, 45.0},  {-47.9, -70.0},
  };
  std::ostringstream input;
  input << std::setprecision(15);
  for (const GridPoint& p : points) input << p.lat << " " << p.lon << "\n";
  const std::string file = testsupport::scratchPath("geoconvert-mgrs.txt");
  testsupport::writeWholeFile(file, input.str());
  std::istringstream references(testsupport::runCommand("GeoConvert -m -p 0 --input-file " + file));
  std::string reference;
  std::ostringstream refs;
  std::vector<std::string> texts;
  while (references >> reference) {
    texts.push_back(reference);
    refs << reference << "\n";
  }
  ASSERT_EQ(texts.size(), std::size(points));
  testsupport::writeWholeFile(file, refs.str());
  std::istringstream decoded(testsupport::runCommand("GeoConvert -g -p 9 --input-file " + file));
  for (const std::string& text : texts) {
    double lat = 0, lon = 0;
    ASSERT_TRUE(decoded >> lat >> lon);
    // GeoConvert reports the centre of the 1-m square; our reading is its
    // corner, so allow a metre.
    std::string padded = text.size() == 15 ? text : "0" + text;
    MGRSCoordinate mgrs;
    MGRS::parseMGRSString(padded, &mgrs);
    DecimalCoordinate dec;
    ASSERT_EQ(MGRS::toDecimal(&mgrs, UTM::WGS84, &dec), 0) << text;
    EXPECT_NEAR(dec.getLat(), lat, 1e-5) << text;
    EXPECT_NEAR(dec.getLon(), lon, 1e-5 / std::cos(lat * M_PI / 180.0)) << text;
  }
}

TEST(MGRSCoordinates, CopyConstructors) {
  UTMCoordinate utm;
  utm.zone = 12;
  utm.letter = 'S';
  utm.southern = false;
  utm.easting = 1.5;
  utm.northing = 2.5;
  MGRSCoordinate fromUtm(&utm);
  EXPECT_EQ(fromUtm.zone, 12);
  EXPECT_EQ(fromUtm.letter, 'S');
  EXPECT_EQ(fromUtm.northing, 2.5);
  EXPECT_EQ(fromUtm.square, "ZZ");
  fromUtm.square = "AB";
  MGRSCoordinate copy(&fromUtm);
  EXPECT_EQ(copy.square, "AB");
  EXPECT_EQ(copy.easting, 1.5);
}

}  // namespace

// Elevation lookup: inverse-distance weighting of the nearest post of each
// quadrant, its units and accuracy, the post spacing, the slope percentile,
// and the grid index against a scan of every post.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "model/TAV.h"
#include "productkit/ChipRecord.h"
#include "support/ProductFixtures.h"
#include "tre/ICHIPB.h"
#include "tre/RPC00B.h"

namespace {

const std::string NO_POST =
    "Could not find a post close enough to                                 calculate an elevation "
    "value.";

// An initialised model whose chip is the full image shifted by (20, 10).
std::unique_ptr<TAV> model() {
  auto m = std::make_unique<TAV>(static_cast<DataReader*>(nullptr));
  m->initialize(
      new RPC00B("RPC00B", 1041, testsupport::rpc00bText()),
      new ICHIPB("ICHIPB", 224,
                 productkit::ichipbText(productkit::chipOf(100, 120, 10, 20, 1, 2000, 3000))),
      {}, 100, 120, "20200102030405");
  m->elevationFormat = "1.12";
  return m;
}

ElevationPoint post(int row, int column, double elevation, double verticalAccuracy = 10) {
  ElevationPoint p;
  p.row = row;
  p.column = column;
  p.elevation = elevation;
  p.verticalAccuracy = verticalAccuracy;
  return p;
}

ElevationSegmentData segment(std::vector<ElevationPoint> points, int radius = 50, int units = 0,
                             DataSource::DataSource source = DataSource::DTED_LEVEL_2) {
  ElevationSegmentData s;
  s.points = std::move(points);
  s.postCount = static_cast<int>(s.points.size());
  s.searchRadius = radius;
  s.units = units;
  s.dataSource = source;
  return s;
}

// The message of a thrown BaseException*, which is released.
template <class F>
std::string failureOf(F f) {
  try {
    f();
  } catch (BaseException* e) {
    delete e;
    // The matrix library prefixes its own preamble.
    const std::string text = BaseException::what();
    const std::string preamble = "An exception has been thrown\n";
    const size_t at = text.find(preamble);
    return at == std::string::npos ? text : text.substr(at + preamble.size());
  }
  return "";
}

// The lookup as a scan of every post of every segment, in order.
std::vector<double> scanLookup(TAV& m, std::vector<ElevationSegmentData>& segments, double y,
                               double x, double radiusArgument) {
  std::vector<PostRec> quadrant[4];
  double slope = 0;
  for (ElevationSegmentData& s : segments) {
    if (s.dataSource == 6 || s.dataSource == 8) {
      if (s.slope90 == -999.0) s.slope90 = s.computeSlope90(m.gsd);
      slope = s.slope90;
    }
    const double r = radiusArgument == 0 ? s.searchRadius : radiusArgument;
    for (ElevationPoint& p : s.points) {
      const double d = std::sqrt((y - p.row) * (y - p.row) + (x - p.column) * (x - p.column));
      if (!(d < r)) continue;
      const double w = d < 0.01 ? 99.9 : 1 / d;
      if (p.row <= y && p.column <= x) m.savePostSorted(quadrant[0], d, w, p, s.dataSource);
      if (p.row <= y && p.column >= x) m.savePostSorted(quadrant[1], d, w, p, s.dataSource);
      if (p.row >= y && p.column >= x) m.savePostSorted(quadrant[2], d, w, p, s.dataSource);
      if (p.row >= y && p.column <= x) m.savePostSorted(quadrant[3], d, w, p, s.dataSource);
    }
  }
  std::vector<PostRec> selection;
  for (auto& q : quadrant) {
    if (!q.empty()) m.savePostSorted(selection, q[0].distance, q[0].weight, q[0].post, q[0].source);
  }
  if (selection.empty()) return {};
  double total = 0, e = 0, v = 0;
  for (const PostRec& r : selection) total += r.weight;
  for (const PostRec& r : selection) {
    const double wn = r.weight / total;
    e += wn * r.post.elevation;
    v += wn * r.post.verticalAccuracy * r.post.verticalAccuracy;
  }
  for (const PostRec& r : selection) {
    if (r.source == 6 || r.source == 8) {
      v += r.distance + (slope * m.gsd) * (slope * m.gsd);
      break;
    }
  }
  return {e, std::sqrt(v)};
}

// The slope percentile over every pair.
double scanSlope90(ElevationSegmentData& s, double gsd) {
  std::vector<double> slopes;
  for (size_t i = 0; i < s.points.size(); ++i) {
    for (size_t j = i + 1; j < s.points.size(); ++j) {
      const double dr = s.points[i].row - s.points[j].row;
      const double dc = s.points[i].column - s.points[j].column;
      const double g = std::sqrt(dr * dr + dc * dc) * gsd;
      if (g > 0 && g <= 60.0)
        s.saveSlopeSorted(slopes,
                          std::fabs(s.points[i].elevation / 10 - s.points[j].elevation / 10) / g);
    }
  }
  if (slopes.empty()) return 0;
  return slopes[static_cast<size_t>(s.round(0.9 * slopes.size())) - 1];
}

}  // namespace

TEST(ElevationLookup, QueryOnAPostGivesThatPost) {
  auto m = model();
  std::vector<ElevationSegmentData> segments = {
      segment({post(40, 40, 120, 7), post(40, 50, 500, 70), post(60, 40, 900, 70)})};
  const std::vector<double> r = m->IDW_Interpolation(segments, 40, 40, TAV::MAX_POSTS, 0);
  EXPECT_DOUBLE_EQ(r[0], 120);
  EXPECT_DOUBLE_EQ(r[1], 7);
}

TEST(ElevationLookup, OneSidedPostsAndWeights) {
  auto m = model();
  // Both posts below the query row: Q3 takes (20, 14), Q4 takes (20, 10)
  // (at distance sqrt(101) and sqrt(109)).
  std::vector<ElevationSegmentData> segments = {
      segment({post(20, 14, 100, 3), post(20, 10, 200, 4)})};
  const std::vector<double> r = m->IDW_Interpolation(segments, 10, 13, 4, 0);
  const double w1 = 1 / std::sqrt(101.0), w2 = 1 / std::sqrt(109.0);
  EXPECT_NEAR(r[0], (w1 * 100 + w2 * 200) / (w1 + w2), 1e-12);
  EXPECT_NEAR(r[1], std::sqrt((w1 * 9 + w2 * 16) / (w1 + w2)), 1e-12);
  // One post alone is enough.
  segments = {segment({post(30, 30, 77, 2)})};
  EXPECT_DOUBLE_EQ(m->IDW_Interpolation(segments, 10, 14, 4, 0)[0], 77);
}

TEST(ElevationLookup, RadiusBoundaryIsExclusive) {
  auto m = model();
  std::vector<ElevationSegmentData> segments = {segment({post(13, 14, 55)}, 5)};
  // (13, 14) is exactly 5 from (10, 10).
  EXPECT_EQ(failureOf([&] { m->IDW_Interpolation(segments, 10, 10, 4, 0); }), NO_POST);
  EXPECT_DOUBLE_EQ(m->IDW_Interpolation(segments, 10.001, 10, 4, 0)[0], 55);
  // An explicit radius replaces the segment's own.
  EXPECT_DOUBLE_EQ(m->IDW_Interpolation(segments, 10, 10, 4, 5.0001)[0], 55);
  std::vector<ElevationSegmentData> none;
  EXPECT_EQ(failureOf([&] { m->IDW_Interpolation(none, 10, 10, 4, 0); }), NO_POST);
}

TEST(ElevationLookup, TiesGoToThePostMetFirst) {
  auto m = model();
  // Around (10, 10): (13, 10) lies in Q3 and Q4, (10, 13) in Q2 and Q3, both
  // 3 away. Q3 keeps the one met first, (13, 10); Q1 is empty.
  std::vector<ElevationSegmentData> segments = {
      segment({post(20, 20, 1, 1), post(13, 10, 300, 1), post(10, 13, 700, 1)})};
  const std::vector<double> r = m->IDW_Interpolation(segments, 10, 10, 4, 0);
  EXPECT_NEAR(r[0], (300 * 2 + 700 * 1) / 3.0, 1e-12);
  // The earlier segment wins a tie across segments.
  std::vector<ElevationSegmentData> two = {segment({post(12, 12, 100, 1)}),
                                           segment({post(12, 12, 900, 1)})};
  EXPECT_DOUBLE_EQ(m->IDW_Interpolation(two, 10, 10, 4, 0)[0], 100);
}

TEST(ElevationLookup, UnitsFollowTheFormatAndTheFirstSegment) {
  auto m = model();
  std::vector<ElevationSegmentData> feet = {segment({post(40, 40, 1000, 10)}, 50, 1)};
  m->elevationSegments = feet;
  EXPECT_NEAR(m->IDW_Interpolation(feet, 40, 40, 4, 0)[0], 304.8, 1e-12);
  std::vector<ElevationSegmentData> decimetres = {segment({post(40, 40, 1000, 10)}, 50, 2)};
  m->elevationSegments = decimetres;
  EXPECT_NEAR(m->IDW_Interpolation(decimetres, 40, 40, 4, 0)[1], 1.0, 1e-12);
  // The units of the model's first segment apply to every post.
  m->elevationSegments = feet;
  EXPECT_NEAR(m->IDW_Interpolation(decimetres, 40, 40, 4, 0)[0], 304.8, 1e-12);
  // "1.7": decimetres whatever the units code.
  m->elevationFormat = "1.7";
  EXPECT_NEAR(m->IDW_Interpolation(feet, 40, 40, 4, 0)[0], 100, 1e-12);
}

TEST(ElevationLookup, ThroughTheModelAndItsFailures) {
  auto m = model();
  m->elevationSegments = {segment({post(40, 40, 250, 16.449)})};
  // Full-image pixel (60, 50) is chip pixel (40, 40).
  I2GResult r;
  m->getElevation(zel::PixelCoordinate(60, 50), r);
  EXPECT_DOUBLE_EQ(r.elevation, 250);
  EXPECT_NEAR(r.elevationSigma, 16.449 / 1.6449, 1e-12);
  EXPECT_DOUBLE_EQ(r.latitude, 40);
  EXPECT_DOUBLE_EQ(r.longitude, 40);
  EXPECT_DOUBLE_EQ(m->getElevation(zel::PixelCoordinate(40, 40)), 250);

  m->elevationSegments = {segment({post(40, 40, 250, 0)})};
  EXPECT_EQ(failureOf([&] { m->getElevation(zel::PixelCoordinate(60, 50), r); }),
            "Invalid elevation accuracy");
  // "1.7" without a segment: no post to find.
  m->elevationSegments.clear();
  m->elevationFormat = "1.7";
  EXPECT_EQ(failureOf([&] { m->getElevation(zel::PixelCoordinate(60, 50), r); }), NO_POST);
}

TEST(ElevationLookup, DtedPostSpacing) {
  auto m = model();
  m->gsd = 1.0;
  ElevationSegmentData s;
  s.dtedLevel = 1;
  EXPECT_NEAR(m->getApproximateDTEDPostSpacing(s), 92.76624, 1e-5);
  s.dtedLevel = 0;
  EXPECT_NEAR(m->getApproximateDTEDPostSpacing(s), 927.6624, 1e-4);
  for (int level : {3, 4, -1, 9}) {
    s.dtedLevel = level;
    EXPECT_EQ(failureOf([&] { m->getApproximateDTEDPostSpacing(s); }),
              "Error, couldn't determine elevation post spacing")
        << level;
  }
  s.dtedLevel = 1;
  m->gsd = -999.0;
  EXPECT_EQ(failureOf([&] { m->getApproximateDTEDPostSpacing(s); }),
            "Error, couldn't determine elevation post spacing");

  // "1.7" with a DTED level 1 segment: radius 1.5 x 92.766 = 139.149 pixels.
  m->gsd = 1.0;
  m->elevationFormat = "1.7";
  ElevationSegmentData dted = segment({post(40, 179, 1230, 50)}, 0, 0, DataSource::DTED_LEVEL_1);
  dted.dtedLevel = 1;
  m->elevationSegments = {dted};
  // Full-image (60, 50) is chip (40, 40), 139 pixels from the post.
  I2GResult r;
  m->getElevation(zel::PixelCoordinate(60, 50), r);
  EXPECT_DOUBLE_EQ(r.elevation, 123);
  EXPECT_EQ(failureOf([&] { m->getElevation(zel::PixelCoordinate(59.8, 50), r); }), NO_POST);
}

TEST(ElevationLookup, RoughSourcesWidenTheAccuracy) {
  auto m = model();
  m->gsd = 2.0;
  // Posts 10 pixels (20 m) apart rising 1 m (10 dm) each: every slope 0.05.
  std::vector<ElevationPoint> ramp;
  for (int i = 0; i < 5; ++i) ramp.push_back(post(10, 10 + 10 * i, 100 + 10 * i, 3));
  std::vector<ElevationSegmentData> segments = {segment(ramp, 50, 0, DataSource::SOURCE_6)};
  m->elevationSegments = segments;
  const std::vector<double> r = m->IDW_Interpolation(segments, 10, 10, 4, 0);
  EXPECT_DOUBLE_EQ(segments[0].slope90, 0.05);
  EXPECT_DOUBLE_EQ(r[0], 100);
  // The distance (0) plus (slope x gsd)^2 is added to the variance.
  EXPECT_NEAR(r[1], std::sqrt(9 + 0.1 * 0.1), 1e-12);
}

TEST(ElevationSegment, SlopeRoundAndBaseElevation) {
  ElevationSegmentData s;
  EXPECT_EQ(s.round(2.5), 3);
  EXPECT_EQ(s.round(-2.5), -3);
  EXPECT_EQ(s.round(2.49), 2);
  std::vector<double> v;
  for (double x : {3.0, 1.0, 2.0, 1.0}) s.saveSlopeSorted(v, x);
  EXPECT_EQ(v, (std::vector<double>{1, 1, 2, 3}));

  // No pair within 60 m: a harmless 0.
  s.points = {post(0, 0, 10), post(0, 100, 20)};
  EXPECT_EQ(s.computeSlope90(1.0), 0);
  EXPECT_EQ(s.computeSlope90(-999.0), 0);
  // Duplicate positions (g = 0) are skipped.
  s.points = {post(0, 0, 10), post(0, 0, 90), post(3, 4, 60)};
  // Pairs: (0,2) |1 - 6| / 5 = 1, (1,2) |9 - 6| / 5 = 0.6; k = round(1.8) = 2.
  EXPECT_DOUBLE_EQ(s.computeSlope90(1.0), 1.0);

  s.points = {post(0, 0, -5.5), post(0, 1, 12), post(0, 2, -1)};
  s.postCount = 3;
  EXPECT_EQ(s.calcBaseElevation(), -6);
  s.postCount = 2;
  s.points[0].elevation = 7;
  EXPECT_EQ(s.calcBaseElevation(), 7);
  s.postCount = 0;
  EXPECT_EQ(s.calcBaseElevation(), 65535);
  s.postCount = 1;
  s.points[0].elevation = -32768;
  EXPECT_EQ(s.calcBaseElevation(), -32768);
}

TEST(ElevationIndex, SlopeMatchesEveryPairOnRandomPosts) {
  std::mt19937 random(5);
  for (int trial = 0; trial < 20; ++trial) {
    ElevationSegmentData s;
    const int span = 20 + trial * 15;
    std::uniform_int_distribution<int> position(0, span), elevation(0, 3000);
    const int n = 50 + trial * 20;
    for (int i = 0; i < n; ++i)
      s.points.push_back(post(position(random), position(random), elevation(random)));
    for (double gsd : {0.5, 1.0, 3.7, 30.0}) {
      EXPECT_EQ(s.computeSlope90(gsd), scanSlope90(s, gsd)) << trial << " " << gsd;
    }
  }
}

TEST(ElevationIndex, LookupMatchesTheScanOnRandomPosts) {
  std::mt19937 random(9);
  auto m = model();
  m->gsd = 1.5;
  int compared = 0, failures = 0;
  for (int trial = 0; trial < 40; ++trial) {
    // One to three segments of clustered or spread posts, with duplicates
    // and positions on a coarse lattice so that ties occur.
    std::vector<ElevationSegmentData> segments;
    const int count = 1 + trial % 3;
    for (int s = 0; s < count; ++s) {
      const int lattice = 1 + (trial + s) % 4;
      const int span = 30 + (trial * 37 + s * 11) % 400;
      std::uniform_int_distribution<int> cell(0, span / lattice);
      std::uniform_int_distribution<int> value(0, 2000), accuracy(1, 60);
      std::vector<ElevationPoint> points;
      const int n = 1 + (trial * 53 + s * 17) % 600;
      for (int i = 0; i < n; ++i) {
        points.push_back(
            post(cell(random) * lattice, cell(random) * lattice, value(random), accuracy(random)));
      }
      const DataSource::DataSource source =
          (trial + s) % 5 == 0 ? DataSource::SOURCE_8 : DataSource::DTED_LEVEL_2;
      segments.push_back(segment(points, 5 + (trial * 7 + s * 13) % 60, 0, source));
    }
    std::vector<ElevationSegmentData> scanned = segments;
    std::uniform_real_distribution<double> coordinate(-40, 460);
    for (int q = 0; q < 200; ++q) {
      double y = coordinate(random), x = coordinate(random);
      if (q % 4 == 0) {  // on the lattice
        y = std::round(y);
        x = std::round(x);
      }
      const double radius = q % 3 == 0 ? 0 : (q % 3) * 17.5;
      std::vector<double> indexed;
      const std::string failure =
          failureOf([&] { indexed = m->IDW_Interpolation(segments, y, x, 4, radius); });
      const std::vector<double> expected = scanLookup(*m, scanned, y, x, radius);
      ++compared;
      if (expected.empty()) {
        ++failures;
        EXPECT_EQ(failure, NO_POST);
        continue;
      }
      ASSERT_EQ(failure, "");
      EXPECT_EQ(indexed[0], expected[0]) << trial << " " << y << " " << x;
      EXPECT_EQ(indexed[1], expected[1]) << trial << " " << y << " " << x;
    }
  }
  // Both outcomes were exercised.
  EXPECT_GT(failures, 100);
  EXPECT_GT(compared - failures, 2000);
}

// Building the sensor model from product bytes, and the chip mapping.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "io/MemoryDataReader.h"
#include "model/TAV.h"
#include "productkit/ChipRecord.h"
#include "productkit/ElevationPayload.h"
#include "support/NitfBuilder.h"
#include "support/ProductFixtures.h"
#include "support/TestPaths.h"
#include "tre/ICHIPB.h"
#include "tre/RPC00B.h"

using testsupport::DataExtensionSegment;
using testsupport::NitfFile;

namespace {

std::unique_ptr<TAV> modelOf(const NitfFile& file) {
  MemoryDataReader reader(testsupport::buildNitf(file));
  return std::make_unique<TAV>(&reader);
}

NitfFile productWith(std::vector<DataExtensionSegment> segments) {
  NitfFile file = testsupport::minimalProduct();
  file.dataExtensions = std::move(segments);
  return file;
}

DataExtensionSegment form2Segment(const std::string& compression,
                                  const std::vector<productkit::Post>& posts) {
  productkit::Form2Header header;
  header.compression = compression;
  header.postCount = static_cast<int>(posts.size());
  const std::string records = productkit::form2Records(posts);
  return {"TAV001", productkit::form2Subheader(header),
          compression == "NC" ? records : testsupport::gzipCompress(records)};
}

DataExtensionSegment form1Segment(const std::vector<productkit::Post>& posts) {
  return {"DORARI", "", testsupport::gzipCompress(productkit::form1Payload(2, 1, 10, posts))};
}

const std::vector<productkit::Post> POSTS = {{5, 5, 100, 3, 4}, {5, 30, 120, 3, 4}};

// A model built directly from records (no product file).
std::unique_ptr<TAV> modelFromRecords(ICHIPB* chip, int rows = 100, int columns = 120) {
  auto model = std::make_unique<TAV>(static_cast<DataReader*>(nullptr));
  model->initialize(new RPC00B("RPC00B", 1041, testsupport::rpc00bText()), chip, {}, rows, columns,
                    "20200102030405");
  return model;
}

ICHIPB* chipRecord(const productkit::ChipCorners& corners) {
  return new ICHIPB("ICHIPB", 224, productkit::ichipbText(corners));
}

}  // namespace

TEST(ModelBuild, ElevationFormatAndSegmentsFollowTheProduct) {
  struct Case {
    const char* name;
    std::vector<DataExtensionSegment> segments;
    bool initialized;
    std::string format;
    size_t segmentCount;
  };
  const std::vector<Case> cases = {
      {"uncompressed TAV001", {form2Segment("NC", POSTS)}, true, "1.12", 1},
      {"gzip TAV001", {form2Segment("GZ", POSTS)}, true, "1.12", 1},
      {"no elevation segment", {{"OTHERDES", "", "x"}}, true, "", 0},
      {"form 1 then form 2", {form1Segment(POSTS), form2Segment("GZ", POSTS)}, true, "1.12", 2},
      {"form 2 then form 1", {form2Segment("GZ", POSTS), form1Segment(POSTS)}, true, "1.7", 2},
      // A payload that is not gzip stops the build.
      {"corrupt form 1", {{"DORARI", "", "payload"}}, false, "1.7", 0},
      {"corrupt form 2",
       {form2Segment("GZ", POSTS), {"TAV001", testsupport::form2Desshf("GZ"), "not gzip"}},
       false,
       "1.12",
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto model = modelOf(productWith(c.segments));
    EXPECT_EQ(model->getIsInitialized(), c.initialized);
    EXPECT_EQ(model->elevationFormat, c.format);
    ASSERT_EQ(model->elevationSegments.size(), c.segmentCount);
  }
  const auto model = modelOf(productWith({form2Segment("NC", POSTS)}));
  ASSERT_EQ(model->elevationSegments[0].points.size(), 2u);
  EXPECT_EQ(model->elevationSegments[0].points[1].column, 30);
  EXPECT_EQ(model->imageDateTime, "20200102030405");
  EXPECT_EQ(model->height, 100);
  EXPECT_EQ(model->width, 120);
  // The failed form 2 segment is kept with its subheader values and no posts.
  const auto failed =
      modelOf(productWith({{"TAV001", testsupport::form2Desshf("GZ"), "not gzip"}}));
  ASSERT_EQ(failed->elevationSegments.size(), 1u);
  EXPECT_TRUE(failed->elevationSegments[0].points.empty());
  EXPECT_EQ(failed->elevationSegments[0].searchRadius, 50);
}

TEST(ModelBuild, FilesThatAreNotProductsLeaveTheModelUninitialised) {
  MemoryDataReader junk(std::string(3000, 'j'));
  EXPECT_FALSE(TAV(&junk).getIsInitialized());
  EXPECT_FALSE(TAV("/nonexistent/product.ntf", false).getIsInitialized());
  EXPECT_FALSE(TAV(nullptr, false).getIsInitialized());
  // An image without ICHIPB is not a product.
  NitfFile file = testsupport::minimalProduct();
  file.images[0].extended.pop_back();
  file.dataExtensions = {form2Segment("NC", POSTS)};
  EXPECT_FALSE(modelOf(file)->getIsInitialized());

  const std::string path = testsupport::scratchPath("model_build_product.ntf");
  testsupport::writeWholeFile(path,
                              testsupport::buildNitf(productWith({form2Segment("NC", POSTS)})));
  const TAV fromPath(path.c_str(), false);
  EXPECT_TRUE(fromPath.getIsInitialized());
  EXPECT_EQ(fromPath.elevationSegments.size(), 1u);
}

TEST(ModelBuild, CopiesRecordValuesAndCornerQuads) {
  productkit::ChipCorners corners = productkit::chipOf(100, 120, 1000, 2000, 1, 5000, 6000);
  corners.full[2] = {1150, 1990};  // LL (FI_ROW_21, FI_COL_21)
  corners.full[3] = {1160, 2130};  // LR (FI_ROW_22, FI_COL_22)
  const auto model = modelFromRecords(chipRecord(corners));
  ASSERT_TRUE(model->getIsInitialized());
  EXPECT_EQ(model->fullQuad.ul.x, 2000);
  EXPECT_EQ(model->fullQuad.ul.y, 1000);
  EXPECT_EQ(model->fullQuad.ll.x, 1990);
  EXPECT_EQ(model->fullQuad.ll.y, 1150);
  EXPECT_EQ(model->fullQuad.lr.x, 2130);
  EXPECT_EQ(model->fullQuad.lr.y, 1160);
  EXPECT_EQ(model->chipQuad.lr.x, 119);
  EXPECT_EQ(model->chipQuad.lr.y, 99);

  EXPECT_EQ(model->LINE_OFF, 500);
  EXPECT_EQ(model->SAMP_OFF, 600);
  EXPECT_DOUBLE_EQ(model->LAT_OFF, 45.1234);
  EXPECT_DOUBLE_EQ(model->LONG_OFF, -122.5678);
  EXPECT_EQ(model->HEIGHT_SCALE, 500);
  EXPECT_EQ(model->ERR_RAND, 2);
  EXPECT_EQ(model->LINE_NUM_COEFF(3), 1);
  EXPECT_DOUBLE_EQ(model->originGeodetic(3), 100 * TAV::FT_PER_M);
  // The origin in feet, by an independent closed form of the WGS 84 ellipsoid.
  const double phi = 45.1234 * M_PI / 180, lambda = -122.5678 * M_PI / 180;
  const double N = 6378137 / std::sqrt(1 - TAV::e2 * std::sin(phi) * std::sin(phi));
  EXPECT_NEAR(model->originECEF(1) * 0.3048, (N + 100) * std::cos(phi) * std::cos(lambda), 1e-6);
  EXPECT_NEAR(model->originECEF(3) * 0.3048, (N * (1 - TAV::e2) + 100) * std::sin(phi), 1e-6);
  EXPECT_NEAR(TAV::SEMI_MINOR_AXIS, 6356752.314245179, 1e-8);
  EXPECT_NEAR(TAV::bFt, 20855486.59529258, 1e-7);
}

TEST(ModelBuild, CopyKeepsEverythingAndRecomputesTheGsd) {
  auto original = modelOf(productWith({form2Segment("NC", POSTS)}));
  ASSERT_TRUE(original->getIsInitialized());
  original->setSensorAzimuth(1.25);
  const TAV copy(*original);
  EXPECT_TRUE(copy.getIsInitialized());
  EXPECT_EQ(copy.elevationFormat, original->elevationFormat);
  EXPECT_EQ(copy.imageDateTime, original->imageDateTime);
  EXPECT_EQ(copy.fullQuad.lr.x, original->fullQuad.lr.x);
  EXPECT_EQ(copy.chipQuad.lr.y, original->chipQuad.lr.y);
  ASSERT_EQ(copy.elevationSegments.size(), 1u);
  EXPECT_EQ(copy.elevationSegments[0].points.size(), 2u);
  EXPECT_EQ(copy.gsd, original->gsd);
  EXPECT_EQ(copy.elevationAngle, original->elevationAngle);
  EXPECT_EQ(copy.sensorAzimuth, 1.25);
  EXPECT_TRUE(std::isfinite(copy.gsd));
}

TEST(ChipMapping, ScaledAndShiftedChip) {
  auto model = modelFromRecords(nullptr);
  model->chipQuad = zel::Quad(0, 0, 999, 0, 999, 999, 0, 999);
  model->fullQuad = zel::Quad(2000, 1000, 3998, 1000, 3998, 2998, 2000, 2998);
  const zel::PixelCoordinate full = model->chip2full(zel::PixelCoordinate(10, 20));
  EXPECT_NEAR(full.x, 2020, 1e-9);
  EXPECT_NEAR(full.y, 1040, 1e-9);
  EXPECT_EQ(full.z, 0);
  const std::vector<double> c = model->generateTransformMap(model->fullQuad, model->chipQuad);
  const double expected[8] = {2, 0, 0, 2000, 0, 2, 0, 1000};
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(c[i], expected[i], 1e-9) << i;
}

TEST(ChipMapping, SolvedOnceGivesThePerCallAnswersAndRoundTrips) {
  auto model = modelFromRecords(nullptr);
  // A trapezoid of full-image corners.
  model->chipQuad = zel::Quad(0, 0, 799, 0, 799, 599, 0, 599);
  model->fullQuad = zel::Quad(1000, 2000, 2700, 1900, 2500, 3300, 1100, 3150);
  const zel::PixelCoordinate chipCorners[] = {model->chipQuad.ul, model->chipQuad.ur,
                                              model->chipQuad.lr, model->chipQuad.ll};
  const zel::PixelCoordinate fullCorners[] = {model->fullQuad.ul, model->fullQuad.ur,
                                              model->fullQuad.lr, model->fullQuad.ll};
  for (int k = 0; k < 4; ++k) {
    const zel::PixelCoordinate f = model->chip2full(chipCorners[k]);
    EXPECT_NEAR(f.x, fullCorners[k].x, 1e-8);
    EXPECT_NEAR(f.y, fullCorners[k].y, 1e-8);
    const zel::PixelCoordinate c = model->full2chip(fullCorners[k]);
    EXPECT_NEAR(c.x, chipCorners[k].x, 1e-8);
    EXPECT_NEAR(c.y, chipCorners[k].y, 1e-8);
  }
  std::mt19937 random(7);
  std::uniform_real_distribution<double> x(0, 799), y(0, 599);
  for (int i = 0; i < 200; ++i) {
    const zel::PixelCoordinate p(x(random), y(random), 5);
    const zel::PixelCoordinate perCall =
        model->mapCoordinate(p, model->generateTransformMap(model->fullQuad, model->chipQuad));
    const zel::PixelCoordinate full = model->chip2full(p);
    EXPECT_EQ(full.x, perCall.x);
    EXPECT_EQ(full.y, perCall.y);
    const zel::PixelCoordinate chip = model->full2chip(full);
    const zel::PixelCoordinate chipPerCall =
        model->mapCoordinate(full, model->generateTransformMap(model->chipQuad, model->fullQuad));
    EXPECT_EQ(chip.x, chipPerCall.x);
    EXPECT_EQ(chip.y, chipPerCall.y);
  }
  // A rotated, scaled parallelogram: the two bilinear maps are inverses.
  model->fullQuad = zel::Quad(1000, 2000, 2600, 2400, 2300, 3600, 700, 3200);
  for (int i = 0; i < 200; ++i) {
    const zel::PixelCoordinate p(x(random), y(random));
    const zel::PixelCoordinate back = model->full2chip(model->chip2full(p));
    EXPECT_NEAR(back.x, p.x, 1e-8);
    EXPECT_NEAR(back.y, p.y, 1e-8);
  }
  // Changing a quad is noticed.
  model->fullQuad = zel::Quad(0, 0, 799, 0, 799, 599, 0, 599);
  const zel::PixelCoordinate same = model->chip2full(zel::PixelCoordinate(12.5, 7));
  EXPECT_NEAR(same.x, 12.5, 1e-9);
  EXPECT_NEAR(same.y, 7, 1e-9);
}

TEST(ChipMapping, TranslationHasNoCrossTerms) {
  auto model = modelFromRecords(chipRecord(productkit::chipOf(100, 120, 10, 20, 1, 2000, 3000)));
  const std::vector<double> c = model->generateTransformMap(model->fullQuad, model->chipQuad);
  EXPECT_NEAR(c[2], 0, 1e-12);
  EXPECT_NEAR(c[6], 0, 1e-12);
  const zel::PixelCoordinate full = model->chip2full(zel::PixelCoordinate(5, 6));
  EXPECT_NEAR(full.x, 25, 1e-9);
  EXPECT_NEAR(full.y, 16, 1e-9);
}

TEST(ChipMapping, WithoutChipRecordEveryCallPrintsTheMatrixErrorAndAnswersZero) {
  testing::internal::CaptureStdout();
  auto model = modelFromRecords(nullptr);
  const std::string atBuild = testing::internal::GetCapturedStdout();
  EXPECT_EQ(atBuild.find("singular"), std::string::npos) << "the build itself stays quiet";

  testing::internal::CaptureStdout();
  const zel::PixelCoordinate first = model->chip2full(zel::PixelCoordinate(10, 20));
  const zel::PixelCoordinate second = model->full2chip(zel::PixelCoordinate(10, 20));
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(first.x, 0);
  EXPECT_EQ(first.y, 0);
  EXPECT_EQ(second.x, 0);
  EXPECT_EQ(second.y, 0);
  const size_t at = printed.find("singular");
  ASSERT_NE(at, std::string::npos) << printed;
  EXPECT_NE(printed.find("singular", at + 1), std::string::npos) << "printed at each call";
}

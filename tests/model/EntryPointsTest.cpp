#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/TAV.h"
#include "nitf/NITF.h"
#include "support/NitfBuilder.h"
#include "support/ProductFixtures.h"
#include "support/SyntheticProduct.h"
#include "support/TestPaths.h"

namespace {

std::string writeProduct(const std::string& name, const std::string& bytes) {
  const std::string path = testsupport::scratchPath(name);
  testsupport::writeWholeFile(path, bytes);
  return path;
}

testsupport::SyntheticProduct smallProduct() {
  testsupport::SceneOptions options;
  options.chipRows = 400;
  options.chipColumns = 400;
  options.terrain.amplitude = 30;
  options.units = "m ";
  return testsupport::makeSyntheticProduct(options);
}

void expectSameRows(const RowVector& a, const RowVector& b) {
  ASSERT_EQ(a.Ncols(), b.Ncols());
  for (int i = 1; i <= a.Ncols(); ++i) EXPECT_EQ(a(i), b(i));
}

void expectSameQuad(const zel::Quad& a, const zel::Quad& b) {
  for (auto corner : {&zel::Quad::ul, &zel::Quad::ur, &zel::Quad::lr, &zel::Quad::ll}) {
    EXPECT_EQ((a.*corner).x, (b.*corner).x);
    EXPECT_EQ((a.*corner).y, (b.*corner).y);
  }
}

TEST(CompleteReading, BuildsTheSameModelAsTheScanner) {
  const auto product = smallProduct();
  const std::string path = writeProduct("complete-reading.ntf", product.bytes);
  TAV scanned(path.c_str(), false);
  TAV complete(path.c_str(), true);
  ASSERT_TRUE(scanned.getIsInitialized());
  ASSERT_TRUE(complete.getIsInitialized());
  for (auto member :
       {&TAV::LINE_OFF, &TAV::SAMP_OFF, &TAV::LAT_OFF, &TAV::LONG_OFF, &TAV::HEIGHT_OFF,
        &TAV::LINE_SCALE, &TAV::SAMP_SCALE, &TAV::LAT_SCALE, &TAV::LONG_SCALE, &TAV::HEIGHT_SCALE,
        &TAV::ERR_BIAS, &TAV::ERR_RAND, &TAV::gsd, &TAV::elevationAngle}) {
    EXPECT_EQ(scanned.*member, complete.*member);
  }
  expectSameRows(scanned.LINE_NUM_COEFF, complete.LINE_NUM_COEFF);
  expectSameRows(scanned.SAMP_DEN_COEFF, complete.SAMP_DEN_COEFF);
  expectSameQuad(scanned.fullQuad, complete.fullQuad);
  expectSameQuad(scanned.chipQuad, complete.chipQuad);
  EXPECT_EQ(scanned.getWidth(), complete.getWidth());
  EXPECT_EQ(scanned.getHeight(), complete.getHeight());
  EXPECT_EQ(scanned.imageDateTime, complete.imageDateTime);
  EXPECT_EQ(scanned.elevationFormat, complete.elevationFormat);
  ASSERT_EQ(complete.getElevationSegmentDataCount(), 1);
  const ElevationSegmentData& a = *scanned.getElevationSegmentData(0);
  const ElevationSegmentData& b = *complete.getElevationSegmentData(0);
  EXPECT_EQ(a.desshf, b.desshf);
  ASSERT_EQ(a.points.size(), b.points.size());
  for (size_t i = 0; i < a.points.size(); ++i) {
    EXPECT_EQ(a.points[i].row, b.points[i].row);
    EXPECT_EQ(a.points[i].column, b.points[i].column);
    EXPECT_EQ(a.points[i].elevation, b.points[i].elevation);
  }
}

TEST(CompleteReading, TakesTheFirstImageWhereTheScannerTakesTheLast) {
  testsupport::NitfFile file = testsupport::minimalProduct();
  testsupport::ImageSegment first = file.images[0];
  first.extended.pop_back();  // RPC00B only
  file.images.insert(file.images.begin(), first);
  file.dataExtensions = {{"TAV001", testsupport::form2Desshf("NC"), std::string(18, '\0')}};
  const std::string path = writeProduct("two-images.ntf", testsupport::buildNitf(file));
  EXPECT_TRUE(TAV(path.c_str(), false).getIsInitialized());
  EXPECT_FALSE(TAV(path.c_str(), true).getIsInitialized());
}

TEST(ImageToGroundCall, EqualsI2GOfTheCompleteReadingModel) {
  const auto product = smallProduct();
  const std::string path = writeProduct("image-to-ground.ntf", product.bytes);
  TAV model(path.c_str(), true);
  for (const zel::PixelCoordinate pixel : {zel::PixelCoordinate(200, 200), {37.5, 310.25}}) {
    const I2GResult expected = model.I2G(pixel);
    const zel::DecimalCoordinate answer = ImageToGround(pixel, path);
    EXPECT_EQ(answer.getLat(), expected.latitude);
    EXPECT_EQ(answer.getLon(), expected.longitude);
    EXPECT_EQ(answer.getElev(), expected.elevation);
  }
}

TEST(ImageToGroundCall, FailsClearlyWithoutAProduct) {
  for (const std::string& path :
       {std::string("/no/such/file.ntf"), testsupport::corpusPath("jitc21_i_3001a.ntf")}) {
    try {
      ImageToGround(zel::PixelCoordinate(1, 1), path);
      ADD_FAILURE() << "no exception for " << path;
    } catch (BaseException* error) {
      delete error;
      EXPECT_NE(std::string(BaseException::what()).find("no sensor model could be built"),
                std::string::npos);
    }
  }
}

TEST(ProductTests, IsTAVAndTestForTAV) {
  EXPECT_FALSE(TAV::isTAV("/no/such/file.ntf"));
  EXPECT_FALSE(TAV::isTAV(nullptr));

  testsupport::NitfFile noRecords;
  noRecords.images.push_back(testsupport::ImageSegment());
  noRecords.dataExtensions = {{"TAV001", testsupport::form2Desshf(), "x"}};
  EXPECT_TRUE(
      TAV::isTAV(writeProduct("no-records.ntf", testsupport::buildNitf(noRecords)).c_str()));

  struct Case {
    std::vector<testsupport::DataExtensionSegment> segments;
    bool product;
  } cases[] = {
      {{{"DORARI" + std::string(19, ' '), "", "payload"}}, true},
      {{{"TRE_OVERFLOW", "", "payload"}}, false},
      {{}, false},
      {{{"OTHER", "", "a"}, {"  TAV001", "", "b"}}, true},
  };
  for (const Case& c : cases) {
    testsupport::NitfFile file;
    file.dataExtensions = c.segments;
    const std::string path = writeProduct("test-for-tav.ntf", testsupport::buildNitf(file));
    NITF nitf(path);
    EXPECT_EQ(TAV::testForTAV(&nitf), c.product) << c.segments.size();
  }
  EXPECT_FALSE(TAV::testForTAV(nullptr));
  EXPECT_EQ(GetTAVRemote(1, 2, "anything"), "");
}

TEST(ProductTests, SegmentsOfTheModelInFileOrder) {
  testsupport::NitfFile file = testsupport::minimalProduct();
  const std::string raw(9, '\0');
  file.dataExtensions = {{"TAV001", testsupport::form2Desshf("NC"), raw},
                         {"TAV001", testsupport::form2Desshf("NC"), raw + raw}};
  const std::string path = writeProduct("two-segments.ntf", testsupport::buildNitf(file));
  for (bool fullRead : {false, true}) {
    TAV model(path.c_str(), fullRead);
    ASSERT_TRUE(model.getIsInitialized());
    ASSERT_EQ(model.getElevationSegmentDataCount(), 2);
    EXPECT_EQ(model.getElevationSegmentData(1)->points.size(), 2u);
    EXPECT_EQ(model.getElevationSegmentData(2), nullptr);
    EXPECT_EQ(model.getElevationSegmentData(-1), nullptr);
  }
}

}  // namespace

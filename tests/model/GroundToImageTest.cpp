// RPC ground-to-image, its ECEF forms and its partial derivatives.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "geodesy/CommonModel.h"
#include "io/MemoryDataReader.h"
#include "model/TAV.h"
#include "productkit/ChipRecord.h"
#include "support/NitfBuilder.h"
#include "support/ProductFixtures.h"
#include "support/SyntheticProduct.h"
#include "support/TestPaths.h"

namespace {

// The product of ProductFixtures: line = 500 + 500 (lat - 45.1234) / 0.05,
// sample = 600 + 600 (lon + 122.5678) / 0.05; chip = full - (20, 10).
std::unique_ptr<TAV> plainModel() {
  return testsupport::buildModel(testsupport::buildNitf([] {
    testsupport::NitfFile file = testsupport::minimalProduct();
    file.dataExtensions = {{"OTHERDES", "", "x"}};
    return file;
  }()));
}

// A fitted RPC of an oblique frame camera.
const testsupport::SyntheticProduct& obliqueProduct() {
  static const testsupport::SyntheticProduct product = [] {
    testsupport::SceneOptions o;
    o.cameraLat = 34.6;  // about 45 km south of the target
    o.cameraHeight = 600000;
    o.focalLength = 550000;
    o.terrain.base = 300;
    return testsupport::makeSyntheticProduct(o);
  }();
  return product;
}

}  // namespace

TEST(GroundToImage, ReproducesTheKnownGrid) {
  auto model = plainModel();
  ASSERT_TRUE(model->getIsInitialized());
  for (double lat = 45.10; lat <= 45.15; lat += 0.01) {
    for (double lon = -122.60; lon <= -122.53; lon += 0.01) {
      const zel::PixelCoordinate p = model->groundToImage(zel::DecimalCoordinate(lat, lon, 250));
      EXPECT_NEAR(p.y, 500 + 500 * (lat - 45.1234) / 0.05 - 10, 1e-8);
      EXPECT_NEAR(p.x, 600 + 600 * (lon + 122.5678) / 0.05 - 20, 1e-8);
    }
  }
  // The origin: T = (1, 0, ..., 0).
  const zel::PixelCoordinate origin =
      model->groundToFullImage(zel::DecimalCoordinate(45.1234, -122.5678, 100));
  EXPECT_EQ(origin.x, 600);
  EXPECT_EQ(origin.y, 500);
}

TEST(GroundToImage, FittedCameraImagesItsGroundPoints) {
  const testsupport::SyntheticProduct& product = obliqueProduct();
  // The fit itself is close to the camera.
  EXPECT_LT(product.rpc.maxResidual, 0.01);
  auto model = testsupport::buildModel(product.bytes);
  ASSERT_TRUE(model->getIsInitialized());
  for (double line = 1500; line <= 2500; line += 250) {
    for (double sample = 1500; sample <= 2500; sample += 250) {
      double lat = 0, lon = 0;
      ASSERT_TRUE(product.camera.intersectHeight(line, sample, 450, lat, lon));
      const zel::PixelCoordinate p = model->groundToImage(zel::DecimalCoordinate(lat, lon, 450));
      EXPECT_NEAR(p.y, product.chipLine(line), 0.01);
      EXPECT_NEAR(p.x, product.chipSample(sample), 0.01);
    }
  }
}

TEST(GroundToImage, EcefFormAgreesWithGeodeticForm) {
  auto model = testsupport::buildModel(obliqueProduct().bytes);
  for (double dLat : {-0.01, 0.0, 0.013}) {
    for (double h : {-50.0, 300.0, 800.0}) {
      const zel::DecimalCoordinate g(35.0 + dLat, -117.0 + dLat / 2, h);
      const zel::PixelCoordinate direct = model->groundToImage(g);
      const zel::PixelCoordinate viaEcef = model->ecefGroundToImage(model->calcECEF(g));
      EXPECT_NEAR(viaEcef.x, direct.x, 1e-7);
      EXPECT_NEAR(viaEcef.y, direct.y, 1e-7);
    }
  }
  const RowVector up = model->getUpVector(zel::DecimalCoordinate(0, 90, 0));
  EXPECT_NEAR(up(1), 0, 1e-15);
  EXPECT_NEAR(up(2), 1, 1e-15);
  EXPECT_NEAR(up(3), 0, 1e-15);
}

TEST(GroundToImage, DeltaAngleWrapsOnceEachWay) {
  EXPECT_NEAR(TAV::deltaAngle(3.1, -3.1), 6.2 - 2 * M_PI, 1e-15);
  EXPECT_NEAR(TAV::deltaAngle(0.5, 0.2), 0.3, 1e-15);
  EXPECT_NEAR(TAV::deltaAngle(-3.1, 3.1), 2 * M_PI - 6.2, 1e-15);
  EXPECT_NEAR(TAV::deltaAngle(20, 0), 20 - 2 * M_PI, 1e-15);  // no loop
}

TEST(GroundToImage, PartialsAgreeWithCentralDifferences) {
  auto model = testsupport::buildModel(obliqueProduct().bytes);
  const auto fullPixel = [&](const RowVector& ecef) {
    double lon = 0, lat = 0, h = 0;
    CommonModel::ecefTogeodetic(ecef(1), ecef(2), ecef(3), true, lon, lat, h);
    return model->groundToFullImage(
        zel::DecimalCoordinate(lat * 57.29577951308232, lon * 57.29577951308232, h));
  };
  for (double h : {0.0, 300.0, 700.0}) {
    const RowVector point = model->calcECEF(zel::DecimalCoordinate(35.004, -117.003, h));
    const std::vector<double> partials = model->computeGroundPartials(point);
    ASSERT_EQ(partials.size(), 6u);
    const double step = 0.5;
    double largest = 0;
    for (double v : partials) largest = std::max(largest, std::fabs(v));
    for (int axis = 1; axis <= 3; ++axis) {
      RowVector plus = point, minus = point;
      plus(axis) += step;
      minus(axis) -= step;
      const zel::PixelCoordinate a = fullPixel(plus), b = fullPixel(minus);
      const double dLine = (a.y - b.y) / (2 * step), dSample = (a.x - b.x) / (2 * step);
      EXPECT_NEAR(partials[axis - 1], dLine, 1e-6 * largest) << "line by axis " << axis;
      EXPECT_NEAR(partials[axis + 2], dSample, 1e-6 * largest) << "sample by axis " << axis;
    }
  }
}

// Cross-check with GDAL's RPC transformer on a VRT carrying the same RPC.
// GDAL's pixel/line are corner based: its values are the RPC's + 0.5.
TEST(GroundToImage, AgreesWithGdalRpcTransformer) {
  if (!testsupport::haveCommand("gdaltransform")) GTEST_SKIP() << "gdal-bin not installed";
  const testsupport::SyntheticProduct& product = obliqueProduct();
  const productkit::RpcFit& rpc = product.rpc;
  std::ostringstream vrt;
  vrt.precision(17);
  vrt << "<VRTDataset rasterXSize=\"4000\" rasterYSize=\"4000\"><Metadata domain=\"RPC\">";
  const auto item = [&](const char* key, double value) {
    vrt << "<MDI key=\"" << key << "\">" << value << "</MDI>";
  };
  item("LINE_OFF", rpc.lineOff);
  item("SAMP_OFF", rpc.sampOff);
  item("LAT_OFF", rpc.latOff);
  item("LONG_OFF", rpc.longOff);
  item("HEIGHT_OFF", rpc.heightOff);
  item("LINE_SCALE", rpc.lineScale);
  item("SAMP_SCALE", rpc.sampScale);
  item("LAT_SCALE", rpc.latScale);
  item("LONG_SCALE", rpc.longScale);
  item("HEIGHT_SCALE", rpc.heightScale);
  const std::pair<const char*, const std::array<double, 20>*> sets[] = {
      {"LINE_NUM_COEFF", &rpc.lineNum},
      {"LINE_DEN_COEFF", &rpc.lineDen},
      {"SAMP_NUM_COEFF", &rpc.sampNum},
      {"SAMP_DEN_COEFF", &rpc.sampDen}};
  for (const auto& set : sets) {
    vrt << "<MDI key=\"" << set.first << "\">";
    for (double c : *set.second) vrt << c << " ";
    vrt << "</MDI>";
  }
  vrt << "</Metadata><VRTRasterBand dataType=\"Byte\" band=\"1\"/></VRTDataset>";
  const std::string vrtPath = testsupport::scratchPath("model_rpc.vrt");
  testsupport::writeWholeFile(vrtPath, vrt.str());

  // The same RPC with an identity chip, so that pixels are full-image pixels.
  testsupport::SceneOptions o = product.options;
  testsupport::NitfFile file;
  testsupport::ImageSegment image;
  image.rows = image.columns = 4000;
  image.extended = {
      {"RPC00B", rpc.text},
      {"ICHIPB", productkit::ichipbText(productkit::chipOf(4000, 4000, 0, 0, 1, 4000, 4000))}};
  file.images.push_back(image);
  file.dataExtensions = {{"OTHERDES", "", "x"}};
  auto model = testsupport::buildModel(testsupport::buildNitf(file));
  ASSERT_TRUE(model->getIsInitialized());

  std::vector<zel::DecimalCoordinate> points;
  std::ostringstream input;
  input.precision(17);
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) {
      const zel::DecimalCoordinate g(rpc.latOff + (i - 2) * 0.3 * rpc.latScale,
                                     rpc.longOff + (j - 2) * 0.3 * rpc.longScale, 100.0 * (i + j));
      points.push_back(g);
      input << g.lon << " " << g.lat << " " << g.elev << "\n";
    }
  }
  const std::string inputPath = testsupport::scratchPath("model_rpc_points.txt");
  testsupport::writeWholeFile(inputPath, input.str());
  const std::string output = testsupport::runCommand("gdaltransform -output_xy -rpc -i " + vrtPath +
                                                     " < " + inputPath + " 2>&1");
  std::istringstream lines(output);
  for (const zel::DecimalCoordinate& g : points) {
    double pixel = 0, line = 0;
    ASSERT_TRUE(lines >> pixel >> line) << output;
    const zel::PixelCoordinate ours = model->groundToImage(g);
    EXPECT_NEAR(ours.x + 0.5, pixel, 1e-6);
    EXPECT_NEAR(ours.y + 0.5, line, 1e-6);
  }
}

// Image to ground on products with known truth, its iteration limit and
// error propagation, and the ground sample distance.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "geodesy/CommonModel.h"
#include "model/TAV.h"
#include "productkit/ChipRecord.h"
#include "support/SyntheticProduct.h"
#include "tre/ICHIPB.h"
#include "tre/RPC00B.h"

namespace {

// An oblique camera (about 30 degrees off nadir) over rolling terrain.
const testsupport::SyntheticProduct& hillyProduct() {
  static const testsupport::SyntheticProduct product = [] {
    testsupport::SceneOptions o;
    o.cameraLat = 32.3;  // about 300 km south of the target
    o.cameraHeight = 500000;
    o.focalLength = 580000;
    o.terrain.base = 350;
    o.terrain.eastSlope = 0.05;
    o.terrain.amplitude = 15;
    o.terrain.wavelength = 900;
    o.postSpacing = 8;
    o.searchRadius = 30;
    return testsupport::makeSyntheticProduct(o);
  }();
  return product;
}

std::string messageOf(BaseException* e) {
  delete e;
  const std::string text = BaseException::what();
  const std::string preamble = "An exception has been thrown\n";
  const size_t at = text.find(preamble);
  return at == std::string::npos ? text : text.substr(at + preamble.size());
}

// A model from RPC values set in code, with a chip equal to the full image.
std::unique_ptr<TAV> modelOf(RPC00B* rpc, int rows = 1000, int columns = 1000) {
  auto m = std::make_unique<TAV>(static_cast<DataReader*>(nullptr));
  m->initialize(
      rpc,
      new ICHIPB("ICHIPB", 224,
                 productkit::ichipbText(productkit::chipOf(rows, columns, 0, 0, 1, rows, columns))),
      {}, rows, columns, "20200102030405");
  return m;
}

RPC00B* plainRpc() {
  RPC00B* rpc = new RPC00B();
  rpc->line_off = 500;
  rpc->samp_off = 500;
  rpc->line_scale = 1000;
  rpc->samp_scale = 1000;
  rpc->lat_scale = 0.01;
  rpc->long_scale = 0.01;
  rpc->height_scale = 100;
  rpc->line_den_coeff[0] = 1;
  rpc->samp_den_coeff[0] = 1;
  rpc->line_num_coeff[2] = 1;  // line follows latitude
  rpc->samp_num_coeff[1] = 1;  // sample follows longitude
  return rpc;
}

}  // namespace

TEST(ImageToGround, FindsKnownGroundPointsOnHillyTerrain) {
  const testsupport::SyntheticProduct& product = hillyProduct();
  auto model = testsupport::buildModel(product.bytes);
  ASSERT_TRUE(model->getIsInitialized());
  const productkit::Terrain& terrain = product.options.terrain;
  // Off-nadir angle of the view, for the horizontal effect of a height error.
  const double tanView = 300000.0 / 500000.0;
  double worstHeight = 0;
  for (double dLat = -0.004; dLat <= 0.004; dLat += 0.002) {
    for (double dLon = -0.005; dLon <= 0.005; dLon += 0.0025) {
      const double lat = 35.0 + dLat, lon = -117.0 + dLon, h = terrain.heightAt(lat, lon);
      double line = 0, sample = 0;
      product.camera.projectGround(lat, lon, h, line, sample);
      const zel::PixelCoordinate chip(product.chipSample(sample), product.chipLine(line));
      const zel::ErrorCoordinate g = model->imageToGround(chip);

      // On the camera's line of sight through the pixel, within the fit error...
      double seenLine = 0, seenSample = 0;
      product.camera.projectGround(g.lat, g.lon, g.elev, seenLine, seenSample);
      EXPECT_NEAR(seenLine, line, product.rpc.maxResidual + 1e-3);
      EXPECT_NEAR(seenSample, sample, product.rpc.maxResidual + 1e-3);
      // ...at the terrain height up to the interpolation of the posts...
      const double heightError = std::fabs(g.elev - h);
      worstHeight = std::max(worstHeight, heightError);
      EXPECT_LT(heightError, 0.6);
      // ...so the horizontal error is what that height error makes of it.
      const double horizontal = zel::DecimalCoordinate::distance(lat, lon, g.lat, g.lon);
      EXPECT_LT(horizontal, heightError * tanView * 1.1 + 0.01);

      const zel::PixelCoordinate back = model->groundToImage(g);
      EXPECT_NEAR(back.x, chip.x, 0.01);
      EXPECT_NEAR(back.y, chip.y, 0.01);
      EXPECT_GT(g.ce, 0);
      EXPECT_GT(g.le, 0);
    }
  }
  RecordProperty("worst_height_error_m", std::to_string(worstHeight));
  RecordProperty("rpc_fit_max_residual_px", std::to_string(product.rpc.maxResidual));
}

// The same scene with its posts in each payload form and unit: form 1
// ("1.7", decimetres, radius from the DTED level 2 spacing) and form 2 in
// metres, feet and decimetres.
TEST(ImageToGround, EveryPayloadFormGivesTheTerrainHeight) {
  struct Variant {
    bool form1;
    std::string units;
    double rounding;  // metres, of the stored heights
  };
  for (const Variant& v : {Variant{true, "dm", 0.05}, Variant{false, "m ", 0.5},
                           Variant{false, "f ", 0.1524}, Variant{false, "dm", 0.05}}) {
    SCOPED_TRACE(v.form1 ? "form 1" : "form 2 " + v.units);
    testsupport::SceneOptions o = hillyProduct().options;
    o.form1 = v.form1;
    o.units = v.units;
    const testsupport::SyntheticProduct product = testsupport::makeSyntheticProduct(o);
    auto model = testsupport::buildModel(product.bytes);
    ASSERT_TRUE(model->getIsInitialized());
    EXPECT_EQ(model->elevationFormat, v.form1 ? "1.7" : "1.12");
    for (double dLat : {-0.003, 0.0011, 0.0035}) {
      const double lat = 35.0 + dLat, lon = -117.0 + dLat;
      const double h = o.terrain.heightAt(lat, lon);
      double line = 0, sample = 0;
      product.camera.projectGround(lat, lon, h, line, sample);
      const zel::ErrorCoordinate g = model->imageToGround(
          zel::PixelCoordinate(product.chipSample(sample), product.chipLine(line)));
      EXPECT_LT(std::fabs(g.elev - h), 0.6 + v.rounding);
    }
  }
}

TEST(ImageToGround, OverrideHeightAndEcef) {
  auto model = testsupport::buildModel(hillyProduct().bytes);
  const zel::PixelCoordinate pixel(420.5, 610.25);
  const I2GResult fromPosts = model->I2G(pixel);
  const I2GResult overridden = model->I2GOverrideHeight(pixel, true, 100.0);
  EXPECT_EQ(overridden.elevation, 100.0);
  EXPECT_EQ(overridden.elevationSigma, fromPosts.elevationSigma);
  // Posts store 20 dm accuracy as LE90: sigma 2 / 1.6449 m.
  EXPECT_NEAR(fromPosts.elevationSigma, 2.0 / 1.6449, 1e-12);
  const zel::PixelCoordinate back = model->groundToImage(
      zel::DecimalCoordinate(overridden.latitude, overridden.longitude, 100.0));
  EXPECT_NEAR(back.x, pixel.x, 0.01);
  EXPECT_NEAR(back.y, pixel.y, 0.01);
  EXPECT_EQ(overridden.line, model->chip2full(pixel).y);

  const RowVector viaPixel = model->toECEF(pixel);
  const RowVector viaGround = model->calcECEF(model->imageToGround(pixel));
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(viaPixel(i), viaGround(i));
  // The constraint surface (the ellipsoid with both axes raised by 100 m) and
  // the geodetic height 100 m differ by well under a millimetre here.
  const RowVector atHeight = model->toECEF(pixel, 100.0);
  EXPECT_NEAR(atHeight(1), overridden.ecefX, 1e-3);
  EXPECT_NEAR(atHeight(3), overridden.ecefZ, 1e-3);
}

// line = LINE_OFF + LINE_SCALE (P - p0)^2 has a double root at P = p0: each
// iteration halves the distance to it, so the last correction is known.
TEST(ImageToGround, ConvergenceAtTheTenthIterationIsAFailure) {
  const double metresPerUnit = 0.01 * M_PI / 180 * 6378137.0 * (1 - TAV::e2);
  for (double start : {0.38, 0.75}) {
    SCOPED_TRACE(start);
    RPC00B* rpc = plainRpc();
    const double p0 = start / metresPerUnit;
    rpc->line_num_coeff[2] = -2 * p0;
    rpc->line_num_coeff[0] = p0 * p0;
    rpc->line_num_coeff[8] = 1;
    auto model = modelOf(rpc);
    model->gsd = 1.0;
    model->elevationAngle = 1.0;
    model->elevationFormat = "1.12";
    ElevationSegmentData posts;
    posts.searchRadius = 50;
    ElevationPoint p;
    p.row = p.column = 500;
    p.verticalAccuracy = 3;
    posts.points = {p};
    model->elevationSegments = {posts};

    Matrix identity(2, 2);
    identity = 0.0;
    identity(1, 1) = identity(2, 2) = 1;
    Matrix covariance(3, 3);
    covariance = 0.0;
    double X = -999.0, Y = -999.0, Z = -999.0;
    const bool converged =
        model->calcGroundPoint(500, 500, identity, 0.0, 1.0, X, Y, Z, covariance, 0.0);
    // Corrections start/2, start/4, ...: below 1 mm at the ninth for 0.38 m,
    // only at the tenth for 0.75 m.
    if (start < 0.5) {
      EXPECT_TRUE(converged);
      EXPECT_NEAR(Z, start, 1e-3);
      EXPECT_NE(covariance(1, 1), 0);
      EXPECT_NO_THROW(model->I2GOverrideHeight(zel::PixelCoordinate(500, 500), true, 0.0));
    } else {
      EXPECT_FALSE(converged);
      EXPECT_EQ(X, -999.0);
      EXPECT_EQ(Z, -999.0);
      EXPECT_EQ(covariance(1, 1), 0);
      try {
        model->I2GOverrideHeight(zel::PixelCoordinate(500, 500), true, 0.0);
        ADD_FAILURE() << "no exception";
      } catch (BaseException* e) {
        EXPECT_EQ(messageOf(e), "Image to ground solution did not converge");
      }
    }
  }
}

TEST(ImageToGround, ObservationCovariance) {
  RPC00B* rpc = plainRpc();
  rpc->err_bias = 3;
  rpc->err_rand = 4;
  rpc->line_scale = 500;
  rpc->samp_scale = 600;
  auto model = modelOf(rpc);
  model->gsd = 2.0;
  model->elevationAngle = -M_PI / 6;
  const double g = std::sqrt(0.5) * 2.0;
  struct Case {
    double imageVariance, k;
  } cases[] = {{4, 4}, {0.5, 1}, {-3, 1}};
  for (const Case& c : cases) {
    Matrix image(2, 2);
    image = 0.0;
    image(1, 1) = c.imageVariance;
    const Matrix P = model->calculateP(image, 2.5);
    const double sigma2 = 9 + 16 + (c.k * 2) * (c.k * 2);
    EXPECT_NEAR(P(1, 1), sigma2 / std::pow(500 * g, 2), 1e-15);
    EXPECT_NEAR(P(2, 2), sigma2 / std::pow(600 * g, 2), 1e-15);
    EXPECT_NEAR(P(3, 3), std::pow(2.5 * 3.280839895013123, 2), 1e-12);
    EXPECT_EQ(P(1, 2), 0);
  }
}

TEST(GroundSampleDistance, NadirCameraOfKnownScale) {
  for (double scale : {0.5, 2.0}) {
    testsupport::SceneOptions o;
    o.focalLength = 500000 / scale;
    o.minHeight = 0;
    o.maxHeight = 200;  // HEIGHT_OFF 100
    const testsupport::SyntheticProduct product = testsupport::makeSyntheticProduct(o);
    auto model = testsupport::buildModel(product.bytes);
    // The camera is 500 km above the ellipsoid, 499.9 km above HEIGHT_OFF.
    EXPECT_NEAR(model->gsd, scale * 499900.0 / 500000.0, 1e-4 * scale);
    EXPECT_NEAR(model->elevationAngle, M_PI / 2, 1e-3);
  }
}

// line = LINE_OFF + LINE_SCALE (P + P^3 / 2), the same for the sample with
// L: the ground scale changes away from the centre, so the result tells
// which points were used.
TEST(GroundSampleDistance, HalfSizeFollowsTheImageSize) {
  const auto gsdFor = [](double d) {
    const auto solve = [](double v) {
      double x = v;
      for (int i = 0; i < 50; ++i) x -= (x + 0.5 * x * x * x - v) / (1 + 1.5 * x * x);
      return x;
    };
    double g[4][3];
    const double points[4][2] = {{-d, -d}, {-d, d}, {d, d}, {d, -d}};  // (line, sample)
    for (int i = 0; i < 4; ++i) {
      const double lat = 20 + solve(points[i][0] / 1000) * 0.01;
      const double lon = 30 + solve(points[i][1] / 1000) * 0.01;
      CommonModel::geodeticToECEF(lon * 0.017453292519943295, lat * 0.017453292519943295, 50, true,
                                  g[i][0], g[i][1], g[i][2]);
    }
    const auto dist = [&](int a, int b) {
      return std::sqrt(std::pow(g[a][0] - g[b][0], 2) + std::pow(g[a][1] - g[b][1], 2) +
                       std::pow(g[a][2] - g[b][2], 2));
    };
    return std::sqrt(dist(2, 0) / (2 * d * std::sqrt(2.0)) * dist(3, 1) / (2 * d * std::sqrt(2.0)));
  };
  const auto model = [](int rows, int columns) {
    RPC00B* rpc = plainRpc();
    rpc->lat_off = 20;
    rpc->long_off = 30;
    rpc->height_off = 50;
    rpc->line_num_coeff[15] = 0.5;  // P^3
    rpc->samp_num_coeff[11] = 0.5;  // L^3
    return modelOf(rpc, rows, columns);
  };
  const double at100 = gsdFor(100), at98 = gsdFor(98);
  ASSERT_GT(std::fabs(at100 - at98), 1e-4 * at100);
  EXPECT_NEAR(model(100, 300)->gsd, at100, 1e-7 * at100);
  EXPECT_NEAR(model(99, 300)->gsd, at98, 1e-7 * at98);
  EXPECT_NEAR(model(300, 99)->gsd, at98, 1e-7 * at98);
  EXPECT_TRUE(std::isnan(model(1, 300)->gsd));
}

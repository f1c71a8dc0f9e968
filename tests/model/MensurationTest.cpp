// Height mensuration on synthetic scenes with known truth: a vertical object
// of known height, its shadow under the sun at the image time, seen by one
// or two fitted frame cameras.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>

#include "geodesy/CommonModel.h"
#include "model/TAV.h"
#include "support/SyntheticProduct.h"

namespace {

constexpr double DEG = M_PI / 180;
const char* IMAGE_TIME = "20200621160000";  // about 08:10 local solar time at 117 W

testsupport::SceneOptions sceneFrom(double cameraLat, double cameraLon, double eastSlope = 0) {
  testsupport::SceneOptions o;
  o.cameraLat = cameraLat;
  o.cameraLon = cameraLon;
  o.cameraHeight = 600000;
  o.focalLength = 600000;
  o.terrain.base = 250;
  o.terrain.eastSlope = eastSlope;
  o.postSpacing = 10;
  o.searchRadius = 40;
  o.dateTime = IMAGE_TIME;
  return o;
}

struct Scene {
  testsupport::SyntheticProduct product;
  std::unique_ptr<TAV> model;
};

Scene& fromSouth() {
  static Scene scene = [] {
    Scene s{testsupport::makeSyntheticProduct(sceneFrom(32.5, -117.0)), nullptr};
    s.model = testsupport::buildModel(s.product.bytes);
    return s;
  }();
  return scene;
}

Scene& fromEast() {
  static Scene scene = [] {
    Scene s{testsupport::makeSyntheticProduct(sceneFrom(35.2, -114.2)), nullptr};
    s.model = testsupport::buildModel(s.product.bytes);
    return s;
  }();
  return scene;
}

struct Vec {
  double x, y, z;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }

Vec ecef(double lat, double lon, double h) {
  Vec p{};
  CommonModel::geodeticToECEF(lon * DEG, lat * DEG, h, true, p.x, p.y, p.z);
  return p;
}

double heightOf(Vec p) {
  double lon = 0, lat = 0, h = 0;
  CommonModel::ecefTogeodetic(p.x, p.y, p.z, true, lon, lat, h);
  return h;
}

// A vertical object of height `height` standing at (lat, lon) on the terrain,
// and where its base, top and shadow tip image in a scene.
struct Object {
  Vec base, top, shadow;

  Object(const testsupport::SyntheticProduct& p, double lat, double lon, double height) {
    const double ground = p.options.terrain.heightAt(lat, lon);
    base = ecef(lat, lon, ground);
    const Vec up{std::cos(lat * DEG) * std::cos(lon * DEG),
                 std::cos(lat * DEG) * std::sin(lon * DEG), std::sin(lat * DEG)};
    top = base + height * up;
    // The sun at the image time, as east-north-up, turned into ECEF axes.
    double azimuth = 0, elevation = 0;
    CommonModel::calSunAngles(2020, 6, 21, 16, 0, 0, lat, lon, azimuth, elevation);
    const Vec east{-std::sin(lon * DEG), std::cos(lon * DEG), 0};
    const Vec north{-std::sin(lat * DEG) * std::cos(lon * DEG),
                    -std::sin(lat * DEG) * std::sin(lon * DEG), std::cos(lat * DEG)};
    const Vec sun = (std::sin(azimuth * DEG) * std::cos(elevation * DEG)) * east +
                    (std::cos(azimuth * DEG) * std::cos(elevation * DEG)) * north +
                    std::sin(elevation * DEG) * up;
    // The shadow tip: down the sun ray from the top to the (flat) ground.
    double lo = 0, hi = 10 * height / std::sin(elevation * DEG);
    for (int i = 0; i < 200; ++i) {
      const double mid = (lo + hi) / 2;
      (heightOf(top + (-mid) * sun) > ground ? lo : hi) = mid;
    }
    shadow = top + (-(lo + hi) / 2) * sun;
  }
};

zel::PixelCoordinate chipPixel(const Scene& scene, Vec p) {
  double line = 0, sample = 0;
  scene.product.camera.project({p.x, p.y, p.z}, line, sample);
  return zel::PixelCoordinate(scene.product.chipSample(sample), scene.product.chipLine(line));
}

double tolerance(double height) { return std::max(0.01 * height, 0.2); }

}  // namespace

TEST(Mensuration, OneImageMeasurementsRecoverKnownHeights) {
  Scene& scene = fromSouth();
  ASSERT_TRUE(scene.model->getIsInitialized());
  for (double height : {5.0, 20.0, 80.0, 300.0}) {
    SCOPED_TRACE(height);
    const Object object(scene.product, 35.0, -116.996, height);
    const zel::PixelCoordinate base = chipPixel(scene, object.base);
    const zel::PixelCoordinate top = chipPixel(scene, object.top);
    const zel::PixelCoordinate shadow = chipPixel(scene, object.shadow);
    for (const zel::PixelCoordinate& p : {base, top, shadow}) {
      ASSERT_TRUE(p.x > 0 && p.x < 999 && p.y > 0 && p.y < 999) << p.x << " " << p.y;
    }
    EXPECT_NEAR(scene.model->getHeightOffsetBaseToTop(base, top), height, tolerance(height));
    EXPECT_NEAR(scene.model->getHeightOffsetBaseToShadowTip(base, shadow), height,
                tolerance(height));
    const zel::DecimalCoordinate topAndHeight =
        scene.model->getHeightOffsetTopToShadowTip(top, shadow);
    EXPECT_NEAR(topAndHeight.elev, height, tolerance(height));
    // Latitude and longitude of the object's top, that is of its base.
    EXPECT_LT(zel::DecimalCoordinate::distance(35.0, -116.996, topAndHeight.lat, topAndHeight.lon),
              tolerance(height));
  }
}

TEST(Mensuration, TwoImageMeasurementsRecoverKnownHeights) {
  Scene& first = fromSouth();
  Scene& second = fromEast();
  ASSERT_TRUE(second.model->getIsInitialized());
  for (double height : {5.0, 20.0, 80.0, 300.0}) {
    SCOPED_TRACE(height);
    const Object object(first.product, 35.0, -116.996, height);
    const zel::PixelCoordinate base = chipPixel(first, object.base);
    const zel::PixelCoordinate topInSecond = chipPixel(second, object.top);
    const zel::PixelCoordinate shadowInSecond = chipPixel(second, object.shadow);
    const zel::PixelCoordinate top = chipPixel(first, object.top);
    EXPECT_NEAR(first.model->getHeightOffsetBaseToTop(base, second.model.get(), topInSecond),
                height, tolerance(height));
    EXPECT_NEAR(
        first.model->getHeightOffsetBaseToShadowTip(base, second.model.get(), shadowInSecond),
        height, tolerance(height));
    EXPECT_NEAR(
        first.model->getHeightOffsetTopToShadowTip(top, second.model.get(), shadowInSecond).elev,
        height, tolerance(height));
  }
}

TEST(Mensuration, BaseToTopOnSlopedTerrain) {
  const testsupport::SyntheticProduct product =
      testsupport::makeSyntheticProduct(sceneFrom(32.5, -117.0, 0.04));
  Scene scene{product, testsupport::buildModel(product.bytes)};
  for (double height : {5.0, 60.0, 300.0}) {
    const Object object(scene.product, 34.999, -117.001, height);
    EXPECT_NEAR(scene.model->getHeightOffsetBaseToTop(chipPixel(scene, object.base),
                                                      chipPixel(scene, object.top)),
                height, tolerance(height))
        << height;
  }
}

TEST(Mensuration, SamePixelGivesZeroAndOtherModelEqualToThisOneAgrees) {
  TAV& model = *fromSouth().model;
  const zel::PixelCoordinate p(400.5, 512.25), q(420, 470);
  EXPECT_NEAR(model.getHeightOffsetBaseToTop(p, p), 0, 1e-3);
  EXPECT_NEAR(model.getHeightOffsetBaseToShadowTip(p, p), 0, 1e-3);
  EXPECT_EQ(model.getHeightOffsetBaseToTop(p, &model, q), model.getHeightOffsetBaseToTop(p, q));
  EXPECT_EQ(model.getHeightOffsetBaseToShadowTip(p, &model, q),
            model.getHeightOffsetBaseToShadowTip(p, q));
}

TEST(Mensuration, DefaultSensorDirectionComesFromTheCamera) {
  Scene& scene = fromSouth();
  TAV& model = *scene.model;
  // The direction from the scene centre to the camera, in east-north-up.
  const productkit::Vec3 c = scene.product.camera.centre;
  const Vec g = ecef(35, -117, 250);
  const Vec v{c.x - g.x, c.y - g.y, c.z - g.z};
  const double lat = 35 * DEG, lon = -117 * DEG;
  const double east = -std::sin(lon) * v.x + std::cos(lon) * v.y;
  const double north = -std::sin(lat) * std::cos(lon) * v.x - std::sin(lat) * std::sin(lon) * v.y +
                       std::cos(lat) * v.z;
  const double up = std::cos(lat) * std::cos(lon) * v.x + std::cos(lat) * std::sin(lon) * v.y +
                    std::sin(lat) * v.z;
  EXPECT_NEAR(TAV::deltaAngle(model.sensorAzimuth, std::atan2(east, north)), 0, 2e-3);
  EXPECT_NEAR(model.sensorElevation, std::atan2(up, std::hypot(east, north)), 2e-3);

  // Without it (azimuth 0, elevation 0: the northern horizon) the one-image
  // top-to-shadow measurement is far off.
  TAV blind(model);
  blind.setSensorAzimuth(0);
  blind.setSensorElevation(0);
  EXPECT_EQ(blind.sensorAzimuth, 0);
  const Object object(scene.product, 35.0, -116.996, 80);
  const double wrong = blind
                           .getHeightOffsetTopToShadowTip(chipPixel(scene, object.top),
                                                          chipPixel(scene, object.shadow))
                           .elev;
  EXPECT_GT(std::fabs(wrong - 80), 10);
}

TEST(Mensuration, DateParsing) {
  TAV& model = *fromSouth().model;
  TAV copy(model);
  int y = -1, mo = -1, d = -1, h = -1, mi = -1, s = -1;
  copy.imageDateTime = "19700101000000";
  copy.parseDateString(y, mo, d, h, mi, s);
  EXPECT_EQ(std::vector<int>({y, mo, d, h, mi, s}), std::vector<int>({1970, 1, 1, 0, 0, 0}));
  copy.imageDateTime = "20200621161530";
  copy.parseDateString(y, mo, d, h, mi, s);
  EXPECT_EQ(std::vector<int>({y, mo, d, h, mi, s}), std::vector<int>({2020, 6, 21, 16, 15, 30}));
  // Seven digits: year, month and the day from one character, then the hour
  // starts beyond the end.
  copy.imageDateTime = "1999123";
  y = mo = d = h = -1;
  EXPECT_THROW(copy.parseDateString(y, mo, d, h, mi, s), std::out_of_range);
  EXPECT_EQ(y, 1999);
  EXPECT_EQ(mo, 12);
  EXPECT_EQ(d, 3);
  EXPECT_EQ(h, -1);
  // A field starting exactly at the end reads 0.
  copy.imageDateTime = "19991231";
  EXPECT_THROW(copy.parseDateString(y, mo, d, h, mi, s), std::out_of_range);
  EXPECT_EQ(h, 0);
  zel::ErrorCoordinate g(35, -117, 250);
  EXPECT_THROW(copy.getVectorToSun(g), std::out_of_range);
}

TEST(Mensuration, DirectionsAtTheOrigin) {
  TAV& model = *fromSouth().model;
  zel::ErrorCoordinate origin(0, 0, 0);
  const RowVector up = model.getVectorFromGroundToObject(origin, 0, 90);
  EXPECT_NEAR(up(1), 1, 1e-8);
  EXPECT_NEAR(up(2), 0, 1e-8);
  EXPECT_NEAR(up(3), 0, 1e-8);
  const RowVector north = model.getVectorFromGroundToObject(origin, 0, 0);
  EXPECT_NEAR(north(1), 0, 1e-8);
  EXPECT_NEAR(north(2), 0, 1e-8);
  EXPECT_NEAR(north(3), 1, 1e-8);
  // The sun: updates the model's angles.
  TAV copy(model);
  zel::ErrorCoordinate scene(35, -117, 250);
  const RowVector sun = copy.getVectorToSun(scene);
  double azimuth = 0, elevation = 0;
  CommonModel::calSunAngles(2020, 6, 21, 16, 0, 0, 35, -117, azimuth, elevation);
  EXPECT_EQ(copy.sunAzimuth, azimuth);
  EXPECT_EQ(copy.sunElevation, elevation);
  EXPECT_NEAR(std::sqrt(DotProduct(sun, sun)), 1, 1e-12);
}

TEST(Mensuration, ImagingLocusIsTheLineOfSight) {
  TAV& model = *fromSouth().model;
  zel::PixelCoordinate full = model.chip2full(zel::PixelCoordinate(300, 700));
  zel::DecimalCoordinate ground(35, -117, 250);
  double convergence = -1;
  const zel::ECEFRay ray = model.getImagingLocus(full, ground, 0.001, convergence);
  EXPECT_GE(convergence, 0);
  EXPECT_LE(convergence, 0.001);
  for (double along : {-2000.0, 0.0, 3000.0}) {
    const RowVector p = ray.point + ray.direction * along;
    double lon = 0, lat = 0, h = 0;
    CommonModel::ecefTogeodetic(p(1), p(2), p(3), true, lon, lat, h);
    const zel::PixelCoordinate seen =
        model.groundToFullImage(zel::DecimalCoordinate(lat / DEG, lon / DEG, h));
    EXPECT_NEAR(seen.x, full.x, 0.01) << along;
    EXPECT_NEAR(seen.y, full.y, 0.01) << along;
  }
  // With a tolerance no step can meet, the iteration stops when its step no
  // longer shrinks and reports the step before.
  double stalled = -1;
  model.getImagingLocus(full, ground, -1.0, stalled);
  EXPECT_GE(stalled, 0);
  EXPECT_LT(stalled, 0.001);
}

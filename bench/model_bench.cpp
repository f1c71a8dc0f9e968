// The sensor model's inner loops: ground-to-image, the chip mapping, and
// image-to-ground on products of 1,000 and 1,000,000 elevation posts (the
// post index keeps the lookup independent of the post count), plus the
// 90th-percentile slope of a million posts.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "model/TAV.h"
#include "support/SyntheticProduct.h"

namespace {

testsupport::SceneOptions sceneWithSpacing(int spacing) {
  testsupport::SceneOptions o;
  o.cameraLat = 34.7;
  o.terrain.base = 400;
  o.terrain.amplitude = 20;
  o.terrain.wavelength = 700;
  o.postSpacing = spacing;
  o.searchRadius = 60;
  return o;
}

// Chip 1000 x 1000: spacing 32 gives 1,024 posts, spacing 1 gives 1,000,000.
TAV& modelWithSpacing(int spacing) {
  static std::unique_ptr<TAV> sparse, dense;
  std::unique_ptr<TAV>& model = spacing == 1 ? dense : sparse;
  if (!model) {
    model =
        testsupport::buildModel(testsupport::makeSyntheticProduct(sceneWithSpacing(spacing)).bytes);
  }
  return *model;
}

void BM_groundToImage(benchmark::State& state) {
  TAV& model = modelWithSpacing(32);
  zel::DecimalCoordinate g(35.001, -117.002, 420);
  for (auto _ : state) {
    g.elev += 1e-9;
    benchmark::DoNotOptimize(model.groundToImage(g));
  }
}
BENCHMARK(BM_groundToImage);

void BM_chip2full(benchmark::State& state) {
  TAV& model = modelWithSpacing(32);
  zel::PixelCoordinate p(123.25, 456.5);
  for (auto _ : state) {
    p.x += 1e-9;
    benchmark::DoNotOptimize(model.chip2full(p));
  }
}
BENCHMARK(BM_chip2full);

// The per-call solve of the 8 x 8 system, as the mapping would cost without
// the transform solved at build.
void BM_chip2fullSolvedPerCall(benchmark::State& state) {
  TAV& model = modelWithSpacing(32);
  zel::PixelCoordinate p(123.25, 456.5);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        model.mapCoordinate(p, model.generateTransformMap(model.fullQuad, model.chipQuad)));
  }
}
BENCHMARK(BM_chip2fullSolvedPerCall);

void imageToGroundOn(benchmark::State& state, int spacing) {
  TAV& model = modelWithSpacing(spacing);
  state.counters["posts"] = static_cast<double>(model.elevationSegments[0].points.size());
  model.imageToGround(zel::PixelCoordinate(500, 500));  // builds the post index
  std::mt19937 random(3);
  std::uniform_real_distribution<double> pixel(50, 950);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        model.imageToGround(zel::PixelCoordinate(pixel(random), pixel(random))));
  }
}
void BM_imageToGround_1kPosts(benchmark::State& state) { imageToGroundOn(state, 32); }
void BM_imageToGround_1MPosts(benchmark::State& state) { imageToGroundOn(state, 1); }
BENCHMARK(BM_imageToGround_1kPosts);
BENCHMARK(BM_imageToGround_1MPosts);

void elevationOn(benchmark::State& state, int spacing) {
  TAV& model = modelWithSpacing(spacing);
  model.getElevation(zel::PixelCoordinate(500, 500));
  std::mt19937 random(3);
  std::uniform_real_distribution<double> pixel(50, 950);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        model.getElevation(zel::PixelCoordinate(pixel(random), pixel(random))));
  }
}
void BM_getElevation_1kPosts(benchmark::State& state) { elevationOn(state, 32); }
void BM_getElevation_1MPosts(benchmark::State& state) { elevationOn(state, 1); }
BENCHMARK(BM_getElevation_1kPosts);
BENCHMARK(BM_getElevation_1MPosts);

// A million posts 20 pixels apart at 1 m per pixel (posts 20 m apart, each
// with about 28 neighbours within 60 m).
void BM_computeSlope90_1MPosts(benchmark::State& state) {
  ElevationSegmentData segment;
  std::mt19937 random(11);
  for (int i = 0; i < 1000000; ++i) {
    ElevationPoint p;
    p.row = (i / 1000) * 20;
    p.column = (i % 1000) * 20;
    p.elevation = 4000 + static_cast<int>(random() % 400);
    segment.points.push_back(p);
  }
  for (auto _ : state) benchmark::DoNotOptimize(segment.computeSlope90(1.0));
}
BENCHMARK(BM_computeSlope90_1MPosts)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

// Cost of the geodetic <-> ECEF conversions that run inside image-to-ground,
// in their RowVector and allocation-free forms, and of the accuracy figures.
#include <benchmark/benchmark.h>

#include "geodesy/CommonModel.h"

namespace {

RowVector triple(double a, double b, double c) {
  RowVector v(3);
  v(1) = a;
  v(2) = b;
  v(3) = c;
  return v;
}

void BM_GeodeticToECEF_RowVector(benchmark::State& state) {
  const RowVector g = triple(-2.1, 0.66, 1234.5);
  for (auto _ : state) benchmark::DoNotOptimize(CommonModel::geodeticToGeocentric(g));
}
BENCHMARK(BM_GeodeticToECEF_RowVector);

void BM_GeodeticToECEF_Numbers(benchmark::State& state) {
  double x, y, z;
  for (auto _ : state) {
    CommonModel::geodeticToECEF(-2.1, 0.66, 1234.5, false, x, y, z);
    benchmark::DoNotOptimize(x + y + z);
  }
}
BENCHMARK(BM_GeodeticToECEF_Numbers);

void BM_ECEFToGeodetic_RowVector(benchmark::State& state) {
  const RowVector e = CommonModel::geodeticToGeocentric(triple(-2.1, 0.66, 1234.5));
  for (auto _ : state) benchmark::DoNotOptimize(CommonModel::geocentricToGeodetic(e));
}
BENCHMARK(BM_ECEFToGeodetic_RowVector);

void BM_ECEFToGeodetic_Numbers(benchmark::State& state) {
  const RowVector e = CommonModel::geodeticToGeocentric(triple(-2.1, 0.66, 1234.5));
  double lon, lat, h;
  for (auto _ : state) {
    CommonModel::ecefTogeodetic(e(1), e(2), e(3), false, lon, lat, h);
    benchmark::DoNotOptimize(lon + lat + h);
  }
}
BENCHMARK(BM_ECEFToGeodetic_Numbers);

void BM_CalculatePositionError(benchmark::State& state) {
  ColumnVector p(3);
  p(1) = -2.7e6, p(2) = -4.3e6, p(3) = 3.9e6;
  Matrix c(3, 3);
  c = 0.0;
  c(1, 1) = 4, c(2, 2) = 9, c(3, 3) = 16, c(1, 2) = c(2, 1) = 1;
  Matrix enu(3, 3);
  double ce, le;
  for (auto _ : state) {
    CommonModel::calculatePositionError(p, c, ce, le, enu);
    benchmark::DoNotOptimize(ce + le);
  }
}
BENCHMARK(BM_CalculatePositionError);

void BM_CalSunAngles(benchmark::State& state) {
  double az, el;
  for (auto _ : state) {
    CommonModel::calSunAngles(2021, 6, 1, 10, 30, 0, 38.9, -77.0, az, el);
    benchmark::DoNotOptimize(az + el);
  }
}
BENCHMARK(BM_CalSunAngles);

}  // namespace

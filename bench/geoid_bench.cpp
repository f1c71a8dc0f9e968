// EGM96 undulation: spherical-harmonic synthesis to degree 360 (along a
// parallel the Legendre table is reused; across parallels it is rebuilt) and
// the 15-minute grid in memory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "geodesy/Geoid.h"
#include "geodesy/RandomAccessGeoid.h"
#include "geodesy/Resources.h"

namespace {

// A full degree-360 coefficient set (values of EGM96's magnitude, not its
// values: the work per query does not depend on them) and an empty correction.
struct CoefficientFiles {
  std::string model, correction;
  CoefficientFiles() {
    const auto dir = std::filesystem::temp_directory_path() / "vuziza-geoid-bench";
    std::filesystem::create_directories(dir);
    model = (dir / "egm-360.txt").string();
    correction = (dir / "corrcoef-360.txt").string();
    std::mt19937 random(96);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::ofstream egm(model), corr(correction);
    char line[128];
    for (int n = 2; n <= 360; ++n) {
      const double scale = 1e-5 / (n * n);
      for (int m = 0; m <= n; ++m) {
        std::snprintf(line, sizeof line, "%d %d %.12e %.12e 0 0\n", n, m, scale * noise(random),
                      m ? scale * noise(random) : 0.0);
        egm << line;
      }
    }
    corr << "0 0 0.1D+01 0.0D+00\n";
  }
};

const CoefficientFiles& files() {
  static const CoefficientFiles instance;
  return instance;
}

void BM_GeoidAlongParallel(benchmark::State& state) {
  zel::Geoid geoid(files().model, files().correction);
  double longitude = -180.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(geoid.getUndulation(37.5, longitude));
    longitude = longitude >= 179.0 ? -180.0 : longitude + 0.25;
  }
}
BENCHMARK(BM_GeoidAlongParallel)->Unit(benchmark::kMicrosecond);

void BM_GeoidAcrossParallels(benchmark::State& state) {
  zel::Geoid geoid(files().model, files().correction);
  double latitude = -89.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(geoid.getUndulation(latitude, 12.0));
    latitude = latitude >= 89.0 ? -89.0 : latitude + 0.25;
  }
}
BENCHMARK(BM_GeoidAcrossParallels)->Unit(benchmark::kMicrosecond);

void BM_GridInMemory(benchmark::State& state) {
  zel::RandomAccessGeoid grid(zel::Resources::WW15MGH_DAC, zel::Resources::WW15MGH_length);
  std::mt19937 random(15);
  std::uniform_real_distribution<double> lat(-90.0, 90.0), lon(-180.0, 180.0);
  double points[1024][2];
  for (auto& p : points) p[0] = lat(random), p[1] = lon(random);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(grid.getUndulation(points[i][0], points[i][1]));
    i = (i + 1) & 1023;
  }
}
BENCHMARK(BM_GridInMemory);

void BM_GridInMemoryAtNodes(benchmark::State& state) {
  zel::RandomAccessGeoid grid(zel::Resources::WW15MGH_DAC, zel::Resources::WW15MGH_length);
  int row = 0, column = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(grid.getUndulation(90.0 - row / 4.0, column / 4.0 - 180.0));
    row = (row + 7) % 721;
    column = (column + 13) % 1441;
  }
}
BENCHMARK(BM_GridInMemoryAtNodes);

}  // namespace

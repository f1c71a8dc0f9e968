// Opening a product: the scan of a file whose image segment is large, and
// the decoding of a million elevation posts against zlib's inflation alone.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <memory>
#include <random>

#include "io/DataReader.h"
#include "product/ElevationSegmentData.h"
#include "product/TAVReader.h"
#include "productkit/ElevationPayload.h"
#include "support/NitfBuilder.h"
#include "support/ProductFixtures.h"
#include "support/TestPaths.h"
#include "tre/ICHIPB.h"
#include "tre/RPC00B.h"

namespace {

constexpr int POSTS = 1000000;

std::string millionPostPayload() {
  std::vector<productkit::Post> posts;
  posts.reserve(POSTS);
  std::mt19937 random(7);
  for (int i = 0; i < POSTS; ++i) {
    posts.push_back({i / 1000 * 4, (i % 1000) * 4, 1000 + static_cast<int>(random() % 500),
                     static_cast<int>(random() % 100), static_cast<int>(random() % 100)});
  }
  return testsupport::gzipCompress(productkit::form2Records(posts), 6);
}

// A product file with a 200 MB image segment and a million posts, written once.
const std::string& productPath() {
  static const std::string path = [] {
    testsupport::NitfFile file = testsupport::minimalProduct();
    file.images[0].data = std::string(200u << 20, '\x55');
    file.dataExtensions = {{"TAV001", testsupport::form2Desshf(), millionPostPayload()}};
    const std::string path = testsupport::scratchPath("bench-product.ntf");
    testsupport::writeWholeFile(path, testsupport::buildNitf(file));
    return path;
  }();
  return path;
}

void releaseScan(TAVReader::NITFStat& stat) {
  delete stat.rpc00b;
  delete stat.ichipb;
  for (auto& e : stat.elevations) delete[] e.data;
}

void BM_ScanProductWith200MBImage(benchmark::State& state) {
  const std::string& path = productPath();
  for (auto _ : state) {
    std::unique_ptr<DataReader> reader(DataReader::getDataReaderForFile(path));
    TAVReader::NITFStat stat;
    TAVReader::parse(reader.get(), stat);
    benchmark::DoNotOptimize(stat.elevations.size());
    releaseScan(stat);
  }
}
BENCHMARK(BM_ScanProductWith200MBImage)->Unit(benchmark::kMillisecond);

void BM_InflateMillionPostsZlibOnly(benchmark::State& state) {
  const std::string packed = millionPostPayload();
  std::vector<unsigned char> out(POSTS * 9 + 16);
  for (auto _ : state) {
    uLongf length = out.size();
    // uncompress() takes zlib streams; inflate the gzip wrapper directly.
    z_stream stream{};
    inflateInit2(&stream, 31);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(length);
    inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_InflateMillionPostsZlibOnly)->Unit(benchmark::kMillisecond);

void BM_InflateAndDecodeMillionPosts(benchmark::State& state) {
  const std::string packed = millionPostPayload();
  const std::string desshf = testsupport::form2Desshf();
  for (auto _ : state) {
    char* inflated = nullptr;
    const int length = DecompressDES(packed.data(), static_cast<int>(packed.size()), inflated);
    std::unique_ptr<char[]> owned(inflated);
    ElevationSegmentData segment(desshf, inflated, length);
    benchmark::DoNotOptimize(segment.points.data());
  }
}
BENCHMARK(BM_InflateAndDecodeMillionPosts)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

void BM_DecodeMillionPosts(benchmark::State& state) {
  char* inflated = nullptr;
  const std::string packed = millionPostPayload();
  const int length = DecompressDES(packed.data(), static_cast<int>(packed.size()), inflated);
  std::unique_ptr<char[]> owned(inflated);
  const std::string desshf = testsupport::form2Desshf();
  for (auto _ : state) {
    ElevationSegmentData segment(desshf, inflated, length);
    benchmark::DoNotOptimize(segment.points.data());
  }
}
BENCHMARK(BM_DecodeMillionPosts)->Unit(benchmark::kMillisecond);

}  // namespace

// The field readers and writers on the hot path of the product scanner and
// the extension records.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "io/ANSIFileReader.h"
#include "io/MemoryDataReader.h"
#include "nitf/NITF.h"
#include "support/TestPaths.h"
#include "tre/RPC00B.h"

namespace {

std::string repeated(const std::string& field, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += field;
  return out;
}

void BM_ReadIntTag(benchmark::State& state) {
  MemoryDataReader reader(repeated("000123", 1 << 16));
  int value = 0;
  for (auto _ : state) {
    if (reader.remaining() < 6) reader.seek(0, FROM_START);
    NITF::readIntTag(&reader, 6, value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_ReadIntTag);

// The same field through a string stream, as a plain implementation would.
void BM_ReadIntTagThroughStringStream(benchmark::State& state) {
  MemoryDataReader reader(repeated("000123", 1 << 16));
  int value = 0;
  for (auto _ : state) {
    if (reader.remaining() < 6) reader.seek(0, FROM_START);
    char buffer[7] = {};
    reader.read(reinterpret_cast<unsigned char*>(buffer), 6);
    std::istringstream(buffer) >> value;
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_ReadIntTagThroughStringStream);

void BM_ReadDoubleTag(benchmark::State& state) {
  MemoryDataReader reader(repeated("+1.234568E-4", 1 << 14));
  double value = 0;
  for (auto _ : state) {
    if (reader.remaining() < 12) reader.seek(0, FROM_START);
    NITF::readDoubleTag(&reader, 12, value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_ReadDoubleTag);

void BM_ReadStringTag(benchmark::State& state) {
  MemoryDataReader reader(repeated("BF01      ", 1 << 14));
  std::string value;
  for (auto _ : state) {
    if (reader.remaining() < 10) reader.seek(0, FROM_START);
    NITF::readStringTag(&reader, 10, value);
    benchmark::DoNotOptimize(value.data());
  }
}
BENCHMARK(BM_ReadStringTag);

void BM_RPC00BDecode(benchmark::State& state) {
  const std::string text =
      testsupport::readWholeFile(testsupport::sourcePath("data/tre/gdal_rpc00b.txt"));
  for (auto _ : state) {
    RPC00B rpc("RPC00B", 1041, text);
    benchmark::DoNotOptimize(rpc.samp_den_coeff[19]);
  }
}
BENCHMARK(BM_RPC00BDecode);

void BM_RPC00BCopy(benchmark::State& state) {
  RPC00B rpc("RPC00B", 1041,
             testsupport::readWholeFile(testsupport::sourcePath("data/tre/gdal_rpc00b.txt")));
  for (auto _ : state) {
    std::unique_ptr<Extension> copy(rpc.copy());
    benchmark::DoNotOptimize(copy.get());
  }
}
BENCHMARK(BM_RPC00BCopy);

// A header walk on a file: a 10-byte field read, then a short relative seek.
void BM_FileReaderFieldsAndSeeks(benchmark::State& state) {
  const std::string path = testsupport::scratchPath("spine-bench-file.bin");
  testsupport::writeWholeFile(path, std::string(4 << 20, '7'));
  ANSIFileReader reader(path);
  long long value = 0;
  for (auto _ : state) {
    if (reader.remaining() < 40) reader.seek(0, FROM_START);
    NITF::readLongLongTag(&reader, 10, value);
    reader.seek(25, FROM_CURRENT);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_FileReaderFieldsAndSeeks);

}  // namespace

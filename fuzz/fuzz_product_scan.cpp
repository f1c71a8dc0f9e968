// The product scanner over arbitrary bytes: parse and the product test.
// SEEDS: nitf-corpus
#include <cstddef>
#include <cstdint>

#include "io/MemoryDataReader.h"
#include "product/TAVReader.h"
#include "tre/ICHIPB.h"
#include "tre/RPC00B.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    MemoryDataReader reader(data, static_cast<long long>(size));
    TAVReader::NITFStat stat;
    TAVReader::parse(&reader, stat);
    delete stat.rpc00b;
    delete stat.ichipb;
    for (auto& elevation : stat.elevations) delete[] elevation.data;
  }
  MemoryDataReader reader(data, static_cast<long long>(size));
  TAVReader::isTAV(&reader);
  return 0;
}

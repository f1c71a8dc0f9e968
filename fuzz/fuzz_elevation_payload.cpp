// Elevation payloads over arbitrary bytes: the first byte chooses the form
// (odd: an 81-character DESSHF taken from the next bytes), the rest is the
// payload, decoded as it stands and after inflation.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "product/ElevationSegmentData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char* bytes = reinterpret_cast<const char*>(data);
  std::string desshf = "length != 81";
  size_t offset = 1;
  if ((data[0] & 1) != 0 && size >= 82) {
    desshf.assign(bytes + 1, 81);
    offset = 82;
  }
  const int length = static_cast<int>(size - offset);
  ElevationSegmentData raw(desshf, bytes + offset, length);
  char* inflated = nullptr;
  const int inflatedLength = DecompressDES(bytes + offset, length, inflated);
  std::unique_ptr<char[]> owned(inflated);
  if (inflatedLength >= 0) ElevationSegmentData decoded(desshf, inflated, inflatedLength);
  return 0;
}

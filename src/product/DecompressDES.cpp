// Inflation of the gzip-wrapped elevation payloads.
#include <zlib.h>

#include <climits>
#include <memory>

#include "ElevationSegmentData.h"

namespace {

constexpr int GZIP_WINDOW_BITS = 15 + 16;  // gzip wrapper only
constexpr int MAX_ATTEMPTS = 10;
constexpr long long FIRST_FACTOR = 10;
constexpr long long GROWTH = 5;

}  // namespace

namespace {

// One inflation attempt; `outputFull` tells whether the output buffer ran
// out (only then can a larger buffer help).
ZlibResult inflateOnce(const char* in, int inLength, char* out, int outSize, bool& outputFull) {
  ZlibResult result;
  z_stream stream{};
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
  stream.avail_in = inLength > 0 ? static_cast<uInt>(inLength) : 0;
  stream.next_out = reinterpret_cast<Bytef*>(out);
  stream.avail_out = outSize > 0 ? static_cast<uInt>(outSize) : 0;
  outputFull = false;
  result.status = inflateInit2(&stream, GZIP_WINDOW_BITS);
  if (result.status != Z_OK) return result;
  result.status = inflate(&stream, Z_FINISH);
  if (result.status == Z_STREAM_END) result.length = static_cast<int>(stream.total_out);
  outputFull = stream.avail_out == 0;
  inflateEnd(&stream);
  return result;
}

}  // namespace

ZlibResult zlibDecompress(const char* in, int inLength, char* out, int outSize) {
  bool outputFull = false;
  return inflateOnce(in, inLength, out, outSize, outputFull);
}

int DecompressDES(const char* data, int length, char*& out) {
  out = nullptr;
  if (data == nullptr || length <= 0) return -1;
  long long size = FIRST_FACTOR * length;
  for (int attempt = 0; attempt < MAX_ATTEMPTS; ++attempt, size *= GROWTH) {
    if (size > INT_MAX || size > MAX_INFLATED_BYTES) return -1;
    std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(size)]);
    bool outputFull = false;
    const ZlibResult result =
        inflateOnce(data, length, buffer.get(), static_cast<int>(size), outputFull);
    if (result.status == Z_STREAM_END) {
      out = buffer.release();
      return result.length;
    }
    // A corrupt or cut-short stream fails the same way whatever the buffer size.
    if (!outputFull) return -1;
  }
  return -1;
}

#pragma once
#include <memory>
#include <string>
#include <vector>

#include "ElevationPoint.h"
#include "PostGrid.h"

namespace DataSource {
// Where a segment's posts come from. Codes 0-2 are DTED levels 0-2; the
// others are known by their numbers.
enum DataSource : int {
  DTED_LEVEL_0 = 0,
  DTED_LEVEL_1 = 1,
  DTED_LEVEL_2 = 2,
  SOURCE_3 = 3,
  SOURCE_4 = 4,
  SOURCE_5 = 5,
  SOURCE_6 = 6,
  SOURCE_7 = 7,
  SOURCE_8 = 8,
  UNKNOWN = 9,
};
}  // namespace DataSource

// One decoded elevation segment: its header values and its posts in payload
// order. Two payload forms exist, told apart by the user-defined subheader:
// an 81-character DESSHF ("TAV001", 9-byte records, header values in the
// DESSHF) or anything else ("DORARI", a 7-byte payload header then 8-byte
// records).
class ElevationSegmentData {
 public:
  bool loaded = true;
  std::string label;
  double slope90 = -999.0;  // 90th-percentile slope; -999.0 until computed
  int dtedLevel = 0;
  std::string headerText1;
  std::string headerText2;
  DataSource::DataSource dataSource = DataSource::UNKNOWN;
  int verticalDatum = 0;  // 0 HAE, 1 MSL84, 2 MSL96, 3 MSL08, 4 AGL, 5 other
  int units = 0;          // 0 metres, 1 feet, 2 decimetres, 3 other
  int postCount = 0;
  int baseElevation = 0;
  int compression = 0;   // 0 GZ, 1 NC, 2 other
  int searchRadius = 0;  // pixels
  double headerValue = 0;
  int headerNumber1 = 0;
  int headerNumber2 = 0;
  std::string desshf;
  std::vector<ElevationPoint> points;
  int rowMask = 0xFFF;     // carried, not applied
  int columnMask = 0xFFF;  // applied to the running column

  ElevationSegmentData() = default;
  // Decodes one segment from its user-defined subheader text and its payload
  // (already inflated). `data` is neither kept nor released. Only whole
  // records are decoded; an incomplete tail is ignored.
  ElevationSegmentData(std::string desshf, const char* data, int length);

  // The 90th-percentile slope between posts 0 < g <= 60 m apart, g the
  // pixel distance times `gsd` (metres per pixel), elevations taken as
  // decimetres: the k-th smallest slope with k = round(0.9 n). Only pairs
  // in neighbouring cells of a grid are examined, which gives the result of
  // comparing every pair. With no such pair (or no usable gsd) the result is
  // 0, which leaves the roughness term of the elevation accuracy harmless.
  double computeSlope90(double gsd);
  // Inserts before the first strictly greater value.
  void saveSlopeSorted(std::vector<double>& slopes, double slope);
  // x + 0.5 (x >= 0) or x - 0.5 truncated toward zero.
  double round(double x);
  // The lowest elevation among the first postCount posts (see the .cpp).
  int calcBaseElevation();

  // The grid index of `points` used by the elevation lookup, built on first
  // use and again when `points` is replaced. Call invalidatePostIndex after
  // changing posts in place.
  const PostGrid& postIndex() const;
  void invalidatePostIndex() { index.grid.reset(); }

 private:
  // A cached index; copies of a segment start without one.
  struct IndexCache {
    std::shared_ptr<const PostGrid> grid;
    IndexCache() = default;
    IndexCache(const IndexCache&) {}
    IndexCache& operator=(const IndexCache&) {
      grid.reset();
      return *this;
    }
  };
  mutable IndexCache index;

  void readForm2Subheader();
  int readForm1Header(const char* data, int length);
  void decodeRecords(const char* data, int length, int offset, int recordSize);
};

// The result of one inflation attempt: zlib's status and the inflated length
// (set when the status is Z_STREAM_END).
struct ZlibResult {
  int status = 0;
  int length = 0;
};

// One attempt to inflate a gzip stream of `inLength` bytes into `outSize` bytes.
ZlibResult zlibDecompress(const char* in, int inLength, char* out, int outSize);

// Inflates a gzip payload into a new array stored in `out` (release it with
// delete[]); returns the inflated length. Output buffers of 10, 50, 250, ...
// times the input are tried in turn. On failure returns -1 with `out` null:
// after ten attempts, on a stream that is not gzip, corrupt or cut short (a
// larger buffer cannot help those), or as soon
// as the next buffer would pass 2^31 - 1 bytes
// or MAX_INFLATED_BYTES (a gzip member cannot inflate to more than about 1032
// times its size, so larger attempts could only feed a decompression bomb).
int DecompressDES(const char* data, int length, char*& out);

// The most bytes DecompressDES will allocate for one payload (256 MiB, about
// 28 million posts).
constexpr long long MAX_INFLATED_BYTES = 256LL * 1024 * 1024;

// Copies `count` bytes from `source + offset` to `target`; returns
// offset + count (offset unchanged when count is 0 or less).
int ReadData(const char* source, char* target, int count, int offset);

#pragma once
// The block grid and sample layout of an image segment as its subheader
// declares them, checked once so that the pixel and JPEG readers can trust
// every count and offset they derive. Used by ImageData.cpp and
// ImageJpeg.cpp only.
#include <algorithm>
#include <limits>

#include "ImageHeader.h"

namespace vuziza_nitf {

struct ImageLayout {
  // Largest block edge (NPPBH, NPPBV are 4-digit fields; 0 with a single
  // block means the image's own size).
  static constexpr long long MAX_BLOCK_EDGE = 9999;
  // Largest NROWS, NCOLS (8-digit fields) and band count (XBANDS, 5 digits).
  static constexpr long long MAX_DIMENSION = 99999999;
  static constexpr long long MAX_BANDS = 99999;

  long long rows = 0;          // NROWS
  long long cols = 0;          // NCOLS
  long long blockColumns = 0;  // NBPR
  long long blockRows = 0;     // NBPC
  long long blockWidth = 0;    // NPPBH, or NCOLS when NPPBH is 0 and NBPR is 1
  long long blockHeight = 0;   // NPPBV, or NROWS when NPPBV is 0 and NBPC is 1
  long long bands = 0;         // samples per pixel in the data (NBANDS or XBANDS)
  int bpp = 1;                 // samples per pixel in the buffer
  int sampleBytes = 1;         // 1 (NBPP 8) or 2 (NBPP 16)
  char mode = 'B';             // IMODE "B" or "P"
  // One band mapped to BPP 3 through its look-up table (IREP "RGB/LUT"):
  // output sample b of a value v is lut[b x lutEntries + v]; null otherwise.
  const unsigned char* lut = nullptr;
  long long lutEntries = 0;

  // The block grid of `h`: positive sizes, blocks covering the image. False
  // when the subheader's grid cannot describe the image.
  static bool grid(ImageHeader& h, ImageLayout& layout) {
    layout.rows = h.nrows;
    layout.cols = h.ncols;
    layout.blockColumns = h.nbpr;
    layout.blockRows = h.nbpc;
    layout.blockWidth = h.nppbh == 0 && h.nbpr == 1 ? layout.cols : h.nppbh;
    layout.blockHeight = h.nppbv == 0 && h.nbpc == 1 ? layout.rows : h.nppbv;
    layout.bands = h.bandCount();
    layout.bpp = h.getBPP();
    layout.sampleBytes = h.nbpp == 16 ? 2 : 1;
    layout.mode = h.imode;
    return layout.rows >= 1 && layout.cols >= 1 && layout.rows <= MAX_DIMENSION &&
           layout.cols <= MAX_DIMENSION && layout.blockColumns >= 1 && layout.blockRows >= 1 &&
           layout.blockWidth >= 1 && layout.blockHeight >= 1 &&
           (layout.blockWidth <= MAX_BLOCK_EDGE || layout.blockColumns == 1) &&
           (layout.blockHeight <= MAX_BLOCK_EDGE || layout.blockRows == 1) &&
           layout.blockColumns * layout.blockWidth >= layout.cols &&
           layout.blockRows * layout.blockHeight >= layout.rows;
  }

  // The grid plus what the uncompressed readers decode: NBPP 8 or 16, IMODE
  // "B" or "P", at least BPP bands.
  static bool uncompressed(ImageHeader& h, ImageLayout& layout) {
    if (!grid(h, layout)) return false;
    if (layout.bands == 1 && layout.bpp == 3 && !h.nluts.empty() && h.nluts[0] >= 3 &&
        !h.nelut.empty() && h.nelut[0] > 0 && !h.lutd.empty() &&
        static_cast<long long>(h.lutd[0].size()) >= 3LL * h.nelut[0]) {
      layout.lut = h.lutd[0].data();
      layout.lutEntries = h.nelut[0];
    }
    return (h.nbpp == 8 || h.nbpp == 16) && (h.imode == 'B' || h.imode == 'P') &&
           (layout.bands >= layout.bpp || layout.lut != nullptr) && layout.bands <= MAX_BANDS &&
           // so that blockBytes() cannot overflow
           layout.blockWidth * layout.blockHeight <=
               std::numeric_limits<long long>::max() / (2 * layout.bands);
  }

  // Block columns and rows that hold image pixels.
  long long usedBlockColumns() const {
    return std::min(blockColumns, (cols + blockWidth - 1) / blockWidth);
  }
  long long usedBlockRows() const {
    return std::min(blockRows, (rows + blockHeight - 1) / blockHeight);
  }
  // Image pixels in block column j and block row i.
  long long validColumns(long long j) const { return std::min(blockWidth, cols - j * blockWidth); }
  long long validRows(long long i) const { return std::min(blockHeight, rows - i * blockHeight); }

  // Band planes read per block with IMODE "B".
  int planes() const { return lut != nullptr ? 1 : bpp; }

  long long blockSamples() const { return blockWidth * blockHeight * bands; }
  long long blockBytes() const { return blockSamples() * sampleBytes; }
  // Bytes of the buffer picture of the whole image.
  long long pixelBytes() const { return rows * cols * bpp; }
};

// The segment's reader for one operation: opens it from the segment's path
// when none is open and deletes it at the end when it opened it.
class SegmentReader {
 public:
  explicit SegmentReader(ImageHeader& h) : h_(h) {
    if (h_.reader == nullptr && !h_.path.empty()) {
      h_.reader = DataReader::getDataReaderForFile(h_.path);
      opened_ = true;
    }
  }
  ~SegmentReader() {
    if (opened_) {
      delete h_.reader;
      h_.reader = nullptr;
    }
  }
  SegmentReader(const SegmentReader&) = delete;
  SegmentReader& operator=(const SegmentReader&) = delete;

  // Bytes of the segment's data that the file holds: LI, bounded by the
  // file's size after the data offset; 0 without a reader.
  long long available() {
    if (h_.reader == nullptr || h_.segmentLength <= 0 || h_.dataOffset < 0) return 0;
    const long long size = h_.reader->size();
    if (size < 0) return h_.segmentLength;
    return std::max(0LL, std::min(h_.segmentLength, size - h_.dataOffset));
  }

  // Reads `length` bytes from `offset` of the segment's data into `out`;
  // bytes beyond available() (or that the reader does not deliver) are 0.
  void readAt(long long offset, unsigned char* out, long long length) {
    if (length <= 0) return;
    long long got = 0;
    const long long limit = available();
    if (offset >= 0 && offset < limit) {
      const long long wanted = std::min(length, limit - offset);
      h_.reader->seek(h_.dataOffset + offset, FROM_START);
      h_.reader->read(out, wanted);
      got = std::max(0LL, std::min(wanted, h_.reader->count()));
    }
    if (got < length) std::fill(out + got, out + length, static_cast<unsigned char>(0));
  }

 private:
  ImageHeader& h_;
  bool opened_ = false;
};

}  // namespace vuziza_nitf

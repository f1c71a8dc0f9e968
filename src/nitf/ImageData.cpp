// Image pixels of an uncompressed segment: whole images and chips, the
// un-blocking of IMODE "B" and "P" data, 16-bit to 8-bit conversion.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "ImageHeader.h"
#include "ImageLayout.h"
#include "JpegBlocks.h"

using vuziza_nitf::ImageLayout;
using vuziza_nitf::SegmentReader;

namespace {

// 8-bit samples of some rows of one block, as the data lay them out.
// IMODE "B": plane b (band b) starts at data + b x planeStride; IMODE "P":
// pixels of `bands` samples. In both, rows are rowStride samples apart and
// the wanted columns start at firstColumn.
struct BlockSamples {
  const unsigned char* data = nullptr;
  char mode = 'B';
  long long bands = 1;
  long long planeStride = 0;
  long long rowStride = 0;
  long long firstColumn = 0;
  // A look-up table mapping the first band to bpp samples (see ImageLayout).
  const unsigned char* lut = nullptr;
  long long lutEntries = 0;
};

// The look-up table of `l` carried into `s`.
BlockSamples withLut(BlockSamples s, const ImageLayout& l) {
  s.lut = l.lut;
  s.lutEntries = l.lutEntries;
  return s;
}

// Maps `columns` values of the first band (every `step`-th byte of `p`)
// through the look-up table to bpp samples each.
void placeThroughLut(const BlockSamples& s, const unsigned char* p, long long step, int bpp,
                     long long columns, unsigned char* d) {
  for (long long l = 0; l < columns; ++l) {
    const long long v = p[l * step];
    for (int b = 0; b < bpp; ++b)
      d[l * bpp + b] = v < s.lutEntries ? s.lut[b * s.lutEntries + v] : 0;
  }
}

// Copies rows x columns pixels of `s` into a picture of `bpp` samples per
// pixel (the first bpp bands), rows dstStride bytes apart.
void place(const BlockSamples& s, int bpp, long long rows, long long columns, unsigned char* dst,
           long long dstStride) {
  for (long long r = 0; r < rows; ++r) {
    unsigned char* d = dst + r * dstStride;
    if (s.lut != nullptr) {
      const long long step = s.mode == 'B' ? 1 : s.bands;
      placeThroughLut(s, s.data + r * s.rowStride + s.firstColumn * step, step, bpp, columns, d);
      continue;
    }
    if (s.mode == 'B') {
      const unsigned char* p0 = s.data + r * s.rowStride + s.firstColumn;
      if (bpp == 1) {
        std::memcpy(d, p0, static_cast<size_t>(columns));
        continue;
      }
      const unsigned char* p1 = p0 + s.planeStride;
      const unsigned char* p2 = p1 + s.planeStride;
      for (long long l = 0; l < columns; ++l) {
        d[3 * l] = p0[l];
        d[3 * l + 1] = p1[l];
        d[3 * l + 2] = p2[l];
      }
    } else {
      const unsigned char* p = s.data + r * s.rowStride + s.firstColumn * s.bands;
      if (s.bands == bpp) {
        std::memcpy(d, p, static_cast<size_t>(columns * bpp));
        continue;
      }
      for (long long l = 0; l < columns; ++l) {
        for (int b = 0; b < bpp; ++b) d[l * bpp + b] = p[l * s.bands + b];
      }
    }
  }
}

// The significant bits of a 16-bit sample scaled to 8: 256 / 2^abpp x v,
// at most 255 (an ABPP outside 1..16 counts as 16).
struct SampleScale {
  explicit SampleScale(int abpp) : bits(abpp >= 1 && abpp <= 16 ? abpp : 16) {}
  unsigned char operator()(unsigned v) const {
    const unsigned scaled = bits >= 8 ? v >> (bits - 8) : v << (8 - bits);
    return static_cast<unsigned char>(scaled > 255 ? 255 : scaled);
  }
  int bits;
};

// Converts `count` big-endian 16-bit samples at `in` to 8 bits at `out`
// (`out` may be `in`: each sample is read before its byte is written).
void convert16(const unsigned char* in, unsigned char* out, long long count, SampleScale scale) {
  for (long long i = 0; i < count; ++i) {
    out[i] = scale(static_cast<unsigned>(in[2 * i]) << 8 | in[2 * i + 1]);
  }
}

// True when the segment's data hold at least half of the blocks that have
// image pixels (missing bytes read as 0; files cut short by a few bytes
// exist). This bounds every buffer of the readers by the size of the file.
bool dataHoldBlocks(const ImageLayout& l, long long available) {
  const long long blockBytes = l.blockBytes();
  if (blockBytes <= 0 || available <= 0 || blockBytes / 2 > available) return false;
  const long long blocks = l.usedBlockColumns() * l.usedBlockRows();
  return blocks <= 2 * available / blockBytes;
}

// Reads rows [r0, r1) of block (row i, column j), at full block width, into
// `work` as 8-bit samples and describes them. IMODE "B" reads the first bpp
// band planes only.
BlockSamples readBlockRows(SegmentReader& in, const ImageLayout& l, int abpp, long long i,
                           long long j, long long r0, long long r1,
                           std::vector<unsigned char>& work) {
  const long long rows = r1 - r0;
  const long long sb = l.sampleBytes;
  const long long blockStart = (i * l.blockColumns + j) * l.blockBytes();
  BlockSamples s;
  s.mode = l.mode;
  s.bands = l.bands;
  if (l.mode == 'B') {
    const long long planeSamples = rows * l.blockWidth;
    work.resize(static_cast<size_t>(planeSamples * sb * l.planes()));
    for (int b = 0; b < l.planes(); ++b) {
      unsigned char* plane = work.data() + b * planeSamples * sb;
      const long long at = blockStart + (b * l.blockWidth * l.blockHeight + r0 * l.blockWidth) * sb;
      in.readAt(at, plane, planeSamples * sb);
      if (sb == 2) convert16(plane, plane, planeSamples, SampleScale(abpp));
    }
    s.planeStride = planeSamples * sb;
    s.rowStride = l.blockWidth;
  } else {
    const long long samples = rows * l.blockWidth * l.bands;
    work.resize(static_cast<size_t>(samples * sb));
    in.readAt(blockStart + r0 * l.blockWidth * l.bands * sb, work.data(), samples * sb);
    if (sb == 2) convert16(work.data(), work.data(), samples, SampleScale(abpp));
    s.rowStride = l.blockWidth * l.bands;
  }
  s.data = work.data();
  return withLut(s, l);
}

// Uncompressed data are read for IC "NC" only: the data of any other code
// (compressed, or masked with a mask table before the blocks) are not the
// samples themselves.
bool decodedAsUncompressed(const ImageHeader& h) { return h.ic == "NC"; }

long long floorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Un-blocks the blocks of the given range of 8-bit data holding all
// NBPR x NBPC blocks into the whole-image picture `pixels`.
void unblock(ImageHeader& h, unsigned char* blocked, unsigned char* pixels, char mode,
             long long firstColumn, long long firstRow, long long columns, long long rows) {
  ImageLayout l;
  if (blocked == nullptr || pixels == nullptr || !ImageLayout::uncompressed(h, l)) return;
  l.mode = mode;
  const long long blockSamples = l.blockSamples();
  const long long lastRow = std::min(firstRow + rows, l.usedBlockRows());
  const long long lastColumn = std::min(firstColumn + columns, l.usedBlockColumns());
  for (long long i = std::max(0LL, firstRow); i < lastRow; ++i) {
    for (long long j = std::max(0LL, firstColumn); j < lastColumn; ++j) {
      BlockSamples s;
      s.data = blocked + (i * l.blockColumns + j) * blockSamples;
      s.mode = mode;
      s.bands = l.bands;
      s.planeStride = l.blockWidth * l.blockHeight;
      s.rowStride = mode == 'B' ? l.blockWidth : l.blockWidth * l.bands;
      s = withLut(s, l);
      unsigned char* dst = pixels + (i * l.blockHeight * l.cols + j * l.blockWidth) * l.bpp;
      place(s, l.bpp, l.validRows(i), l.validColumns(j), dst, l.cols * l.bpp);
    }
  }
}

// The valid part of one 8-bit block as a compact picture.
void blockToPicture(ImageHeader& h, unsigned char* block, unsigned char* out, char mode,
                    long long j, long long i) {
  ImageLayout l;
  if (block == nullptr || out == nullptr || !ImageLayout::uncompressed(h, l)) return;
  if (i < 0 || j < 0 || i >= l.usedBlockRows() || j >= l.usedBlockColumns()) return;
  BlockSamples s;
  s.data = block;
  s.mode = mode;
  s.bands = l.bands;
  s.planeStride = l.blockWidth * l.blockHeight;
  s.rowStride = mode == 'B' ? l.blockWidth : l.blockWidth * l.bands;
  s = withLut(s, l);
  const long long columns = l.validColumns(j);
  place(s, l.bpp, l.validRows(i), columns, out, columns * l.bpp);
}

}  // namespace

// ---- Whole images and chips ----

namespace {

// Reads every block of an uncompressed segment into `pixels` (NROWS x NCOLS
// x BPP bytes).
void readUncompressed(ImageHeader& h, SegmentReader& in, const ImageLayout& l,
                      unsigned char* pixels) {
  std::vector<unsigned char> work;
  const long long stride = l.cols * l.bpp;
  for (long long i = 0; i < l.usedBlockRows(); ++i) {
    for (long long j = 0; j < l.usedBlockColumns(); ++j) {
      const long long rows = l.validRows(i);
      const BlockSamples s = readBlockRows(in, l, h.abpp, i, j, 0, rows, work);
      unsigned char* dst = pixels + i * l.blockHeight * stride + j * l.blockWidth * l.bpp;
      place(s, l.bpp, rows, l.validColumns(j), dst, stride);
    }
  }
}

}  // namespace

bool ImageHeader::readImage() {
  bufferWidth = ncols;
  bufferHeight = nrows;
  setWidthStep();
  delete[] imageData;
  imageData = nullptr;
  imageDataSize = 0;
  if (path.empty()) return false;
  SegmentReader in(*this);

  bool ok = false;
  if (ic == "C3") {
    if (format == JPEG && nbpr == 1 && nbpc == 1) {
      // The file's own stream.
      const long long length = in.available();
      if (length <= 0) return false;
      imageData = new (std::nothrow) unsigned char[static_cast<size_t>(length)];
      if (imageData == nullptr) return false;
      in.readAt(0, imageData, length);
      imageDataSize = length;
      return true;
    }
    ok = readAllJPEGBlocksRGB();
  } else {
    ImageLayout l;
    if (!decodedAsUncompressed(*this) || !ImageLayout::uncompressed(*this, l) ||
        !dataHoldBlocks(l, in.available())) {
      return false;
    }
    imageData = new (std::nothrow) unsigned char[static_cast<size_t>(l.pixelBytes())];
    if (imageData == nullptr) return false;
    imageDataSize = l.pixelBytes();
    readUncompressed(*this, in, l, imageData);
    ok = true;
  }
  if (imageData != nullptr) {
    if (format == JPEG) {
      compressBufferInPlace(bufferWidth, bufferHeight, imageData, &imageDataSize);
    } else if (format == OPENCV) {
      imageDataToOpenCV();
    }
  }
  return ok;
}

bool ImageHeader::readImageChip(int x, int y, int width, int height) {
  bufferWidth = width;
  bufferHeight = height;
  setWidthStep();
  delete[] imageData;
  imageData = nullptr;
  imageDataSize = 0;
  const int bpp = getBPP();
  if (width < 1 || height < 1) return false;
  const long long size = static_cast<long long>(width) * height * bpp;
  imageData = new (std::nothrow) unsigned char[static_cast<size_t>(size)];
  if (imageData == nullptr) return false;
  imageDataSize = size;
  std::memset(imageData, 255, static_cast<size_t>(size));
  if (path.empty()) return false;
  SegmentReader in(*this);

  ImageLayout l;
  const bool jpeg = ic == "C3";
  bool ok = jpeg ? ImageLayout::grid(*this, l) && parseJPEGHeaders()
                 : decodedAsUncompressed(*this) && ImageLayout::uncompressed(*this, l) &&
                       dataHoldBlocks(l, in.available());
  if (ok) {
    // The blocks the chip touches.
    const long long firstColumn = std::max(0LL, floorDiv(x, l.blockWidth));
    const long long lastColumn = std::min(
        l.usedBlockColumns() - 1, floorDiv(static_cast<long long>(x) + width - 1, l.blockWidth));
    const long long firstRow = std::max(0LL, floorDiv(y, l.blockHeight));
    const long long lastRow = std::min(
        l.usedBlockRows() - 1, floorDiv(static_cast<long long>(y) + height - 1, l.blockHeight));
    const long long stride = static_cast<long long>(width) * bpp;
    std::vector<unsigned char> work;
    for (long long by = firstRow; by <= lastRow; ++by) {
      for (long long bx = firstColumn; bx <= lastColumn; ++bx) {
        // The part of the block inside the chip, in block pixels.
        const long long top = by * l.blockHeight;
        const long long left = bx * l.blockWidth;
        const long long r0 = std::max(0LL, y - top);
        const long long r1 = std::min(l.validRows(by), y + static_cast<long long>(height) - top);
        const long long c0 = std::max(0LL, x - left);
        const long long c1 = std::min(l.validColumns(bx), x + static_cast<long long>(width) - left);
        if (r0 >= r1 || c0 >= c1) continue;
        unsigned char* dst = imageData + (top + r0 - y) * stride + (left + c0 - x) * bpp;
        if (!jpeg) {
          BlockSamples s = readBlockRows(in, l, abpp, by, bx, r0, r1, work);
          s.firstColumn = c0;
          place(s, bpp, r1 - r0, c1 - c0, dst, stride);
          continue;
        }
        // Lines 0 to r1 of the block's picture; its columns c0 to c1.
        const long long columns = l.validColumns(bx);
        if (!JpegCodec::plausible(columns * r1 * bpp, in.available())) {
          ok = false;
          continue;
        }
        work.assign(static_cast<size_t>(columns * r1 * bpp), 255);
        if (!copyJPEGBlock(work.data(), static_cast<long long>(work.size()),
                           static_cast<int>(columns), 0, 0,
                           static_cast<int>(by * l.blockColumns + bx))) {
          ok = false;
        }
        BlockSamples s;
        s.data = work.data() + r0 * columns * bpp;
        s.mode = 'P';
        s.bands = bpp;
        s.rowStride = columns * bpp;
        s.firstColumn = c0;
        place(s, bpp, r1 - r0, c1 - c0, dst, stride);
      }
    }
  }
  if (format == JPEG) {
    compressBufferInPlace(width, height, imageData, &imageDataSize);
  } else if (format == OPENCV) {
    imageDataToOpenCV();
  }
  return ok;
}

// ---- Un-blocking of data in memory ----

void ImageHeader::copyImageDataToBuffer(unsigned char* blocked, unsigned char* pixels) {
  if (imode == 'B') {
    readInterleavedByBlock(blocked, pixels);
  } else if (imode == 'P') {
    readInterleavedByPixel(blocked, pixels);
  }
}

void ImageHeader::readInterleavedByBlock(unsigned char* blocked, unsigned char* pixels) {
  readInterleavedByBlock(blocked, pixels, 0, 0, nbpr, nbpc);
}

void ImageHeader::readInterleavedByPixel(unsigned char* blocked, unsigned char* pixels) {
  readInterleavedByPixel(blocked, pixels, 0, 0, nbpr, nbpc);
}

void ImageHeader::readInterleavedByBlock(unsigned char* blocked, unsigned char* pixels,
                                         int firstColumn, int firstRow, int columns, int rows) {
  unblock(*this, blocked, pixels, 'B', firstColumn, firstRow, columns, rows);
}

void ImageHeader::readInterleavedByPixel(unsigned char* blocked, unsigned char* pixels,
                                         int firstColumn, int firstRow, int columns, int rows) {
  unblock(*this, blocked, pixels, 'P', firstColumn, firstRow, columns, rows);
}

void ImageHeader::IBB2RGB(unsigned char* block, unsigned char* out, int blockColumn, int blockRow) {
  blockToPicture(*this, block, out, 'B', blockColumn, blockRow);
}

void ImageHeader::IBP2RGB(unsigned char* block, unsigned char* out, int blockColumn, int blockRow) {
  blockToPicture(*this, block, out, 'P', blockColumn, blockRow);
}

// ---- 16-bit samples ----

void ImageHeader::readAndConvert16BitData(DataReader* source, unsigned char* out, long long count) {
  if (out == nullptr || count <= 0) return;
  const long long CHUNK = 32768;
  std::vector<unsigned char> raw(static_cast<size_t>(2 * std::min(count, CHUNK)));
  const SampleScale scale(abpp);
  for (long long done = 0; done < count;) {
    const long long n = std::min(count - done, CHUNK);
    long long got = 0;
    if (source != nullptr) {
      source->read(raw.data(), 2 * n);
      got = std::max(0LL, std::min(2 * n, source->count()));
    }
    std::fill(raw.begin() + got, raw.begin() + 2 * n, static_cast<unsigned char>(0));
    convert16(raw.data(), out + done, n, scale);
    done += n;
  }
}

void ImageHeader::readAndConvert16BitData(unsigned char* out) {
  readAndConvert16BitData(reader, out, imageDataSize);
}

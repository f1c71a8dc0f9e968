// JPEG-compressed image segments (IC "C3"): the block tables, block
// decoding, and JPEG compression of a pixel buffer.
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "ImageHeader.h"
#include "ImageLayout.h"

using vuziza_nitf::ImageLayout;
using vuziza_nitf::SegmentReader;
#include "JpegBlocks.h"

namespace {

const unsigned char EOI = 0xD9;
const unsigned char SOI = 0xD8;
const unsigned char MARKER = 0xFF;

// Block separators: EOI, 0, 2, 4, 6 or 8 zero bytes, SOI.
const int MAX_SEPARATOR_ZEROS = 8;
const int LONGEST_SEPARATOR = 2 + MAX_SEPARATOR_ZEROS + 2;

// Bytes read at a time by the block scan.
const int SCAN_CHUNK = 2048;
// The tail of a segment searched for the final EOI.
const int TAIL = 10;

// Quality of the JPEG streams the library writes.
const int JPEG_QUALITY = 75;

// What follows an FF D9 at p[0..avail): the number of zeros before an
// FF D8 when they form a separator, -1 when they do not, -2 when the bytes
// end before that is known.
int separatorAt(const unsigned char* p, long long avail) {
  int z = 0;
  while (z <= MAX_SEPARATOR_ZEROS && 2 + z < avail && p[2 + z] == 0) ++z;
  if (2 + z >= avail) return -2;
  if (z > MAX_SEPARATOR_ZEROS || z % 2 != 0 || p[2 + z] != MARKER) return -1;
  if (3 + z >= avail) return -2;
  return p[3 + z] == SOI ? z : -1;
}

}  // namespace

bool ImageHeader::findNext(const unsigned char* data, int count, int& position, int& zeros) {
  static const unsigned char patterns[5][LONGEST_SEPARATOR] = {
      {MARKER, EOI, MARKER, SOI},
      {MARKER, EOI, 0, 0, MARKER, SOI},
      {MARKER, EOI, 0, 0, 0, 0, MARKER, SOI},
      {MARKER, EOI, 0, 0, 0, 0, 0, 0, MARKER, SOI},
      {MARKER, EOI, 0, 0, 0, 0, 0, 0, 0, 0, MARKER, SOI},
  };
  for (int k = 0; k < 5; ++k) {
    const int found = search(data, count, patterns[k], 4 + 2 * k);
    if (found >= 0) {
      position = found;
      zeros = 2 * k;
      return true;
    }
  }
  position = -1;
  zeros = 0;
  return false;
}

bool ImageHeader::parseJPEGHeaders() {
  if (ic != "C3") return false;
  if (blockStarts != nullptr && blockEnds != nullptr) return true;
  ImageLayout grid;
  if (!ImageLayout::grid(*this, grid)) return false;
  SegmentReader in(*this);
  // Offsets are ints: data beyond 2 GiB hold no blocks.
  const long long length = std::min<long long>(in.available(), INT_MAX);
  const long long blocks = grid.blockColumns * grid.blockRows;
  // Every block is a stream of at least SOI and EOI.
  if (length < TAIL || blocks > length / 4) return false;

  delete[] blockStarts;
  delete[] blockEnds;
  blockCount = static_cast<int>(blocks);
  blockStarts = new int[blocks];
  blockEnds = new int[blocks];
  std::fill(blockStarts, blockStarts + blocks, -1);
  std::fill(blockEnds, blockEnds + blocks, -1);
  blockStarts[0] = 0;

  // The separators in order of position. The window keeps the last
  // LONGEST_SEPARATOR - 1 bytes of the previous chunk, so a separator that
  // straddles two chunks is seen whole.
  const int carry = LONGEST_SEPARATOR - 1;
  std::vector<unsigned char> window(static_cast<size_t>(carry + SCAN_CHUNK));
  long long windowStart = 0;  // data offset of window[0]
  long long held = 0;         // bytes in the window
  long long next = 0;         // data offset of the next byte to read
  long long searchFrom = 0;   // data offset where the next separator may begin
  int block = 0;
  while (block < blocks - 1 && next < length) {
    if (held > carry) {
      std::memmove(window.data(), window.data() + (held - carry), static_cast<size_t>(carry));
      windowStart += held - carry;
      held = carry;
    }
    const long long n = std::min<long long>(SCAN_CHUNK, length - next);
    in.readAt(next, window.data() + held, n);
    held += n;
    next += n;
    const bool atEnd = next >= length;
    const unsigned char* w = window.data();
    for (long long k = std::max(0LL, searchFrom - windowStart); k + 1 < held && block < blocks - 1;
         ++k) {
      const void* hit = std::memchr(w + k, MARKER, static_cast<size_t>(held - k - 1));
      if (hit == nullptr) break;
      k = static_cast<const unsigned char*>(hit) - w;
      if (w[k + 1] != EOI) continue;
      const int zeros = separatorAt(w + k, held - k);
      if (zeros == -2 && !atEnd) break;  // seen again with the next chunk
      if (zeros < 0) continue;
      const long long at = windowStart + k;
      blockEnds[block] = static_cast<int>(at);
      blockStarts[block + 1] = static_cast<int>(at + 2 + zeros);
      ++block;
      searchFrom = at + 2;
    }
  }

  // The last block ends at the last FF of the segment's final bytes.
  unsigned char tail[TAIL];
  in.readAt(length - TAIL, tail, TAIL);
  long long end = length - TAIL;
  for (int k = TAIL - 1; k >= 1; --k) {
    if (tail[k] == MARKER) {
      end = length - TAIL + k;
      break;
    }
  }
  blockEnds[blocks - 1] = static_cast<int>(end);
  return true;
}

bool ImageHeader::copyJPEGBlock(unsigned char* out, long long outSize, int width, int x, int y,
                                int block) {
  ImageLayout grid;
  if (!ImageLayout::grid(*this, grid) || !parseJPEGHeaders()) return false;
  if (block < 0 || block >= blockCount) return false;
  const long long start = blockStarts[block];
  const long long end = blockEnds[block];
  if (start < 0 || end < start) return false;
  SegmentReader in(*this);
  const long long length = std::min(end - start + 2, in.available() - start);
  if (length <= 0) return false;
  std::vector<unsigned char> stream(static_cast<size_t>(length));
  in.readAt(start, stream.data(), length);
  JpegCodec::Placement placement;
  placement.out = out;
  placement.outSize = outSize;
  placement.width = width;
  placement.x = x;
  placement.y = y;
  return JpegCodec::decode(stream.data(), stream.size(), getBPP(), placement, grid.blockWidth,
                           grid.blockHeight);
}

bool ImageHeader::readAllJPEGBlocksRGB() {
  SegmentReader in(*this);
  ImageLayout l;
  if (!ImageLayout::grid(*this, l) || !parseJPEGHeaders()) return false;
  // Bounded by the data the file holds (the picture may be larger than one
  // stream's MAX_SAMPLES: it is decoded block by block).
  if (l.pixelBytes() / 1024 > in.available()) return false;
  delete[] imageData;
  imageDataSize = 0;
  imageData = new (std::nothrow) unsigned char[static_cast<size_t>(l.pixelBytes())]();
  if (imageData == nullptr) return false;
  imageDataSize = l.pixelBytes();
  bool ok = true;
  for (long long i = 0; i < l.usedBlockRows(); ++i) {
    for (long long j = 0; j < l.usedBlockColumns(); ++j) {
      if (!copyJPEGBlock(imageData, imageDataSize, ncols, static_cast<int>(j * l.blockWidth),
                         static_cast<int>(i * l.blockHeight),
                         static_cast<int>(i * l.blockColumns + j))) {
        ok = false;
      }
    }
  }
  return ok;
}

bool ImageHeader::compressBufferInPlace(int width, int height, unsigned char*& buffer,
                                        long long* size) {
  const int bpp = getBPP();
  if ((bpp != 1 && bpp != 3) || buffer == nullptr || size == nullptr || width < 1 || height < 1) {
    return false;
  }
  if (*size < static_cast<long long>(width) * height * bpp) return false;
  std::vector<unsigned char> stream;
  if (!JpegCodec::encode(buffer, width, height, bpp, JPEG_QUALITY, stream)) return false;
  unsigned char* exact = new (std::nothrow) unsigned char[stream.size()];
  if (exact == nullptr) return false;
  std::memcpy(exact, stream.data(), stream.size());
  delete[] buffer;
  buffer = exact;
  *size = static_cast<long long>(stream.size());
  return true;
}

void ImageHeader::compressAndStoreRGBImageFromDisk() {
  ImageLayout l;
  if (imageData == nullptr || !ImageLayout::uncompressed(*this, l)) return;
  // The buffer must hold all NBPR x NBPC blocks of 8-bit samples.
  const long long blockSamples = l.blockSamples();
  if (l.blockColumns * l.blockRows > imageDataSize / blockSamples) return;
  std::vector<unsigned char> pixels(static_cast<size_t>(l.pixelBytes()));
  copyImageDataToBuffer(imageData, pixels.data());
  std::vector<unsigned char> stream;
  if (!JpegCodec::encode(pixels.data(), ncols, nrows, l.bpp, JPEG_QUALITY, stream)) return;
  unsigned char* exact = new (std::nothrow) unsigned char[stream.size()];
  if (exact == nullptr) return;
  std::memcpy(exact, stream.data(), stream.size());
  delete[] imageData;
  imageData = exact;
  imageDataSize = static_cast<long long>(stream.size());
}

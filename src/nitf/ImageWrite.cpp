// Pixel buffer layouts and writing an image segment.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>
#include <new>
#include <stdexcept>
#include <vector>

#include "ImageHeader.h"
#include "ImageLayout.h"

using vuziza_nitf::ImageLayout;
using vuziza_nitf::SegmentReader;

namespace {

const char* const CANNOT_CONVERT =
    "Unable to convert image data. There is currently no mechanism to convert the image data "
    "from the present format to the new one. (Recommended to call setImageFormat before a call "
    "to readImage or readImageChip, and not again after";

// Bytes copied at a time from the source file.
const long long COPY_CHUNK = 1 << 20;

// What write() puts after the subheader.
enum class ImageDataPlan {
  COPY_SOURCE,  // the segment's data copied from the file it was read from
  BLOCKS,       // the RAW buffer as IMODE "B" blocks
  ZERO_BLOCKS,  // IMODE "B" blocks of zeros (no RAW buffer to write)
  NOTHING,
};

// Planes (and samples per buffer pixel) of the block writer: 3 when NBANDS
// is 3, otherwise 1.
int writtenPlanes(const ImageHeader& h) { return h.nbands == 3 ? 3 : 1; }

// NBPR x NBPC x NPPBH x NPPBV x planes; 0 for fields outside 1..9999 (the
// four-digit fields cannot hold more).
long long blockDataLength(const ImageHeader& h) {
  for (int field : {h.nbpr, h.nbpc, h.nppbh, h.nppbv}) {
    if (field <= 0 || field > 9999) return 0;
  }
  return static_cast<long long>(h.nbpr) * h.nbpc * h.nppbh * h.nppbv * writtenPlanes(h);
}

// True when the buffer holds the whole image as RAW samples that the block
// writer can lay out (rows NCOLS x planes bytes).
bool wholeRawBuffer(const ImageHeader& h) {
  if (h.format != ImageHeader::RAW || h.imageData == nullptr || h.nrows < 1 || h.ncols < 1) {
    return false;
  }
  return h.imageDataSize >= static_cast<long long>(h.nrows) * h.ncols * writtenPlanes(h);
}

ImageDataPlan planImageData(ImageHeader& h, long long& length) {
  const long long blocks = blockDataLength(h);
  if (!h.path.empty()) {
    // Written as the file stores it only when the buffer is what the
    // subheader describes; otherwise the stored data go out unchanged.
    const bool storable = wholeRawBuffer(h) && h.bufferWidth == h.ncols &&
                          h.bufferHeight == h.nrows && h.ic == "NC" && h.imode == 'B' &&
                          h.nbpp == 8 && (h.nbands == 1 || h.nbands == 3) &&
                          h.bandCount() == h.getBPP() && blocks > 0 && blocks == h.segmentLength;
    if (storable) {
      length = blocks;
      return ImageDataPlan::BLOCKS;
    }
    // What the file holds of LI (a length field beyond the file's end
    // does not make up data).
    SegmentReader in(h);
    length = in.available();
    return ImageDataPlan::COPY_SOURCE;
  }
  if (h.imode != 'B') {
    length = 0;
    return ImageDataPlan::NOTHING;
  }
  length = blocks;
  return wholeRawBuffer(h) ? ImageDataPlan::BLOCKS : ImageDataPlan::ZERO_BLOCKS;
}

void writeZeros(std::ostream* out, long long count) {
  const std::vector<char> zeros(static_cast<size_t>(std::min(count, COPY_CHUNK)), 0);
  for (long long done = 0; done < count;) {
    const long long n = std::min(count - done, COPY_CHUNK);
    out->write(zeros.data(), n);
    done += n;
  }
}

void copySourceData(ImageHeader& h, std::ostream* out, long long length) {
  SegmentReader in(h);
  std::vector<unsigned char> chunk(static_cast<size_t>(std::min(length, COPY_CHUNK)));
  for (long long done = 0; done < length;) {
    const long long n = std::min(length - done, COPY_CHUNK);
    in.readAt(done, chunk.data(), n);
    out->write(reinterpret_cast<const char*>(chunk.data()), n);
    done += n;
  }
}

}  // namespace

bool doubleIsNAN(double value) { return std::isnan(value); }

int ImageHeader::getBPP() {
  std::string text;
  for (char c : irep) {
    if (c != ' ') text += c;
  }
  return text == "RGB" || text == "RGB/LUT" || text == "YCbCr601" ? 3 : 1;
}

int ImageHeader::setWidthStep() {
  long long step = static_cast<long long>(bufferWidth) * getBPP();
  if (format == OPENCV && step % 4 != 0) step += 4 - step % 4;
  widthStep = static_cast<int>(std::min<long long>(step, 0x7fffffff));
  return widthStep;
}

bool ImageHeader::hasChippedData() { return chippedData; }

bool ImageHeader::imageDataToOpenCV() {
  const long long step = setWidthStep();
  const int bpp = getBPP();
  if (imageData == nullptr || (bpp != 1 && bpp != 3) || bufferWidth < 1 || bufferHeight < 1) {
    return false;
  }
  const long long rowBytes = static_cast<long long>(bufferWidth) * bpp;
  if (imageDataSize < rowBytes * bufferHeight) return false;
  const long long size = step * bufferHeight;
  unsigned char* converted = new (std::nothrow) unsigned char[static_cast<size_t>(size)]();
  if (converted == nullptr) return false;
  for (long long r = 0; r < bufferHeight; ++r) {
    const unsigned char* s = imageData + r * rowBytes;
    unsigned char* d = converted + r * step;
    if (bpp == 1) {
      std::memcpy(d, s, static_cast<size_t>(rowBytes));
      continue;
    }
    for (long long t = 0; t < bufferWidth; ++t) {
      d[3 * t] = s[3 * t + 2];
      d[3 * t + 1] = s[3 * t + 1];
      d[3 * t + 2] = s[3 * t];
    }
  }
  delete[] imageData;
  imageData = converted;
  imageDataSize = size;
  return true;
}

void ImageHeader::setImageFormat(FORMAT newFormat) {
  if (imageData == nullptr) {
    format = newFormat;
    return;
  }
  bool converted = true;
  if (format == RAW) {
    if (newFormat == JPEG) {
      converted = compressBufferInPlace(bufferWidth, bufferHeight, imageData, &imageDataSize);
    } else if (newFormat == OPENCV) {
      converted = imageDataToOpenCV();
    }
  } else if (newFormat != format) {
    converted = false;
  }
  if (!converted) {
    std::cout << CANNOT_CONVERT << std::endl;
    throw std::runtime_error(CANNOT_CONVERT);
  }
  format = newFormat;
}

void ImageHeader::write(std::ostream* out) {
  writeFields(out);
  long long length = 0;
  switch (planImageData(*this, length)) {
    case ImageDataPlan::COPY_SOURCE: copySourceData(*this, out, length); break;
    case ImageDataPlan::BLOCKS: writeInterleavedByBlock(out); break;
    case ImageDataPlan::ZERO_BLOCKS: writeZeros(out, length); break;
    case ImageDataPlan::NOTHING: break;
  }
}

long long ImageHeader::writtenDataLength() {
  long long length = 0;
  planImageData(*this, length);
  return length;
}

void ImageHeader::writeInterleavedByBlock(std::ostream* out) {
  if (format != RAW || nbpc <= 0) return;
  const long long blockLength = blockDataLength(*this);
  if (blockLength <= 0) return;
  if (!wholeRawBuffer(*this)) {
    writeZeros(out, blockLength);
    return;
  }
  const int planes = writtenPlanes(*this);
  const long long width = nppbh;
  const long long height = nppbv;
  const long long planeSize = width * height;
  const long long rowBytes = static_cast<long long>(ncols) * planes;
  std::vector<unsigned char> block(static_cast<size_t>(planeSize * planes));
  for (long long i = 0; i < nbpc; ++i) {
    for (long long j = 0; j < nbpr; ++j) {
      std::fill(block.begin(), block.end(), static_cast<unsigned char>(0));
      const long long columns = std::max(0LL, std::min(width, ncols - j * width));
      const long long rows = std::max(0LL, std::min(height, nrows - i * height));
      for (long long k = 0; k < rows; ++k) {
        const unsigned char* s = imageData + (i * height + k) * rowBytes + j * width * planes;
        unsigned char* d = block.data() + k * width;
        if (planes == 1) {
          std::memcpy(d, s, static_cast<size_t>(columns));
          continue;
        }
        for (long long l = 0; l < columns; ++l) {
          d[l] = s[3 * l];
          d[planeSize + l] = s[3 * l + 1];
          d[2 * planeSize + l] = s[3 * l + 2];
        }
      }
      out->write(reinterpret_cast<const char*>(block.data()),
                 static_cast<std::streamsize>(block.size()));
    }
  }
}

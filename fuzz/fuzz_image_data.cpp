// Image pixels over arbitrary bytes, two ways:
// - the bytes as a NITF file: file header, the first image subheaders, their
//   pixels whole (when small) and as chips, the buffer layouts, and writing
//   the segment back;
// - the bytes after an 8-byte selector as the image data of a subheader the
//   selector describes (size, blocks, bands, IMODE, NBPP, IC "NC" or "C3"),
//   so that the un-blocking, the JPEG block scan and libjpeg see the bytes
//   directly.
// SEEDS: nitf-corpus
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "nitf/FileHeader.h"
#include "nitf/ImageHeader.h"

namespace {

// The largest image whose pixels are read whole.
const long long MAX_WHOLE_PIXELS = 1024LL * 1024;

std::string scratchFile(const char* kind) {
  return std::string("/tmp/fuzz_image_data_") + kind + "_" +
         std::to_string(static_cast<long>(getpid())) + ".ntf";
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void exercise(ImageHeader& image, unsigned selector) {
  if (static_cast<long long>(image.nrows) * image.ncols <= MAX_WHOLE_PIXELS) image.readImage();
  image.readImageChip(static_cast<int>(selector % 97) - 20, static_cast<int>(selector % 61) - 10,
                      33, 17);
  image.readImageChip(image.ncols - 8, image.nrows - 8, 16, 16);
  {
    std::ostringstream out(std::ios::binary);
    image.write(&out);
  }
  // Layout conversions of a RAW buffer; anything else throws.
  try {
    image.setImageFormat((selector & 1) != 0 ? ImageHeader::JPEG : ImageHeader::OPENCV);
    image.setImageFormat(ImageHeader::RAW);
  } catch (const std::runtime_error&) {
  }
}

// A one-image file whose subheader is `image` and whose data are `data`.
std::string singleImageFile(ImageHeader& image, const std::string& data) {
  std::ostringstream fields(std::ios::binary);
  image.writeFields(&fields);
  FileHeader fileHeader;
  fileHeader.numi = 1;
  fileHeader.lish = new int[1]{static_cast<int>(fields.str().size())};
  fileHeader.li = new long long[1]{static_cast<long long>(data.size())};
  std::ostringstream header(std::ios::binary);
  fileHeader.write(&header);
  fileHeader.hl = static_cast<int>(header.str().size());
  fileHeader.fl = fileHeader.hl + static_cast<long long>(fields.str().size() + data.size());
  std::ostringstream file(std::ios::binary);
  fileHeader.write(&file);
  file << fields.str() << data;
  return file.str();
}

void asFile(const std::string& bytes) {
  const std::string path = scratchFile("file");
  writeBytes(path, bytes);
  FileHeader fileHeader;
  fileHeader.read(path);
  const int images = fileHeader.numi < 3 ? fileHeader.numi : 3;
  for (int i = 0; i < images; ++i) {
    ImageHeader image;
    image.read(path, fileHeader, i);
    exercise(image, static_cast<unsigned>(bytes.size()) + static_cast<unsigned>(i));
  }
  std::remove(path.c_str());
}

void asImageData(const uint8_t* data, size_t size) {
  if (size < 8) return;
  const uint8_t* s = data;
  ImageHeader image;
  image.nrows = 1 + (s[0] | (s[1] & 1) << 8);
  image.ncols = 1 + (s[2] | (s[3] & 1) << 8);
  image.nbpr = 1 + (s[4] & 3);
  image.nbpc = 1 + ((s[4] >> 2) & 3);
  image.nppbh = (image.ncols + image.nbpr - 1) / image.nbpr + ((s[4] >> 4) & 3);
  image.nppbv = (image.nrows + image.nbpc - 1) / image.nbpc + ((s[4] >> 6) & 3);
  const bool rgb = (s[5] & 1) != 0;
  image.irep = rgb ? "RGB" : "MONO";
  image.nbands = rgb ? 3 : 1 + ((s[5] >> 1) & 1);  // MONO with one or two bands
  image.imode = (s[5] & 4) != 0 ? 'P' : 'B';
  image.nbpp = (s[5] & 8) != 0 ? 16 : 8;
  image.abpp = image.nbpp == 16 ? 1 + (s[6] & 15) : 8;
  image.ic = (s[5] & 16) != 0 ? "C3" : "NC";
  const std::string body(reinterpret_cast<const char*>(data + 8), size - 8);
  const std::string path = scratchFile("data");
  ImageHeader layout(image);
  writeBytes(path, singleImageFile(layout, body));
  FileHeader fileHeader;
  fileHeader.read(path);
  ImageHeader read;
  read.read(path, fileHeader, 0);
  exercise(read, s[7]);
  std::remove(path.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // setImageFormat reports a refused conversion on standard output.
  static const bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
  (void)quiet;
  asFile(std::string(reinterpret_cast<const char*>(data), size));
  asImageData(data, size);
  return 0;
}

// Whole NITF files over arbitrary bytes: NITF::readFile (file header, every
// image subheader, every data extension segment), then the pixels of every
// image segment, whole and as chips; the file written back and read again.
// SEEDS: nitf-corpus
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "nitf/NITF.h"

namespace {

// The largest image whose pixels are read whole (the chips below are read
// whatever the size).
const long long MAX_WHOLE_PIXELS = 2048LL * 2048;

std::string scratchFile() {
  return "/tmp/fuzz_nitf_file_" + std::to_string(static_cast<long>(getpid())) + ".ntf";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // DESHeader::write reports on standard output.
  static const bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
  (void)quiet;
  const std::string path = scratchFile();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  NITF file(path);
  file.getCorners(0);
  for (ImageHeader& image : file.images) {
    if (static_cast<long long>(image.nrows) * image.ncols <= MAX_WHOLE_PIXELS) image.readImage();
    image.readImageChip(0, 0, 16, 16);
    image.readImageChip(image.ncols - 8, image.nrows - 8, 16, 16);
    image.readImageChip(-5, -5, 10, 10);
  }
  for (DESHeader& segment : file.dataExtensions) {
    DESHeader copy(segment);
    std::ostringstream out;
    copy.write(&out);
  }
  // Written back (the pixels read above, or the stored data), then read
  // again.
  const std::string copyPath = path + ".out";
  file.writeFile(copyPath);
  NITF copy(copyPath);
  std::remove(copyPath.c_str());
  std::remove(path.c_str());
  return 0;
}

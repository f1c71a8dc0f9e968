// The file header and every image subheader over arbitrary bytes: reading,
// extensions, corners, writing back; plus the bytes taken directly as one
// subheader.
// SEEDS: nitf-corpus
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "io/MemoryDataReader.h"
#include "nitf/FileHeader.h"
#include "nitf/ImageHeader.h"

namespace {

void exercise(ImageHeader& header) {
  std::ostringstream out;
  header.writeFields(&out);
  for (const char* tag : {"RPC00B", "ICHIPB", "SENSRB"}) {
    std::unique_ptr<Extension> record(header.getExtension(tag));
  }
  ImageHeader copy(header);
  zel::GeoQuad quad;
  copy.getFourCorners(quad);
  copy.parseIGEOLO(copy.igeolo);
  copy.setGeographicIGEOLO(quad);
  copy.setIGEOLO(quad);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  FileHeader fileHeader;
  fileHeader.read(new MemoryDataReader(bytes));
  {
    std::ostringstream out;
    fileHeader.write(&out);
    FileHeader copy(fileHeader);
  }
  const int images = fileHeader.numi < 4 ? fileHeader.numi : 4;
  for (int i = 0; i < images; ++i) {
    ImageHeader header;
    header.read(new MemoryDataReader(bytes), fileHeader, i);
    exercise(header);
  }

  // The same bytes as the subheader of a file whose header ends at byte 0.
  FileHeader direct;
  direct.hl = 0;
  direct.numi = 1;
  direct.lish = new int[1]{static_cast<int>(size)};
  direct.li = new long long[1]{0};
  ImageHeader header;
  header.read(new MemoryDataReader(bytes), direct, 0);
  exercise(header);
  return 0;
}

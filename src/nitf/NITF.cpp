// The whole-file side of NITF: reading a file's headers, building a file
// from pixel buffers, extension records, corners and data extension
// segments, and writing it.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "NITF.h"

namespace {

// Largest values of the NITF fields an added segment fills.
const int MAX_ROWS_OR_COLUMNS = 99999999;       // NROWS, NCOLS (8 digits)
const long long MAX_IMAGE_LENGTH = 9999999999;  // LI (10 digits)
const int MAX_DES_LENGTH = 999999999;           // LD (9 digits)
const int MAX_IXSHDL = 99999;                   // IXSHDL (5 digits)
const int BITS_PER_SAMPLE = 8;
const char* const SOURCE_NAME = "ZEL NITF";
const char* const IMAGE_ID = "0000000000";

// Grows a length table by one entry `value` (new array, old entries copied).
template <class T>
void appendEntry(T*& table, int count, T value) {
  T* grown = new T[static_cast<size_t>(count) + 1];
  if (table != nullptr) std::copy(table, table + count, grown);
  grown[count] = value;
  delete[] table;
  table = grown;
}

// Makes a table of `count` entries, keeping the first entries of the old one
// (new entries 0).
template <class T>
void resizeTable(T*& table, int oldCount, int count) {
  T* resized = count > 0 ? new T[static_cast<size_t>(count)]() : nullptr;
  if (table != nullptr && resized != nullptr) {
    std::copy(table, table + std::min(oldCount, count), resized);
  }
  delete[] table;
  table = resized;
}

bool hasIGEOLO(const ImageHeader& image) {
  return image.icords != ' ' && !(image.version == 0 && image.icords == 'N');
}

}  // namespace

NITF::NITF() = default;

NITF::NITF(std::string path) { readFile(path); }

// ---- Reading and writing ----

void NITF::readFile(std::string path) {
  filename = path;
  std::ifstream test(path, std::ios::binary);
  if (!test.is_open()) return;
  fileHeader.read(path);
  for (int i = 0; i < fileHeader.numi; ++i) {
    images.emplace_back();
    images.back().read(path, fileHeader, i);
  }
  for (int j = 0; j < fileHeader.numdes; ++j) {
    dataExtensions.emplace_back();
    dataExtensions.back().read(path, fileHeader, j);
  }
}

void NITF::writeFile(std::string path) {
  for (const ImageHeader& image : images) {
    if (image.chippedData) return;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.is_open()) return;
  matchSegmentTables();

  // Every length is measured as it is written; the header is then written
  // again with them (its own size does not depend on their values).
  const std::streamoff start = out.tellp();
  fileHeader.write(&out);
  const std::streamoff headerEnd = out.tellp();
  std::vector<long long> subheaderLengths;
  std::vector<long long> segmentLengths;
  for (ImageHeader& image : images) {
    const std::streamoff segmentStart = out.tellp();
    const long long subheader = writeImageSegment(image, &out);
    subheaderLengths.push_back(subheader);
    segmentLengths.push_back(static_cast<long long>(out.tellp() - segmentStart) - subheader);
  }
  for (DESHeader& segment : dataExtensions) {
    const std::streamoff segmentStart = out.tellp();
    segment.write(&out);
    const long long data =
        segment.data != nullptr && segment.getDESLength() > 0 ? segment.getDESLength() : 0;
    subheaderLengths.push_back(static_cast<long long>(out.tellp() - segmentStart) - data);
    segmentLengths.push_back(data);
  }
  const std::streamoff end = out.tellp();
  if (start < 0 || headerEnd < 0 || end < 0 || !out) return;  // not measurable

  fileHeader.hl = static_cast<int>(headerEnd - start);
  fileHeader.fl = static_cast<long long>(end - start);
  size_t k = 0;
  for (int i = 0; i < fileHeader.numi; ++i, ++k) {
    fileHeader.lish[i] = static_cast<int>(subheaderLengths[k]);
    fileHeader.li[i] = segmentLengths[k];
  }
  for (int j = 0; j < fileHeader.numdes; ++j, ++k) {
    fileHeader.ldsh[j] = static_cast<int>(subheaderLengths[k]);
    fileHeader.ld[j] = static_cast<int>(segmentLengths[k]);
  }
  out.seekp(start);
  fileHeader.write(&out);
  out.seekp(end);
}

long long NITF::writeImageSegment(ImageHeader& image, std::ostream* out) {
  std::ostringstream fields(std::ios::binary);
  image.writeFields(&fields);
  image.write(out);
  return static_cast<long long>(fields.str().size());
}

void NITF::matchSegmentTables() {
  FileHeader& h = fileHeader;
  const int imageCount = static_cast<int>(images.size());
  if (h.numi != imageCount) {
    resizeTable(h.lish, h.numi, imageCount);
    resizeTable(h.li, h.numi, imageCount);
    h.numi = imageCount;
  }
  const int desCount = static_cast<int>(dataExtensions.size());
  if (h.numdes != desCount) {
    resizeTable(h.ldsh, h.numdes, desCount);
    resizeTable(h.ld, h.numdes, desCount);
    h.numdes = desCount;
  }
}

// ---- Building ----

bool NITF::addImageSubHeader(unsigned char* pixels, ImageHeader::FORMAT format, long long size,
                             int rows, int cols, IREP irep) {
  if (format != ImageHeader::RAW) return false;
  if (irep != MONO && irep != RGB) return false;
  if (rows <= 0 || cols <= 0 || rows > MAX_ROWS_OR_COLUMNS || cols > MAX_ROWS_OR_COLUMNS) {
    return false;
  }
  const int bands = irep == RGB ? 3 : 1;
  const long long pixelBytes = static_cast<long long>(rows) * cols * bands;
  if (pixels == nullptr || (size > 0 && size < pixelBytes)) return false;
  const long long blocksPerRow = (cols + IMAGE_BLOCK_SIZE - 1) / IMAGE_BLOCK_SIZE;
  const long long blocksPerColumn = (rows + IMAGE_BLOCK_SIZE - 1) / IMAGE_BLOCK_SIZE;
  const long long imageLength =
      blocksPerRow * blocksPerColumn * IMAGE_BLOCK_SIZE * IMAGE_BLOCK_SIZE * bands;
  if (imageLength > MAX_IMAGE_LENGTH) return false;

  images.emplace_back();
  ImageHeader& image = images.back();
  image.iid1 = IMAGE_ID;
  image.idatim = getTimeString();
  image.isorce = SOURCE_NAME;
  image.nrows = rows;
  image.ncols = cols;
  image.ic = "NC";
  if (irep == RGB) {
    image.irep = "RGB";
    image.nbands = 3;
    initHeaderBandsRGB(image);
  } else {
    image.irep = "MONO";
    image.nbands = 1;
    initHeaderBandsMONO(image);
  }
  image.format = ImageHeader::RAW;
  image.nppbh = IMAGE_BLOCK_SIZE;
  image.nppbv = IMAGE_BLOCK_SIZE;
  image.imageData = pixels;
  image.bufferWidth = cols;
  image.bufferHeight = rows;
  // The size of the buffer handed over (the segment's data add pad pixels).
  image.imageDataSize = pixelBytes;
  image.nbpr = static_cast<int>(blocksPerRow);
  image.nbpc = static_cast<int>(blocksPerColumn);
  image.nbpp = BITS_PER_SAMPLE;
  image.abpp = BITS_PER_SAMPLE;

  const int subheaderLength = image.nbands * ImageHeader::BAND_LENGTH + ImageHeader::FIXED_LENGTH;
  appendEntry(fileHeader.lish, fileHeader.numi, subheaderLength);
  appendEntry(fileHeader.li, fileHeader.numi, imageLength);
  ++fileHeader.numi;
  image.segmentLength = imageLength;
  fileHeader.hl += IMAGE_TABLE_ENTRY_LENGTH;
  fileHeader.fl += IMAGE_TABLE_ENTRY_LENGTH + subheaderLength + imageLength;
  return true;
}

bool NITF::initHeaderBandsRGB(ImageHeader& image) {
  clearBandFields(image);
  image.irepband = {"R", "G", "B"};
  image.isubcat.assign(3, std::string());
  image.ifc.assign(3, "N");
  image.imflt.assign(3, std::string());
  image.nluts.assign(3, 0);
  image.nelut.assign(3, 0);
  image.lutd.assign(3, std::vector<unsigned char>());
  return true;
}

bool NITF::initHeaderBandsMONO(ImageHeader& image) {
  clearBandFields(image);
  image.irepband = {"M"};
  image.isubcat.assign(1, std::string());
  image.ifc.assign(1, "N");
  image.imflt.assign(1, std::string());
  image.nluts.assign(1, 0);
  image.nelut.assign(1, 0);
  image.lutd.assign(1, std::vector<unsigned char>());
  return true;
}

void NITF::clearBandFields(ImageHeader& image) {
  image.irepband.clear();
  image.isubcat.clear();
  image.ifc.clear();
  image.imflt.clear();
  image.nluts.clear();
  image.nelut.clear();
  image.lutd.clear();
}

bool NITF::addTreSegment(Extension* extension, unsigned int index) {
  if (extension == nullptr) return false;
  if (index >= images.size() || static_cast<long long>(index) >= fileHeader.numi ||
      fileHeader.lish == nullptr) {
    delete extension;
    return false;
  }
  ImageHeader& image = images[index];
  const long long record =
      EXTENSION_RECORD_HEADER + static_cast<long long>(extension->getText().size());
  const long long overflowField = image.ixshdl <= 0 ? image.fieldLengths[ImageHeader::IXSOFL] : 0;
  if (std::max(image.ixshdl, 0) + overflowField + record > MAX_IXSHDL) {
    delete extension;
    return false;
  }
  const int before = image.ixshdl > 0 ? image.ixshdl : 0;
  image.addExtension(extension);
  const int grown = image.ixshdl - before;
  fileHeader.lish[index] += grown;
  fileHeader.fl += grown;
  return true;
}

bool NITF::addIGEOLO(zel::GeoQuad& corners, NITF::GEO_FORMAT form, unsigned int index) {
  if (form != GEOGRAPHIC && form != DECIMAL) return false;
  if (index >= images.size() || static_cast<long long>(index) >= fileHeader.numi ||
      fileHeader.lish == nullptr) {
    return false;
  }
  ImageHeader& image = images[index];
  const bool hadIGEOLO = hasIGEOLO(image);
  if (form == GEOGRAPHIC) {
    image.setGeographicIGEOLO(corners);
  } else {
    image.setIGEOLO(corners);
  }
  // The stored corners follow the text, as a reading of the written file
  // would give them (seconds rounded in the geographic form).
  image.parseIGEOLO(image.igeolo);
  // A second call replaces the text: the subheader does not grow again.
  if (!hadIGEOLO) {
    fileHeader.lish[index] += IGEOLO_LENGTH;
    fileHeader.fl += IGEOLO_LENGTH;
  }
  return true;
}

bool NITF::addDataExtensionSegment(std::string desid, int desver, const char* data, int length) {
  if (length < 0 || length > MAX_DES_LENGTH || (data == nullptr && length > 0)) return false;
  dataExtensions.emplace_back();
  DESHeader& segment = dataExtensions.back();
  if (fileHeader.version == 0) {
    // A segment of a NITF 2.0 file takes that layout.
    segment.version = 0;
    segment.switchTo20();
  }
  segment.desid = desid;
  segment.desver = desver;
  if (length > 0) {
    segment.data = new char[static_cast<size_t>(length)];
    std::copy(data, data + length, segment.data);
  }
  segment.setDESLength(length);

  // 200 bytes, 209 for a "TRE_OVERFLOW" segment (DESOFLW and DESITEM).
  std::ostringstream subheader(std::ios::binary);
  const int subheaderLength = segment.writeSubheader(&subheader);
  appendEntry(fileHeader.ldsh, fileHeader.numdes, subheaderLength);
  appendEntry(fileHeader.ld, fileHeader.numdes, length);
  ++fileHeader.numdes;
  fileHeader.hl += DES_TABLE_ENTRY_LENGTH;
  fileHeader.fl += DES_TABLE_ENTRY_LENGTH + subheaderLength + length;
  return true;
}

// ---- Queries ----

bool NITF::checkIfOpen() { return !images.empty(); }

bool NITF::checkImageNumber(int n) {
  return checkIfOpen() && n >= 0 && n < fileHeader.numi && n < static_cast<int>(images.size());
}

zel::GeoQuad NITF::getCorners(int n) {
  zel::GeoQuad quad;
  if (checkImageNumber(n)) images[static_cast<size_t>(n)].getFourCorners(quad);
  return quad;
}

std::string NITF::getFilename() { return filename; }

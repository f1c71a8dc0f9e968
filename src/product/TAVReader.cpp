#include "TAVReader.h"

#include <algorithm>
#include <memory>

#include "../io/DataReader.h"
#include "../nitf/NITF.h"
#include "../tre/ICHIPB.h"
#include "../tre/RPC00B.h"

std::string TAVReader::desshf = "length != 81";

namespace {

const char* const FORM1_DESSHF = "length != 81";
constexpr int DESSHF_LENGTH = 81;
constexpr int DES_ID_PREFIX = 2 + 25;  // DE, DESID

// Field widths of the NITF 2.1 file header that the scanner relies on.
constexpr int CLEVEL_THROUGH_FL = 345;
// Image subheader: IM + IID1; TGTID .. ISORCE; ICAT + ABPP + PJUST;
// IREPBANDn .. IMFLTn; ISYNC .. IMAG.
constexpr int IM_AND_IID1 = 12;
constexpr int TGTID_THROUGH_ISORCE = 307;
constexpr int ICAT_THROUGH_PJUST = 11;
constexpr int BAND_FIELDS_BEFORE_LUTS = 12;
constexpr int ISYNC_THROUGH_IMAG = 40;
constexpr int RESERVED_LENGTH_PAIR = 4 + 7;
// Data read without a known file size is taken in pieces of this size, so
// that a length field alone never sizes an allocation.
constexpr long long UNSIZED_READ_PIECE = 1 << 20;

// Leaves `reader` failed for good (the state every caller already checks).
void failReader(DataReader* reader) {
  reader->seek(0, FROM_END);
  unsigned char byte;
  reader->read(&byte, 1);
  if (reader->tell() >= 0) reader->seek(-1, FROM_START);
}

bool failed(DataReader* reader) { return reader->tell() < 0; }

// Steps forward `count` bytes; a negative count, or one past the end of a
// reader that knows its size, fails the reader.
void skip(DataReader* reader, long long count) {
  if (failed(reader)) return;
  const long long left = reader->remaining();
  if (count < 0 || (left >= 0 && count > left)) {
    failReader(reader);
    return;
  }
  if (count > 0) reader->seek(count, FROM_CURRENT);
}

std::string readText(DataReader* reader, int width) {
  std::string value;
  NITF::readStringTag(reader, width, value);
  return value;
}

int readInt(DataReader* reader, int width) {
  int value = 0;
  NITF::readIntTag(reader, width, value);
  return value;
}

long long readLongLong(DataReader* reader, int width) {
  long long value = 0;
  NITF::readLongLongTag(reader, width, value);
  return value;
}

std::string trimmed(const std::string& text) {
  const char* const space = " \t\n\v\f\r";
  const size_t first = text.find_first_not_of(space);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

// `count` bytes of the segment data, or null (and the reader failed) when the
// data are not all there. Readers that know their size are checked before
// the allocation; others are read in pieces.
std::unique_ptr<char[]> readBlock(DataReader* reader, long long count) {
  const long long left = reader->remaining();
  if (failed(reader) || count < 0 || count > INT32_MAX || (left >= 0 && count > left)) {
    failReader(reader);
    return nullptr;
  }
  if (left >= 0) {
    std::unique_ptr<char[]> block(new char[static_cast<size_t>(count)]);
    reader->read(reinterpret_cast<unsigned char*>(block.get()), count);
    if (reader->count() != count) return nullptr;
    return block;
  }
  std::vector<char> pieces;
  while (static_cast<long long>(pieces.size()) < count) {
    const long long piece =
        std::min(UNSIZED_READ_PIECE, count - static_cast<long long>(pieces.size()));
    const size_t start = pieces.size();
    pieces.resize(start + static_cast<size_t>(piece));
    reader->read(reinterpret_cast<unsigned char*>(pieces.data() + start), piece);
    if (reader->count() != piece) return nullptr;
  }
  std::unique_ptr<char[]> block(new char[static_cast<size_t>(count)]);
  std::copy(pieces.begin(), pieces.end(), block.get());
  return block;
}

// After DE and DESID: steps to the end of the subheader and, for the
// TAV001 form, re-reads its last 81 bytes into `desshf`.
void finishElevationSubheader(DataReader* reader, TAVReader::TAVVersion version,
                              const TAVReader::SegmentStat& segment) {
  skip(reader, segment.subheaderLength - DES_ID_PREFIX);
  if (version == TAVReader::ELEVATION_V1) {
    TAVReader::desshf = FORM1_DESSHF;
  } else if (version == TAVReader::ELEVATION_V2) {
    reader->seek(-DESSHF_LENGTH, FROM_CURRENT);
    std::string text = readText(reader, DESSHF_LENGTH);
    if (!failed(reader)) TAVReader::desshf = text;
  }
}

TAVReader::TAVVersion versionOf(const std::string& desid) {
  const std::string id = trimmed(desid);
  if (id == "DORARI") return TAVReader::ELEVATION_V1;
  if (id == "TAV001") return TAVReader::ELEVATION_V2;
  return TAVReader::NOT_ELEVATION;
}

void releaseRecords(TAVReader::ImageStat& image) {
  delete image.rpc00b;
  delete image.ichipb;
  image.rpc00b = nullptr;
  image.ichipb = nullptr;
}

void releaseScan(TAVReader::NITFStat& stat) {
  delete stat.rpc00b;
  delete stat.ichipb;
  stat.rpc00b = nullptr;
  stat.ichipb = nullptr;
  for (auto& elevation : stat.elevations) delete[] elevation.data;
  stat.elevations.clear();
  stat.valid = false;
}

// Takes the records of `image` into `stat` when it has both; otherwise
// releases them.
void takeImageIfComplete(TAVReader::ImageStat& image, TAVReader::NITFStat& stat) {
  if (image.rpc00b == nullptr || image.ichipb == nullptr) {
    releaseRecords(image);
    return;
  }
  delete stat.rpc00b;
  delete stat.ichipb;
  stat.dateTime = image.dateTime;
  stat.rows = image.rows;
  stat.columns = image.columns;
  stat.rpc00b = image.rpc00b;
  stat.ichipb = image.ichipb;
  image.rpc00b = nullptr;
  image.ichipb = nullptr;
}

void skipSegments(DataReader* reader, const std::vector<TAVReader::SegmentStat>& segments) {
  for (const auto& segment : segments) {
    skip(reader, segment.subheaderLength);
    skip(reader, segment.dataLength);
  }
}

// The extension records of the extended subheader data area: RPC00B and
// ICHIPB are decoded, others stepped over. A later record of a tag replaces
// an earlier one.
void readExtendedSubheaderData(DataReader* reader, TAVReader::ImageStat& stat) {
  const int areaLength = readInt(reader, 5);
  if (areaLength <= 0) return;
  skip(reader, 3);  // IXSOFL
  for (int offset = 3; offset < areaLength && !failed(reader);) {
    const std::string tag = readText(reader, 6);
    const int length = readInt(reader, 5);
    const long long left = reader->remaining();
    if (failed(reader) || length < 0 || (left >= 0 && length > left)) {
      failReader(reader);
      return;
    }
    if (tag == "RPC00B") {
      const std::string text = readText(reader, length);
      delete stat.rpc00b;
      stat.rpc00b = new RPC00B(tag, length, text);
    } else if (tag == "ICHIPB") {
      const std::string text = readText(reader, length);
      delete stat.ichipb;
      stat.ichipb = new ICHIPB(tag, length, text);
    } else {
      skip(reader, length);
    }
    offset += length + 11;
  }
}

}  // namespace

void TAVReader::readSegmentLengths(DataReader* reader, std::vector<SegmentStat>& out, int count,
                                   int subheaderWidth, int dataWidth) {
  for (int i = 0; i < count && !failed(reader); ++i) {
    SegmentStat segment;
    segment.subheaderLength = readLongLong(reader, subheaderWidth);
    segment.dataLength = readLongLong(reader, dataWidth);
    out.push_back(segment);
  }
}

void TAVReader::readFileHeader(DataReader* reader, FileStat& stat) {
  stat.valid = false;
  if (readText(reader, 4) != "NITF") return;
  if (readText(reader, 5) != "02.10") return;
  skip(reader, CLEVEL_THROUGH_FL);
  stat.headerLength = readInt(reader, 6);
  readSegmentLengths(reader, stat.images, readInt(reader, 3), 6, 10);
  readSegmentLengths(reader, stat.graphics, readInt(reader, 3), 4, 6);
  skip(reader, 3);  // NUMX
  readSegmentLengths(reader, stat.texts, readInt(reader, 3), 4, 5);
  const int dataExtensions = readInt(reader, 3);
  if (dataExtensions == 0) return;
  readSegmentLengths(reader, stat.dataExtensions, dataExtensions, 4, 9);
  skip(reader, static_cast<long long>(readInt(reader, 3)) * RESERVED_LENGTH_PAIR);
  skip(reader, readInt(reader, 5));  // UDHOFL and UDHD
  skip(reader, readInt(reader, 5));  // XHDLOFL and XHD
  stat.valid = !failed(reader);
}

void TAVReader::readImageHeader(DataReader* reader, ImageStat& stat) {
  skip(reader, IM_AND_IID1);
  stat.dateTime = readText(reader, 14);
  skip(reader, TGTID_THROUGH_ISORCE);
  stat.rows = readInt(reader, 8);
  stat.columns = readInt(reader, 8);
  skip(reader, 3);      // PVTYPE
  readText(reader, 8);  // IREP
  skip(reader, ICAT_THROUGH_PJUST);
  if (readText(reader, 1) != " ") skip(reader, 60);  // IGEOLO
  const int comments = readInt(reader, 1);
  if (comments > 0) skip(reader, comments * 80LL);
  const std::string compression = readText(reader, 2);
  if (compression != "NC" && compression != "NM") skip(reader, 4);  // COMRAT
  const int bands = readInt(reader, 1);
  const int extraBands = bands == 0 ? readInt(reader, 5) : 0;
  for (int band = 0; band < std::max(bands, extraBands) && !failed(reader); ++band) {
    skip(reader, BAND_FIELDS_BEFORE_LUTS);
    const int luts = readInt(reader, 1);
    if (luts > 0) skip(reader, static_cast<long long>(luts) * readInt(reader, 5));
  }
  skip(reader, ISYNC_THROUGH_IMAG);
  skip(reader, readInt(reader, 5));  // UDOFL and UDID: not examined
  readExtendedSubheaderData(reader, stat);
}

bool TAVReader::isTavDes(DataReader* reader, TAVVersion& version) {
  skip(reader, 2);  // DE
  version = versionOf(readText(reader, 25));
  return version != NOT_ELEVATION;
}

bool TAVReader::hasDORARIElevationData(DataReader* reader, SegmentStat segment) {
  TAVVersion version = NOT_ELEVATION;
  isTavDes(reader, version);
  finishElevationSubheader(reader, version, segment);
  skip(reader, segment.dataLength);
  return version != NOT_ELEVATION && !failed(reader);
}

char* TAVReader::readDORARIElevationData(DataReader* reader, SegmentStat segment) {
  TAVVersion version = NOT_ELEVATION;
  isTavDes(reader, version);
  finishElevationSubheader(reader, version, segment);
  if (version == NOT_ELEVATION) {
    skip(reader, segment.dataLength);
    return nullptr;
  }
  return readBlock(reader, segment.dataLength).release();
}

std::string TAVReader::getDesshf() { return desshf; }

bool TAVReader::isElevationDesid(const std::string& desid) {
  return versionOf(desid) != NOT_ELEVATION;
}

void TAVReader::parse(DataReader* reader, NITFStat& stat) {
  FileStat file;
  readFileHeader(reader, file);
  stat.valid = file.valid;
  if (!stat.valid) return;

  for (const SegmentStat& segment : file.images) {
    ImageStat image;
    readImageHeader(reader, image);
    takeImageIfComplete(image, stat);
    skip(reader, segment.dataLength);
  }
  if (failed(reader) || stat.rpc00b == nullptr || stat.ichipb == nullptr) {
    if (failed(reader)) releaseScan(stat);
    stat.valid = false;
    return;
  }
  skipSegments(reader, file.graphics);
  skipSegments(reader, file.texts);

  stat.valid = false;
  for (const SegmentStat& segment : file.dataExtensions) {
    TAVVersion version = NOT_ELEVATION;
    isTavDes(reader, version);
    finishElevationSubheader(reader, version, segment);
    if (version == NOT_ELEVATION) {
      skip(reader, segment.dataLength);
    } else {
      std::unique_ptr<char[]> data = readBlock(reader, segment.dataLength);
      if (!data) break;
      stat.elevations.push_back({data.release(), static_cast<int>(segment.dataLength), desshf});
      stat.valid = true;
    }
    if (failed(reader)) break;
  }
  if (failed(reader)) releaseScan(stat);
}

bool TAVReader::isTAV(DataReader* reader) {
  FileStat file;
  readFileHeader(reader, file);
  if (!file.valid) return false;
  skipSegments(reader, file.images);
  skipSegments(reader, file.graphics);
  skipSegments(reader, file.texts);
  for (const SegmentStat& segment : file.dataExtensions) {
    if (failed(reader)) return false;
    if (hasDORARIElevationData(reader, segment)) return true;
  }
  return false;
}

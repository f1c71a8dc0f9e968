// Image pixels from files the tests build: un-blocking of IMODE "B" and "P",
// 16-bit conversion, chips and their white margins, the JPEG block scan and
// decoding, buffer layouts, and writing a segment's data.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "io/MemoryDataReader.h"
#include "nitf/FileHeader.h"
#include "nitf/ImageHeader.h"
#include "nitf/JpegBlocks.h"
#include "support/TestPaths.h"

namespace {

using Sample = std::function<int(long long row, long long column, int band)>;

// The 8-bit test picture.
int pattern8(long long row, long long column, int band) {
  return static_cast<int>((row * 7 + column * 13 + band * 101) & 0xFF);
}

// A subheader for an uncompressed picture of rows x columns in blocks of
// blockWidth x blockHeight.
ImageHeader subheader(int rows, int columns, int bands, char imode, int blockWidth, int blockHeight,
                      int nbpp = 8, int abpp = 8) {
  ImageHeader h;
  h.nrows = rows;
  h.ncols = columns;
  h.irep = bands == 3 ? "RGB" : "MONO";
  h.nbands = bands;
  h.imode = imode;
  h.nppbh = blockWidth;
  h.nppbv = blockHeight;
  h.nbpr = (columns + blockWidth - 1) / blockWidth;
  h.nbpc = (rows + blockHeight - 1) / blockHeight;
  h.nbpp = nbpp;
  h.abpp = abpp;
  return h;
}

// The segment's data for `sample`: all blocks, pads 0, laid out by IMODE
// (band planes for "B", interleaved pixels for "P"), 8 or 16 bits
// (big-endian).
std::string blockedData(const ImageHeader& h, const Sample& sample) {
  std::string data;
  const int bands = h.bandCount();
  const auto put = [&](long long row, long long column, int band) {
    const int v = row < h.nrows && column < h.ncols ? sample(row, column, band) : 0;
    if (h.nbpp == 16) data += static_cast<char>(v >> 8);
    data += static_cast<char>(v & 0xFF);
  };
  for (long long i = 0; i < h.nbpc; ++i) {
    for (long long j = 0; j < h.nbpr; ++j) {
      for (int b = 0; b < (h.imode == 'B' ? bands : 1); ++b) {
        for (long long k = 0; k < h.nppbv; ++k) {
          for (long long l = 0; l < h.nppbh; ++l) {
            if (h.imode == 'B') {
              put(i * h.nppbv + k, j * h.nppbh + l, b);
            } else {
              for (int p = 0; p < bands; ++p) put(i * h.nppbv + k, j * h.nppbh + l, p);
            }
          }
        }
      }
    }
  }
  return data;
}

// Writes a one-image file with `image`'s subheader and `data`, and returns
// the segment read back from it (pixels not read).
std::unique_ptr<ImageHeader> fileWith(const std::string& name, ImageHeader& image,
                                      const std::string& data) {
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
  const std::string path = testsupport::scratchPath("imagedata-" + name + ".ntf");
  testsupport::writeWholeFile(path, file.str());

  FileHeader readBack;
  readBack.read(path);
  auto segment = std::make_unique<ImageHeader>();
  segment->read(path, readBack, 0);
  return segment;
}

// Pixels of the buffer (a picture of width x height at column x, row y)
// that differ from `sample` by more than `tolerance`; outside the image 255.
long long mismatches(const ImageHeader& h, const Sample& sample, int x, int y, int width,
                     int height, int tolerance = 0) {
  const int bpp = h.imageDataSize / (static_cast<long long>(width) * height);
  long long count = 0;
  for (long long r = 0; r < height; ++r) {
    for (long long c = 0; c < width; ++c) {
      const long long row = y + r, column = x + c;
      const bool inside = row >= 0 && column >= 0 && row < h.nrows && column < h.ncols;
      for (int b = 0; b < bpp; ++b) {
        const int expected = inside ? sample(row, column, b) : 255;
        if (std::abs(h.imageData[(r * width + c) * bpp + b] - expected) > tolerance) ++count;
      }
    }
  }
  return count;
}

// ---- Uncompressed data ----

struct UncompressedCase {
  const char* name;
  int rows, columns, bands;
  char imode;
  int blockWidth, blockHeight, nbpp, abpp;
};

class Uncompressed : public ::testing::TestWithParam<UncompressedCase> {};

TEST_P(Uncompressed, WholeImageAndChipsMatchThePicture) {
  const UncompressedCase& c = GetParam();
  ImageHeader h =
      subheader(c.rows, c.columns, c.bands, c.imode, c.blockWidth, c.blockHeight, c.nbpp, c.abpp);
  // 16-bit samples use ABPP bits; we read them scaled to 8.
  const Sample stored = [&](long long r, long long col, int b) {
    return c.nbpp == 16 ? static_cast<int>((r * 31 + col * 17 + b * 1000) % (1 << c.abpp))
                        : pattern8(r, col, b);
  };
  const Sample read8 = [&](long long r, long long col, int b) {
    return c.nbpp == 16 ? (stored(r, col, b) << 8) >> c.abpp : stored(r, col, b);
  };
  auto segment = fileWith(c.name, h, blockedData(h, stored));

  ASSERT_TRUE(segment->readImage());
  ASSERT_EQ(segment->imageDataSize, static_cast<long long>(c.rows) * c.columns * c.bands);
  EXPECT_EQ(mismatches(*segment, read8, 0, 0, c.columns, c.rows), 0);
  EXPECT_EQ(segment->reader, nullptr);

  const int chips[][4] = {{c.columns - 50, c.rows - 20, 100, 50},  // beyond right and bottom
                          {-10, -4, 40, 30},                       // before the first pixel
                          {c.blockWidth - 3, c.blockHeight - 2, 9, 7},
                          {c.columns + 1, 0, 8, 8}};  // wholly outside: white
  for (const auto& chip : chips) {
    SCOPED_TRACE(::testing::Message() << chip[0] << "," << chip[1]);
    ASSERT_TRUE(segment->readImageChip(chip[0], chip[1], chip[2], chip[3]));
    EXPECT_EQ(mismatches(*segment, read8, chip[0], chip[1], chip[2], chip[3]), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ImageData, Uncompressed,
    ::testing::Values(UncompressedCase{"rgb_by_block_700x1000", 1000, 700, 3, 'B', 512, 512, 8, 8},
                      UncompressedCase{"rgb_by_pixel_700x1000", 1000, 700, 3, 'P', 512, 512, 8, 8},
                      UncompressedCase{"mono_by_block", 90, 130, 1, 'B', 64, 32, 8, 8},
                      UncompressedCase{"rgb16_by_pixel", 70, 100, 3, 'P', 32, 32, 16, 12},
                      UncompressedCase{"rgb16_by_block", 70, 100, 3, 'B', 48, 40, 16, 11},
                      UncompressedCase{"mono16_abpp16", 40, 50, 1, 'B', 50, 40, 16, 16}),
    [](const ::testing::TestParamInfo<UncompressedCase>& info) { return info.param.name; });

TEST(ImageData, UnblocksTheLastPixelOf700x1000FromItsBlock) {
  // Pixel (row 999, column 699) lies in block row 1, block column 1, at
  // block pixel (487, 187) of each band plane.
  ImageHeader h = subheader(1000, 700, 3, 'B', 512, 512);
  std::string blocked(3 * 4 * 512 * 512, '\0');
  const long long block = 3LL * 512 * 512 * (1 * 2 + 1);
  for (int b = 0; b < 3; ++b)
    blocked[block + b * 512 * 512 + 487 * 512 + 187] = static_cast<char>(40 + b);
  std::vector<unsigned char> pixels(1000 * 700 * 3, 9);
  h.copyImageDataToBuffer(reinterpret_cast<unsigned char*>(&blocked[0]), pixels.data());
  const size_t last = (999 * 700 + 699) * 3;
  EXPECT_EQ(pixels[last], 40);
  EXPECT_EQ(pixels[last + 1], 41);
  EXPECT_EQ(pixels[last + 2], 42);
  EXPECT_EQ(pixels[last - 3], 0);

  // The same block alone, as a compact 188 x 488 picture.
  std::vector<unsigned char> picture(188 * 488 * 3, 9);
  h.IBB2RGB(reinterpret_cast<unsigned char*>(&blocked[block]), picture.data(), 1, 1);
  EXPECT_EQ(picture[(487 * 188 + 187) * 3 + 2], 42);

  // IMODE "S" is not un-blocked: the destination stays as it was.
  h.imode = 'S';
  std::vector<unsigned char> untouched(1000 * 700 * 3, 9);
  h.copyImageDataToBuffer(reinterpret_cast<unsigned char*>(&blocked[0]), untouched.data());
  EXPECT_EQ(untouched[last], 9);
}

TEST(ImageData, SixteenBitSamplesScaleByAbpp) {
  struct Case {
    unsigned value;
    int abpp;
    int expected;
  } const cases[] = {{0x07FF, 11, 255},
                     {0x0400, 11, 128},
                     {0x1234, 16, 0x12},
                     {0xFFFF, 16, 255},
                     {0x00FF, 8, 255},
                     {0x000F, 4, 240},
                     {0x0000, 11, 0},
                     // beyond ABPP bits (bad data): saturates instead of wrapping
                     {0xFFFF, 11, 255},
                     {0x0800, 11, 255}};
  for (const Case& c : cases) {
    ImageHeader h;
    h.abpp = c.abpp;
    const unsigned char bytes[2] = {static_cast<unsigned char>(c.value >> 8),
                                    static_cast<unsigned char>(c.value & 0xFF)};
    MemoryDataReader reader(bytes, 2);
    unsigned char out[2] = {7, 7};
    h.readAndConvert16BitData(&reader, out, 2);  // the second sample is missing
    EXPECT_EQ(out[0], c.expected) << std::hex << c.value << " abpp " << std::dec << c.abpp;
    EXPECT_EQ(out[1], 0);
  }
}

TEST(ImageData, LayoutsNotDecodedAreRefusedAndChipsStayWhite) {
  struct Case {
    const char* name;
    std::function<void(ImageHeader&)> change;
  } const cases[] = {
      {"imode_s", [](ImageHeader& h) { h.imode = 'S'; }},
      {"nbpp_12", [](ImageHeader& h) { h.nbpp = 12; }},
      {"ic_c8", [](ImageHeader& h) { h.ic = "C8"; }},
      {"blocks_short_of_image", [](ImageHeader& h) { h.nbpr = 1; }},
      {"zero_blocks", [](ImageHeader& h) { h.nbpc = 0; }},
      {"rgb_irep_one_band", [](ImageHeader& h) { h.nbands = 1; }},
      {"huge_rows",
       [](ImageHeader& h) {
         h.nrows = 99999999;
         h.nbpc = 9999;
         h.nppbv = 9999;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ImageHeader h = subheader(40, 60, 3, 'B', 32, 32);
    const std::string data = blockedData(h, pattern8);
    c.change(h);
    auto segment = fileWith(c.name, h, data);
    EXPECT_FALSE(segment->readImage());
    EXPECT_FALSE(segment->readImageChip(5, 5, 10, 10));
    ASSERT_EQ(segment->imageDataSize, 10 * 10 * segment->getBPP());
    for (long long i = 0; i < segment->imageDataSize; ++i) ASSERT_EQ(segment->imageData[i], 255);
  }
  // A segment not read from a file, and an empty chip.
  ImageHeader memory = subheader(40, 60, 1, 'B', 32, 32);
  EXPECT_FALSE(memory.readImage());
  EXPECT_FALSE(memory.readImageChip(0, 0, 0, 5));
}

TEST(ImageData, OneBandWithLookUpTablesReadsAsRgb) {
  ImageHeader h = subheader(3, 4, 1, 'B', 4, 3);
  h.irep = "RGB/LUT";
  h.nluts = {3};
  h.nelut = {4};
  h.lutd = {{10, 11, 12, 13, 20, 21, 22, 23, 30, 31, 32, 33}};
  // Values 4 and 5 lie beyond the table's four entries.
  const Sample value = [](long long r, long long c, int) {
    return static_cast<int>((r * 4 + c) % 6);
  };
  auto segment = fileWith("lut", h, blockedData(h, value));
  ASSERT_TRUE(segment->readImage());
  ASSERT_EQ(segment->imageDataSize, 3 * 4 * 3);
  for (int p = 0; p < 12; ++p) {
    for (int b = 0; b < 3; ++b) {
      const int v = p % 6;
      EXPECT_EQ(segment->imageData[p * 3 + b], v < 4 ? 10 * (b + 1) + v : 0) << p << " " << b;
    }
  }
  // Row 1, columns 1 and 2: values 5 (beyond the table) and 0.
  ASSERT_TRUE(segment->readImageChip(1, 1, 2, 1));
  const unsigned char expected[6] = {0, 0, 0, 10, 20, 30};
  EXPECT_EQ(0, std::memcmp(segment->imageData, expected, 6));
}

TEST(ImageData, FileCutShortReadsItsMissingBytesAsZero) {
  ImageHeader h = subheader(20, 30, 1, 'B', 30, 20);
  std::string data = blockedData(h, pattern8);
  data.resize(data.size() - 5);
  auto segment = fileWith("cut_short", h, data);
  segment->segmentLength += 5;  // LI as declared, beyond the end of the file
  ASSERT_TRUE(segment->readImage());
  EXPECT_EQ(segment->imageData[20 * 30 - 6], pattern8(19, 24, 0));
  EXPECT_EQ(segment->imageData[20 * 30 - 1], 0);
}

// ---- Byte patterns of the JPEG block scan ----

TEST(ImageData, FindNextTriesTheSeparatorsInOrder) {
  ImageHeader h;
  int position = 0, zeros = 0;
  struct Case {
    std::vector<unsigned char> data;
    int position, zeros;
  } const cases[] = {
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xFF, 0xD9, 0, 0, 0xFF, 0xD8, 1}, 10, 2},
      {{0xFF, 0xD9, 0xFF, 0xD8}, 0, 0},
      {{7, 0xFF, 0xD9, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xD8}, 1, 8},
      {{0xFF, 0xD9, 0, 0, 0, 0, 0, 0xFF, 0xD8}, -1, 0},  // five zeros: no separator
      {{0xFF, 0xD9, 0, 0, 0xFF}, -1, 0},
      // The patterns are tried in order: FF D9 FF D8 wins over an earlier one.
      {{0xFF, 0xD9, 0, 0, 0xFF, 0xD8, 5, 0xFF, 0xD9, 0xFF, 0xD8}, 7, 0},
  };
  for (const Case& c : cases) {
    const bool found = h.findNext(c.data.data(), static_cast<int>(c.data.size()), position, zeros);
    EXPECT_EQ(found, c.position >= 0);
    EXPECT_EQ(position, c.position);
    EXPECT_EQ(zeros, c.zeros);
  }
}

TEST(ImageData, SearchAndHasEnding) {
  const unsigned char data[] = {1, 2, 3, 4, 5, 6};
  const unsigned char tail[] = {4, 5, 6, 7};
  const unsigned char end[] = {5, 6};
  EXPECT_EQ(search(data, 6, tail, 4), -1);  // begins in the last 3 bytes
  EXPECT_EQ(search(data, 6, tail, 3), 3);
  EXPECT_EQ(search(data, 5, tail, 3), -1);  // only the first 5 bytes count
  EXPECT_EQ(search(data, 6, data, 6), 0);
  EXPECT_TRUE(hasEnding(data, 6, end, 2));
  EXPECT_FALSE(hasEnding(data, 5, end, 2));
  EXPECT_TRUE(hasEnding(data, 6, end, 0));
  EXPECT_FALSE(hasEnding(end, 2, data, 6));
}

// ---- JPEG blocks ----

// A baseline JPEG stream of a flat grey block (flat blocks decode exactly).
std::vector<unsigned char> flatStream(int width, int height, int value, int commentBytes = 0) {
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height,
                                    static_cast<unsigned char>(value));
  std::vector<unsigned char> stream;
  EXPECT_TRUE(JpegCodec::encode(pixels.data(), width, height, 1, 75, stream));
  if (commentBytes > 0) {
    // A COM segment after SOI moves the rest of the stream.
    std::vector<unsigned char> comment = {0xFF, 0xFE,
                                          static_cast<unsigned char>((commentBytes + 2) >> 8),
                                          static_cast<unsigned char>((commentBytes + 2) & 0xFF)};
    comment.resize(comment.size() + commentBytes, 'c');
    stream.insert(stream.begin() + 2, comment.begin(), comment.end());
  }
  return stream;
}

// A C3 segment of 2 x 2 flat 64 x 64 blocks separated by the given numbers
// of zero bytes; the first stream gets `commentBytes` more.
std::unique_ptr<ImageHeader> jpegFile(const std::string& name, const int (&zeros)[3],
                                      int commentBytes, std::vector<int>& ends) {
  ImageHeader h = subheader(128, 128, 1, 'B', 64, 64);
  h.ic = "C3";
  h.comrat = "00.0";
  std::string data;
  const int values[4] = {10, 80, 150, 220};
  for (int k = 0; k < 4; ++k) {
    const std::vector<unsigned char> s = flatStream(64, 64, values[k], k == 0 ? commentBytes : 0);
    data.append(s.begin(), s.end());
    ends.push_back(static_cast<int>(data.size()) - 2);
    if (k < 3) data.append(static_cast<size_t>(zeros[k]), '\0');
  }
  return fileWith(name, h, data);
}

int flatValue(long long row, long long column, int) {
  const int values[4] = {10, 80, 150, 220};
  return values[(row / 64) * 2 + column / 64];
}

TEST(ImageData, BlockScanFindsEverySeparatorInOrder) {
  // The first separator straddles the scan's 2048-byte chunks; the
  // separators mix their numbers of zeros (an FF D9 FF D8 after an
  // FF D9 00 00 FF D8 does not hide the earlier one).
  const int mixes[][3] = {{2, 0, 8}, {4, 6, 0}, {0, 0, 0}, {8, 8, 8}};
  for (const auto& zeros : mixes) {
    for (int straddle = 0; straddle < 12; straddle += 3) {
      std::vector<int> ends;
      std::vector<unsigned char> probe = flatStream(64, 64, 10);
      const int comment = 2048 - 2 - static_cast<int>(probe.size()) - 4 + straddle - 4;
      SCOPED_TRACE(::testing::Message() << zeros[0] << zeros[1] << zeros[2] << " at " << straddle);
      auto segment = jpegFile("scan", zeros, comment, ends);
      ASSERT_TRUE(segment->parseJPEGHeaders());
      ASSERT_EQ(segment->blockCount, 4);
      int start = 0;
      for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(segment->blockStarts[k], start);
        EXPECT_EQ(segment->blockEnds[k], ends[k]);
        if (k < 3) start = ends[k] + 2 + zeros[k];
      }
      ASSERT_TRUE(segment->readImage());
      EXPECT_EQ(mismatches(*segment, flatValue, 0, 0, 128, 128), 0);
      ASSERT_TRUE(segment->readImageChip(50, 60, 30, 80));
      EXPECT_EQ(mismatches(*segment, flatValue, 50, 60, 30, 80), 0);
    }
  }
}

TEST(ImageData, CorruptJpegBlocksFailTheReadWithoutEndingTheProcess) {
  std::vector<int> ends;
  const int zeros[3] = {0, 0, 0};
  auto good = jpegFile("good", zeros, 0, ends);
  const std::string bytes = testsupport::readWholeFile(good->path);
  // The third stream (block row 1, block column 0).
  const long long block2 = good->dataOffset + ends[1] + 2;

  struct Case {
    const char* name;
    std::function<void(std::string&)> damage;
  } const cases[] = {
      // SOF0 declaring a 60000 x 60000 picture in a 64 x 64 block.
      {"huge_frame",
       [&](std::string& b) {
         const size_t sof = b.find("\xFF\xC0", static_cast<size_t>(block2));
         b[sof + 5] = static_cast<char>(0xEA);
         b[sof + 6] = static_cast<char>(0x60);
         b[sof + 7] = static_cast<char>(0xEA);
         b[sof + 8] = static_cast<char>(0x60);
       }},
      // Quantization table replaced by a marker libjpeg rejects.
      {"bad_marker",
       [&](std::string& b) {
         const size_t dqt = b.find("\xFF\xDB", static_cast<size_t>(block2));
         b[dqt + 1] = static_cast<char>(0x01);
       }},
      // Huffman table of an impossible class.
      {"bad_table",
       [&](std::string& b) {
         const size_t dht = b.find("\xFF\xC4", static_cast<size_t>(block2));
         b[dht + 4] = static_cast<char>(0x7F);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string damaged = bytes;
    c.damage(damaged);
    const std::string path = testsupport::scratchPath(std::string("imagedata-") + c.name + ".ntf");
    testsupport::writeWholeFile(path, damaged);
    FileHeader fileHeader;
    fileHeader.read(path);
    ImageHeader h;
    h.read(path, fileHeader, 0);
    EXPECT_FALSE(h.readImage());
    // The other blocks are decoded.
    ASSERT_EQ(h.imageDataSize, 128 * 128);
    EXPECT_EQ(h.imageData[0], 10);
    EXPECT_EQ(h.imageData[128 * 128 - 1], 220);
    EXPECT_FALSE(h.readImageChip(0, 70, 10, 10));  // touches the damaged third block
    EXPECT_TRUE(h.readImageChip(60, 0, 10, 10));   // does not
  }
}

TEST(ImageData, JpegDataMissingIsRefused) {
  // Headers declaring a large JPEG image whose data are not in the file.
  ImageHeader h = subheader(8960, 8888, 1, 'B', 8888, 448);
  h.ic = "C3";
  const std::vector<unsigned char> one = flatStream(64, 64, 10);
  auto segment = fileWith("jpeg_missing", h, std::string(one.begin(), one.end()));
  EXPECT_FALSE(segment->readImage());
  EXPECT_EQ(segment->imageData, nullptr);
  EXPECT_FALSE(segment->readImageChip(0, 0, 100, 100));

  // One block of 99,999,999 x 99,999,999 pixels in a few hundred bytes: no
  // buffer is sized by the declared picture.
  ImageHeader huge = subheader(99999999, 99999999, 3, 'P', 99999999, 99999999);
  huge.ic = "C3";
  huge.nppbh = huge.nppbv = 0;  // one block: the image's size
  auto hugeSegment = fileWith("jpeg_huge_block", huge, std::string(one.begin(), one.end()));
  EXPECT_FALSE(hugeSegment->readImage());
  EXPECT_FALSE(hugeSegment->readImageChip(99999990, 99999990, 20, 20));
}

// ---- Buffer layouts ----

TEST(ImageData, BytesPerPixelAndWidthStep) {
  ImageHeader h;
  const std::pair<const char*, int> reps[] = {{"RGB     ", 3}, {"MONO    ", 1}, {"YCbCr601", 3},
                                              {"RGB/LUT ", 3}, {"MULTI   ", 1}, {" R G B  ", 3}};
  for (const auto& rep : reps) {
    h.irep = rep.first;
    EXPECT_EQ(h.getBPP(), rep.second) << rep.first;
  }
  h.irep = "RGB";
  h.bufferWidth = 101;
  h.format = ImageHeader::OPENCV;
  EXPECT_EQ(h.setWidthStep(), 304);
  h.format = ImageHeader::RAW;
  EXPECT_EQ(h.setWidthStep(), 303);
  EXPECT_EQ(h.widthStep, 303);
}

TEST(ImageData, FormatsConvertFromRawOnly) {
  ImageHeader h = subheader(30, 101, 3, 'P', 101, 30);
  auto segment = fileWith("formats", h, blockedData(h, pattern8));

  // OPENCV chosen before reading: B, G, R and rows padded to 4 bytes.
  segment->setImageFormat(ImageHeader::OPENCV);
  ASSERT_TRUE(segment->readImage());
  EXPECT_EQ(segment->widthStep, 304);
  EXPECT_EQ(segment->imageDataSize, 304 * 30);
  EXPECT_EQ(segment->imageData[304 * 2 + 3 * 5], pattern8(2, 5, 2));
  EXPECT_EQ(segment->imageData[304 * 2 + 3 * 5 + 2], pattern8(2, 5, 0));

  // RAW, then JPEG: the buffer becomes a stream of the picture.
  segment->format = ImageHeader::RAW;
  ASSERT_TRUE(segment->readImage());
  testing::internal::CaptureStdout();
  segment->setImageFormat(ImageHeader::JPEG);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ASSERT_GT(segment->imageDataSize, 4);
  EXPECT_EQ(segment->imageData[0], 0xFF);
  EXPECT_EQ(segment->imageData[1], 0xD8);
  std::vector<unsigned char> decoded(101 * 30 * 3);
  JpegCodec::Placement placement;
  placement.out = decoded.data();
  placement.outSize = static_cast<long long>(decoded.size());
  placement.width = 101;
  EXPECT_TRUE(JpegCodec::decode(segment->imageData, static_cast<size_t>(segment->imageDataSize), 3,
                                placement, 101, 30));

  // JPEG to OPENCV cannot be done: message, exception, format kept.
  const std::string message =
      "Unable to convert image data. There is currently no mechanism to convert the image data "
      "from the present format to the new one. (Recommended to call setImageFormat before a call "
      "to readImage or readImageChip, and not again after";
  testing::internal::CaptureStdout();
  try {
    segment->setImageFormat(ImageHeader::OPENCV);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), message);
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), message + "\n");
  EXPECT_EQ(segment->format, ImageHeader::JPEG);
  segment->setImageFormat(ImageHeader::JPEG);  // the same format: nothing to do

  // RAW to OPENCV after reading keeps unpadded rows.
  segment->format = ImageHeader::RAW;
  ASSERT_TRUE(segment->readImage());
  segment->setImageFormat(ImageHeader::OPENCV);
  EXPECT_EQ(segment->widthStep, 303);
  EXPECT_EQ(segment->imageData[303 + 0], pattern8(1, 0, 2));
}

TEST(ImageData, StoredDataCompressToTheirPicture) {
  // A buffer holding the segment's blocks as stored (IMODE "B", pads).
  ImageHeader h = subheader(40, 50, 1, 'B', 32, 32);
  const Sample flat = [](long long r, long long c, int) {
    return r < 20 ? 60 : (c < 25 ? 120 : 200);
  };
  const std::string blocked = blockedData(h, flat);
  h.imageData = new unsigned char[blocked.size()];
  std::memcpy(h.imageData, blocked.data(), blocked.size());
  h.imageDataSize = static_cast<long long>(blocked.size());
  h.compressAndStoreRGBImageFromDisk();
  ASSERT_GT(h.imageDataSize, 2);
  ASSERT_EQ(h.imageData[0], 0xFF);
  std::vector<unsigned char> decoded(40 * 50);
  JpegCodec::Placement placement;
  placement.out = decoded.data();
  placement.outSize = static_cast<long long>(decoded.size());
  placement.width = 50;
  ASSERT_TRUE(
      JpegCodec::decode(h.imageData, static_cast<size_t>(h.imageDataSize), 1, placement, 50, 40));
  // Away from the edges between the flat areas, JPEG keeps them.
  EXPECT_NEAR(decoded[5 * 50 + 5], 60, 2);
  EXPECT_NEAR(decoded[35 * 50 + 5], 120, 2);
  EXPECT_NEAR(decoded[35 * 50 + 45], 200, 2);
}

TEST(ImageData, CompressedStreamLongerThanThePictureFits) {
  // An 8 x 8 picture of noise: the stream is far longer than its 64 bytes.
  ImageHeader h;
  unsigned char* buffer = new unsigned char[64];
  for (int i = 0; i < 64; ++i) buffer[i] = static_cast<unsigned char>(i * 97 + 13);
  long long size = 64;
  ASSERT_TRUE(h.compressBufferInPlace(8, 8, buffer, &size));
  EXPECT_GT(size, 64);
  EXPECT_EQ(buffer[size - 2], 0xFF);
  EXPECT_EQ(buffer[size - 1], 0xD9);
  delete[] buffer;

  // A buffer smaller than the picture is refused.
  unsigned char* small = new unsigned char[10]();
  long long smallSize = 10;
  EXPECT_FALSE(h.compressBufferInPlace(8, 8, small, &smallSize));
  EXPECT_EQ(smallSize, 10);
  delete[] small;
}

// ---- Writing ----

TEST(ImageData, BlockWriterPadsTheLastBlocksWithZeros) {
  ImageHeader h = subheader(600, 600, 1, 'B', 512, 512);
  h.imageData = new unsigned char[600 * 600];
  std::memset(h.imageData, 7, 600 * 600);
  h.imageDataSize = 600 * 600;
  h.bufferWidth = h.bufferHeight = 600;
  std::ostringstream out(std::ios::binary);
  h.writeInterleavedByBlock(&out);
  const std::string data = out.str();
  ASSERT_EQ(data.size(), 4u * 262144);
  EXPECT_EQ(h.writtenDataLength(), 4LL * 262144);
  const std::string last = data.substr(3 * 262144);
  long long sevens = 0;
  for (size_t i = 0; i < last.size(); ++i) {
    const bool image = i / 512 < 88 && i % 512 < 88;
    EXPECT_EQ(last[i], image ? 7 : 0) << i;
    if (last[i] == 7) ++sevens;
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_EQ(sevens, 88 * 88);
}

TEST(ImageData, SegmentWithoutItsPixelsWritesTheStoredData) {
  ImageHeader h = subheader(50, 70, 3, 'P', 32, 32);
  const std::string data = blockedData(h, pattern8);
  auto segment = fileWith("copy", h, data);
  std::ostringstream fields(std::ios::binary);
  segment->writeFields(&fields);

  // Never read, read as a chip, and read whole with IMODE "P": the data go
  // out as the file stores them.
  for (int step = 0; step < 3; ++step) {
    if (step == 1) {
      ASSERT_TRUE(segment->readImageChip(3, 3, 10, 10));
    } else if (step == 2) {
      ASSERT_TRUE(segment->readImage());
    }
    std::ostringstream out(std::ios::binary);
    segment->write(&out);
    EXPECT_EQ(out.str(), fields.str() + data) << step;
    EXPECT_EQ(segment->writtenDataLength(), static_cast<long long>(data.size()));
  }

  // A source file shorter than LI: what the file holds (NITF::writeFile
  // records the length written).
  segment->segmentLength += 1000000000;
  std::ostringstream out(std::ios::binary);
  segment->write(&out);
  EXPECT_EQ(out.str(), fields.str() + data);
  EXPECT_EQ(segment->writtenDataLength(), static_cast<long long>(data.size()));
}

TEST(ImageData, SegmentBuiltInMemoryWritesItsBlocks) {
  ImageHeader h = subheader(20, 30, 3, 'B', 16, 16);
  h.nbands = 3;
  h.imageData = new unsigned char[20 * 30 * 3];
  for (int i = 0; i < 20 * 30 * 3; ++i)
    h.imageData[i] = static_cast<unsigned char>(pattern8(i / 90, (i / 3) % 30, i % 3));
  h.imageDataSize = 20 * 30 * 3;
  h.bufferWidth = 30;
  h.bufferHeight = 20;
  std::ostringstream fields(std::ios::binary);
  h.writeFields(&fields);
  std::ostringstream out(std::ios::binary);
  h.write(&out);
  EXPECT_EQ(out.str(), fields.str() + blockedData(h, pattern8));

  // A buffer in another format has no blocks to write: zeros keep LI.
  h.setImageFormat(ImageHeader::JPEG);
  std::ostringstream zeros(std::ios::binary);
  h.write(&zeros);
  EXPECT_EQ(zeros.str(), fields.str() + std::string(2 * 2 * 16 * 16 * 3, '\0'));
  EXPECT_EQ(h.writtenDataLength(), 2 * 2 * 16 * 16 * 3);
}

TEST(ImageData, DoubleIsNan) {
  EXPECT_TRUE(doubleIsNAN(std::nan("")));
  EXPECT_FALSE(doubleIsNAN(1.5));
}

}  // namespace

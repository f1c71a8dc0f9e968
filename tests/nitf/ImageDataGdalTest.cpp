// Image pixels read as GDAL reads them: files written by GDAL's NITF driver
// at test time (tests/nitf/gdal_image_fixtures.py: uncompressed, blocked, 8
// and 16 bit, MONO and RGB, JPEG C3 by block and by pixel) and the shared
// corpus of third-party files. Also segments written back by
// ImageHeader::write, read by GDAL.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "nitf/FileHeader.h"
#include "nitf/ImageHeader.h"
#include "support/GdalInfo.h"
#include "support/TestPaths.h"

namespace {

const char* const PYTHON = "/usr/bin/python3";

bool haveGdalPython() {
  return std::system(
             (std::string(PYTHON) + " -c 'import osgeo.gdal, numpy' >/dev/null 2>&1").c_str()) == 0;
}

std::string fixtureScript() { return testsupport::sourcePath("tests/nitf/gdal_image_fixtures.py"); }

// GDAL's pixels of one picture: samples interleaved by pixel.
struct GdalPixels {
  int columns = 0;
  int rows = 0;
  int bands = 0;
  int bytesPerSample = 1;
  int abpp = 8;
  std::string raw;

  // Sample b of pixel (row, column) as our reader gives it: 8-bit, 16-bit
  // scaled by ABPP.
  int expected(long long row, long long column, int b) const {
    const long long i = (row * columns + column) * bands + b;
    if (bytesPerSample == 1) return static_cast<unsigned char>(raw[i]);
    const unsigned v = static_cast<unsigned char>(raw[2 * i]) |
                       static_cast<unsigned>(static_cast<unsigned char>(raw[2 * i + 1])) << 8;
    const unsigned scaled = (v << 8) >> abpp;
    return scaled > 255 ? 255 : static_cast<int>(scaled);
  }
};

// The fixtures GDAL writes, made once for the test program.
class GdalFixtures {
 public:
  static GdalFixtures& get() {
    static GdalFixtures fixtures;
    return fixtures;
  }
  std::string dir;
  std::map<std::string, GdalPixels> cases;

 private:
  GdalFixtures() {
    if (!haveGdalPython()) return;
    dir = testsupport::scratchPath("imagedata-gdal");
    std::filesystem::remove_all(dir);
    testsupport::runCommand(std::string(PYTHON) + " " + fixtureScript() + " " + dir);
    std::ifstream manifest(dir + "/manifest.txt");
    std::string name;
    GdalPixels p;
    while (manifest >> name >> p.columns >> p.rows >> p.bands >> p.bytesPerSample >> p.abpp) {
      p.raw = testsupport::readWholeFile(dir + "/" + name + ".raw");
      cases[name] = p;
    }
  }
};

// Reads image segment `index` of `path` (subheader only).
std::unique_ptr<ImageHeader> segment(const std::string& path, int index = 0) {
  FileHeader fileHeader;
  fileHeader.read(path);
  auto image = std::make_unique<ImageHeader>();
  image->read(path, fileHeader, index);
  return image;
}

// Largest difference between the buffer (a picture of width x height at
// column x, row y of the image) and GDAL's pixels; pixels outside the image
// must be 255.
int largestDifference(const ImageHeader& h, const GdalPixels& gdal, int x, int y, int width,
                      int height, int bpp) {
  int largest = 0;
  for (long long r = 0; r < height; ++r) {
    for (long long c = 0; c < width; ++c) {
      const long long row = y + r;
      const long long column = x + c;
      const bool inside = row >= 0 && column >= 0 && row < gdal.rows && column < gdal.columns;
      for (int b = 0; b < bpp; ++b) {
        const int ours = h.imageData[(r * width + c) * bpp + b];
        const int expected = inside ? gdal.expected(row, column, b) : 255;
        largest = std::max(largest, std::abs(ours - expected));
      }
    }
  }
  return largest;
}

// Decoders may round colour conversion and upsampling differently.
const int JPEG_TOLERANCE = 2;

class GdalWrittenImage : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (GdalFixtures::get().cases.empty()) GTEST_SKIP() << "python3-gdal not available";
  }
};

TEST_P(GdalWrittenImage, WholeImageAndChipsHaveGdalsPixels) {
  const std::string name = GetParam();
  const GdalFixtures& fixtures = GdalFixtures::get();
  ASSERT_EQ(fixtures.cases.count(name), 1u) << name;
  const GdalPixels& gdal = fixtures.cases.at(name);
  const std::unique_ptr<ImageHeader> h = segment(fixtures.dir + "/" + name + ".ntf");
  const int tolerance = h->ic == "C3" ? JPEG_TOLERANCE : 0;
  const int bpp = h->getBPP();
  ASSERT_EQ(bpp, gdal.bands);

  ASSERT_TRUE(h->readImage());
  EXPECT_EQ(h->bufferWidth, gdal.columns);
  EXPECT_EQ(h->bufferHeight, gdal.rows);
  ASSERT_EQ(h->imageDataSize, static_cast<long long>(gdal.columns) * gdal.rows * bpp);
  EXPECT_LE(largestDifference(*h, gdal, 0, 0, gdal.columns, gdal.rows, bpp), tolerance);

  // Inside one block, across block edges, beyond the right and bottom edges,
  // before the first row and column, and wholly outside.
  const int w = gdal.columns;
  const int rows = gdal.rows;
  const int chips[][4] = {{3, 5, 17, 11},
                          {w / 2 - 40, rows / 2 - 30, 90, 70},
                          {w - 25, rows - 13, 60, 40},
                          {-7, -9, 30, 20},
                          {0, 0, w, rows},
                          {w + 5, 0, 10, 10}};
  for (const auto& c : chips) {
    SCOPED_TRACE(::testing::Message()
                 << "chip " << c[0] << "," << c[1] << " " << c[2] << "x" << c[3]);
    ASSERT_TRUE(h->readImageChip(c[0], c[1], c[2], c[3]));
    ASSERT_EQ(h->imageDataSize, static_cast<long long>(c[2]) * c[3] * bpp);
    EXPECT_LE(largestDifference(*h, gdal, c[0], c[1], c[2], c[3], bpp), tolerance);
  }
  EXPECT_EQ(h->reader, nullptr);
}

INSTANTIATE_TEST_SUITE_P(ImageData, GdalWrittenImage,
                         ::testing::Values("mono8", "mono8_blocked", "rgb8_700x1000",
                                           "rgb16_abpp12", "mono16", "rgb_jpeg", "mono_jpeg",
                                           "rgb_jpeg_one_block"));

TEST(ImageDataGdal, GdalWritesTheLayoutsUnderTest) {
  const GdalFixtures& fixtures = GdalFixtures::get();
  if (fixtures.cases.empty()) GTEST_SKIP() << "python3-gdal not available";
  struct Expected {
    const char* name;
    const char* ic;
    char imode;
    int nbpr, nbpc, nbpp, abpp;
    const char* irep;
  } const expected[] = {
      {"mono8_blocked", "NC", 'B', 3, 4, 8, 8, "MONO"},
      {"rgb8_700x1000", "NC", 'B', 2, 2, 8, 8, "RGB"},
      {"rgb16_abpp12", "NC", 'B', 3, 2, 16, 12, "RGB"},
      {"rgb_jpeg", "C3", 'P', 3, 3, 8, 8, "YCbCr601"},
      {"mono_jpeg", "C3", 'B', 4, 3, 8, 8, "MONO"},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    const std::unique_ptr<ImageHeader> h = segment(fixtures.dir + "/" + e.name + ".ntf");
    EXPECT_EQ(h->ic, e.ic);
    EXPECT_EQ(h->imode, e.imode);
    EXPECT_EQ(h->nbpr, e.nbpr);
    EXPECT_EQ(h->nbpc, e.nbpc);
    EXPECT_EQ(h->nbpp, e.nbpp);
    EXPECT_EQ(h->abpp, e.abpp);
    EXPECT_EQ(testsupport::rightTrimmed(h->irep), e.irep);
  }
}

// An IMODE "B" RGB segment read and written back by ImageHeader::write, in a
// file of its own, reads in GDAL with the same pixels.
TEST(ImageDataGdal, SegmentWrittenFromItsPixelsReadsInGdal) {
  const GdalFixtures& fixtures = GdalFixtures::get();
  if (fixtures.cases.empty()) GTEST_SKIP() << "python3-gdal not available";
  const std::string source = fixtures.dir + "/rgb8_700x1000.ntf";
  FileHeader fileHeader;
  fileHeader.read(source);
  ImageHeader h;
  h.read(source, fileHeader, 0);
  ASSERT_TRUE(h.readImage());
  const long long stored = h.segmentLength;
  EXPECT_EQ(h.writtenDataLength(), stored);

  // The pixels changed in memory are what gets written.
  h.imageData[0] = 1;
  h.imageData[1] = 2;
  h.imageData[2] = 3;
  std::ostringstream image(std::ios::binary);
  h.write(&image);
  std::ostringstream fields(std::ios::binary);
  h.writeFields(&fields);
  ASSERT_EQ(static_cast<long long>(image.str().size()),
            static_cast<long long>(fields.str().size()) + stored);

  fileHeader.lish[0] = static_cast<int>(fields.str().size());
  std::ostringstream header(std::ios::binary);
  fileHeader.write(&header);
  fileHeader.hl = static_cast<int>(header.str().size());
  fileHeader.fl = fileHeader.hl + static_cast<long long>(image.str().size());
  std::ostringstream file(std::ios::binary);
  fileHeader.write(&file);
  file << image.str();
  const std::string written = testsupport::scratchPath("imagedata-written.ntf");
  testsupport::writeWholeFile(written, file.str());

  const std::string dump = testsupport::scratchPath("imagedata-written.raw");
  const std::string shape = testsupport::runCommand(std::string(PYTHON) + " " + fixtureScript() +
                                                    " --dump " + written + " " + dump);
  ASSERT_EQ(shape, "700 1000 3 1\n");
  const std::string pixels = testsupport::readWholeFile(dump);
  ASSERT_EQ(static_cast<long long>(pixels.size()), h.imageDataSize);
  EXPECT_EQ(0, std::memcmp(pixels.data(), h.imageData, pixels.size()));
  EXPECT_EQ(pixels.substr(0, 3), std::string("\1\2\3"));
}

// Every corpus file: every image segment reads whole and as chips without a
// crash, and where we decode the pixels they are GDAL's.
TEST(ImageDataGdal, CorpusFilesReadAsGdalReadsThem) {
  const bool gdal = haveGdalPython();
  // Layouts not decoded: 1-bit samples, bi-level C1, JPEG 2000 C8, IMODE R
  // and S with three bands, JPEG streams
  // without quantization tables (MIL-STD-188-198A default tables), and the
  // file whose JPEG data are missing.
  const std::map<std::string, bool> notDecoded = {
      {"gdal3453.ntf", true},       {"jitc21_i_3034c.ntf", true},
      {"jitc20_U_1036A.NTF", true}, {"jitcj2k_file4_jp2.ntf", true},
      {"jitc21_i_3201c.ntf", true}, {"jitc21_i_3301a.ntf", true},
      {"jitc20_U_1125C.NTF", true}, {"vts_GHSarNITF21_good.ntf", true}};
  int compared = 0;
  for (const std::string& path : testsupport::corpusFiles()) {
    const std::string name = std::filesystem::path(path).filename().string();
    SCOPED_TRACE(name);
    FileHeader fileHeader;
    fileHeader.read(path);
    for (int i = 0; i < fileHeader.numi; ++i) {
      ImageHeader h;
      h.read(path, fileHeader, i);
      const bool whole = h.readImage();
      EXPECT_EQ(whole, notDecoded.count(name) == 0);
      if (whole) {
        ASSERT_EQ(h.imageDataSize, static_cast<long long>(h.ncols) * h.nrows * h.getBPP());
      }
      EXPECT_EQ(h.readImageChip(h.ncols - 20, h.nrows - 10, 40, 30), whole);
      ASSERT_EQ(h.imageDataSize, 40LL * 30 * h.getBPP());
      if (!whole || !gdal) continue;

      GdalPixels reference;
      const std::string dump = testsupport::scratchPath("imagedata-corpus.raw");
      std::istringstream shape(testsupport::runCommand(std::string(PYTHON) + " " + fixtureScript() +
                                                       " --dump NITF_IM:" + std::to_string(i) +
                                                       ":" + path + " " + dump));
      if (!(shape >> reference.columns >> reference.rows >> reference.bands >>
            reference.bytesPerSample)) {
        continue;  // GDAL cannot read it (gdal_rgb.ntf is 3 bytes short)
      }
      reference.abpp = h.abpp;
      reference.raw = testsupport::readWholeFile(dump);
      const int tolerance = h.ic == "C3" ? JPEG_TOLERANCE : 0;
      ASSERT_TRUE(h.readImage());
      EXPECT_LE(largestDifference(h, reference, 0, 0, h.ncols, h.nrows, h.getBPP()), tolerance);
      ASSERT_TRUE(h.readImageChip(h.ncols / 3, h.nrows / 4, 77, 55));
      EXPECT_LE(largestDifference(h, reference, h.ncols / 3, h.nrows / 4, 77, 55, h.getBPP()),
                tolerance);
      ++compared;
    }
  }
  if (gdal) {
    EXPECT_GE(compared, 18);
  }
}

}  // namespace

// Data extension segments: subheader layout, reading from files (built here
// and from the corpus, checked against GDAL), writing and listing.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "nitf/DESHeader.h"
#include "nitf/FileHeader.h"
#include "support/NitfBuilder.h"
#include "support/TestPaths.h"

namespace {

using testsupport::DataExtensionSegment;
using testsupport::ImageSegment;
using testsupport::NitfFile;

std::string written(DESHeader& segment, std::string* report = nullptr) {
  std::ostringstream out(std::ios::binary);
  testing::internal::CaptureStdout();
  segment.write(&out);
  const std::string lines = testing::internal::GetCapturedStdout();
  if (report != nullptr) *report = lines;
  return out.str();
}

// Writes `bytes` to a scratch file and reads its data extension segment
// `index`.
struct ReadSegment {
  FileHeader header;
  DESHeader segment;
  ReadSegment(const std::string& name, const std::string& bytes, int index) {
    const std::string path = testsupport::scratchPath(name);
    testsupport::writeWholeFile(path, bytes);
    header.read(path);
    segment.read(path, header, index);
  }
};

TEST(DESHeader, DefaultSegmentWrites200BytesAndReportsBothLengths) {
  DESHeader segment;
  segment.desid = "TEST";
  segment.desver = 1;
  segment.data = new char[5]{'a', 'b', 'c', 'd', 'e'};
  segment.setDESLength(5);
  std::string report;
  const std::string bytes = written(segment, &report);
  ASSERT_EQ(bytes.size(), 205u);
  EXPECT_EQ(bytes.substr(0, 2), "DE");
  EXPECT_EQ(bytes.substr(2, 25), "TEST" + std::string(21, ' '));
  EXPECT_EQ(bytes.substr(27, 3), "01U");
  EXPECT_EQ(bytes.substr(30, 166), std::string(166, ' '));
  EXPECT_EQ(bytes.substr(196, 4), "0000");
  EXPECT_EQ(bytes.substr(200), "abcde");
  EXPECT_EQ(report, "DESHeader Length: 200\nDESData Length: 5\n");
}

TEST(DESHeader, LocatesItsSegmentPastImagesTextsAndEarlierSegments) {
  NitfFile file;
  for (int i = 0; i < 3; ++i) {
    ImageSegment image;
    image.data = std::string(static_cast<size_t>(100 + i), static_cast<char>('0' + i));
    file.images.push_back(image);
  }
  file.texts.push_back("some text");
  file.graphics.push_back("graphic bytes");
  file.dataExtensions = {
      {"FIRST", "", "one"}, {"SECOND", "", "two!"}, {"THIRD", "abcdefghij", "3"}};
  ReadSegment read("des_third.ntf", testsupport::buildNitf(file), 2);
  const DESHeader& s = read.segment;
  EXPECT_EQ(s.desid, "THIRD" + std::string(20, ' '));
  EXPECT_EQ(s.desshl, 10);
  EXPECT_EQ(s.desshf, "abcdefghij");
  ASSERT_EQ(s.getDESLength(), 1);
  EXPECT_EQ(std::string(s.data, 2), std::string("3\0", 2));

  // The user-defined subheader goes back with the same width.
  DESHeader copy(read.segment);
  const std::string bytes = written(copy);
  EXPECT_EQ(bytes, testsupport::dataExtensionSubheader(file.dataExtensions[2]) + "3");
}

TEST(DESHeader, TreOverflowFieldsAreReadListedAndWritten) {
  DESHeader segment;
  segment.desid = "TRE_OVERFLOW";
  segment.desoflw = "UDID  ";
  segment.desitem = 2;
  const std::string bytes = written(segment);
  ASSERT_EQ(bytes.size(), 209u);
  EXPECT_EQ(bytes.substr(196, 9), "UDID  002");

  NitfFile file;
  file.dataExtensions = {{"X", "", "payload"}};
  std::string built = testsupport::buildNitf(file);
  // Replace the built subheader with ours (9 bytes longer).
  const size_t at = built.size() - 7 - 200;
  built = built.substr(0, at) + bytes + "payload";
  FileHeader header;
  const std::string path = testsupport::scratchPath("des_overflow.ntf");
  testsupport::writeWholeFile(path, built);
  header.read(path);
  header.ldsh[0] = 209;
  DESHeader read;
  read.read(path, header, 0);
  EXPECT_TRUE(read.isTreOverflow());
  EXPECT_EQ(read.desoflw, "UDID  ");
  EXPECT_EQ(read.desitem, 2);
  EXPECT_EQ(std::string(read.data), "payload");

  testing::internal::CaptureStdout();
  read.printTags();
  const std::string listing = testing::internal::GetCapturedStdout();
  EXPECT_NE(listing.find("desoflw: \"UDID  \"\ndesitem: \"2\"\ndesshl: \"0\"\n"),
            std::string::npos);
  EXPECT_EQ(listing.rfind("------DATA EXTENSION SEGMENT------\nde: \"DE\"\n", 0), 0u);
}

TEST(DESHeader, LengthsBeyondTheFileAreBoundedByWhatItHolds) {
  NitfFile file;
  file.dataExtensions = {{"CUT", "", std::string(50, 'x')}};
  std::string bytes = testsupport::buildNitf(file);
  // LD says 50; only 20 data bytes remain.
  bytes.resize(bytes.size() - 30);
  ReadSegment read("des_cut.ntf", bytes, 0);
  EXPECT_EQ(read.segment.getDESLength(), 20);

  // DESSHL larger than the rest of the file.
  NitfFile user;
  user.dataExtensions = {{"USER", "abc", ""}};
  std::string userBytes = testsupport::buildNitf(user);
  const size_t desshl = userBytes.size() - 3 - 4;
  userBytes.replace(desshl, 4, "9999");
  ReadSegment big("des_desshl.ntf", userBytes, 0);
  EXPECT_EQ(big.segment.desshl, 3);
  EXPECT_EQ(big.segment.desshf, "abc");
  EXPECT_EQ(big.segment.getDESLength(), 0);

  // An index the table does not have reads nothing.
  ReadSegment none("des_none.ntf", userBytes, 5);
  EXPECT_EQ(none.segment.data, nullptr);
  EXPECT_EQ(none.segment.desid, "");
}

TEST(DESHeader, CopyOwnsItsData) {
  auto* original = new DESHeader;
  original->desid = "COPY";
  original->data = new char[3]{'x', 'y', 'z'};
  original->setDESLength(3);
  DESHeader copy(*original);
  delete original;
  EXPECT_EQ(copy.desid, "COPY");
  ASSERT_EQ(copy.getDESLength(), 3);
  EXPECT_EQ(std::string(copy.data, 3), "xyz");
  EXPECT_EQ(copy.reader, nullptr);
}

// The corpus files with data extension segments, as GDAL lists them.
TEST(DESHeader, CorpusSegmentsAsGdalReadsThem) {
  if (!testsupport::haveCommand("gdalinfo")) GTEST_SKIP() << "gdalinfo not installed";
  for (const char* name : {"nitro_test_des_read.ntf", "autzen-utm10.ntf"}) {
    SCOPED_TRACE(name);
    const std::string path = testsupport::corpusPath(name);
    const std::string outdir = testsupport::scratchPath(std::string("gdal_") + name);
    testsupport::runCommand("mkdir -p '" + outdir + "'");
    std::istringstream summary(testsupport::runCommand(
        "/usr/bin/python3 '" + testsupport::sourcePath("tests/nitf/gdal_nitf_summary.py") + "' '" +
        path + "' '" + outdir + "'"));
    FileHeader header;
    header.read(path);
    ASSERT_EQ(header.numdes, 1);
    std::string line;
    int found = 0;
    while (std::getline(summary, line)) {
      std::istringstream words(line);
      std::string kind, name, desshl;
      int index = -1, desver = 0;
      long long length = 0;
      words >> kind;
      if (kind != "des") continue;
      words >> index >> name >> desver >> desshl >> length;
      ASSERT_EQ(index, 0);
      DESHeader segment;
      segment.read(path, header, index);
      std::string desid = segment.desid.substr(0, segment.desid.find_last_not_of(' ') + 1);
      for (char& c : desid) {
        if (c == ' ') c = '_';
      }
      EXPECT_EQ(desid, name);
      EXPECT_EQ(segment.desver, desver);
      EXPECT_EQ(segment.desshl, std::stoi(desshl));
      // The segment is the last of the file: its data are the file's last LD
      // bytes. GDAL 3.6 hands over all of them for LIDARA but only the first
      // two of the TEST_DES segment (it decodes that DES's own fields).
      const std::string bytes = testsupport::readWholeFile(path);
      ASSERT_EQ(segment.getDESLength(), header.ld[0]);
      const std::string ours(segment.data, static_cast<size_t>(segment.getDESLength()));
      EXPECT_EQ(ours, bytes.substr(bytes.size() - ours.size()));
      const std::string gdalData = testsupport::readWholeFile(outdir + "/des_0.bin");
      ASSERT_EQ(static_cast<long long>(gdalData.size()), length);
      EXPECT_EQ(ours.substr(0, gdalData.size()), gdalData);
      ++found;
    }
    EXPECT_EQ(found, 1);
  }
}

}  // namespace

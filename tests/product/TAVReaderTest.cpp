#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "io/DataReader.h"
#include "io/MemoryDataReader.h"
#include "product/TAVReader.h"
#include "productkit/ChipRecord.h"
#include "support/NitfBuilder.h"
#include "support/ProductFixtures.h"
#include "support/TestPaths.h"
#include "tre/ICHIPB.h"
#include "tre/RPC00B.h"

using testsupport::DataExtensionSegment;
using testsupport::ExtensionRecord;
using testsupport::ImageSegment;
using testsupport::NitfFile;

namespace {

// A reader that counts the bytes moved, to show what a scan touches.
class CountingReader : public MemoryDataReader {
 public:
  using MemoryDataReader::MemoryDataReader;
  void read(unsigned char* buffer, long long n) override {
    MemoryDataReader::read(buffer, n);
    bytesRead += count();
  }
  long long bytesRead = 0;
};

struct Scan {
  TAVReader::NITFStat stat;
  ~Scan() {
    delete stat.rpc00b;
    delete stat.ichipb;
    for (auto& e : stat.elevations) delete[] e.data;
  }
};

std::unique_ptr<Scan> scan(const std::string& bytes) {
  auto result = std::make_unique<Scan>();
  MemoryDataReader reader(bytes);
  TAVReader::parse(&reader, result->stat);
  return result;
}

bool isProduct(const std::string& bytes) {
  MemoryDataReader reader(bytes);
  return TAVReader::isTAV(&reader);
}

TEST(TAVReader, FindsRecordsAndBothElevationFormsInFileOrder) {
  NitfFile file = testsupport::minimalProduct();
  file.images[0].rows = 480;
  file.images[0].columns = 640;
  file.images[0].dateTime = "20190704123456";
  const std::string desshf = testsupport::form2Desshf();
  file.dataExtensions = {{"DORARI", "", "form one payload"},
                         {"TAV001", desshf, "form two payload"}};
  auto result = scan(testsupport::buildNitf(file));
  const auto& stat = result->stat;
  EXPECT_TRUE(stat.valid);
  EXPECT_EQ(stat.dateTime, "20190704123456");
  EXPECT_EQ(stat.rows, 480);
  EXPECT_EQ(stat.columns, 640);
  ASSERT_NE(stat.rpc00b, nullptr);
  ASSERT_NE(stat.ichipb, nullptr);
  EXPECT_EQ(stat.rpc00b->line_off, 500);
  EXPECT_EQ(stat.ichipb->fi_row, 2000);
  ASSERT_EQ(stat.elevations.size(), 2u);
  EXPECT_EQ(std::string(stat.elevations[0].data, stat.elevations[0].length), "form one payload");
  EXPECT_EQ(stat.elevations[0].desshf, "length != 81");
  EXPECT_EQ(std::string(stat.elevations[1].data, stat.elevations[1].length), "form two payload");
  EXPECT_EQ(stat.elevations[1].desshf, desshf);
  EXPECT_EQ(TAVReader::getDesshf(), desshf);
}

// Files that are not products, for parse and for the product test.
struct NotProductCase {
  const char* name;
  void (*change)(NitfFile&);
  bool isTAV;  // the product test does not look at the records
};

const NotProductCase NOT_PRODUCT_CASES[] = {
    {"nitf 2.0", [](NitfFile& f) { f.version = "02.00"; }, false},
    {"no data extension segment", [](NitfFile& f) { f.dataExtensions.clear(); }, false},
    {"no elevation segment",
     [](NitfFile& f) {
       f.dataExtensions = {{"LIDARA DES", "", "xyz"}};
     },
     false},
    {"RPC00B without ICHIPB", [](NitfFile& f) { f.images[0].extended.pop_back(); }, true},
    {"records only in the user-defined area",
     [](NitfFile& f) { std::swap(f.images[0].extended, f.images[0].userDefined); }, true},
    {"no image", [](NitfFile& f) { f.images.clear(); }, true},
};

TEST(TAVReader, FilesThatAreNotProducts) {
  for (const auto& c : NOT_PRODUCT_CASES) {
    SCOPED_TRACE(c.name);
    NitfFile file = testsupport::minimalProduct();
    c.change(file);
    const std::string bytes = testsupport::buildNitf(file);
    auto result = scan(bytes);
    EXPECT_FALSE(result->stat.valid);
    EXPECT_TRUE(result->stat.elevations.empty());
    EXPECT_EQ(isProduct(bytes), c.isTAV);
  }
}

TEST(TAVReader, BothRecordsWithoutElevationSegmentIsNotValidButKeepsRecords) {
  NitfFile file = testsupport::minimalProduct();
  file.dataExtensions = {{"OTHER", "", "abc"}};
  auto result = scan(testsupport::buildNitf(file));
  EXPECT_FALSE(result->stat.valid);
  EXPECT_NE(result->stat.rpc00b, nullptr);
  EXPECT_NE(result->stat.ichipb, nullptr);
}

TEST(TAVReader, DesidTrimmingAndSegmentKinds) {
  NitfFile file = testsupport::minimalProduct();
  file.dataExtensions = {{"TAV001                   ", testsupport::form2Desshf(), "a"},
                         {"  DORARI", "", "b"},
                         {"TAV0011", testsupport::form2Desshf(), "skipped"},
                         {"dorari", "", "skipped"},
                         {"DORARI", "", "c"}};
  auto result = scan(testsupport::buildNitf(file));
  ASSERT_EQ(result->stat.elevations.size(), 3u);
  EXPECT_EQ(result->stat.elevations[2].data[0], 'c');

  DataExtensionSegment other{"LIDARA DES", "", "xyz"};
  file.dataExtensions = {other, {"DORARI", "", "b"}};
  EXPECT_TRUE(isProduct(testsupport::buildNitf(file)));
}

TEST(TAVReader, StepsOverEveryOptionalSubheaderPart) {
  NitfFile file = testsupport::minimalProduct();
  ImageSegment& image = file.images[0];
  image.icords = ' ';
  image.ic = "NM";
  image.bands = 0;
  image.xbands = 12;
  image.lutEntries = 3;
  image.comments = 2;
  image.userDefined = {{"OTHERA", std::string(300, 'u')}};
  image.extended.insert(image.extended.begin(), ExtensionRecord{"BLOCKA", std::string(123, 'b')});
  file.graphics = {std::string(50, 'g')};
  file.texts = {"some text", "more"};
  file.reservedExtensions = 2;
  file.userHeaderData = "user header data";
  file.extendedHeaderData = "extended header data";
  ImageSegment second = image;
  second.ic = "C3";
  second.bands = 3;
  second.dateTime = "20211231235959";
  second.data = std::string(1000, 'p');
  file.images.push_back(second);
  auto result = scan(testsupport::buildNitf(file));
  EXPECT_TRUE(result->stat.valid);
  EXPECT_EQ(result->stat.dateTime, "20211231235959");  // the last image with both records
  EXPECT_EQ(result->stat.elevations.size(), 1u);
}

TEST(TAVReader, ALaterRecordOfTheSameTagReplacesTheEarlierOne) {
  NitfFile file = testsupport::minimalProduct();
  file.images[0].extended.push_back(
      {"ICHIPB", productkit::ichipbText(productkit::chipOf(10, 10, 0, 0, 1, 77, 88))});
  auto result = scan(testsupport::buildNitf(file));
  ASSERT_NE(result->stat.ichipb, nullptr);
  EXPECT_EQ(result->stat.ichipb->fi_row, 77);
}

TEST(TAVReader, ReadsOnlyHeadersAndElevationData) {
  NitfFile file = testsupport::minimalProduct();
  file.images[0].data = std::string(20 << 20, 'i');
  file.graphics = {std::string(900000, 'g')};
  const std::string bytes = testsupport::buildNitf(file);
  CountingReader reader(bytes);
  Scan result;
  TAVReader::parse(&reader, result.stat);
  EXPECT_TRUE(result.stat.valid);
  EXPECT_LT(reader.bytesRead, 8000);
}

TEST(TAVReader, TruncatedFilesAreNeverProducts) {
  const std::string bytes = testsupport::buildNitf(testsupport::minimalProduct());
  for (size_t length = 0; length < bytes.size(); ++length) {
    const std::string cut = bytes.substr(0, length);
    auto result = scan(cut);
    ASSERT_FALSE(result->stat.valid) << "cut at " << length;
    EXPECT_EQ(result->stat.rpc00b, nullptr);
    EXPECT_TRUE(result->stat.elevations.empty());
    EXPECT_FALSE(isProduct(cut)) << "cut at " << length;
  }
}

TEST(TAVReader, LengthsPointingPastTheEndAreRefusedBeforeAllocating) {
  NitfFile file = testsupport::minimalProduct();
  std::string bytes = testsupport::buildNitf(file);
  // LD1 (9 digits) is the last field before NUMRES, UDHDL and XHDL (13 bytes).
  const size_t hl = std::stoul(bytes.substr(354, 6));
  bytes.replace(hl - 13 - 9, 9, "999999999");
  auto result = scan(bytes);
  EXPECT_FALSE(result->stat.valid);
  EXPECT_TRUE(result->stat.elevations.empty());
  EXPECT_FALSE(isProduct(bytes));
}

TEST(TAVReader, CorpusFilesAreNotProducts) {
  for (const std::string& path : testsupport::corpusFiles()) {
    SCOPED_TRACE(path);
    Scan result;
    std::unique_ptr<DataReader> reader(DataReader::getDataReaderForFile(path));
    TAVReader::parse(reader.get(), result.stat);
    EXPECT_FALSE(result.stat.valid);
    std::unique_ptr<DataReader> again(DataReader::getDataReaderForFile(path));
    EXPECT_FALSE(TAVReader::isTAV(again.get()));
  }
}

TEST(TAVReader, MissingFileIsNotAProduct) {
  std::unique_ptr<DataReader> reader(DataReader::getDataReaderForFile("/no/such/product.ntf"));
  Scan result;
  TAVReader::parse(reader.get(), result.stat);
  EXPECT_FALSE(result.stat.valid);
}

TEST(TAVReader, ReadElevationDataOfOneSegment) {
  NitfFile file;
  file.dataExtensions = {{"OTHER", "", "xx"}, {"TAV001", testsupport::form2Desshf(), "payload"}};
  const std::string bytes = testsupport::buildNitf(file);
  const long long headerLength = std::stoll(bytes.substr(354, 6));
  MemoryDataReader reader(bytes);
  reader.seek(headerLength, FROM_START);
  EXPECT_EQ(TAVReader::readDORARIElevationData(&reader, {200, 2}), nullptr);
  std::unique_ptr<char[]> data(TAVReader::readDORARIElevationData(&reader, {281, 7}));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::string(data.get(), 7), "payload");
  EXPECT_EQ(reader.tell(), static_cast<long long>(bytes.size()));
  EXPECT_EQ(TAVReader::getDesshf(), testsupport::form2Desshf());
}

}  // namespace

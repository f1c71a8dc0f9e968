// Image subheader: layout, listing, the extension list and the IGEOLO forms.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>

#include "geodesy/MGRS.h"
#include "geodesy/UTM.h"
#include "io/MemoryDataReader.h"
#include "nitf/FileHeader.h"
#include "nitf/ImageHeader.h"
#include "support/TestPaths.h"
#include "tre/ICHIPB.h"
#include "tre/RPC00B.h"
#include "tre/SENSRB.h"

namespace {

std::string blanks(size_t n) { return std::string(n, ' '); }

std::string fields(ImageHeader& header) {
  std::ostringstream out(std::ios::binary);
  header.writeFields(&out);
  return out.str();
}

// The 431 bytes of a default subheader's fields.
std::string defaultFields() {
  return "IM" + blanks(10) + "--------------" + blanks(17 + 80) + "U" +
         blanks(2 + 11 + 2 + 20 + 2 + 8 + 4 + 1 + 8 + 43 + 1 + 40 + 1 + 8 + 15) + "0" + blanks(42) +
         "00000001" + "00000001" + "INT" + "MONO    " + "VIS     " + "08" + "R" + " " + "0" + "NC" +
         "0" + "00000" + "0" + "B" + "0001" + "0001" + "0000" + "0000" + "08" + "001" + "000" +
         "0000000000" + "1.0 " + "00000" + "00000";
}

// A file of one image whose subheader is `subheader` followed by `data`.
std::string fileWith(const std::string& subheader, const std::string& data,
                     FileHeader& fileHeader) {
  fileHeader.numi = 1;
  fileHeader.lish = new int[1]{static_cast<int>(subheader.size())};
  fileHeader.li = new long long[1]{static_cast<long long>(data.size())};
  fileHeader.hl = 388 + 16;
  std::ostringstream out(std::ios::binary);
  fileHeader.write(&out);
  return out.str() + subheader + data;
}

ImageHeader* readBack(const std::string& file, FileHeader& fileHeader, int index = 0) {
  ImageHeader* header = new ImageHeader();
  header->read(new MemoryDataReader(file), fileHeader, index);
  return header;
}

TEST(ImageHeader, DefaultFieldsTake431Bytes) {
  ImageHeader header;
  const std::string bytes = fields(header);
  EXPECT_EQ(bytes.size(), 431u);
  EXPECT_EQ(bytes, defaultFields());
  EXPECT_EQ(header.getNumExtensions(), 0);
  EXPECT_TRUE(std::isnan(header.frfcLat));
  EXPECT_TRUE(std::isnan(header.maxLon));
}

TEST(ImageHeader, ReadsWhatItWrites) {
  ImageHeader header;
  header.iid1 = "CHIP01";
  header.icords = 'D';
  header.igeolo = "+32.500-117.250+32.500-116.750+32.000-116.750+32.000-117.250";
  header.nicom = 2;
  header.icom = {"first comment", "second"};
  header.ic = "C3";
  header.comrat = "00.0";
  header.nbands = 2;
  header.irepband = {"R ", "G "};
  header.isubcat = {"", ""};
  header.ifc = {"N", "N"};
  header.imflt = {"", ""};
  header.nluts = {0, 2};
  header.nelut = {0, 3};
  header.lutd = {{}, {'a', 'b', 'c', 'd', 'e', 'f'}};
  header.udidl = 8;
  header.udid = "USER1";
  header.fieldLengths[ImageHeader::UDID] = 5;
  std::string text(100, 'x');
  header.addExtension(new SENSRB());  // empty text
  const std::string subheader = fields(header);

  FileHeader fileHeader;
  const std::string file = fileWith(subheader, "DATA", fileHeader);
  std::unique_ptr<ImageHeader> reread(readBack(file, fileHeader));
  EXPECT_EQ(reread->iid1, "CHIP01    ");
  EXPECT_EQ(reread->icom[1], "second" + blanks(74));
  EXPECT_EQ(reread->comrat, "00.0");
  ASSERT_EQ(reread->lutd.size(), 2u);
  EXPECT_EQ(std::string(reread->lutd[1].begin(), reread->lutd[1].end()), "abcdef");
  EXPECT_EQ(reread->udid, "USER1");
  EXPECT_EQ(reread->xbands, 0);
  EXPECT_EQ(reread->getNumExtensions(), 1);
  EXPECT_EQ(reread->dataOffset, static_cast<long long>(file.size() - 4));
  EXPECT_EQ(reread->segmentLength, 4);
  EXPECT_DOUBLE_EQ(reread->frlcLon, -116.75);
  EXPECT_EQ(fields(*reread), subheader);
}

TEST(ImageHeader, FindsLaterSegmentsAndRefusesMissingOnes) {
  ImageHeader first;
  first.iid1 = "FIRST";
  ImageHeader second;
  second.iid1 = "SECOND";
  const std::string a = fields(first);
  const std::string b = fields(second);
  FileHeader fileHeader;
  fileHeader.numi = 2;
  fileHeader.lish = new int[2]{static_cast<int>(a.size()), static_cast<int>(b.size())};
  fileHeader.li = new long long[2]{3, 5};
  fileHeader.hl = 388 + 32;
  std::ostringstream out(std::ios::binary);
  fileHeader.write(&out);
  const std::string file = out.str() + a + "abc" + b + "defgh";
  std::unique_ptr<ImageHeader> reread(readBack(file, fileHeader, 1));
  EXPECT_EQ(reread->iid1, "SECOND    ");
  EXPECT_EQ(reread->segmentLength, 5);
  std::unique_ptr<ImageHeader> missing(readBack(file, fileHeader, 2));
  EXPECT_EQ(missing->iid1, blanks(10));
  EXPECT_EQ(missing->reader, nullptr);
}

TEST(ImageHeader, Version20Layout) {
  // MIL-STD-2500A: 40-character ISCODE, ISCTLH, ISREL, 20-character ISCAUT
  // and ISCTLN, then ISDWNG (and ISDEVT after "999998"); ICORDS "N" means no
  // IGEOLO.
  for (bool devt : {false, true}) {
    const std::string security = "U" + std::string("CODE") + blanks(36) + "CTLH" + blanks(36) +
                                 "REL" + blanks(37) + "AUTH" + blanks(16) + "CTLN" + blanks(16) +
                                 (devt ? "999998" : "999999") + (devt ? "event" + blanks(35) : "");
    std::string subheader = "IM" + std::string("0000000001") + "01120000ZFEB93" + blanks(17) +
                            "title" + blanks(75) + security + "0" + "source" + blanks(36) +
                            "00000512" + "00000256" + "INT" + "MONO    " + "VIS     " + "08" + "R" +
                            "N" + "0" + "NC" + "1" + "M " + blanks(6) + "N" + blanks(3) + "0" +
                            "0" + "B" + "0001" + "0001" + "0512" + "0256" + "08" + "001" + "000" +
                            "0000000000" + "1.0 " + "00000" + "00000";
    FileHeader fileHeader;
    fileHeader.version = 0;
    fileHeader.fhdr = "NITF02.00";
    fileHeader.switchTo20();
    const std::string file = fileWith(subheader, "", fileHeader);
    FileHeader reread;
    reread.read(new MemoryDataReader(file));
    ASSERT_EQ(reread.version, 0);
    std::unique_ptr<ImageHeader> header(readBack(file, reread));
    EXPECT_EQ(header->version, 0);
    EXPECT_EQ(header->iscode, "CODE" + blanks(36));
    EXPECT_EQ(header->isctln, "CTLN" + blanks(16));
    EXPECT_EQ(header->isdwng, devt ? "999998" : "999999");
    if (devt) {
      EXPECT_EQ(header->isdevt, "event" + blanks(35));
    }
    EXPECT_EQ(header->isorce, "source" + blanks(36));
    EXPECT_EQ(header->nrows, 512);
    EXPECT_EQ(header->icords, 'N');
    EXPECT_EQ(header->nppbv, 256);
    EXPECT_EQ(fields(*header), subheader);
    ImageHeader copy(*header);
    EXPECT_EQ(fields(copy), subheader);
    testing::internal::CaptureStdout();
    header->printTags();
    const std::string listing = testing::internal::GetCapturedStdout();
    EXPECT_NE(listing.find("isctln: \"CTLN" + blanks(16) + "\"\nisdwng: \""), std::string::npos);
    EXPECT_EQ(listing.find("isclsy"), std::string::npos);
  }
}

TEST(ImageHeader, CutShortAndHostileSubheaders) {
  ImageHeader header;
  header.icords = 'G';
  header.igeolo = "323000N1171500W323000N1164500W320000N1164500W320000N1171500W";
  header.nicom = 1;
  header.icom = {"c"};
  header.ixshdl = 3 + 11 + 5;
  header.ixshd = "BLOCKA00123abcde";
  header.fieldLengths[ImageHeader::IXSHD] = static_cast<int>(header.ixshd.size());
  const std::string subheader = fields(header);
  for (size_t cut = 0; cut <= subheader.size(); cut += 3) {
    FileHeader fileHeader;
    const std::string file = fileWith(subheader, "", fileHeader).substr(0, 404 + cut);
    std::unique_ptr<ImageHeader> reread(readBack(file, fileHeader));
    EXPECT_LE(reread->icom.size(), 1u);
  }
  // Counts far beyond the data: 9 comments, 99999 bands with LUTs.
  std::string hostile = defaultFields();
  hostile.replace(hostile.find("0NC0"), 4, "9NC0");
  FileHeader fileHeader;
  std::unique_ptr<ImageHeader> reread(readBack(fileWith(hostile, "", fileHeader), fileHeader));
  EXPECT_LT(reread->icom.size(), 9u);
  std::string bands = defaultFields();
  bands.replace(bands.find("0NC0") + 3, 6,
                "099999" + std::string("M ") + blanks(6) + "N" + blanks(3) + "9" + "99999");
  FileHeader bandFile;
  std::unique_ptr<ImageHeader> manyBands(readBack(fileWith(bands, "", bandFile), bandFile));
  EXPECT_LT(manyBands->irepband.size(), 100u);
  EXPECT_LT(manyBands->lutd[0].size(), 1000u);
}

TEST(ImageHeader, ListingFormat) {
  ImageHeader header;
  header.nbands = 1;
  header.irepband = {"M "};
  header.isubcat = {"      "};
  header.ifc = {"N"};
  header.imflt = {"   "};
  header.nluts = {1};
  header.nelut = {2};
  header.lutd = {{'A', 'B'}};
  header.nicom = 1;
  header.icom = {"hello"};
  testing::internal::CaptureStdout();
  header.printTags();
  const std::string listing = testing::internal::GetCapturedStdout();
  const std::string expectedStart = "------IMAGE SUBHEADER------\nim: \"IM\"\niid1: \"" +
                                    blanks(10) + "\"\nidatim: \"--------------\"\n";
  EXPECT_EQ(listing.rfind(expectedStart, 0), 0u);
  EXPECT_NE(listing.find("isdcxm: \"    \"\nisdg: \" \"\nisdgdt: \"        \"\n"),
            std::string::npos);
  EXPECT_NE(listing.find("irep: \"MONO      \"\n"), std::string::npos);
  EXPECT_NE(
      listing.find(
          "icords: \" \"\nigeolo: \"" + blanks(60) +
          "\"\nnicom: \"1\"\n  icom: \"hello\"\nic: \"NC\"\n"
          "comrat: \"    \"\nnbands: \"1\"\n\nirepband: \"M \"\nisubcat: \"      \"\nifc: \"N\"\n"
          "imflt: \"   \"\nnluts: \"1\"\nnelut: \"2\"\nnelut: A B \nisync: \"0\"\nimode: \"B\"\n"),
      std::string::npos);
  const std::string expectedEnd =
      "imag: \"1.0 \"\nudidl: \"0\"\nudofl: \"0\"\nudid: \"\"\nixshdl: \"0\"\nixsofl: "
      "\"0\"\nixshd: \"\"\n\n";
  ASSERT_GE(listing.size(), expectedEnd.size());
  EXPECT_EQ(listing.substr(listing.size() - expectedEnd.size()), expectedEnd);
  EXPECT_EQ(listing.find("xbands"), std::string::npos);

  ImageHeader noBands;
  testing::internal::CaptureStdout();
  noBands.printTags();
  EXPECT_NE(testing::internal::GetCapturedStdout().find("nbands: \"0\"\nxbands: \"0\"\n\nisync"),
            std::string::npos);
}

// ---- Extensions ----

std::string rpcText() { return "1" + std::string(1040, '0'); }
std::string ichipbText() {
  std::string text = "00" + std::string("1.00000000") + "00" + "00";
  const char* corners[] = {"0",    "0",    "0",    "999",  "999",  "0",    "999",  "999",
                           "1000", "2000", "1000", "2999", "1999", "2000", "1999", "2999"};
  for (const char* value : corners) {
    std::string field = value;
    field.resize(12, ' ');
    text += field;
  }
  return text + "00004000" + "00005000";
}

TEST(ImageHeaderExtensions, ParsesKnownAndUnknownRecords) {
  ImageHeader header;
  for (auto record : {std::make_pair(std::string("RPC00B"), rpcText()),
                      std::make_pair(std::string("OTHERA"), std::string("xyz")),
                      std::make_pair(std::string("ICHIPB"), ichipbText())}) {
    header.ixshd += record.first +
                    std::string(5 - std::to_string(record.second.size()).size(), '0') +
                    std::to_string(record.second.size()) + record.second;
  }
  header.ixshdl = static_cast<int>(header.ixshd.size()) + 3;
  header.fieldLengths[ImageHeader::IXSHD] = static_cast<int>(header.ixshd.size());
  header.parseTREs();
  ASSERT_EQ(header.getNumExtensions(), 3);
  EXPECT_NE(header.extensions[0], nullptr);
  EXPECT_EQ(header.extensions[1], nullptr);
  std::unique_ptr<Extension> chip(header.getExtension("ICHIPB"));
  ASSERT_NE(chip, nullptr);
  ICHIPB* typed = dynamic_cast<ICHIPB*>(chip.get());
  ASSERT_NE(typed, nullptr);
  EXPECT_EQ(typed->fi_row_21, 1999.0);
  EXPECT_EQ(typed->fi_col, 5000);
  EXPECT_NE(chip.get(), header.extensions[2]);
  EXPECT_EQ(header.getExtension("OTHERA"), nullptr);
  EXPECT_EQ(header.getExtension("BLOCKA"), nullptr);

  // A copy owns copies of the records, tags included.
  ImageHeader* copy = new ImageHeader(header);
  ASSERT_EQ(copy->getNumExtensions(), 3);
  EXPECT_NE(copy->extensions[2], header.extensions[2]);
  std::unique_ptr<Extension> copied(copy->getExtension("ICHIPB"));
  EXPECT_NE(copied, nullptr);
  EXPECT_EQ(fields(*copy), fields(header));
  delete copy;
  std::unique_ptr<Extension> still(header.getExtension("RPC00B"));
  EXPECT_NE(still, nullptr);

  // A last record cut short keeps the text present.
  header.ixshd += "TRUNCA00050abc";
  header.ixshdl = static_cast<int>(header.ixshd.size()) + 3;
  header.parseTREs();
  EXPECT_EQ(header.getNumExtensions(), 4);
}

TEST(ImageHeaderExtensions, RecordsAfterBinaryBytesAreFound) {
  ImageHeader header;
  header.ixshd =
      std::string("BINARY00004") + std::string("\0\x01\0\xff", 4) + "ICHIPB00224" + ichipbText();
  header.ixshdl = static_cast<int>(header.ixshd.size()) + 3;
  header.fieldLengths[ImageHeader::IXSHD] = static_cast<int>(header.ixshd.size());
  header.parseTREs();
  ASSERT_EQ(header.getNumExtensions(), 2);
  std::unique_ptr<Extension> chip(header.getExtension("ICHIPB"));
  EXPECT_NE(chip, nullptr);
}

TEST(ImageHeaderExtensions, AddExtensionGrowsTheExtendedData) {
  ImageHeader header;
  SENSRB* record = new SENSRB();
  record->text = std::string(100, 'z');
  header.addExtension(record);
  EXPECT_EQ(header.ixshdl, 114);
  EXPECT_EQ(header.ixshd.size(), 111u);
  EXPECT_EQ(header.ixshd.substr(0, 11), "SENSRB00100");
  EXPECT_EQ(header.fieldLengths[ImageHeader::IXSHD], 111);
  SENSRB* second = new SENSRB();
  header.addExtension(second);
  EXPECT_EQ(header.ixshdl, 125);
  EXPECT_EQ(header.getNumExtensions(), 2);
  EXPECT_EQ(fields(header).size(), 431u + 3 + 122);
  header.deleteExtensions();
  EXPECT_EQ(header.getNumExtensions(), 0);
}

// ---- IGEOLO ----

TEST(ImageHeaderCorners, DecimalForm) {
  ImageHeader header;
  ASSERT_TRUE(header.parseIGEOLO("+32.500-117.250+32.500-116.750+32.000-116.750+32.000-117.250"));
  EXPECT_EQ(header.frfcLat, 32.5);
  EXPECT_EQ(header.frfcLon, -117.25);
  EXPECT_EQ(header.frlcLon, -116.75);
  EXPECT_EQ(header.lrlcLat, 32.0);
  EXPECT_EQ(header.lrfcLon, -117.25);
  EXPECT_EQ(header.minLat, 32.0);
  EXPECT_EQ(header.minLon, -117.25);
  EXPECT_EQ(header.maxLat, 32.5);
  EXPECT_EQ(header.maxLon, -116.75);
  zel::GeoQuad quad;
  quad.ul.setElev(12.0);
  header.getFourCorners(quad);
  EXPECT_EQ(quad.ur.getLon(), -116.75);
  EXPECT_EQ(quad.ll.getLat(), 32.0);
  EXPECT_EQ(quad.ul.getElev(), 12.0);
}

TEST(ImageHeaderCorners, DegreesMinutesSecondsForm) {
  ImageHeader header;
  ASSERT_TRUE(header.parseIGEOLO("323000N1171500W323000N1164500W320000N1164500W320000S0001500E"));
  EXPECT_DOUBLE_EQ(header.frfcLat, 32.5);
  EXPECT_DOUBLE_EQ(header.frfcLon, -117.25);
  EXPECT_DOUBLE_EQ(header.lrfcLat, -32.0);
  EXPECT_DOUBLE_EQ(header.lrfcLon, 0.25);
  EXPECT_TRUE(std::isnan(header.minLat));  // no bounding box for this form
  // A blank where a digit belongs reads that part as zero.
  ASSERT_TRUE(header.parseIGEOLO("32 000N1171500W323000N1164500W320000N1164500W320000N1171500W"));
  EXPECT_DOUBLE_EQ(header.frfcLat, 32.0);
  EXPECT_EQ(header.latDMSToDegrees("323000"), -1000.0);
  EXPECT_EQ(header.lonDMSToDegrees("1171500"), -1000.0);
}

TEST(ImageHeaderCorners, UTMFormsAgainstGeoConvert) {
  ImageHeader header;
  header.icords = 'N';
  // GeoConvert -g -p 9 <<< "11n 480005 3599995" gives 32.53712985507426 -117.21293783611193.
  ASSERT_TRUE(header.parseIGEOLO("114800053599995114801953599995114801953599905114800053599905"));
  EXPECT_NEAR(header.frfcLat, 32.53712985507426, 1e-9);
  EXPECT_NEAR(header.frfcLon, -117.21293783611193, 1e-9);
  header.icords = 's';
  // GeoConvert -g -p 9 <<< "11s 480005 5999995" gives -36.14455694763465 -117.22225823665741.
  ASSERT_TRUE(header.parseIGEOLO("114800055999995114801955999995114801955999905114800055999905"));
  EXPECT_NEAR(header.frfcLat, -36.14455694763465, 1e-9);
  EXPECT_NEAR(header.frfcLon, -117.22225823665741, 1e-9);
}

TEST(ImageHeaderCorners, MGRSForm) {
  ImageHeader header;
  header.icords = 'U';
  ASSERT_TRUE(header.parseIGEOLO("33UXP050044499633UXP060044499633UXP060043499633UXP0500434996"));
  EXPECT_NEAR(header.frfcLat, 48.24947477507573, 1e-8);  // GeoConvert, "33n 605004 5344996"
  EXPECT_NEAR(header.frfcLon, 16.41449427857976, 1e-8);
  // A group that does not decode leaves its corner NaN and fails.
  EXPECT_FALSE(header.parseIGEOLO("33UXP050044499633UAP060044499633UXP060043499633UXP0500434996"));
  EXPECT_TRUE(std::isnan(header.frlcLat));
  EXPECT_FALSE(std::isnan(header.lrlcLat));
}

TEST(ImageHeaderCorners, FailuresChangeNothing) {
  ImageHeader header;
  header.icords = 'G';
  EXPECT_FALSE(header.parseIGEOLO("323000X1171500W323000X1164500W320000X1164500W320000X1171500W"));
  EXPECT_FALSE(header.parseIGEOLO("+32.500-117.250"));  // short text: false, no exception
  EXPECT_FALSE(header.parseIGEOLO(""));
  EXPECT_TRUE(std::isnan(header.frfcLat));
}

TEST(ImageHeaderCorners, Formatters) {
  ImageHeader header;
  EXPECT_EQ(header.formatLat(-5.25), "-05.250");
  EXPECT_EQ(header.formatLat(45.0), "+45.000");
  EXPECT_EQ(header.formatLon(7.5), "+007.500");
  EXPECT_EQ(header.formatLon(-71.125), "-071.125");
  EXPECT_EQ(header.formatLon(-179.9999), "-180.000");
  EXPECT_EQ(header.formatLat(9.9996), "+10.000");  // rounding carries: still 7 characters
  EXPECT_EQ(header.formatGeographicLat(54.0), "540000N");
  EXPECT_EQ(header.formatGeographicLon(-71.5), "0713000W");
  int d = 0, m = 0, s = 0;
  bool negative = false;
  header.angToDMS(-32.999999, d, m, s, negative);
  EXPECT_TRUE(negative);
  EXPECT_EQ(d, 32);
  EXPECT_EQ(m, 59);
  EXPECT_EQ(s, 60);  // not carried; reads back to the same angle
  EXPECT_NEAR(header.latDMSToDegrees(header.formatGeographicLat(-32.999999)), -33.0, 1e-9);

  zel::GeoQuad quad(32.5, -117.25, 32.5, -116.75, 32.0, -116.75, 32.0, -117.25);
  header.setIGEOLO(quad);
  EXPECT_EQ(header.icords, 'D');
  EXPECT_EQ(header.getCorners(), "+32.500-117.250+32.500-116.750+32.000-116.750+32.000-117.250");
  header.setGeographicIGEOLO(quad);
  EXPECT_EQ(header.icords, 'G');
  EXPECT_EQ(header.igeolo, "323000N1171500W323000N1164500W320000N1164500W320000N1171500W");
  EXPECT_TRUE(std::isnan(header.frfcLat));  // the stored corners are not touched
}

TEST(ImageHeaderCorners, BlockARefinesIGEOLO) {
  ImageHeader header;
  header.icords = 'D';
  header.igeolo = "+32.500-117.250+32.500-116.750+32.000-116.750+32.000-117.250";
  const std::string blocka = std::string("BLOCKA00123") + "01" + "00000" + "00010" + "   " + "   " +
                             blanks(16) + "+32.510000-116.740000" + "+32.010000-116.740000" +
                             " bad location here!!!" + "+32.510000-117.260000" + blanks(5);
  header.ixshd = blocka;
  header.ixshdl = static_cast<int>(blocka.size()) + 3;
  header.fieldLengths[ImageHeader::IXSHD] = static_cast<int>(blocka.size());
  FileHeader fileHeader;
  std::unique_ptr<ImageHeader> reread(
      readBack(fileWith(fields(header), "", fileHeader), fileHeader));
  EXPECT_DOUBLE_EQ(reread->frlcLat, 32.51);
  EXPECT_DOUBLE_EQ(reread->lrlcLon, -116.74);
  EXPECT_DOUBLE_EQ(reread->frfcLon, -117.26);
  EXPECT_DOUBLE_EQ(reread->lrfcLat, 32.0);  // BLOCKA location unreadable: IGEOLO kept
  EXPECT_EQ(reread->getNumExtensions(), 1);
  EXPECT_EQ(reread->extensions[0], nullptr);  // BLOCKA is not modelled by the list
  EXPECT_NE(reread->asde, nullptr);
}

}  // namespace

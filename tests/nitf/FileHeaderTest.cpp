// NITF file header: layout, round trips, the 2.0 variant, listings, and the
// corpus read as GDAL reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "io/MemoryDataReader.h"
#include "nitf/FileHeader.h"
#include "support/GdalInfo.h"
#include "support/TestPaths.h"

namespace {

std::string written(FileHeader& header) {
  std::ostringstream out(std::ios::binary);
  header.write(&out);
  return out.str();
}

std::string blanks(size_t n) { return std::string(n, ' '); }

TEST(FileHeader, DefaultWritesThe388Bytes) {
  FileHeader header;
  ASSERT_EQ(header.fdt.size(), 14u);
  const std::string expected =
      "NITF02.10" + std::string("01") + "BF01" + "DAZAZURAZU" + header.fdt + blanks(80) + "U" +
      blanks(2 + 11 + 2 + 20 + 2 + 8 + 4 + 1 + 8 + 43 + 1 + 40 + 1 + 8 + 15) + "00000" + "00000" +
      "0" + "000" + blanks(24 + 18) + "000000000388" + "000388" + "000" + "000" + "000" + "000" +
      "000" + "000" + "00000" + "00000";
  const std::string bytes = written(header);
  EXPECT_EQ(bytes.size(), 388u);
  EXPECT_EQ(bytes, expected);
}

TEST(FileHeader, SegmentTablesRoundTripAndOtherTablesAreWrittenEmpty) {
  FileHeader header;
  header.numi = 2;
  header.lish = new int[2]{439, 500};
  header.li = new long long[2]{1234567890LL, 42};
  header.numdes = 1;
  header.ldsh = new int[1]{200};
  header.ld = new int[1]{123456789};
  header.fl = 1234568000LL;
  header.hl = 388 + 2 * 16 + 13;
  const std::string bytes = written(header);
  ASSERT_EQ(bytes.size(), static_cast<size_t>(header.hl));
  EXPECT_NE(bytes.find("002000439123456789000050000000000420000000000010200123456789000"),
            std::string::npos);

  FileHeader reread;
  reread.read(new MemoryDataReader(bytes));
  EXPECT_EQ(reread.reader, nullptr);
  ASSERT_EQ(reread.numi, 2);
  EXPECT_EQ(reread.lish[1], 500);
  EXPECT_EQ(reread.li[0], 1234567890LL);
  ASSERT_EQ(reread.numdes, 1);
  EXPECT_EQ(reread.ld[0], 123456789);
  EXPECT_EQ(written(reread), bytes);

  // Graphic and text tables, user and extended data are read but written
  // as zero counts.
  std::string withOthers = bytes;
  const size_t nums = 363 + 2 * 16;  // after NUMI and its entries
  ASSERT_EQ(withOthers.substr(nums, 3), "000");
  withOthers.replace(nums, 3, "001" + std::string("0100") + "000200");
  FileHeader others;
  others.read(new MemoryDataReader(withOthers));
  ASSERT_EQ(others.nums, 1);
  EXPECT_EQ(others.lssh[0], 100);
  EXPECT_EQ(others.ls[0], 200);
  EXPECT_EQ(others.numdes, 1);
  EXPECT_EQ(written(others), bytes);
}

TEST(FileHeader, UserAndExtendedHeaderData) {
  FileHeader header;
  std::string bytes = written(header);
  bytes.replace(bytes.size() - 10, 10,
                "00008" + std::string("000") + "ABCDE" + "00006" + "007" + "XYZ");
  FileHeader reread;
  reread.read(new MemoryDataReader(bytes));
  EXPECT_EQ(reread.udhdl, 8);
  EXPECT_EQ(reread.udhofl, 0);
  EXPECT_EQ(reread.udhd, "ABCDE");
  EXPECT_EQ(reread.fieldLengths[FileHeader::UDHD], 5);
  EXPECT_EQ(reread.xhdl, 6);
  EXPECT_EQ(reread.xhdlofl, 7);
  EXPECT_EQ(reread.xhd, "XYZ");
  EXPECT_EQ(written(reread), written(header));
}

// A 2.0 header as MIL-STD-2500A lays it out, built field by field.
std::string header20(const std::string& fsdwng, const std::string& fsdevt) {
  return "NITF02.00" + std::string("01") + "    " + "STATION123" + "19930101120000" + "title" +
         blanks(75) + "U" + "CODE" + blanks(36) + "CTLH" + blanks(36) + "REL" + blanks(37) +
         "AUTH" + blanks(16) + "CTLN" + blanks(16) + fsdwng + fsdevt + "00001" + "00001" + "0" +
         "ORIGINATOR" + blanks(17) + "(555) 123-4567" + blanks(4) + "000000000000" + "000000" +
         "001" + "000439" + "0000001000" + "000" + "001" + "0100" + "020" + "000" + "000" + "000" +
         "00000" + "00000";
}

TEST(FileHeader, Version20LayoutAndRoundTrip) {
  for (bool devt : {false, true}) {
    std::string bytes =
        header20(devt ? "999998" : "999999", devt ? "downgrade event" + blanks(25) : "");
    const std::string hl = std::to_string(bytes.size());
    bytes.replace(bytes.find("000000000000") + 12, 6, std::string(6 - hl.size(), '0') + hl);
    FileHeader header;
    header.read(new MemoryDataReader(bytes));
    EXPECT_EQ(header.version, 0);
    EXPECT_EQ(header.fieldLengths[FileHeader::FSCODE], 40);
    EXPECT_EQ(header.fieldLengths[FileHeader::ONAME], 27);
    EXPECT_EQ(header.fscode, "CODE" + blanks(36));
    EXPECT_EQ(header.fsctln, "CTLN" + blanks(16));
    EXPECT_EQ(header.oname, "ORIGINATOR" + blanks(17));
    EXPECT_EQ(header.ophone, "(555) 123-4567    ");
    if (devt) {
      EXPECT_EQ(header.fsdevt, "downgrade event" + blanks(25));
    }
    EXPECT_EQ(header.numi, 1);
    EXPECT_EQ(header.li[0], 1000);
    EXPECT_EQ(header.numl, 1);
    EXPECT_EQ(header.llsh[0], 100);
    EXPECT_EQ(header.ll[0], 20);
    EXPECT_EQ(header.hl, static_cast<int>(bytes.size()));
    // Written back with the label table emptied.
    std::string expected = bytes;
    expected.replace(expected.find("0010100020"), 10, "000");
    EXPECT_EQ(written(header), expected);

    // A copy of a 2.0 header keeps the 2.0 layout.
    FileHeader copy(header);
    EXPECT_EQ(written(copy), expected);
  }
}

TEST(FileHeader, CopyOwnsItsTables) {
  FileHeader header;
  header.numi = 1;
  header.lish = new int[1]{439};
  header.li = new long long[1]{77};
  FileHeader* copy = new FileHeader(header);
  EXPECT_NE(copy->lish, header.lish);
  EXPECT_EQ(copy->li[0], 77);
  delete copy;
  EXPECT_EQ(header.lish[0], 439);
  FileHeader second(header);
  EXPECT_EQ(written(second), written(header));
}

TEST(FileHeader, ListingFormat) {
  FileHeader header;
  header.numi = 2;
  header.lish = new int[2]{439, 440};
  header.li = new long long[2]{100, 200};
  testing::internal::CaptureStdout();
  header.printTags();
  const std::string listing = testing::internal::GetCapturedStdout();
  EXPECT_EQ(
      listing.rfind(
          "------FILE HEADER------\nfhdr: \"NITF02.10\"\nclevel: \"1\"\nstype: \"BF01\"\n", 0),
      0u);
  EXPECT_NE(listing.find("fclas: \"U\"\nfsclsy: \"  \"\n"), std::string::npos);
  EXPECT_NE(listing.find("fsdg: \" \"\nfsdgt: \"        \"\n"), std::string::npos);
  EXPECT_NE(listing.find("encryp: \"0\"\nfbkgc: \"0-0-0\"\n"), std::string::npos);
  EXPECT_NE(
      listing.find(
          "fl: \"388\"\nhl: \"388\"\nnumi: \"2\"\n  lish: \"439\"\n  li: \"100\"\n\n  lish: "
          "\"440\"\n"
          "  li: \"200\"\n\nnums: \"0\"\nnumt: \"0\"\nnumdes: \"0\"\nnumres: \"0\"\nudhdl: \"0\"\n"
          "xhdl: \"0\"\n"),
      std::string::npos);
  EXPECT_EQ(listing.find("numx"), std::string::npos);
  EXPECT_EQ(listing.find("fsdwng"), std::string::npos);

  FileHeader old;
  old.read(new MemoryDataReader(header20("999999", "")));
  testing::internal::CaptureStdout();
  old.printTags();
  const std::string oldListing = testing::internal::GetCapturedStdout();
  EXPECT_NE(oldListing.find("fsctln: \"CTLN" + blanks(16) + "\"\nfsdwng: \"999999\"\nfsdevt: \"" +
                            blanks(40) + "\"\nfscop: \"1\""),
            std::string::npos);
  EXPECT_NE(oldListing.find("numl: \"1\"\n  llsh: \"100\"\n  ll: \"20\"\n\nnumt"),
            std::string::npos);
  EXPECT_EQ(oldListing.find("fbkgc"), std::string::npos);
}

TEST(FileHeader, ShortAndHostileInputs) {
  FileHeader header;
  const std::string bytes = written(header);
  // Every truncation reads without fault; counts never exceed what is left.
  for (size_t length = 0; length <= bytes.size(); length += 7) {
    std::string cut = bytes.substr(0, length);
    FileHeader h;
    h.read(new MemoryDataReader(cut));
    EXPECT_GE(h.numi, 0);
  }
  // A count of 999 images in a file that holds none of their entries.
  std::string hostile = bytes;
  hostile.replace(360, 3, "999");
  FileHeader h;
  h.read(new MemoryDataReader(hostile));
  EXPECT_LE(h.numi, 2);
  // A negative count.
  hostile.replace(360, 3, "-05");
  FileHeader negative;
  negative.read(new MemoryDataReader(hostile));
  EXPECT_EQ(negative.numi, 0);
  // A file that cannot be opened.
  FileHeader missing;
  missing.read(testsupport::scratchPath("no-such-file.ntf"));
  EXPECT_EQ(missing.numi, 0);
}

// True when `rewritten` equals `original` except where a numeric field of
// blanks was written zero-filled.
bool sameExceptBlankNumbers(const std::string& original, const std::string& rewritten) {
  if (original.size() != rewritten.size()) return false;
  for (size_t i = 0; i < original.size(); ++i) {
    if (original[i] != rewritten[i] && !(original[i] == ' ' && rewritten[i] == '0')) return false;
  }
  return true;
}

// GDAL's name for each header field it reports, with ours.
struct GdalField {
  const char* key;
  std::string (*value)(const FileHeader&);
};

TEST(FileHeaderCorpus, ReadsEveryFileAsGdalDoes) {
  const bool haveGdal = testsupport::haveCommand("gdalinfo");
  const GdalField fields[] = {
      {"NITF_FHDR", [](const FileHeader& h) { return h.fhdr; }},
      {"NITF_STYPE", [](const FileHeader& h) { return h.stype; }},
      {"NITF_OSTAID", [](const FileHeader& h) { return h.ostaid; }},
      {"NITF_FDT", [](const FileHeader& h) { return h.fdt; }},
      {"NITF_FTITLE", [](const FileHeader& h) { return h.ftitle; }},
      {"NITF_FSCLAS", [](const FileHeader& h) { return std::string(1, h.fsclas); }},
      {"NITF_FSCODE", [](const FileHeader& h) { return h.fscode; }},
      {"NITF_FSCTLH", [](const FileHeader& h) { return h.fsctlh; }},
      {"NITF_FSREL", [](const FileHeader& h) { return h.fsrel; }},
      {"NITF_FSCAUT", [](const FileHeader& h) { return h.fscaut; }},
      {"NITF_FSCTLN", [](const FileHeader& h) { return h.fsctln; }},
      {"NITF_ONAME", [](const FileHeader& h) { return h.oname; }},
      {"NITF_OPHONE", [](const FileHeader& h) { return h.ophone; }},
  };
  int compared = 0;
  for (const std::string& path : testsupport::corpusFiles()) {
    SCOPED_TRACE(path);
    FileHeader header;
    header.read(path);
    const std::string file = testsupport::readWholeFile(path);
    ASSERT_GE(header.hl, 0);
    ASSERT_LE(static_cast<size_t>(header.hl), file.size());
    // Written back: the same bytes, when the header holds only image and
    // data extension segments.
    if (header.nums == 0 && header.numt == 0 && header.numres == 0 && header.numl == 0 &&
        header.udhdl == 0 && header.xhdl == 0 && header.numx == 0) {
      EXPECT_TRUE(
          sameExceptBlankNumbers(file.substr(0, static_cast<size_t>(header.hl)), written(header)));
    }
    if (!haveGdal) continue;
    auto metadata = testsupport::gdalMetadata(path)[""];
    if (metadata.empty()) continue;  // GDAL refuses some files
    for (const GdalField& field : fields) {
      if (!metadata.count(field.key)) continue;
      // GDAL stops a value at its first NUL and drops trailing blanks.
      EXPECT_EQ(testsupport::rightTrimmed(field.value(header).c_str()),
                testsupport::rightTrimmed(metadata[field.key]))
          << field.key;
    }
    const auto number = [&metadata](const char* key) { return std::atoi(metadata[key].c_str()); };
    EXPECT_EQ(header.clevel, number("NITF_CLEVEL"));
    EXPECT_EQ(header.fscop, number("NITF_FSCOP"));
    EXPECT_EQ(header.fscpys, number("NITF_FSCPYS"));
    if (header.version == 0) {
      EXPECT_EQ(testsupport::rightTrimmed(header.fsdwng), metadata["NITF_FSDWNG"]);
    } else if (metadata.count("NITF_FBKGC")) {
      std::ostringstream background;
      background << static_cast<int>(static_cast<unsigned char>(header.fbkgc[0])) << ","
                 << static_cast<int>(static_cast<unsigned char>(header.fbkgc[1])) << ","
                 << static_cast<int>(static_cast<unsigned char>(header.fbkgc[2]));
      std::string gdal = metadata["NITF_FBKGC"];
      gdal.erase(std::remove(gdal.begin(), gdal.end(), ' '), gdal.end());
      EXPECT_EQ(background.str(), gdal);
    }
    ++compared;
  }
  if (haveGdal) {
    EXPECT_GT(compared, 20);
  }
}

}  // namespace

#pragma once
// Assembles the bytes of small NITF 2.1 files for tests: a file header with
// its segment tables, image subheaders whose extended subheader data hold the
// given extension records, and data extension segments with a given DESID,
// user-defined subheader and payload. Image, graphic and text data are opaque
// bytes (the product scanner steps over them).
#include <string>
#include <vector>

namespace testsupport {

struct ExtensionRecord {
  std::string tag;   // CETAG, up to 6 characters
  std::string text;  // CEDATA
};

struct ImageSegment {
  std::string dateTime = "20200102030405";  // IDATIM, 14 characters
  int rows = 100;
  int columns = 120;
  std::string irep = "MONO";
  char icords = 'G';      // ' ' leaves out IGEOLO
  std::string ic = "NC";  // other than NC/NM adds COMRAT
  int bands = 1;          // 0 writes NBANDS 0 and XBANDS = xbands
  int xbands = 0;
  int lutEntries = 0;                        // NELUT of every band (0: no LUT)
  int comments = 0;                          // NICOM
  std::vector<ExtensionRecord> extended;     // IXSHD
  std::vector<ExtensionRecord> userDefined;  // UDID
  std::string data;                          // image data bytes
};

struct DataExtensionSegment {
  std::string desid;
  std::string userSubheader;  // DESSHF (DESSHL is its length)
  std::string data;
};

struct NitfFile {
  std::string version = "02.10";  // FVER
  std::vector<ImageSegment> images;
  std::vector<std::string> graphics;  // segment data; each gets a minimal subheader
  std::vector<std::string> texts;
  std::vector<DataExtensionSegment> dataExtensions;
  int reservedExtensions = 0;
  std::string userHeaderData;      // UDHD (with UDHOFL prepended)
  std::string extendedHeaderData;  // XHD (with XHDLOFL prepended)
};

// Fixed-width text: left-justified, blank-padded or cut to `width`.
std::string textField(const std::string& value, size_t width);
// Fixed-width number: zero-padded on the left.
std::string numberField(long long value, size_t width);

std::string imageSubheader(const ImageSegment& image);
std::string dataExtensionSubheader(const DataExtensionSegment& segment);
std::string buildNitf(const NitfFile& file);

// A gzip stream of `bytes` (zlib, window bits 31).
std::string gzipCompress(const std::string& bytes, int level = 9);

}  // namespace testsupport

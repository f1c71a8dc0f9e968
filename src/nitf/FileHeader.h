#pragma once
#include <ostream>
#include <string>

#include "../io/DataReader.h"

// The file header of a NITF 2.1 file (MIL-STD-2500C), or of a NITF 2.0 file
// (MIL-STD-2500A) as far as the file header goes: identification, security,
// originator, file and header lengths and the segment tables.
//
// Members are named after the NITF fields. Each segment table is a count and
// two arrays of that many entries (subheader lengths and segment lengths),
// allocated with new[] and owned by the header. `fieldLengths` holds the width
// of every field in the order of FileHeader::Field; read, write and printTags
// walk one field table (FileHeader.cpp) with those widths.
//
// A written header describes image and data extension segments only: the
// graphic, label, text and reserved extension counts and the user-defined
// and extended header data lengths are written as zero.
class FileHeader {
 public:
  // The fields in file order, also the indices of `fieldLengths`.
  enum Field {
    FHDR,
    CLEVEL,
    STYPE,
    OSTAID,
    FDT,
    FTITLE,
    FSCLAS,
    FSCLSY,
    FSCODE,
    FSCTLH,
    FSREL,
    FSDCTP,
    FSDCDT,
    FSDCXM,
    FSDG,
    FSDGDT,
    FSCLTX,
    FSCATP,
    FSCAUT,
    FSCRSN,
    FSSRDT,
    FSCTLN,
    FSDWNG,
    FSDEVT,
    FSCOP,
    FSCPYS,
    ENCRYP,
    FBKGC,
    ONAME,
    OPHONE,
    FL,
    HL,
    NUMI,
    LISH,
    LI,
    NUMS,
    LSSH,
    LS,
    NUML,
    LLSH,
    LL,
    NUMX,
    NUMT,
    LTSH,
    LT,
    NUMDES,
    LDSH,
    LD,
    NUMRES,
    LRESH,
    LRE,
    UDHDL,
    UDHOFL,
    UDHD,
    XHDL,
    XHDLOFL,
    XHD,
    FIELD_COUNT
  };

  // Byte length of a default (2.1, no segments) header.
  static const int DEFAULT_HEADER_LENGTH = 388;

  // The reader of the file being read; exists only during read().
  DataReader* reader = nullptr;
  // 1 for NITF 2.1, 0 for NITF 2.0.
  int version = 1;
  // Width in bytes of each field, indexed by Field.
  int fieldLengths[FIELD_COUNT];

  std::string fhdr = "NITF02.10";  // FHDR and FVER together
  int clevel = 1;
  std::string stype = "BF01";
  std::string ostaid = "DAZAZURAZU";
  std::string fdt;  // CCYYMMDDhhmmss, the time of construction by default
  std::string ftitle;
  char fsclas = 'U';
  std::string fsclsy;
  std::string fscode;
  std::string fsctlh;
  std::string fsrel;
  std::string fsdctp;
  std::string fsdcdt;
  std::string fsdcxm;
  char fsdg = ' ';
  std::string fsdgdt;
  std::string fscltx;
  char fscatp = ' ';
  std::string fscaut;
  char fscrsn = ' ';
  std::string fssrdt;
  std::string fsctln;
  std::string fsdwng;  // 2.0 only
  std::string fsdevt;  // 2.0 only, when FSDWNG is "999998"
  int fscop = 0;
  int fscpys = 0;
  bool encryp = false;
  char fbkgc[3] = {'0', '0', '0'};  // 2.1 only: background colour bytes
  std::string oname;
  std::string ophone;
  long long fl = DEFAULT_HEADER_LENGTH;  // file length
  int hl = DEFAULT_HEADER_LENGTH;        // header length

  int numi = 0;             // image segments
  int* lish = nullptr;      // subheader lengths
  long long* li = nullptr;  // image lengths
  int nums = 0;             // graphic segments
  int* lssh = nullptr;
  int* ls = nullptr;
  int numl = 0;  // label segments (2.0 only)
  int* llsh = nullptr;
  int* ll = nullptr;
  int numx = 0;  // reserved count (2.1 only), no entries
  int numt = 0;  // text segments
  int* ltsh = nullptr;
  int* lt = nullptr;
  int numdes = 0;  // data extension segments
  int* ldsh = nullptr;
  int* ld = nullptr;
  int numres = 0;  // reserved extension segments
  int* lresh = nullptr;
  int* lre = nullptr;

  int udhdl = 0;
  int udhofl = 0;
  std::string udhd;
  int xhdl = 0;
  int xhdlofl = 0;
  std::string xhd;

  // A 2.1 header for a file without segments.
  FileHeader();
  // Copies every field value, segment table and the version; the copy has
  // no reader and the 2.1 widths in its length table.
  FileHeader(const FileHeader& other);
  FileHeader& operator=(const FileHeader&) = delete;
  ~FileHeader();

  // Reads the header of the file at `path`. A file that is not NITF reads as
  // a 2.1 header with whatever its bytes give; a file that ends inside the
  // header reads blanks from there. Segment counts are bounded by what the
  // rest of the file can hold.
  void read(std::string path);
  // Reads the header from the start of `source`, taking ownership of it
  // (deleted at the end, like the reader read(path) opens).
  void read(DataReader* source);
  // Writes the header at the stream's current position.
  void write(std::ostream* out);
  // Lists the header on standard output.
  void printTags();

  // The 2.1 widths (UDHD and XHD: 0).
  void initializeLengths();
  // The 2.0 widths of FSCODE, FSCTLH, FSREL (40), FSCAUT, FSCTLN (20) and
  // ONAME (27).
  void switchTo20();

  void readStringTag(int n, std::string& value);
  void readIntTag(int n, int& value);
  void readCharTag(char& value);
  void readBoolTag(bool& value);
  void readLongLongTag(int n, long long& value);

 private:
  void deleteSegmentTables();
  void readSegmentTable(Field countField, int& count, int*& subheaderLengths, int*& lengths32,
                        long long*& lengths64);
};

#pragma once
#include <ostream>
#include <string>

#include "../io/DataReader.h"
#include "FileHeader.h"

// One NITF data extension segment: its subheader (MIL-STD-2500C layout) and
// its data bytes. A segment of a NITF 2.0 file (MIL-STD-2500A) is read,
// written and listed in the 2.0 layout (`version` 0: other security fields,
// DESDWNG and DESDEVT, overflow segments named "Registered Extensions" or
// "Controlled Extensions").
//
// Subheader members are named after the NITF fields. `fieldLengths` holds the
// width of every field in the order of DESHeader::Field; reading, writing and
// printing walk one field table (DESHeader.cpp) with those widths. DESOFLW
// and DESITEM are present only when DESID, without its trailing blanks, is
// "TRE_OVERFLOW"; DESSHF only when DESSHL is not 0.
class DESHeader {
 public:
  // The subheader fields in file order; also the indices of `fieldLengths`.
  enum Field {
    DE,
    DESID,
    DESVER,
    DECLAS,
    DESCLSY,
    DESCODE,
    DESCTLH,
    DESREL,
    DESDCTP,
    DESDCDT,
    DESDCXM,
    DESDG,
    DESDGDT,
    DESCLTX,
    DESCATP,
    DESCAUT,
    DESCRSN,
    DESSRDT,
    DESCTLN,
    DESOFLW,
    DESITEM,
    DESSHL,
    DESSHF,
    // NITF 2.0 only: after DESCTLN.
    DESDWNG,
    DESDEVT,
    FIELD_COUNT
  };

  // Byte length of a subheader with DESSHL 0 whose DESID is not
  // "TRE_OVERFLOW".
  static const int DEFAULT_SUBHEADER_LENGTH = 200;

  // The reader of the file being read; exists only during read().
  DataReader* reader = nullptr;
  // 1 for the NITF 2.1 layout, 0 for 2.0 (taken from the file header).
  int version = 1;
  // Width of every field, indexed by Field (DESSHF: DESSHL once read).
  int fieldLengths[FIELD_COUNT];

  std::string de = "DE";
  std::string desid;  // blank-filled to 25 characters when written
  int desver = 1;
  char declas = 'U';
  std::string desclsy;
  std::string descode;
  std::string desctlh;
  std::string desrel;
  std::string desdctp;
  std::string desdcdt;
  std::string desdcxm;
  char desdg = ' ';
  std::string desdgdt;
  std::string descltx;
  char descatp = ' ';
  std::string descaut;
  char descrsn = ' ';
  std::string dessrdt;
  std::string desctln;
  std::string desdwng;  // 2.0 only
  std::string desdevt;  // 2.0 only, when DESDWNG is "999998"
  std::string desoflw;  // TRE_OVERFLOW only
  int desitem = 0;      // TRE_OVERFLOW only
  int desshl = 0;
  std::string desshf;

  // The segment's data (delete[]): after read, the DES length bytes and one
  // NUL byte; after NITF::addDataExtensionSegment, exactly the DES length
  // bytes. Null when there are none.
  char* data = nullptr;

  // Defaults, no reader, no data.
  DESHeader();
  // Every field, the DES length and a copy of the data; no reader; the
  // DESSHF width follows the copied DESSHL.
  DESHeader(const DESHeader& other);
  DESHeader& operator=(const DESHeader&) = delete;
  ~DESHeader();

  // Reads data extension segment `index` (from 0) of the file at `path`
  // whose file header is `fileHeader`: subheader and data. DESSHL and the
  // data length are bounded by what the file holds (the DES length becomes
  // the number of data bytes present). An index outside the file's table
  // reads nothing.
  void read(std::string path, FileHeader& fileHeader, int index);
  // The same from `source`, which the segment takes over (deleted at the end
  // of the call).
  void read(DataReader* source, FileHeader& fileHeader, int index);
  // Writes subheader and data, and reports on standard output the lines
  // "DESHeader Length: <subheader bytes>" and "DESData Length: <data bytes>".
  void write(std::ostream* out);
  // Writes the subheader only; returns its byte length.
  int writeSubheader(std::ostream* out);
  // Lists the subheader on standard output (the data are not listed).
  void printTags();
  // Positions the reader at the subheader of segment `index`: past the file
  // header and every image, graphic, label (NITF 2.0) and text segment and
  // the data extension segments before `index`. False when the tables do
  // not locate it (the reader is then left where it was).
  bool jumpToCurrentSegment(FileHeader& fileHeader, int index);

  // The number of data bytes (LD).
  int getDESLength() const { return desLength; }
  void setDESLength(int length) { desLength = length; }
  // The widths of the field table (DESSHF 0) and a DES length of 0.
  void initializeLengths();
  // The 2.0 widths of DESCODE, DESCTLH, DESREL (40), DESCAUT and DESCTLN (20).
  void switchTo20();
  // True when DESID without trailing blanks is "TRE_OVERFLOW" (in 2.0 also
  // "Registered Extensions" or "Controlled Extensions").
  bool isTreOverflow() const;

  void readStringTag(int n, std::string& value);
  void readIntTag(int n, int& value);
  void readCharTag(char& value);
  void readBoolTag(bool& value);
  void readLongLongTag(int n, long long& value);

 private:
  int desLength = 0;
};

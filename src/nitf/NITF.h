#pragma once
#include <deque>
#include <ostream>
#include <string>

#include "../geometry/GeoQuad.h"
#include "../io/DataReader.h"
#include "../tre/Extension.h"
#include "DESHeader.h"
#include "FileHeader.h"
#include "ImageHeader.h"

// The image representation of an image segment added from a pixel buffer.
enum IREP {
  MONO = 0,  // one band, IREP "MONO"
  RGB = 1    // three bands, IREP "RGB"
};

// A NITF 2.1 file: its file header, image segments and data extension
// segments. A NITF is either read from a file (subheaders only; pixels are
// read on request through each ImageHeader) or built in memory from pixel
// buffers, extension records, corner coordinates and data extension
// segments, and then written. The adding operations keep the file header's
// length fields (HL, FL, LISH, LI, LDSH, LD) in step with the segments.
// Only image and data extension segments are written.
class NITF {
 public:
  // ---------------------------------------------------------------------
  // The whole file (NITF.cpp).

  // The form of the IGEOLO text that addIGEOLO writes.
  enum GEO_FORMAT {
    GEOGRAPHIC = 0,  // degrees, minutes and seconds, ICORDS "G"
    DECIMAL = 1      // decimal degrees, ICORDS "D"
  };

  // Sizes used when segments are added.
  static const int IMAGE_BLOCK_SIZE = 512;         // NPPBH and NPPBV of added images
  static const int IMAGE_TABLE_ENTRY_LENGTH = 16;  // LISH (6) and LI (10)
  static const int DES_TABLE_ENTRY_LENGTH = 13;    // LDSH (4) and LD (9)
  static const int EXTENSION_RECORD_HEADER = 11;   // CETAG (6) and CEL (5)
  static const int IGEOLO_LENGTH = 60;

  // The path given to readFile; empty for a file built in memory.
  std::string filename;
  FileHeader fileHeader;
  // The segments in file order; an element keeps its address when others
  // are appended.
  std::deque<ImageHeader> images;
  std::deque<DESHeader> dataExtensions;

  // An empty 2.1 file: a 388-byte header and no segments.
  NITF();
  // Reads the file at `path` (see readFile).
  explicit NITF(std::string path);
  NITF(const NITF&) = delete;
  NITF& operator=(const NITF&) = delete;
  ~NITF() = default;

  // Reads the file header, every image subheader and every data extension
  // segment of the file at `path`, appending the segments to the lists.
  // A path that cannot be opened leaves the object as it was.
  void readFile(std::string path);
  // Writes the file header, every image segment (subheader, then its pixel
  // buffer by block, or for a segment read from a file whose pixels were not
  // read, its data copied from that file) and every data extension segment
  // to `path`. The file header's segment tables, HL and FL are set to what
  // is written. Writes nothing while a segment holds a chip.
  void writeFile(std::string path);

  // Appends an uncompressed 8-bit image segment of `rows` x `cols` pixels in
  // 512 x 512 blocks (IMODE "B") whose pixels are `pixels`, interleaved by
  // pixel (R, G, B for RGB). `size` is the byte size of `pixels`; 0 or less
  // means "not given". On success the segment owns `pixels` (delete[]). False,
  // with nothing added and `pixels` left to the caller, for a format other
  // than RAW, an `irep` other than MONO and RGB, a size below rows x cols x
  // bands, or rows or cols out of the NITF range.
  bool addImageSubHeader(unsigned char* pixels, ImageHeader::FORMAT format, long long size,
                         int rows, int cols, IREP irep);
  // The band fields of an RGB (R, G, B) or MONO (M) image without LUTs.
  // Always true.
  bool initHeaderBandsRGB(ImageHeader& image);
  bool initHeaderBandsMONO(ImageHeader& image);
  // Empties the band fields; NBANDS is not changed.
  void clearBandFields(ImageHeader& image);

  // Adds `extension` to image segment `index`, growing its LISH and FL by the
  // record's size. Takes ownership of `extension` in every case (deleted
  // when refused). False for an image number that does not exist, a null
  // extension, or a record that would take IXSHDL past its 5 digits.
  bool addTreSegment(Extension* extension, unsigned int index);
  // Sets the IGEOLO of image segment `index` from `corners` (degrees) in the
  // form `form`, growing LISH and FL by 60 when the image had no IGEOLO;
  // the image's corners (getCorners) become those of the text.
  // False, with nothing changed, for another form or image number.
  bool addIGEOLO(zel::GeoQuad& corners, NITF::GEO_FORMAT form, unsigned int index);
  // Appends a data extension segment with DESID `desid`, DESVER `desver`
  // and a copy of the `length` bytes at `data`. False, with nothing added,
  // for a negative length, more than LD's 9 digits, or null data.
  bool addDataExtensionSegment(std::string desid, int desver, const char* data, int length);

  // True when the file has an image segment.
  bool checkIfOpen();
  // True when `n` names an image segment.
  bool checkImageNumber(int n);
  // The corners of image segment `n` (degrees; NaN where unknown), or an
  // all-zero quad when there is no such image.
  zel::GeoQuad getCorners(int n);
  std::string getFilename();

  // ---------------------------------------------------------------------
  // Field encoding (NITFFields.cpp): the one set of routines through which every NITF header
  // field and every tagged record extension field is read and written.
  // Static; they keep no state and trust the data (nothing is validated or
  // reported).
  //
  // Reading: each reader asks `reader` for n bytes in one read. Bytes that
  // do not arrive (end of data, failed reader) read as blanks. Numbers are
  // taken from the start of the field as formatted stream extraction takes
  // them; a field of blanks leaves a numeric target unchanged, a field that
  // does not start with a number sets it to 0. A NUL byte ends the number.
  // A field width n below 0 counts as 0. readStringTag allocates n bytes:
  // callers that take n from the data check it against reader->remaining().

  // The n bytes as they stand (length n, blanks kept).
  static void readStringTag(DataReader* reader, int n, std::string& value);
  // A decimal integer; beyond the int range it becomes INT_MAX or INT_MIN.
  static void readIntTag(DataReader* reader, int n, int& value);
  // A decimal integer through atoll (zero-filled length fields).
  static void readLongLongTag(DataReader* reader, int n, long long& value);
  // A decimal real (point and exponent accepted).
  static void readDoubleTag(DataReader* reader, int n, double& value);
  // One digit: true when it is not 0 (a blank reads as false).
  static void readBoolTag(DataReader* reader, bool& value);
  // One byte, unconverted (a blank when none arrives).
  static void readCharTag(DataReader* reader, char& value);

  // The digits of p[0 .. len): value * 10 + (byte - '0') for each byte, up to
  // len bytes or the first NUL. No sign, no blank skipping, no digit check
  // (NITF length fields are zero-filled). -1 for a null pointer, 0 for
  // len <= 0 or an empty text; 64-bit arithmetic wraps around.
  static long long atoll(const char* p, int len);

  // Writing: exactly n bytes (1 for the char and bool fields), unformatted,
  // to `out`, which is open in binary mode. The stream state is not checked.

  // Text padded on the right with blanks, or cut.
  static void writeStringTag(std::ostream* out, int n, const std::string& value);
  static void writeCharTag(std::ostream* out, char value);
  // "1" or "0".
  static void writeBoolTag(std::ostream* out, bool value);
  // Zero-filled decimal; a negative value starts with "-"; a value whose
  // digits do not fit is written as all "9" (42 in 5: "00042"; 1234 in 3:
  // "999"; -7 in 4: "-007").
  static void writeIntTag(std::ostream* out, int n, int value);
  // "+" (also for 0) or "-", then n - 1 zero-filled digits (7 in 4: "+007").
  static void writeSignedIntTag(std::ostream* out, int n, int value);
  // As writeIntTag, for lengths of up to 12 digits ("000000000388").
  static void writeLongLongTag(std::ostream* out, int n, long long value);
  // Fixed point with as many decimals as fit (3.14159265 in 10:
  // "3.14159265"; 1234.56 in 5: "1234."). A value whose integer part does not
  // fit is written as all "9" (after "-"); NaN as blanks.
  static void writeDoubleTag(std::ostream* out, int n, double value);
  // "+" or "-", then n - 1 characters of writeDoubleTag (2.5 in 6: "+2.500").
  static void writeSignedDoubleTag(std::ostream* out, int n, double value);
  // Mantissa and an exponent of e digits in n characters (12.34567 in 11
  // with e 1: "1.234567e+1"). Values whose exponent needs more digits are
  // saturated (large) or written as zero (small).
  static void writeScientificTag(std::ostream* out, int n, int e, double value);
  // "+" or "-", then n - 1 characters of writeScientificTag.
  static void writeSignedScientificTag(std::ostream* out, int n, int e, double value);

  // The decimal text of v, with one leading "0" for 0 to 9 ("07", "12").
  static std::string padInt(int v);
  // The current UTC time as CCYYMMDDhhmmss.
  static std::string getTimeString();

 private:
  // Writes one image segment; returns the byte length of its subheader.
  long long writeImageSegment(ImageHeader& image, std::ostream* out);
  // Gives the file header's image and data extension tables one entry per
  // segment of the lists.
  void matchSegmentTables();
};

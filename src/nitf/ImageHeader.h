#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "../geometry/GeoQuad.h"
#include "../io/DataReader.h"
#include "../tre/Extension.h"
#include "../tre/TRE.h"
#include "FileHeader.h"

class NitfASDE;

// One NITF image segment: the image subheader (MIL-STD-2500C layout, also in
// files whose file header is 2.0), the tagged record extensions of its
// extended subheader data, the four corners decoded from IGEOLO (refined by a
// BLOCKA record when present), and the image pixels.
//
// A subheader of a NITF 2.0 file (MIL-STD-2500A) is read, written and listed
// in the 2.0 layout (`version` 0: other security fields, ISDWNG and ISDEVT,
// ICORDS "N" for no corners); every other subheader in the 2.1 layout.
//
// Subheader members are named after the NITF fields. `fieldLengths` holds the
// width of every field in the order of ImageHeader::Field; reading, writing
// and printing walk one field table (ImageHeader.cpp) with those widths. The
// per-band fields are parallel vectors of bandCount() entries; the comments a
// vector of NICOM entries.
//
// Angles are decimal degrees, north and east positive.
class ImageHeader {
 public:
  // The subheader fields in file order, then the two fields of an extension
  // record header (CETAG, CEL); also the indices of `fieldLengths`.
  enum Field {
    IM,
    IID1,
    IDATIM,
    TGTID,
    IID2,
    ISCLAS,
    ISCLSY,
    ISCODE,
    ISCTLH,
    ISREL,
    ISDCTP,
    ISDCDT,
    ISDCXM,
    ISDG,
    ISDGDT,
    ISCLTX,
    ISCATP,
    ISCAUT,
    ISCRSN,
    ISSRDT,
    ISCTLN,
    ENCRYP,
    ISORCE,
    NROWS,
    NCOLS,
    PVTYPE,
    IREP,
    ICAT,
    ABPP,
    PJUST,
    ICORDS,
    IGEOLO,
    NICOM,
    ICOM,
    IC,
    COMRAT,
    NBANDS,
    XBANDS,
    IREPBAND,
    ISUBCAT,
    IFC,
    IMFLT,
    NLUTS,
    NELUT,
    LUTD,
    ISYNC,
    IMODE,
    NBPR,
    NBPC,
    NPPBH,
    NPPBV,
    NBPP,
    IDLVL,
    IALVL,
    ILOC,
    IMAG,
    UDIDL,
    UDOFL,
    UDID,
    IXSHDL,
    IXSOFL,
    IXSHD,
    CETAG,
    CEL,
    // NITF 2.0 only: between ISCTLN and ENCRYP.
    ISDWNG,
    ISDEVT,
    FIELD_COUNT
  };

  // Layout of the pixel buffer (see the image-data operations).
  enum FORMAT { RAW = 0, JPEG = 1, OPENCV = 2 };

  // Byte length of the fixed part of a subheader with ICORDS blank, no
  // comments, IC "NC", no user or extended data and no bands; each band
  // without LUT adds BAND_LENGTH.
  static const int FIXED_LENGTH = 426;
  static const int BAND_LENGTH = 13;

  // The file the segment was read from (empty when it was not read).
  std::string path;
  // The reader of the file; exists only while an operation reads.
  DataReader* reader = nullptr;
  // File position of the first byte of the image data.
  long long dataOffset = 0;
  // The segment's data length (LI).
  long long segmentLength = 0;

  // ---- Image data (pixel buffer and JPEG block tables) ----
  bool chippedData = false;
  FORMAT format = RAW;
  int widthStep = 1;
  int bufferWidth = 0;
  int bufferHeight = 0;
  // Per JPEG block: offset of its first byte and of its closing EOI marker
  // from the start of the image data (NBPR x NBPC entries each), or null.
  int* blockStarts = nullptr;
  int* blockEnds = nullptr;
  // Number of entries of the two block tables (0 while they are null).
  int blockCount = 0;
  // The pixel buffer (delete[]) and its size in bytes.
  unsigned char* imageData = nullptr;
  long long imageDataSize = 0;

  // ---- Extensions ----
  // Owned; a null entry stands for a record whose tag is not modelled.
  std::vector<Extension*> extensions;

  // Width of every field, indexed by Field.
  int fieldLengths[FIELD_COUNT];

  // Corners from IGEOLO or BLOCKA, degrees, NaN when unknown: first row first
  // column (upper left), first row last column (upper right), last row last
  // column (lower right), last row first column (lower left).
  double frfcLat, frfcLon, frlcLat, frlcLon, lrlcLat, lrlcLon, lrfcLat, lrfcLon;
  // Bounding box of the decimal IGEOLO corners, NaN when unknown.
  double minLat, minLon, maxLat, maxLon;

  // The airborne support data parser of the last read (owned), or null.
  NitfASDE* asde = nullptr;

  // 1 for the NITF 2.1 layout, 0 for 2.0 (taken from the file header).
  int version = 1;

  // ---- Subheader fields ----
  std::string im = "IM";
  std::string iid1;
  std::string idatim = "--------------";
  std::string tgtid;
  std::string iid2;
  char isclas = 'U';
  std::string isclsy;
  std::string iscode;
  std::string isctlh;
  std::string isrel;
  std::string isdctp;
  std::string isdcdt;
  std::string isdcxm;
  char isdg = ' ';
  std::string isdgdt;
  std::string iscltx;
  char iscatp = ' ';
  std::string iscaut;
  std::string iscrsn;
  std::string issrdt;
  std::string isctln;
  std::string isdwng;  // 2.0 only
  std::string isdevt;  // 2.0 only, when ISDWNG is "999998"
  bool encryp = false;
  std::string isorce;
  int nrows = 1;
  int ncols = 1;
  std::string pvtype = "INT";
  std::string irep = "MONO      ";
  std::string icat = "VIS     ";
  int abpp = 8;
  char pjust = 'R';
  char icords = ' ';
  std::string igeolo;
  int nicom = 0;
  std::vector<std::string> icom;
  std::string ic = "NC";
  std::string comrat;
  int nbands = 0;
  int xbands = 0;
  std::vector<std::string> irepband;
  std::vector<std::string> isubcat;
  std::vector<std::string> ifc;
  std::vector<std::string> imflt;
  std::vector<int> nluts;
  std::vector<int> nelut;
  // LUT bytes per band (NLUTS x NELUT), empty for a band without LUT.
  std::vector<std::vector<unsigned char>> lutd;
  int isync = 0;
  char imode = 'B';
  int nbpr = 1;
  int nbpc = 1;
  int nppbh = 0;
  int nppbv = 0;
  int nbpp = 8;
  int idlvl = 1;
  int ialvl = 0;
  std::string iloc = "0000000000";
  std::string imag = "1.0 ";
  int udidl = 0;
  int udofl = 0;
  std::string udid;
  int ixshdl = 0;
  int ixsofl = 0;
  std::string ixshd;

  // A default subheader: no bands, no extensions, no reader.
  ImageHeader();
  // Copies the path, offsets, image-data flags and every subheader field;
  // every extension is copied with copy(); no reader, pixel buffer, block
  // tables or NitfASDE; corners NaN.
  ImageHeader(const ImageHeader& other);
  ImageHeader& operator=(const ImageHeader&) = delete;
  ~ImageHeader();

  // Reads image subheader `index` (from 0) of the file at `path` whose file
  // header is `fileHeader` (in the layout of the file header's version),
  // then its extensions and corners. Counts and
  // lengths are bounded by what the file holds; fields beyond the end of the
  // file read as blanks. An index outside the file's image table reads
  // nothing.
  void read(std::string path, FileHeader& fileHeader, int index);
  // The same from `source`, which the subheader takes over (deleted at the
  // end of the call); the path stays empty.
  void read(DataReader* source, FileHeader& fileHeader, int index);
  // Writes the subheader fields (the image data are not written).
  void writeFields(std::ostream* out);
  // Lists the subheader on standard output.
  void printTags();
  // The 2.1 widths.
  void initializeLengths();
  // The 2.0 widths of ISCODE, ISCTLH, ISREL (40), ISCAUT and ISCTLN (20).
  void switchTo20();

  // The number of bands: NBANDS, or XBANDS when NBANDS is 0.
  int bandCount() const;

  // ---- Extension list ----
  int getNumExtensions() const;
  // A copy (owned by the caller) of the first extension whose tag is `tag`,
  // or null.
  Extension* getExtension(std::string tag);
  // Appends `extension` (taking ownership) and its record to IXSHD, growing
  // IXSHDL (by 3 more for IXSOFL when there was no extended data).
  void addExtension(Extension* extension);
  // The typed record for `record` ("ICHIPB", "RPC00B", "SENSRB"), or null
  // for any other tag. Owned by the caller.
  Extension* createExtension(TRE& record);
  // Rebuilds the extension list from IXSHD.
  void parseTREs();
  void deleteExtensions();

  // ---- Corner coordinates (IGEOLO) ----
  // Fills the corners from a 60-character IGEOLO: decimal ("+dd.ddd+ddd.ddd"
  // x 4), degrees-minutes-seconds ("ddmmssNdddmmssE" x 4), or by ICORDS
  // MGRS ('U') or UTM north ('N') or south ('S'), on WGS 84. False for a
  // shorter text, an unknown form, a DMS group out of range or an MGRS group
  // that does not decode (its corner is then NaN).
  bool parseIGEOLO(std::string igeolo);
  // A copy of IGEOLO.
  std::string getCorners();
  // Sets the latitude and longitude of each corner of `quad` (upper left,
  // upper right, lower right, lower left) to the stored corners.
  void getFourCorners(zel::GeoQuad& quad);
  // ICORDS "D" and the decimal IGEOLO of `quad`.
  void setIGEOLO(zel::GeoQuad& quad);
  // ICORDS "G" and the degrees-minutes-seconds IGEOLO of `quad`.
  void setGeographicIGEOLO(zel::GeoQuad& quad);
  std::string createIGEOLOString(zel::GeoQuad& quad);
  std::string createGeographicIGEOLOString(zel::GeoQuad& quad);
  // "+dd.ddd" and "+ddd.ddd".
  std::string formatLat(double latitude);
  std::string formatLon(double longitude);
  // "ddmmssN" and "dddmmssE" (seconds rounded half up, not carried).
  std::string formatGeographicLat(double latitude);
  std::string formatGeographicLon(double longitude);
  // Whole degrees, minutes and rounded seconds of |angle|, and its sign.
  void angToDMS(double angle, int& degrees, int& minutes, int& seconds, bool& negative);
  // "ddmmssN" or "dddmmssE" to degrees; -1000 for a text too short.
  double latDMSToDegrees(std::string text);
  double lonDMSToDegrees(std::string text);

  // ---- Field readers on the subheader's reader, and text conversions ----
  void readStringTag(int n, std::string& value);
  void readIntTag(int n, int& value);
  void readCharTag(char& value);
  void readBoolTag(bool& value);
  void readLongLongTag(int n, long long& value);
  static double string_to_double(const std::string& text);
  static int string_to_int(const std::string& text);
  static void copyString(std::string& from, std::string& to);

  // ---- Image data (ImageData.cpp, ImageJpeg.cpp) ----
  // Decoded: uncompressed data with NBPP 8 or 16 (16-bit samples scaled to 8
  // bits by ABPP), IMODE "B" or "P", at least BPP bands (the first BPP are
  // taken) or one band with three look-up tables (IREP "RGB/LUT"), IC "NC";
  // IC "C3" baseline JPEG blocks. Other codes are not
  // decoded (false). The buffer holds BPP 8-bit samples per pixel in the layout
  // of `format`. Counts, lengths and offsets from the file are bounded by what
  // the file holds; a read that cannot be done returns false.

  // Reads the whole image (NCOLS x NROWS pixels). False when the segment has
  // no file path, its layout is not decoded, the file does not hold the data,
  // or a JPEG block is corrupt (the buffer then holds what was decoded).
  bool readImage();
  // Reads the chip of width x height pixels whose upper left pixel is column
  // x, row y of the image. Chip pixels outside the image stay 255 (white);
  // only the blocks the chip touches are read. False (buffer white) as for
  // readImage, and for a width or height below 1.
  bool readImageChip(int x, int y, int width, int height);
  // Chooses the buffer layout; converts an existing RAW buffer. Throws
  // std::runtime_error (after printing its message) for any other conversion.
  void setImageFormat(FORMAT newFormat);
  // Samples per buffer pixel: 3 for IREP "RGB", "RGB/LUT", "YCbCr601", else 1.
  int getBPP();
  // Bytes from one buffer row to the next (OPENCV: a multiple of 4); stored.
  int setWidthStep();
  bool hasChippedData();
  // RAW to OPENCV: B, G, R order and rows of setWidthStep() bytes.
  bool imageDataToOpenCV();
  // JPEG-compresses (quality 75, baseline) the RAW picture of width x height
  // pixels in `buffer` (*size bytes), replacing it by the stream and *size by
  // its length. False, nothing changed, for BPP other than 1 and 3, a buffer
  // smaller than the picture, or a libjpeg failure.
  bool compressBufferInPlace(int width, int height, unsigned char*& buffer, long long* size);
  // The buffer holds the segment's data as stored (8-bit samples, all blocks):
  // un-blocks and JPEG-compresses it.
  void compressAndStoreRGBImageFromDisk();
  // Un-blocking of 8-bit data holding all NBPR x NBPC blocks in block order
  // (blocks of NPPBH x NPPBV pixels, bands as in the data) into NCOLS x NROWS
  // pixels of BPP samples. By IMODE: "B" by block, "P" by pixel, else nothing.
  void copyImageDataToBuffer(unsigned char* blocked, unsigned char* pixels);
  void readInterleavedByBlock(unsigned char* blocked, unsigned char* pixels);
  void readInterleavedByPixel(unsigned char* blocked, unsigned char* pixels);
  // The same for the blocks of the given range only (block offsets as above).
  void readInterleavedByBlock(unsigned char* blocked, unsigned char* pixels, int firstColumn,
                              int firstRow, int columns, int rows);
  void readInterleavedByPixel(unsigned char* blocked, unsigned char* pixels, int firstColumn,
                              int firstRow, int columns, int rows);
  // The valid part of the one block (`block`, 8-bit) at block column
  // `blockColumn` and block row `blockRow` as a compact picture.
  void IBB2RGB(unsigned char* block, unsigned char* out, int blockColumn, int blockRow);
  void IBP2RGB(unsigned char* block, unsigned char* out, int blockColumn, int blockRow);
  // Reads `count` big-endian 16-bit samples and stores each as
  // 256 / 2^ABPP x value (at most 255). Samples not delivered read as 0.
  void readAndConvert16BitData(DataReader* source, unsigned char* out, long long count);
  // imageDataSize samples from the segment's reader.
  void readAndConvert16BitData(unsigned char* out);
  // Builds the JPEG block tables (once). False when IC is not "C3", or the
  // data cannot hold NBPR x NBPC blocks.
  bool parseJPEGHeaders();
  // The first of FF D9 [0, 2, 4, 6 or 8 zero bytes] FF D8, patterns tried in
  // that order: its position and number of zeros; -1 and 0 when none occurs.
  bool findNext(const unsigned char* data, int count, int& position, int& zeros);
  // Decodes JPEG block `block` and places its line m at
  // BPP x ((y + m) x width + x) of `out` (outSize bytes), cut to width - x
  // pixels; lines beyond outSize are dropped. False for a block that is not
  // in the tables or a corrupt stream.
  bool copyJPEGBlock(unsigned char* out, long long outSize, int width, int x, int y, int block);
  // Decodes every block into a new NCOLS x NROWS buffer. False when the
  // tables cannot be built or a block fails.
  bool readAllJPEGBlocksRGB();
  // Writes the subheader fields, then the image data: writtenDataLength()
  // bytes (see there).
  void write(std::ostream* out);
  // The RAW whole-image buffer as IMODE "B" blocks of NPPBH x NPPBV pixels,
  // 3 planes when NBANDS is 3 else 1, pads 0. Nothing for another format or
  // NBPC below 1.
  void writeInterleavedByBlock(std::ostream* out);
  // What write() puts after the subheader, and so the segment's LI:
  // - a segment read from a file, unless it holds a RAW buffer of the whole
  //   image that it can store as the file does (IC "NC", IMODE "B", NBPP 8,
  //   bands = BPP, blocks making up exactly LI bytes): its data copied from
  //   the file, segmentLength bytes or as many as the file holds;
  // - otherwise, IMODE "B": NBPR x NBPC x NPPBH x NPPBV x (3 or 1) bytes, the
  //   buffer's blocks (writeInterleavedByBlock), or zeros when there is no
  //   RAW buffer;
  // - otherwise 0.
  long long writtenDataLength();

 private:
  void readFields();
  void readBands();
  void writeBands(std::ostream* out);
  void printBands();
  void takeBlockACorners();
  void resetCorners();
};

// True when `value` is NaN.
bool doubleIsNAN(double value);

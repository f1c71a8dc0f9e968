#pragma once
#include <string>
#include <vector>

class DataReader;
class RPC00B;
class ICHIPB;

// Finds in a NITF 2.1 product what the sensor model needs, without reading
// image data: the image date and size, the RPC00B and ICHIPB records of the
// image, and the payload of every elevation data extension segment
// (DESID "DORARI" or "TAV001"). Fields are read where needed and everything
// else is stepped over by its width.
//
// Every length and count taken from the file is checked against what the
// file still holds before it moves the reader or sizes a buffer; a file that
// is cut short, or whose lengths point past its end, is not a product.
//
// All operations are static. One process-wide text is shared by all scans
// (`desshf`), so two scans must not run at once.
class TAVReader {
 public:
  // The two lengths of one segment, from the file header's segment tables.
  struct SegmentStat {
    long long subheaderLength = 0;
    long long dataLength = 0;
  };

  // What the scanner keeps of the file header.
  struct FileStat {
    bool valid = false;  // "NITF", "02.10", NUMDES not 0 and the header complete
    int headerLength = 0;
    std::vector<SegmentStat> images;
    std::vector<SegmentStat> graphics;
    std::vector<SegmentStat> texts;
    std::vector<SegmentStat> dataExtensions;
  };

  // What the scanner keeps of one image subheader. The records are owned by
  // whoever takes them.
  struct ImageStat {
    std::string dateTime = "19700101000000";  // IDATIM, CCYYMMDDhhmmss
    int rows = 0;
    int columns = 0;
    ICHIPB* ichipb = nullptr;
    RPC00B* rpc00b = nullptr;
  };

  // One elevation segment as found in the file. `data` is an array of
  // `length` bytes (release with delete[]) owned by whoever takes the record.
  struct TAVElevation {
    char* data = nullptr;
    int length = 0;
    std::string desshf;  // the 81-byte user-defined subheader, or "length != 81"
  };

  // The result of a product scan. Destroying it releases neither the records
  // nor the elevation data: the caller takes them.
  struct NITFStat {
    bool valid = false;
    std::string dateTime = "19700101000000";
    int rows = 0;
    int columns = 0;
    RPC00B* rpc00b = nullptr;
    ICHIPB* ichipb = nullptr;
    std::vector<TAVElevation> elevations;
  };

  // The kind of a data extension segment, decided by its DESID.
  enum TAVVersion { NOT_ELEVATION = 0, ELEVATION_V1 = 1, ELEVATION_V2 = 2 };

  // The user-defined subheader text of the most recently recognised
  // elevation segment ("length != 81" for the DORARI form and at start).
  static std::string desshf;

  // Scans a whole product from the reader's position (its first byte).
  // `valid` ends true when some image carries both RPC00B and ICHIPB and at
  // least one elevation segment was collected. Of several images with both
  // records the last is taken. A file cut short is not a product: then
  // `valid` is false, and the records and data this scan collected are
  // released and cleared.
  static void parse(DataReader* reader, NITFStat& stat);

  // True when the file header passes and some data extension segment is an
  // elevation segment (image subheaders are not read).
  static bool isTAV(DataReader* reader);

  // Reads the file header from its first byte; leaves the reader at the
  // first segment.
  static void readFileHeader(DataReader* reader, FileStat& stat);
  // Reads one image subheader from its first byte; leaves the reader after it.
  static void readImageHeader(DataReader* reader, ImageStat& stat);
  // Appends `count` pairs of lengths (subheader, then data) of the given widths.
  static void readSegmentLengths(DataReader* reader, std::vector<SegmentStat>& out, int count,
                                 int subheaderWidth, int dataWidth);
  // At the first byte of a data extension subheader: reads DE and DESID and
  // sets `version`; true for the elevation kinds. Leaves the reader 27 bytes in.
  static bool isTavDes(DataReader* reader, TAVVersion& version);
  // At the first byte of a data extension segment: true for an elevation
  // segment (and sets `desshf`); leaves the reader after the segment's data.
  static bool hasDORARIElevationData(DataReader* reader, SegmentStat segment);
  // As hasDORARIElevationData, but returns the data of an elevation segment
  // as a new array of `dataLength` bytes (release with delete[]); null for
  // any other segment or when the file does not hold the data.
  static char* readDORARIElevationData(DataReader* reader, SegmentStat segment);
  // A copy of `desshf`.
  static std::string getDesshf();

  // True when `desid`, white space removed at both ends, is "DORARI" or "TAV001".
  static bool isElevationDesid(const std::string& desid);
};

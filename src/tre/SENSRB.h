#pragma once
#include <string>
#include <vector>

#include "Extension.h"

class SensrbCodec;

// The general electro-optical sensor parameters record (STDI-0002 Appendix Z,
// tag "SENSRB"): fifteen modules parsed from the record's data text into
// members, converted to one set of units by standardize() (metres, centimetres
// for detector metrics, radians, millimetres for calibration) and written back
// by updateDataField().
//
// Reading and writing walk one field list (SENSRB::walk), so the two always
// agree on order, widths and conditions. Counts read from the text are bounded
// by what the text can still hold, and a data set of a type without a known
// value width (fieldLength() of -1) that claims values ends the parse: that
// set and everything after it stay empty.
class SENSRB : public Extension {
 public:
  // Module 1.
  struct GeneralDataModule {
    bool present = false;
    std::string sensor;           // 01a, trimmed
    std::string sensorURI;        // 01b, trimmed
    std::string platform;         // 01c, trimmed
    std::string platformURI;      // 01d, trimmed
    std::string operationDomain;  // 01e, trimmed
    int contentLevel = 0;         // 01f
    std::string geodeticSystem;   // 01g, e.g. "WGS84"
    char geodeticType = ' ';      // 01h, 'C' Cartesian, otherwise geographic
    std::string elevationDatum;   // 01i, e.g. "HAE"
    std::string lengthUnit;       // 01j, "SI" metric, otherwise English
    std::string angularUnit;      // 01k, "RAD", "DEG", otherwise semicircles
    std::string startDate;        // 01l
    double startTime = 0.0;       // 01m, seconds
    std::string endDate;          // 01n
    double endTime = 0.0;         // 01o, seconds
    int generationCount = 0;      // 01p
    std::string generationDate;   // 01q
    std::string generationTime;   // 01r
  };

  // Module 4.
  struct ImageFormationDataModule {
    bool present = false;
    std::string method;                       // 04a, trimmed
    std::string mode;                         // 04b
    int rowCount = 0;                         // 04c
    int columnCount = 0;                      // 04d
    int rowSet = 0;                           // 04e
    int columnSet = 0;                        // 04f
    double rowRate = 0.0;                     // 04g
    double columnRate = 0.0;                  // 04h
    int firstPixelRow = 0;                    // 04i
    int firstPixelColumn = 0;                 // 04j
    std::vector<double> transformParameters;  // 04l..., count 04k
  };

  // Module 11 entry.
  struct PointDataset {
    struct Point {
      int row = 0;             // 11c
      int column = 0;          // 11d
      double latitude = 0.0;   // 11e, degrees
      double longitude = 0.0;  // 11f, degrees
      double elevation = 0.0;  // 11g, length unit
      double range = 0.0;      // 11h, length unit
    };
    std::string type;           // 11a, trimmed
    std::vector<Point> points;  // count 11b
  };

  // Module 12 entry.
  struct TimeStampedDataset {
    struct TimeStampedValue {
      double time = 0.0;   // 12c
      double value = 0.0;  // 12d, width fieldLength(type)
    };
    std::string type;                      // 12a, the id of the field the values belong to ("06a")
    std::vector<TimeStampedValue> values;  // count 12b
  };

  // Module 13 entry.
  struct PixelReferencedDataset {
    struct PixelReferencedValue {
      int row = 0;         // 13c
      int column = 0;      // 13d
      double value = 0.0;  // 13e, width fieldLength(type)
    };
    std::string type;                          // 13a
    std::vector<PixelReferencedValue> values;  // count 13b
  };

  // Module 14 entry.
  struct UncertaintyData {
    std::string firstType;   // 14a, trimmed
    std::string secondType;  // 14b, trimmed
    double value = 0.0;      // 14c
  };

  // Module 15 entry.
  struct AdditionalParameter {
    std::string name;                 // 15a, trimmed
    std::vector<std::string> values;  // count 15c, each of width 15b
  };

  // Module 1: general data.
  GeneralDataModule generalData;

  // Module 2: sensor array data.
  bool sensorArrayDataPresent = false;  // 02
  std::string detection;                // 02a, trimmed
  int rowDetectors = 0;                 // 02b
  int columnDetectors = 0;              // 02c
  double rowMetric = 0.0;               // 02d, cm (inches before standardize)
  double columnMetric = 0.0;            // 02e
  double focalLength = 0.0;             // 02f
  double rowFieldOfView = 0.0;          // 02g, angular unit
  double columnFieldOfView = 0.0;       // 02h
  bool calibrated = false;              // 02i

  // Module 3: sensor calibration data.
  bool sensorCalibrationDataPresent = false;  // 03
  std::string calibrationUnit;                // 03a, "px" or "mm"
  double principalPointOffsetX = 0.0;         // 03b
  double principalPointOffsetY = 0.0;         // 03c
  double radialDistort1 = 0.0;                // 03d
  double radialDistort2 = 0.0;                // 03e
  double radialDistort3 = 0.0;                // 03f
  double radialDistortLimit = 0.0;            // 03g
  double decentDistort1 = 0.0;                // 03h
  double decentDistort2 = 0.0;                // 03i
  double affinityDistort1 = 0.0;              // 03j
  double affinityDistort2 = 0.0;              // 03k
  std::string calibrationDate;                // 03l

  // Module 4: image formation data.
  ImageFormationDataModule imageFormationData;

  // Module 5: reference time and pixel (always present).
  double referenceTime = 0.0;  // 05a
  int referenceRow = 0;        // 05b
  int referenceColumn = 0;     // 05c

  // Module 6: sensor position (always present). Latitude and longitude in
  // degrees for a geographic geodetic type, X and Y lengths for 'C'.
  double latitudeOrX = 0.0;    // 06a
  double longitudeOrY = 0.0;   // 06b
  double altitudeOrZ = 0.0;    // 06c
  double sensorXOffset = 0.0;  // 06d
  double sensorYOffset = 0.0;  // 06e
  double sensorZOffset = 0.0;  // 06f

  // Module 7: attitude Euler angles (angular unit).
  bool attitudeEulerAnglesPresent = false;  // 07
  int sensorAngleModel = 0;                 // 07a
  double sensorAngle1 = 0.0;                // 07b
  double sensorAngle2 = 0.0;                // 07c
  double sensorAngle3 = 0.0;                // 07d
  bool platformRelative = false;            // 07e
  double platformHeading = 0.0;             // 07f
  double platformPitch = 0.0;               // 07g
  double platformRoll = 0.0;                // 07h

  // Module 8: attitude unit vectors (08a to 08i).
  bool attitudeUnitVectorsPresent = false;
  double unitVectors[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};

  // Module 9: attitude quaternion (09a to 09d).
  bool attitudeQuaternionPresent = false;
  double quaternion[4] = {0, 0, 0, 0};

  // Module 10: sensor velocity (north or X, east or Y, down or Z).
  bool sensorVelocityPresent = false;
  double velocityNorthOrX = 0.0;  // 10a
  double velocityEastOrY = 0.0;   // 10b
  double velocityDownOrZ = 0.0;   // 10c

  // Modules 11 to 15.
  std::vector<PointDataset> pointDatasets;
  std::vector<TimeStampedDataset> timeStampedDatasets;
  std::vector<PixelReferencedDataset> pixelReferencedDatasets;
  std::vector<UncertaintyData> uncertainties;
  std::vector<AdditionalParameter> additionalParameters;

  // An empty record: tag "SENSRB", no text, every module absent or empty.
  SENSRB();
  // Parses `text` (the record's data field).
  explicit SENSRB(const std::string& text);
  ~SENSRB() override;

  // Parses the text member into the members.
  void parseData();
  // Converts the members in place to metres, centimetres for detector
  // metrics, radians and (for calibration in pixels) millimetres. Throws
  // std::runtime_error, changing nothing, when module 1 is absent or the
  // geodetic system is not "WGS84" or the elevation datum not "HAE".
  void standardize();
  // Writes the members back into the text member and sets the length.
  void updateDataField();
  // A new record parsed from this record's text (changes made since the last
  // updateDataField are not carried over). Owned by the caller.
  Extension* copy() override;

  // Width of a time-stamped or pixel-referenced value of field `id`
  // ("06a" ... "10c"); -1 for any other id.
  static int fieldLength(const std::string& id);
  // `s` without leading and trailing blanks, tabs and line feeds.
  std::string trim(const std::string& s) const;

 private:
  // Walks every field in record order through `codec` (reading or writing).
  void walk(SensrbCodec& codec);
  void walkGeneralData(SensrbCodec& codec);
  void walkSensorArrayData(SensrbCodec& codec);
  void walkSensorCalibrationData(SensrbCodec& codec);
  void walkImageFormationData(SensrbCodec& codec);
  void walkPositionAndAttitude(SensrbCodec& codec);
  void walkPointDatasets(SensrbCodec& codec);
  void walkTimeStampedDatasets(SensrbCodec& codec);
  void walkPixelReferencedDatasets(SensrbCodec& codec);
  void walkUncertainties(SensrbCodec& codec);
  void walkAdditionalParameters(SensrbCodec& codec);
};

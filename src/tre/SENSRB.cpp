#include "SENSRB.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "../io/StringDataReader.h"
#include "../nitf/NITF.h"

namespace {
const char* const SENSRB_TAG = "SENSRB";
const double INCHES_TO_CM = 2.54;
const double FEET_TO_M = 0.3048;
const double DEGREES_TO_RADIANS = 0.017453292519943295;   // pi / 180
const double SEMICIRCLES_TO_RADIANS = 3.141592653589793;  // pi
// Widths of scientific fields: 03d-03k and transform parameters, and 14c.
const int EXPONENT_DIGITS = 2;
// Largest parameter size (15b) the three-digit field can hold.
const int MAX_PARAMETER_SIZE = 999;
}  // namespace

// One side of the record walk: reads fields from the text or writes them to
// a stream. Every field of the record passes through exactly one of these
// calls, in record order.
class SensrbCodec {
 public:
  virtual ~SensrbCodec() = default;
  virtual bool reading() const = 0;
  // A 'Y'/'N' character (presence flags, 02i, 07e).
  virtual void yesNo(bool& value) = 0;
  virtual void text(int width, std::string& value, bool trimmed) = 0;
  virtual void character(char& value) = 0;
  virtual void integer(int width, int& value) = 0;
  virtual void signedInteger(int width, int& value) = 0;
  virtual void fixed(int width, double& value) = 0;
  virtual void signedFixed(int width, double& value) = 0;
  virtual void scientific(int width, double& value) = 0;
  virtual void signedScientific(int width, double& value) = 0;
  // A count field of `width` digits: reading returns the count read, bounded
  // by what the rest of the text can hold at `elementWidth` characters per
  // element; writing writes `current` and returns it.
  virtual size_t count(int width, size_t current, int elementWidth) = 0;
  // Reading: true once the parse has ended early (see stop()).
  virtual bool stopped() const = 0;
  virtual void stop() = 0;
};

namespace {

class SensrbReader : public SensrbCodec {
 public:
  SensrbReader(const std::string& text, const SENSRB& record) : reader_(text), record_(record) {}
  bool reading() const override { return true; }
  void yesNo(bool& value) override {
    char c = 'N';
    if (!stopped_) NITF::readCharTag(&reader_, c);
    value = c == 'Y';
  }
  void text(int width, std::string& value, bool trimmed) override {
    if (stopped_) return;
    NITF::readStringTag(&reader_, std::max(width, 0), value);
    if (trimmed) value = record_.trim(value);
  }
  void character(char& value) override {
    if (!stopped_) NITF::readCharTag(&reader_, value);
  }
  void integer(int width, int& value) override {
    if (!stopped_) NITF::readIntTag(&reader_, width, value);
  }
  void signedInteger(int width, int& value) override { integer(width, value); }
  void fixed(int width, double& value) override {
    if (!stopped_) NITF::readDoubleTag(&reader_, width, value);
  }
  void signedFixed(int width, double& value) override { fixed(width, value); }
  void scientific(int width, double& value) override { fixed(width, value); }
  void signedScientific(int width, double& value) override { fixed(width, value); }
  size_t count(int width, size_t, int elementWidth) override {
    if (stopped_) return 0;
    int value = 0;
    NITF::readIntTag(&reader_, width, value);
    if (value <= 0) return 0;
    const long long left = std::max(reader_.remaining(), 0LL);
    const long long most = elementWidth > 0 ? left / elementWidth : left;
    return static_cast<size_t>(std::min(static_cast<long long>(value), most));
  }
  bool stopped() const override { return stopped_; }
  void stop() override { stopped_ = true; }

 private:
  StringDataReader reader_;
  const SENSRB& record_;
  bool stopped_ = false;
};

class SensrbWriter : public SensrbCodec {
 public:
  explicit SensrbWriter(std::ostream* out) : out_(out) {}
  bool reading() const override { return false; }
  void yesNo(bool& value) override { NITF::writeCharTag(out_, value ? 'Y' : 'N'); }
  void text(int width, std::string& value, bool) override {
    NITF::writeStringTag(out_, width, value);
  }
  void character(char& value) override { NITF::writeCharTag(out_, value); }
  void integer(int width, int& value) override { NITF::writeIntTag(out_, width, value); }
  void signedInteger(int width, int& value) override {
    NITF::writeSignedIntTag(out_, width, value);
  }
  void fixed(int width, double& value) override { NITF::writeDoubleTag(out_, width, value); }
  void signedFixed(int width, double& value) override {
    NITF::writeSignedDoubleTag(out_, width, value);
  }
  void scientific(int width, double& value) override {
    NITF::writeScientificTag(out_, width, EXPONENT_DIGITS, value);
  }
  void signedScientific(int width, double& value) override {
    NITF::writeSignedScientificTag(out_, width, EXPONENT_DIGITS, value);
  }
  size_t count(int width, size_t current, int) override {
    NITF::writeIntTag(out_, width, static_cast<int>(current));
    return current;
  }
  bool stopped() const override { return false; }
  void stop() override {}

 private:
  std::ostream* out_;
};

// Resizes a member vector while reading; writing walks it as it is.
template <class T>
void sizeFor(SensrbCodec& codec, std::vector<T>& vector, size_t count) {
  if (codec.reading()) vector.resize(count);
}

}  // namespace

SENSRB::SENSRB() {
  tag = SENSRB_TAG;
  length = 0;
}

SENSRB::SENSRB(const std::string& dataText) {
  tag = SENSRB_TAG;
  text = dataText;
  length = static_cast<int>(dataText.size());
  parseData();
}

SENSRB::~SENSRB() = default;

Extension* SENSRB::copy() { return new SENSRB(text); }

std::string SENSRB::trim(const std::string& s) const {
  static const std::string BLANKS = " \t\n";
  const size_t first = s.find_first_not_of(BLANKS);
  if (first == std::string::npos) return std::string();
  const size_t last = s.find_last_not_of(BLANKS);
  return s.substr(first, last - first + 1);
}

int SENSRB::fieldLength(const std::string& id) {
  static const std::map<std::string, int> WIDTHS = {
      {"06a", 11}, {"06b", 12}, {"06c", 11}, {"06d", 8},  {"06e", 8},  {"06f", 8},  {"07b", 10},
      {"07c", 9},  {"07d", 10}, {"07f", 9},  {"07g", 9},  {"07h", 10}, {"08a", 10}, {"08b", 10},
      {"08c", 10}, {"08d", 10}, {"08e", 10}, {"08f", 10}, {"08g", 10}, {"08h", 10}, {"08i", 10},
      {"09a", 10}, {"09b", 10}, {"09c", 10}, {"09d", 10}, {"10a", 9},  {"10b", 9},  {"10c", 9}};
  const auto found = WIDTHS.find(id);
  return found == WIDTHS.end() ? -1 : found->second;
}

void SENSRB::parseData() {
  SensrbReader reader(text, *this);
  walk(reader);
}

void SENSRB::updateDataField() {
  std::ostringstream out;
  SensrbWriter writer(&out);
  walk(writer);
  text = out.str();
  length = static_cast<int>(text.size());
}

// ---- The record walk ----

void SENSRB::walk(SensrbCodec& codec) {
  walkGeneralData(codec);
  walkSensorArrayData(codec);
  walkSensorCalibrationData(codec);
  walkImageFormationData(codec);
  walkPositionAndAttitude(codec);
  walkPointDatasets(codec);
  walkTimeStampedDatasets(codec);
  walkPixelReferencedDatasets(codec);
  walkUncertainties(codec);
  walkAdditionalParameters(codec);
}

void SENSRB::walkGeneralData(SensrbCodec& codec) {
  GeneralDataModule& g = generalData;
  codec.yesNo(g.present);
  if (!g.present) return;
  codec.text(25, g.sensor, true);
  codec.text(32, g.sensorURI, true);
  codec.text(25, g.platform, true);
  codec.text(32, g.platformURI, true);
  codec.text(10, g.operationDomain, true);
  codec.integer(1, g.contentLevel);
  codec.text(5, g.geodeticSystem, false);
  codec.character(g.geodeticType);
  codec.text(3, g.elevationDatum, false);
  codec.text(2, g.lengthUnit, false);
  codec.text(3, g.angularUnit, false);
  codec.text(8, g.startDate, false);
  codec.fixed(14, g.startTime);
  codec.text(8, g.endDate, false);
  codec.fixed(14, g.endTime);
  codec.integer(2, g.generationCount);
  codec.text(8, g.generationDate, false);
  codec.text(10, g.generationTime, false);
}

void SENSRB::walkSensorArrayData(SensrbCodec& codec) {
  codec.yesNo(sensorArrayDataPresent);
  if (!sensorArrayDataPresent) return;
  codec.text(20, detection, true);
  codec.integer(8, rowDetectors);
  codec.integer(8, columnDetectors);
  codec.fixed(8, rowMetric);
  codec.fixed(8, columnMetric);
  codec.fixed(8, focalLength);
  codec.fixed(8, rowFieldOfView);
  codec.fixed(8, columnFieldOfView);
  codec.yesNo(calibrated);
}

void SENSRB::walkSensorCalibrationData(SensrbCodec& codec) {
  codec.yesNo(sensorCalibrationDataPresent);
  if (!sensorCalibrationDataPresent) return;
  codec.text(2, calibrationUnit, false);
  codec.signedFixed(9, principalPointOffsetX);
  codec.signedFixed(9, principalPointOffsetY);
  codec.signedScientific(12, radialDistort1);
  codec.signedScientific(12, radialDistort2);
  codec.signedScientific(12, radialDistort3);
  codec.signedFixed(9, radialDistortLimit);
  codec.signedScientific(12, decentDistort1);
  codec.signedScientific(12, decentDistort2);
  codec.signedScientific(12, affinityDistort1);
  codec.signedScientific(12, affinityDistort2);
  codec.text(8, calibrationDate, false);
}

void SENSRB::walkImageFormationData(SensrbCodec& codec) {
  ImageFormationDataModule& f = imageFormationData;
  codec.yesNo(f.present);
  if (!f.present) return;
  codec.text(15, f.method, true);
  codec.text(3, f.mode, false);
  codec.integer(8, f.rowCount);
  codec.integer(8, f.columnCount);
  codec.signedInteger(8, f.rowSet);
  codec.signedInteger(8, f.columnSet);
  codec.fixed(10, f.rowRate);
  codec.fixed(10, f.columnRate);
  codec.integer(8, f.firstPixelRow);
  codec.integer(8, f.firstPixelColumn);
  // The one-digit count holds at most 9 parameters.
  const size_t count = codec.count(1, std::min<size_t>(f.transformParameters.size(), 9), 12);
  sizeFor(codec, f.transformParameters, count);
  for (size_t i = 0; i < count; ++i) codec.signedScientific(12, f.transformParameters[i]);
}

void SENSRB::walkPositionAndAttitude(SensrbCodec& codec) {
  codec.signedFixed(12, referenceTime);
  codec.integer(8, referenceRow);
  codec.integer(8, referenceColumn);

  codec.fixed(11, latitudeOrX);
  codec.fixed(12, longitudeOrY);
  codec.fixed(11, altitudeOrZ);
  codec.fixed(8, sensorXOffset);
  codec.fixed(8, sensorYOffset);
  codec.fixed(8, sensorZOffset);

  codec.yesNo(attitudeEulerAnglesPresent);
  if (attitudeEulerAnglesPresent) {
    codec.integer(1, sensorAngleModel);
    codec.fixed(10, sensorAngle1);
    codec.fixed(9, sensorAngle2);
    codec.fixed(10, sensorAngle3);
    codec.yesNo(platformRelative);
    codec.fixed(9, platformHeading);
    codec.fixed(9, platformPitch);
    codec.fixed(10, platformRoll);
  }

  codec.yesNo(attitudeUnitVectorsPresent);
  if (attitudeUnitVectorsPresent) {
    for (double& component : unitVectors) codec.fixed(10, component);
  }

  codec.yesNo(attitudeQuaternionPresent);
  if (attitudeQuaternionPresent) {
    for (double& component : quaternion) codec.fixed(10, component);
  }

  codec.yesNo(sensorVelocityPresent);
  if (sensorVelocityPresent) {
    codec.fixed(9, velocityNorthOrX);
    codec.fixed(9, velocityEastOrY);
    codec.fixed(9, velocityDownOrZ);
  }
}

void SENSRB::walkPointDatasets(SensrbCodec& codec) {
  const size_t sets = codec.count(2, std::min<size_t>(pointDatasets.size(), 99), 28);
  sizeFor(codec, pointDatasets, sets);
  for (size_t i = 0; i < sets; ++i) {
    PointDataset& set = pointDatasets[i];
    codec.text(25, set.type, true);
    const size_t points = codec.count(3, std::min<size_t>(set.points.size(), 999), 51);
    sizeFor(codec, set.points, points);
    for (size_t j = 0; j < points; ++j) {
      PointDataset::Point& p = set.points[j];
      codec.integer(8, p.row);
      codec.integer(8, p.column);
      codec.fixed(10, p.latitude);
      codec.fixed(11, p.longitude);
      codec.fixed(6, p.elevation);
      codec.fixed(8, p.range);
    }
  }
}

void SENSRB::walkTimeStampedDatasets(SensrbCodec& codec) {
  const size_t sets = codec.count(2, std::min<size_t>(timeStampedDatasets.size(), 99), 7);
  sizeFor(codec, timeStampedDatasets, sets);
  for (size_t i = 0; i < sets; ++i) {
    TimeStampedDataset& set = timeStampedDatasets[i];
    codec.text(3, set.type, false);
    const int width = fieldLength(set.type);
    // Values of an unknown field have no width: written as none.
    const size_t current = width < 0 ? 0 : std::min<size_t>(set.values.size(), 9999);
    const size_t values = codec.count(4, current, 12 + std::max(width, 0));
    if (width < 0 && values > 0) {
      codec.stop();
      set.values.clear();
      timeStampedDatasets.resize(i + 1);
      return;
    }
    sizeFor(codec, set.values, values);
    for (size_t j = 0; j < values; ++j) {
      codec.signedFixed(12, set.values[j].time);
      codec.fixed(width, set.values[j].value);
    }
  }
}

void SENSRB::walkPixelReferencedDatasets(SensrbCodec& codec) {
  const size_t sets = codec.count(2, std::min<size_t>(pixelReferencedDatasets.size(), 99), 7);
  sizeFor(codec, pixelReferencedDatasets, sets);
  for (size_t i = 0; i < sets; ++i) {
    PixelReferencedDataset& set = pixelReferencedDatasets[i];
    codec.text(3, set.type, false);
    const int width = fieldLength(set.type);
    const size_t current = width < 0 ? 0 : std::min<size_t>(set.values.size(), 9999);
    const size_t values = codec.count(4, current, 16 + std::max(width, 0));
    if (width < 0 && values > 0) {
      codec.stop();
      set.values.clear();
      pixelReferencedDatasets.resize(i + 1);
      return;
    }
    sizeFor(codec, set.values, values);
    for (size_t j = 0; j < values; ++j) {
      codec.integer(8, set.values[j].row);
      codec.integer(8, set.values[j].column);
      codec.fixed(width, set.values[j].value);
    }
  }
}

void SENSRB::walkUncertainties(SensrbCodec& codec) {
  const size_t count = codec.count(3, std::min<size_t>(uncertainties.size(), 999), 32);
  sizeFor(codec, uncertainties, count);
  for (size_t i = 0; i < count; ++i) {
    codec.text(11, uncertainties[i].firstType, true);
    codec.text(11, uncertainties[i].secondType, true);
    codec.scientific(10, uncertainties[i].value);
  }
}

void SENSRB::walkAdditionalParameters(SensrbCodec& codec) {
  const size_t count = codec.count(3, std::min<size_t>(additionalParameters.size(), 999), 32);
  sizeFor(codec, additionalParameters, count);
  for (size_t i = 0; i < count; ++i) {
    AdditionalParameter& parameter = additionalParameters[i];
    codec.text(25, parameter.name, true);
    // The size is the width of every value: the longest value when writing.
    int size = 1;
    for (const std::string& value : parameter.values) {
      size = std::max(size, static_cast<int>(std::min<size_t>(value.size(), MAX_PARAMETER_SIZE)));
    }
    if (codec.reading()) size = 0;
    codec.integer(3, size);
    size = std::max(size, 0);
    const size_t values =
        codec.count(4, std::min<size_t>(parameter.values.size(), 9999), std::max(size, 1));
    sizeFor(codec, parameter.values, values);
    for (size_t j = 0; j < values; ++j) codec.text(size, parameter.values[j], false);
  }
}

// ---- Units ----

void SENSRB::standardize() {
  if (!generalData.present) {
    throw std::runtime_error("Cannot standardize Sensrb due to lack of general data module.");
  }
  if (generalData.geodeticSystem != "WGS84") {
    throw std::runtime_error(
        "Cannot standardize Sensrb because it does not use WGS84 geodetic datum.");
  }
  if (generalData.elevationDatum != "HAE") {
    throw std::runtime_error(
        "Cannot standardize Sensrb because it does not use HAE elevation datum.");
  }

  // The factor applied to each field, by field id, for the data sets below.
  std::map<std::string, double> factors;
  const auto scale = [&factors](const char* id, double factor,
                                std::initializer_list<double*> members) {
    for (double* member : members) *member *= factor;
    factors.emplace(id, factor);
  };

  if (generalData.lengthUnit != "SI") {
    scale("02d", INCHES_TO_CM, {&rowMetric});
    scale("02e", INCHES_TO_CM, {&columnMetric});
    scale("02f", INCHES_TO_CM, {&focalLength});
    if (generalData.geodeticType == 'C') {
      scale("06a", FEET_TO_M, {&latitudeOrX});
      scale("06b", FEET_TO_M, {&longitudeOrY});
    }
    scale("06c", FEET_TO_M, {&altitudeOrZ});
    scale("06d", FEET_TO_M, {&sensorXOffset});
    scale("06e", FEET_TO_M, {&sensorYOffset});
    scale("06f", FEET_TO_M, {&sensorZOffset});
    scale("10a", FEET_TO_M, {&velocityNorthOrX});
    scale("10b", FEET_TO_M, {&velocityEastOrY});
    scale("10c", FEET_TO_M, {&velocityDownOrZ});
    for (size_t i = 0; i < pointDatasets.size(); ++i) {
      for (size_t j = 0; j < pointDatasets[i].points.size(); ++j) {
        PointDataset::Point& p = pointDatasets[i].points[j];
        const std::string suffix = std::to_string(i) + "." + std::to_string(j);
        scale(("11g" + suffix).c_str(), FEET_TO_M, {&p.elevation});
        scale(("11h" + suffix).c_str(), FEET_TO_M, {&p.range});
      }
    }
    generalData.lengthUnit = "SI";
  }

  if (generalData.angularUnit != "RAD") {
    const double factor =
        generalData.angularUnit == "DEG" ? DEGREES_TO_RADIANS : SEMICIRCLES_TO_RADIANS;
    scale("02g", factor, {&rowFieldOfView});
    scale("02h", factor, {&columnFieldOfView});
    scale("07b", factor, {&sensorAngle1});
    scale("07c", factor, {&sensorAngle2});
    scale("07d", factor, {&sensorAngle3});
    scale("07f", factor, {&platformHeading});
    scale("07g", factor, {&platformPitch});
    scale("07h", factor, {&platformRoll});
    generalData.angularUnit = "RAD";
  }

  // Calibration in pixels needs the detector pitch of module 2; without a
  // usable pitch the calibration stays in pixels.
  if (sensorCalibrationDataPresent && calibrationUnit == "px" && rowDetectors > 0 &&
      columnDetectors > 0) {
    const double s = 5.0 * (rowMetric / static_cast<double>(rowDetectors) +
                            columnMetric / static_cast<double>(columnDetectors));
    if (std::isfinite(s) && s != 0.0) {
      const double inverse = 1.0 / s;
      scale("03b", s, {&principalPointOffsetX});
      scale("03c", s, {&principalPointOffsetY});
      scale("03d", inverse * inverse, {&radialDistort1});
      scale("03e", std::pow(inverse, 4), {&radialDistort2});
      scale("03f", std::pow(inverse, 6), {&radialDistort3});
      scale("03g", s, {&radialDistortLimit});
      scale("03h", inverse, {&decentDistort1});
      scale("03i", inverse, {&decentDistort2});
      calibrationUnit = "mm";
    }
  }

  for (TimeStampedDataset& set : timeStampedDatasets) {
    const auto found = factors.find(set.type);
    if (found == factors.end()) continue;
    for (TimeStampedDataset::TimeStampedValue& v : set.values) v.value *= found->second;
  }
  for (PixelReferencedDataset& set : pixelReferencedDatasets) {
    const auto found = factors.find(set.type);
    if (found == factors.end()) continue;
    for (PixelReferencedDataset::PixelReferencedValue& v : set.values) v.value *= found->second;
  }
  for (UncertaintyData& entry : uncertainties) {
    if (entry.firstType != entry.secondType) continue;
    const auto found = factors.find(entry.firstType);
    if (found != factors.end()) entry.value *= found->second;
  }
}

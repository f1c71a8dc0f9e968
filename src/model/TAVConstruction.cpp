// Building a TAV model: from a product file or reader through the product
// scanner, from scanned records, or as a copy.
#include <memory>
#include <utility>

#include "../geodesy/CommonModel.h"
#include "../io/DataReader.h"
#include "../tre/ICHIPB.h"
#include "../tre/RPC00B.h"
#include "TAV.h"

const double TAV::SEMI_MINOR_AXIS = TAV::SEMI_MAJOR_AXIS * (1.0 - TAV::flattening);
const double TAV::bFt = TAV::SEMI_MINOR_AXIS * TAV::M2FT;

namespace {

constexpr double DEG_TO_RAD = 0.017453292519943295;  // exact pi/180
constexpr size_t FORM2_DESSHF_LENGTH = 81;

RowVector coefficientRow(const double* values) {
  RowVector row(RPC00B::COEFF_COUNT);
  for (int i = 0; i < RPC00B::COEFF_COUNT; ++i) row(i + 1) = values[i];
  return row;
}

// Releases the scanner's elevation payloads when it goes out of scope.
class ElevationDataOwner {
 public:
  explicit ElevationDataOwner(std::vector<TAVReader::TAVElevation>& elevations)
      : elevations(elevations) {}
  ~ElevationDataOwner() {
    for (TAVReader::TAVElevation& elevation : elevations) {
      delete[] elevation.data;
      elevation.data = nullptr;
    }
  }
  ElevationDataOwner(const ElevationDataOwner&) = delete;
  ElevationDataOwner& operator=(const ElevationDataOwner&) = delete;

 private:
  std::vector<TAVReader::TAVElevation>& elevations;
};

}  // namespace

void TAV::resetMembers() {
  elevationFormat.clear();
  imageDateTime.clear();
  elevationAngle = -999.0;
  gsd = -999.0;
  LINE_NUM_COEFF = RowVector();
  LINE_DEN_COEFF = RowVector();
  SAMP_NUM_COEFF = RowVector();
  SAMP_DEN_COEFF = RowVector();
  originGeodetic = RowVector(3);
  originGeodetic = 0.0;
  originECEF = RowVector(3);
  originECEF = 0.0;
  elevationSegments.clear();
  fullQuad = zel::Quad();
  chipQuad = zel::Quad();
  isInitialized = false;
}

TAV::TAV(const char* path, bool fullRead) {
  resetMembers();
  if (path == nullptr) return;
  if (fullRead) {
    buildFromCompleteReading(path);
    return;
  }
  std::unique_ptr<DataReader> reader(DataReader::getDataReaderForFile(path));
  if (reader) buildFromReader(reader.get());
}

TAV::TAV(DataReader* reader) {
  resetMembers();
  if (reader != nullptr) buildFromReader(reader);
}

void TAV::buildFromReader(DataReader* reader) {
  TAVReader::NITFStat stat;
  TAVReader::parse(reader, stat);
  if (stat.rpc00b != nullptr && stat.ichipb != nullptr) {
    initialize(std::move(stat));
    return;
  }
  // Not a product: release whatever the scan handed over.
  delete stat.rpc00b;
  delete stat.ichipb;
  for (TAVReader::TAVElevation& elevation : stat.elevations) delete[] elevation.data;
}

TAV::TAV(const TAV& other) {
  resetMembers();
  ERR_BIAS = other.ERR_BIAS;
  ERR_RAND = other.ERR_RAND;
  LINE_OFF = other.LINE_OFF;
  SAMP_OFF = other.SAMP_OFF;
  LAT_OFF = other.LAT_OFF;
  LONG_OFF = other.LONG_OFF;
  HEIGHT_OFF = other.HEIGHT_OFF;
  LINE_SCALE = other.LINE_SCALE;
  SAMP_SCALE = other.SAMP_SCALE;
  LAT_SCALE = other.LAT_SCALE;
  LONG_SCALE = other.LONG_SCALE;
  HEIGHT_SCALE = other.HEIGHT_SCALE;
  LINE_NUM_COEFF = other.LINE_NUM_COEFF;
  LINE_DEN_COEFF = other.LINE_DEN_COEFF;
  SAMP_NUM_COEFF = other.SAMP_NUM_COEFF;
  SAMP_DEN_COEFF = other.SAMP_DEN_COEFF;
  blockColumn = other.blockColumn;
  blockRow = other.blockRow;
  fullQuad = other.fullQuad;
  chipQuad = other.chipQuad;
  height = other.height;
  width = other.width;
  elevationFormat = other.elevationFormat;
  imageDateTime = other.imageDateTime;
  isInitialized = other.isInitialized;
  elevationSegments = other.elevationSegments;
  // The view direction may have been set by the application: keep it.
  sensorAzimuth = other.sensorAzimuth;
  sensorElevation = other.sensorElevation;
  computeOrigin();
  elevationAngle = -999.0;
  gsd = -999.0;
  gsd = getGSD();
}

TAV::~TAV() = default;

void TAV::initialize(TAVReader::NITFStat stat) {
  initialize(stat.rpc00b, stat.ichipb, std::move(stat.elevations), stat.rows, stat.columns,
             stat.dateTime);
}

void TAV::computeOrigin() {
  originGeodetic = RowVector(3);
  originGeodetic(1) = LONG_OFF * DEG_TO_RAD;
  originGeodetic(2) = LAT_OFF * DEG_TO_RAD;
  originGeodetic(3) = toFeet(HEIGHT_OFF);
  originECEF = CommonModel::geodeticToGeocentric(originGeodetic);
}

void TAV::initialize(RPC00B* rpc, ICHIPB* chip, std::vector<TAVReader::TAVElevation> elevations,
                     int rows, int columns, std::string dateTime) {
  const std::unique_ptr<RPC00B> rpcOwner(rpc);
  const std::unique_ptr<ICHIPB> chipOwner(chip);
  const ElevationDataOwner dataOwner(elevations);
  if (rpc == nullptr) return;

  ERR_BIAS = rpc->err_bias;
  ERR_RAND = rpc->err_rand;
  LINE_OFF = rpc->line_off;
  SAMP_OFF = rpc->samp_off;
  LAT_OFF = rpc->lat_off;
  LONG_OFF = rpc->long_off;
  HEIGHT_OFF = rpc->height_off;
  LINE_SCALE = rpc->line_scale;
  SAMP_SCALE = rpc->samp_scale;
  LAT_SCALE = rpc->lat_scale;
  LONG_SCALE = rpc->long_scale;
  HEIGHT_SCALE = rpc->height_scale;
  LINE_NUM_COEFF = coefficientRow(rpc->line_num_coeff);
  LINE_DEN_COEFF = coefficientRow(rpc->line_den_coeff);
  SAMP_NUM_COEFF = coefficientRow(rpc->samp_num_coeff);
  SAMP_DEN_COEFF = coefficientRow(rpc->samp_den_coeff);

  computeOrigin();
  blockColumn = blockRow = 1;
  readFullQuad(chip);
  readChipQuad(chip);
  height = rows;
  width = columns;
  imageDateTime = std::move(dateTime);

  elevationAngle = -999.0;
  gsd = -999.0;
  gsd = getGSD();
  deriveSensorDirection();

  for (TAVReader::TAVElevation& elevation : elevations) {
    const bool form2 = elevation.desshf.size() == FORM2_DESSHF_LENGTH;
    elevationFormat = form2 ? "1.12" : "1.7";
    if (form2 && elevation.desshf.compare(53, 2, "NC") == 0) {
      elevationSegments.emplace_back(elevation.desshf, elevation.data, elevation.length);
      continue;
    }
    char* inflated = nullptr;
    const int length = DecompressDES(elevation.data, elevation.length, inflated);
    const std::unique_ptr<char[]> inflatedOwner(inflated);
    if (length < 0) {
      // A form 2 segment keeps the values of its DESSHF; a form 1 segment has
      // its header inside the lost payload and is not kept.
      if (form2) elevationSegments.emplace_back(elevation.desshf, nullptr, -1);
      return;
    }
    elevationSegments.emplace_back(elevation.desshf, inflated, length);
  }
  isInitialized = true;
}

void TAV::readFullQuad(ICHIPB* chip) {
  fullQuad = zel::Quad();
  if (chip == nullptr) return;
  fullQuad = zel::Quad(chip->fi_col_11, chip->fi_row_11, chip->fi_col_12, chip->fi_row_12,
                       chip->fi_col_22, chip->fi_row_22, chip->fi_col_21, chip->fi_row_21);
}

void TAV::readChipQuad(ICHIPB* chip) {
  chipQuad = zel::Quad();
  if (chip == nullptr) return;
  chipQuad = zel::Quad(chip->op_col_11, chip->op_row_11, chip->op_col_12, chip->op_row_12,
                       chip->op_col_22, chip->op_row_22, chip->op_col_21, chip->op_row_21);
}

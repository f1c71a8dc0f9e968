// The library's entry points around the sensor model: the one-call
// image-to-ground, the product tests and the model's size and segments.
#include <algorithm>
#include <memory>
#include <string>

#include "../io/DataReader.h"
#include "../nitf/NITF.h"
#include "../product/TAVReader.h"
#include "TAV.h"

zel::DecimalCoordinate ImageToGround(zel::PixelCoordinate pixel, std::string path) {
  TAV model(path.c_str(), true);
  if (!model.getIsInitialized()) {
    throw new BaseException(
        ("ImageToGround: no sensor model could be built from " + path +
         " (not a product, RPC00B or ICHIPB missing, or elevation data that cannot be decoded)")
            .c_str());
  }
  const I2GResult result = model.I2G(pixel);
  return zel::DecimalCoordinate(result.latitude, result.longitude, result.elevation);
}

std::string GetTAVRemote(double, double, std::string) { return ""; }

bool TAV::isTAV(const char* path) {
  if (path == nullptr) return false;
  std::unique_ptr<DataReader> reader(DataReader::getDataReaderForFile(path));
  return TAVReader::isTAV(reader.get());
}

bool TAV::testForTAV(const NITF* file) {
  if (file == nullptr) return false;
  const int count =
      std::min(file->fileHeader.numdes, static_cast<int>(file->dataExtensions.size()));
  for (int i = 0; i < count; ++i) {
    if (TAVReader::isElevationDesid(file->dataExtensions[static_cast<size_t>(i)].desid))
      return true;
  }
  return false;
}

ElevationSegmentData* TAV::getElevationSegmentData(int index) {
  if (index < 0 || index >= getElevationSegmentDataCount()) return nullptr;
  return &elevationSegments[static_cast<size_t>(index)];
}

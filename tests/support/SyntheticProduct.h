#pragma once
// Product files with known truth for the sensor-model tests and benchmarks:
// a frame camera over a terrain surface (productkit), its fitted RPC00B, an
// ICHIPB of a chip of the full image and "TAV001" posts sampled from the
// surface, assembled into NITF bytes.
#include <memory>
#include <string>
#include <vector>

#include "productkit/SyntheticScene.h"

class TAV;

namespace testsupport {

struct SceneOptions {
  // Camera at (cameraLat, cameraLon, cameraHeight) looking at the target.
  double cameraLat = 35.0, cameraLon = -117.0, cameraHeight = 500000;
  double targetLat = 35.0, targetLon = -117.0;
  double focalLength = 500000;  // pixels: 1 m per pixel from 500 km at nadir
  int fullRows = 4000, fullColumns = 4000;
  // The chip: rows x columns cut at (rowOffset, columnOffset), `scale` full
  // pixels per chip pixel.
  int chipRows = 1000, chipColumns = 1000;
  double rowOffset = 1500, columnOffset = 1500, scale = 1;
  productkit::Terrain terrain;  // origin defaults to the target
  int postSpacing = 20;         // chip pixels
  // Form 1 ("DORARI": decimetres, DTED level `level`, source byte 2) instead
  // of form 2 ("TAV001" with `units`, `sourceKind`, `searchRadius`).
  bool form1 = false;
  std::string units = "dm";  // "m ", "dm" or "f "
  int sourceKind = 1, level = 2;
  int searchRadius = 60;      // pixels
  int verticalAccuracy = 20;  // stored units
  std::string dateTime = "20200621180000";
  double minHeight = -100, maxHeight = 900;  // RPC fitting range
};

struct SyntheticProduct {
  SceneOptions options;
  productkit::FrameCamera camera;
  productkit::RpcFit rpc;
  productkit::ChipCorners chip;
  std::vector<productkit::Post> posts;
  int baseElevation = 0;
  std::string bytes;  // the NITF file

  // The chip pixel of a full-image pixel (the chip is a scaled window).
  double chipLine(double fullLine) const { return (fullLine - options.rowOffset) / options.scale; }
  double chipSample(double fullSample) const {
    return (fullSample - options.columnOffset) / options.scale;
  }
};

SyntheticProduct makeSyntheticProduct(const SceneOptions& options);

// A model built from the product's bytes through the product scanner.
std::unique_ptr<TAV> buildModel(const std::string& bytes);

}  // namespace testsupport

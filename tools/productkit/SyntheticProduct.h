#pragma once
// A product with known truth: a frame camera over a terrain surface, the
// RPC00B fitted to it, an ICHIPB of a chip of the full image and elevation
// posts sampled from the surface in either payload form. The bytes of a file
// are assembled by the caller (the tests' NITF builder, or the NITF writer of
// the vuziza tool).
#include <string>
#include <vector>

#include "productkit/SyntheticScene.h"

namespace productkit {

struct ProductOptions {
  // Camera at (cameraLat, cameraLon, cameraHeight) looking at the target.
  double cameraLat = 35.0, cameraLon = -117.0, cameraHeight = 500000;
  double targetLat = 35.0, targetLon = -117.0;
  double focalLength = 500000;  // pixels: 1 m per pixel from 500 km at nadir
  int fullRows = 4000, fullColumns = 4000;
  // The chip: rows x columns cut at (rowOffset, columnOffset), `scale` full
  // pixels per chip pixel.
  int chipRows = 1000, chipColumns = 1000;
  double rowOffset = 1500, columnOffset = 1500, scale = 1;
  Terrain terrain;       // origin defaults to the target
  int postSpacing = 20;  // chip pixels
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

// The elevation data extension segment of a product.
struct ElevationSegment {
  std::string desid;    // "DORARI" or "TAV001"
  std::string desshf;   // the 81-character DESSHF of form 2; empty for form 1
  std::string payload;  // gzip-compressed posts (form 1 with its 7-byte header)
};

struct Product {
  ProductOptions options;
  FrameCamera camera;
  RpcFit rpc;
  ChipCorners chip;
  std::vector<Post> posts;
  int baseElevation = 0;
  ElevationSegment elevation;

  // The chip pixel of a full-image pixel (the chip is a scaled window).
  double chipLine(double fullLine) const { return (fullLine - options.rowOffset) / options.scale; }
  double chipSample(double fullSample) const {
    return (fullSample - options.columnOffset) / options.scale;
  }
};

Product makeProduct(const ProductOptions& options);

// A gzip stream of `bytes` (zlib, window bits 31).
std::string gzipCompress(const std::string& bytes, int level = 9);

}  // namespace productkit

#include "ModelLoading.h"

#include <fstream>

#include "Command.h"

namespace cli {

namespace {

void requireNitf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError("cannot open " + path);
  char magic[4] = {};
  in.read(magic, 4);
  const std::string start(magic, static_cast<size_t>(in.gcount()));
  if (start != "NITF" && start != "NSIF") throw UsageError(path + " is not a NITF file");
}

}  // namespace

std::unique_ptr<TAV> openProduct(const std::string& path, bool fullRead) {
  requireNitf(path);
  auto model = std::make_unique<TAV>(path.c_str(), fullRead);
  if (!model->getIsInitialized())
    throw UsageError(path +
                     " is not a product (its image lacks RPC00B or ICHIPB, or its elevation "
                     "data cannot be decoded)");
  return model;
}

void requireInsideImage(TAV& model, const zel::PixelCoordinate& pixel) {
  if (pixel.x < 0 || pixel.y < 0 || pixel.x > model.width - 1 || pixel.y > model.height - 1) {
    throw UsageError("pixel (" + std::to_string(pixel.x) + ", " + std::to_string(pixel.y) +
                     ") is outside the image of " + std::to_string(model.width) + " x " +
                     std::to_string(model.height) + " pixels");
  }
}

}  // namespace cli

#include "support/SyntheticProduct.h"

#include "io/MemoryDataReader.h"
#include "model/TAV.h"
#include "support/NitfBuilder.h"

namespace testsupport {

SyntheticProduct makeSyntheticProduct(const SceneOptions& options) {
  SyntheticProduct p{productkit::makeProduct(options), {}};
  NitfFile file;
  ImageSegment image;
  image.dateTime = p.options.dateTime;
  image.rows = p.options.chipRows;
  image.columns = p.options.chipColumns;
  image.extended = {{"RPC00B", p.rpc.text}, {"ICHIPB", productkit::ichipbText(p.chip)}};
  image.data = std::string(16, '\0');
  file.images.push_back(image);
  file.dataExtensions.push_back({p.elevation.desid, p.elevation.desshf, p.elevation.payload});
  p.bytes = buildNitf(file);
  return p;
}

std::unique_ptr<TAV> buildModel(const std::string& bytes) {
  MemoryDataReader reader(bytes);
  return std::make_unique<TAV>(&reader);
}

}  // namespace testsupport

#include "support/SyntheticProduct.h"

#include <cmath>

#include "io/MemoryDataReader.h"
#include "model/TAV.h"
#include "support/NitfBuilder.h"

namespace testsupport {

namespace {

productkit::FrameCamera cameraOf(const SceneOptions& o) {
  return productkit::FrameCamera(o.cameraLat, o.cameraLon, o.cameraHeight, o.targetLat, o.targetLon,
                                 o.terrain.base, o.focalLength, o.fullRows, o.fullColumns);
}

SceneOptions withTerrainOrigin(SceneOptions o) {
  if (o.terrain.originLat == 0 && o.terrain.originLon == 0) {
    o.terrain.originLat = o.targetLat;
    o.terrain.originLon = o.targetLon;
  }
  return o;
}

}  // namespace

SyntheticProduct makeSyntheticProduct(const SceneOptions& requested) {
  const SceneOptions o = withTerrainOrigin(requested);
  SyntheticProduct p{o, cameraOf(o), {}, {}, {}, 0, {}};
  p.rpc = productkit::fitRpc(p.camera, o.minHeight, o.maxHeight);
  p.chip = productkit::chipOf(o.chipRows, o.chipColumns, o.rowOffset, o.columnOffset, o.scale,
                              o.fullRows, o.fullColumns);
  const double unitsPerMetre = o.form1 || o.units == "dm" ? 10.0
                               : o.units == "f "          ? 1 / 0.3048
                                                          : 1.0;
  p.posts = productkit::samplePosts(p.camera, o.terrain, p.chip, o.postSpacing, unitsPerMetre,
                                    o.verticalAccuracy, p.baseElevation);

  NitfFile file;
  ImageSegment image;
  image.dateTime = o.dateTime;
  image.rows = o.chipRows;
  image.columns = o.chipColumns;
  image.extended = {{"RPC00B", p.rpc.text}, {"ICHIPB", productkit::ichipbText(p.chip)}};
  image.data = std::string(16, '\0');
  file.images.push_back(image);

  if (o.form1) {
    // Form 1 adds ten times a base in whole metres to decimetre values.
    const int baseMetres = static_cast<int>(std::floor(p.baseElevation / 10.0));
    for (productkit::Post& post : p.posts) post.elevation += p.baseElevation - 10 * baseMetres;
    p.baseElevation = baseMetres;
    file.dataExtensions.push_back(
        {"DORARI", "", gzipCompress(productkit::form1Payload(2, o.level, baseMetres, p.posts))});
    p.bytes = buildNitf(file);
    return p;
  }

  productkit::Form2Header header;
  header.sourceKind = o.sourceKind;
  header.level = o.level;
  header.units = o.units;
  header.postCount = static_cast<int>(p.posts.size());
  header.baseElevation = p.baseElevation;
  header.compression = "GZ";
  header.searchRadius = o.searchRadius;

  file.dataExtensions.push_back({"TAV001", productkit::form2Subheader(header),
                                 gzipCompress(productkit::form2Records(p.posts))});
  p.bytes = buildNitf(file);
  return p;
}

std::unique_ptr<TAV> buildModel(const std::string& bytes) {
  MemoryDataReader reader(bytes);
  return std::make_unique<TAV>(&reader);
}

}  // namespace testsupport

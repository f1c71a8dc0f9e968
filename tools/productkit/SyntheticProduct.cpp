#include "productkit/SyntheticProduct.h"

#include <zlib.h>

#include <cmath>
#include <stdexcept>

namespace productkit {

namespace {

FrameCamera cameraOf(const ProductOptions& o) {
  return FrameCamera(o.cameraLat, o.cameraLon, o.cameraHeight, o.targetLat, o.targetLon,
                     o.terrain.base, o.focalLength, o.fullRows, o.fullColumns);
}

ProductOptions withTerrainOrigin(ProductOptions o) {
  if (o.terrain.originLat == 0 && o.terrain.originLon == 0) {
    o.terrain.originLat = o.targetLat;
    o.terrain.originLon = o.targetLon;
  }
  return o;
}

double storedUnitsPerMetre(const ProductOptions& o) {
  if (o.form1 || o.units == "dm") return 10.0;
  if (o.units == "f ") return 1 / 0.3048;
  return 1.0;
}

// Form 1 adds ten times a base in whole metres to decimetre values.
ElevationSegment form1Segment(Product& p) {
  const int baseMetres = static_cast<int>(std::floor(p.baseElevation / 10.0));
  for (Post& post : p.posts) post.elevation += p.baseElevation - 10 * baseMetres;
  p.baseElevation = baseMetres;
  return {"DORARI", "", gzipCompress(form1Payload(2, p.options.level, baseMetres, p.posts))};
}

ElevationSegment form2Segment(const Product& p) {
  Form2Header header;
  header.sourceKind = p.options.sourceKind;
  header.level = p.options.level;
  header.units = p.options.units;
  header.postCount = static_cast<int>(p.posts.size());
  header.baseElevation = p.baseElevation;
  header.compression = "GZ";
  header.searchRadius = p.options.searchRadius;
  return {"TAV001", form2Subheader(header), gzipCompress(form2Records(p.posts))};
}

}  // namespace

Product makeProduct(const ProductOptions& requested) {
  const ProductOptions o = withTerrainOrigin(requested);
  Product p{o, cameraOf(o), {}, {}, {}, 0, {}};
  p.rpc = fitRpc(p.camera, o.minHeight, o.maxHeight);
  p.chip = chipOf(o.chipRows, o.chipColumns, o.rowOffset, o.columnOffset, o.scale, o.fullRows,
                  o.fullColumns);
  p.posts = samplePosts(p.camera, o.terrain, p.chip, o.postSpacing, storedUnitsPerMetre(o),
                        o.verticalAccuracy, p.baseElevation);
  p.elevation = o.form1 ? form1Segment(p) : form2Segment(p);
  return p;
}

std::string gzipCompress(const std::string& bytes, int level) {
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2 failed");
  std::string out(deflateBound(&stream, bytes.size()) + 32, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::runtime_error("deflate failed");
  out.resize(stream.total_out);
  return out;
}

}  // namespace productkit

// Building a TAV model from a complete reading of the product with NITF.
#include <memory>
#include <vector>

#include "../nitf/NITF.h"
#include "../product/TAVReader.h"
#include "../tre/ICHIPB.h"
#include "../tre/RPC00B.h"
#include "TAV.h"

namespace {

// The typed record `tag` of `image` as T, owned by the caller; null when the
// image has none.
template <typename T>
std::unique_ptr<T> recordOf(ImageHeader& image, const char* tag) {
  std::unique_ptr<Extension> record(image.getExtension(tag));
  T* typed = dynamic_cast<T*>(record.get());
  if (typed == nullptr) return nullptr;
  record.release();
  return std::unique_ptr<T>(typed);
}

// A copy of the data of every elevation segment, in file order.
std::vector<TAVReader::TAVElevation> elevationsOf(NITF& file) {
  std::vector<TAVReader::TAVElevation> elevations;
  for (DESHeader& segment : file.dataExtensions) {
    if (!TAVReader::isElevationDesid(segment.desid)) continue;
    const int length = segment.getDESLength();
    TAVReader::TAVElevation elevation;
    elevation.length = length;
    elevation.desshf = segment.desshf;
    elevation.data = new char[length > 0 ? length : 1];
    if (length > 0 && segment.data != nullptr)
      std::copy(segment.data, segment.data + length, elevation.data);
    elevations.push_back(elevation);
  }
  return elevations;
}

}  // namespace

void TAV::buildFromCompleteReading(const char* path) {
  NITF file{std::string(path)};
  if (file.images.empty()) return;
  ImageHeader& first = file.images.front();
  std::unique_ptr<RPC00B> rpc = recordOf<RPC00B>(first, "RPC00B");
  std::unique_ptr<ICHIPB> chip = recordOf<ICHIPB>(first, "ICHIPB");
  if (!rpc || !chip) return;
  initialize(rpc.release(), chip.release(), elevationsOf(file), first.nrows, first.ncols,
             first.idatim);
}

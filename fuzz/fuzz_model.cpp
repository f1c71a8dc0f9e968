// Building the sensor model from arbitrary bytes, then the chip mapping,
// ground-to-image, the elevation lookup and image-to-ground on whatever was
// built. Failures must arrive as exceptions, never as crashes or hangs.
// SEEDS: nitf-corpus
#include <cstddef>
#include <cstdint>

#include "io/MemoryDataReader.h"
#include "model/TAV.h"

namespace {

// The 90th-percentile slope compares every close pair of posts of a rough
// segment: quadratic in its posts by nature, so keep those segments small.
bool roughSegmentTooLarge(const TAV& model) {
  for (const ElevationSegmentData& s : model.elevationSegments) {
    if ((s.dataSource == 6 || s.dataSource == 8) && s.points.size() > 20000) return true;
  }
  return false;
}

template <class F>
void guarded(F f) {
  try {
    f();
  } catch (BaseException* e) {
    delete e;
  } catch (BaseException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryDataReader reader(data, static_cast<long long>(size));
  TAV model(&reader);
  if (!model.getIsInitialized()) return 0;
  const zel::PixelCoordinate pixels[] = {
      {0, 0}, {10.5, 20.25}, {model.width / 2.0, model.height / 2.0}};
  for (const zel::PixelCoordinate& p : pixels) {
    guarded([&] { model.full2chip(model.chip2full(p)); });
    guarded([&] { model.groundToImage(zel::DecimalCoordinate(model.LAT_OFF, model.LONG_OFF, 0)); });
    if (roughSegmentTooLarge(model)) continue;
    guarded([&] { model.getElevation(p); });
    guarded([&] { model.imageToGround(p); });
  }
  return 0;
}

// A minimal application of the library: the centre pixel of a product's
// chip to the ground, once through a TAV model (with CE90/LE90) and once
// through the one-call ImageToGround.
//
//   image_to_ground_example PRODUCT.ntf
#include <vuziza/vuziza.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: image_to_ground_example PRODUCT.ntf\n");
    return 2;
  }
  try {
    TAV model(argv[1], false);  // the fast product scanner
    if (!model.getIsInitialized()) {
      std::fprintf(stderr, "%s is not a product\n", argv[1]);
      return 1;
    }
    const zel::PixelCoordinate centre((model.getWidth() - 1) / 2.0, (model.getHeight() - 1) / 2.0);
    const zel::ErrorCoordinate ground = model.imageToGround(centre);
    std::printf(
        "TAV::imageToGround  pixel (%.1f, %.1f): latitude %.9f, longitude %.9f, "
        "elevation %.3f m, CE90 %.3f m, LE90 %.3f m\n",
        centre.getX(), centre.getY(), ground.getLat(), ground.getLon(), ground.getElev(),
        ground.getCE(), ground.getLE());

    const zel::DecimalCoordinate same = ImageToGround(centre, argv[1]);
    std::printf(
        "ImageToGround       pixel (%.1f, %.1f): latitude %.9f, longitude %.9f, "
        "elevation %.3f m\n",
        centre.getX(), centre.getY(), same.getLat(), same.getLon(), same.getElev());
  } catch (BaseException* error) {  // failures the model detects come as pointers
    delete error;
    std::fprintf(stderr, "%s\n", BaseException::what());
    return 1;
  } catch (const BaseException&) {  // the matrix library's own failures
    std::fprintf(stderr, "%s\n", BaseException::what());
    return 1;
  }
  return 0;
}

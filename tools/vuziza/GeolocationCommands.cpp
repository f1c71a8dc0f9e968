// i2g and g2i: image to ground and ground to image on a product.
#include <iostream>

#include "Command.h"
#include "Commands.h"
#include "ModelLoading.h"

namespace cli {

namespace {

Report groundReport(bool json, const zel::PixelCoordinate& pixel, const zel::ErrorCoordinate& g) {
  Report report(json);
  report.add("x", pixel.x, 3).add("y", pixel.y, 3);
  report.add("latitude", g.getLat(), 9).add("longitude", g.getLon(), 9);
  report.add("elevation", g.getElev(), 3).add("ce90", g.getCE(), 3).add("le90", g.getLE(), 3);
  return report;
}

// The points of a subcommand: from the command line when given there,
// otherwise one per line of standard input.
std::vector<std::vector<std::string>> pointsOf(const Arguments& args, size_t first, size_t count) {
  const auto& words = args.positional();
  if (words.size() == first) return readInputLines();
  if (words.size() != first + count) throw UsageError("wrong number of arguments (see --help)");
  return {std::vector<std::string>(words.begin() + static_cast<long>(first), words.end())};
}

}  // namespace

int imageToGroundCommand(const std::vector<std::string>& words) {
  return runReporting("i2g", [&] {
    const Arguments args(words, {"json", "full-read"}, {{"height", 1}});
    if (args.positional().empty()) throw UsageError("missing FILE (see --help)");
    const bool json = args.has("json");
    auto model = openProduct(args.positional()[0], args.has("full-read"));
    const bool override = args.has("height");
    const double height = override ? parseNumber(args.values("height")[0], "height") : 0;
    for (const auto& point : pointsOf(args, 1, 2)) {
      if (point.size() != 2) throw UsageError("a point is X Y (chip pixels)");
      const zel::PixelCoordinate pixel(parseNumber(point[0], "X"), parseNumber(point[1], "Y"));
      requireInsideImage(*model, pixel);
      const zel::ErrorCoordinate ground =
          override ? model->imageToGroundOverrideHeight(pixel, true, height)
                   : model->imageToGround(pixel);
      groundReport(json, pixel, ground).print();
    }
  });
}

int groundToImageCommand(const std::vector<std::string>& words) {
  return runReporting("g2i", [&] {
    const Arguments args(words, {"json", "full-read"}, {});
    if (args.positional().empty()) throw UsageError("missing FILE (see --help)");
    const bool json = args.has("json");
    auto model = openProduct(args.positional()[0], args.has("full-read"));
    for (const auto& point : pointsOf(args, 1, 3)) {
      if (point.size() != 3) throw UsageError("a point is LAT LON H (degrees, metres)");
      const double lat = parseNumber(point[0], "LAT");
      const double lon = parseNumber(point[1], "LON");
      const double height = parseNumber(point[2], "H");
      if (lat < -90 || lat > 90 || lon < -180 || lon > 360)
        throw UsageError("LAT must lie in [-90, 90] and LON in [-180, 360]");
      const zel::PixelCoordinate pixel =
          model->groundToImage(zel::DecimalCoordinate(lat, lon, height));
      Report report(json);
      report.add("latitude", lat, 9).add("longitude", lon, 9).add("height", height, 3);
      report.add("x", pixel.x, 3).add("y", pixel.y, 3);
      report.print();
    }
  });
}

}  // namespace cli

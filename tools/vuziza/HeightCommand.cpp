// height: object heights from base, top and shadow tip.
#include "Command.h"
#include "Commands.h"
#include "ModelLoading.h"

namespace cli {

namespace {

zel::PixelCoordinate pixelOption(const Arguments& args, const std::string& name) {
  const auto& values = args.values(name);
  return zel::PixelCoordinate(parseNumber(values[0], name + " X"),
                              parseNumber(values[1], name + " Y"));
}

}  // namespace

int heightCommand(const std::vector<std::string>& words) {
  return runReporting("height", [&] {
    const Arguments args(words, {"json", "full-read"},
                         {{"base", 2}, {"top", 2}, {"shadow", 2}, {"other", 1}});
    if (args.positional().size() != 1) throw UsageError("expected one FILE (see --help)");
    const int given = args.has("base") + args.has("top") + args.has("shadow");
    if (given != 2) throw UsageError("give exactly two of --base, --top and --shadow");
    const bool fullRead = args.has("full-read");
    auto model = openProduct(args.positional()[0], fullRead);
    std::unique_ptr<TAV> other;
    if (args.has("other")) other = openProduct(args.values("other")[0], fullRead);
    // The first point is on FILE; the second on FILE2 when --other is given.
    TAV& second = other ? *other : *model;
    TAV* otherModel = other.get();

    Report report(args.has("json"));
    if (args.has("base")) {
      const zel::PixelCoordinate base = pixelOption(args, "base");
      requireInsideImage(*model, base);
      const bool toTop = args.has("top");
      const zel::PixelCoordinate tip = pixelOption(args, toTop ? "top" : "shadow");
      requireInsideImage(second, tip);
      double height;
      if (toTop) {
        height = otherModel ? model->getHeightOffsetBaseToTop(base, otherModel, tip)
                            : model->getHeightOffsetBaseToTop(base, tip);
      } else {
        height = otherModel ? model->getHeightOffsetBaseToShadowTip(base, otherModel, tip)
                            : model->getHeightOffsetBaseToShadowTip(base, tip);
      }
      report.add("measurement", std::string(toTop ? "base to top" : "base to shadow tip"));
      report.add("height", height, 3);
    } else {
      const zel::PixelCoordinate top = pixelOption(args, "top");
      const zel::PixelCoordinate shadow = pixelOption(args, "shadow");
      requireInsideImage(*model, top);
      requireInsideImage(second, shadow);
      const zel::DecimalCoordinate result =
          otherModel ? model->getHeightOffsetTopToShadowTip(top, otherModel, shadow)
                     : model->getHeightOffsetTopToShadowTip(top, shadow);
      report.add("measurement", std::string("top to shadow tip"));
      report.add("height", result.getElev(), 3);
      report.add("latitude", result.getLat(), 9).add("longitude", result.getLon(), 9);
    }
    if (args.has("shadow")) {
      report.add("sun azimuth", model->sunAzimuth, 3);
      report.add("sun elevation", model->sunElevation, 3);
    }
    report.print();
  });
}

}  // namespace cli

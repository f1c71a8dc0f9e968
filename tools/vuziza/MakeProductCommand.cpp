// make-product: a synthetic product with known truth, written through NITF.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <memory>

#include "Command.h"
#include "Commands.h"
#include "nitf/NITF.h"
#include "productkit/SyntheticProduct.h"
#include "tre/ICHIPB.h"
#include "tre/RPC00B.h"

namespace cli {

namespace {

constexpr double RADIANS_PER_DEGREE = 0.017453292519943295;

// Discards standard output while it lives.
class SilencedOutput {
 public:
  SilencedOutput() : saved_(std::cout.rdbuf(nullptr)) {}
  ~SilencedOutput() { std::cout.rdbuf(saved_); }
  SilencedOutput(const SilencedOutput&) = delete;
  SilencedOutput& operator=(const SilencedOutput&) = delete;

 private:
  std::streambuf* saved_;
};

productkit::ProductOptions optionsFrom(const Arguments& args) {
  productkit::ProductOptions o;
  if (args.has("lat")) o.cameraLat = o.targetLat = parseNumber(args.values("lat")[0], "LAT");
  if (args.has("lon")) o.cameraLon = o.targetLon = parseNumber(args.values("lon")[0], "LON");
  if (std::fabs(o.targetLat) > 80) throw UsageError("LAT must lie in [-80, 80]");
  if (std::fabs(o.targetLon) > 180) throw UsageError("LON must lie in [-180, 180]");
  const int size = args.has("size") ? parseInteger(args.values("size")[0], "PIXELS") : 1000;
  if (size < 64 || size > 3000) throw UsageError("PIXELS must lie in [64, 3000]");
  const int form = args.has("form") ? parseInteger(args.values("form")[0], "form") : 2;
  if (form != 1 && form != 2) throw UsageError("the form is 1 or 2");
  o.form1 = form == 1;
  o.chipRows = o.chipColumns = size;
  o.rowOffset = o.columnOffset = (o.fullRows - size) / 2;
  o.terrain.base = 300;
  o.terrain.eastSlope = 0.02;
  o.terrain.northSlope = -0.01;
  o.terrain.amplitude = 15;
  o.terrain.wavelength = 900;
  return o;
}

// Grey levels of a shaded relief of the terrain, as the camera sees it.
std::unique_ptr<unsigned char[]> shadedRelief(const productkit::Product& p) {
  const auto& o = p.options;
  std::unique_ptr<unsigned char[]> pixels(
      new unsigned char[static_cast<size_t>(o.chipRows) * o.chipColumns]);
  const double step = 1e-5;  // degrees, for the slope
  for (int row = 0; row < o.chipRows; ++row) {
    for (int column = 0; column < o.chipColumns; ++column) {
      double lat = o.targetLat, lon = o.targetLon;
      p.camera.intersectHeight(o.rowOffset + row * o.scale, o.columnOffset + column * o.scale,
                               o.terrain.base, lat, lon);
      const double metresPerDegree = 111320.0;
      const double east = (o.terrain.heightAt(lat, lon + step) - o.terrain.heightAt(lat, lon)) /
                          (step * metresPerDegree * std::cos(lat * RADIANS_PER_DEGREE));
      const double north = (o.terrain.heightAt(lat + step, lon) - o.terrain.heightAt(lat, lon)) /
                           (step * metresPerDegree);
      // Light from the north-west, 45 degrees up.
      const double shade =
          (1 + 0.7071 * (north - east) / std::sqrt(1 + east * east + north * north));
      pixels[static_cast<size_t>(row) * o.chipColumns + column] =
          static_cast<unsigned char>(std::clamp(128 + 320 * (shade - 1), 0.0, 255.0));
    }
  }
  return pixels;
}

// Where the camera sees chip pixel (row, column) on the true terrain.
bool truthAt(const productkit::Product& p, double row, double column, double& lat, double& lon,
             double& height) {
  const auto& o = p.options;
  return p.camera.intersectTerrain(o.rowOffset + row * o.scale, o.columnOffset + column * o.scale,
                                   o.terrain, lat, lon, height);
}

zel::GeoQuad groundCorners(const productkit::Product& p) {
  const double last = p.options.chipRows - 1.0, right = p.options.chipColumns - 1.0;
  const double corners[4][2] = {{0, 0}, {0, right}, {last, right}, {last, 0}};
  zel::DecimalCoordinate ground[4];
  for (int i = 0; i < 4; ++i) {
    double lat = 0, lon = 0, height = 0;
    truthAt(p, corners[i][0], corners[i][1], lat, lon, height);
    ground[i] = zel::DecimalCoordinate(lat, lon, height);
  }
  return zel::GeoQuad(ground[0], ground[1], ground[2], ground[3]);
}

void writeNitf(const productkit::Product& p, const std::string& path) {
  const auto& o = p.options;
  NITF file;
  std::unique_ptr<unsigned char[]> pixels = shadedRelief(p);
  const long long size = static_cast<long long>(o.chipRows) * o.chipColumns;
  if (!file.addImageSubHeader(pixels.get(), ImageHeader::RAW, size, o.chipRows, o.chipColumns,
                              MONO))
    throw UsageError("the image segment could not be added");
  pixels.release();  // the segment owns it now
  file.images[0].idatim = o.dateTime;
  file.images[0].iid2 = "Synthetic product of the vuziza tool";
  const std::string ichipb = productkit::ichipbText(p.chip);
  file.addTreSegment(new RPC00B("RPC00B", static_cast<int>(p.rpc.text.size()), p.rpc.text), 0);
  file.addTreSegment(new ICHIPB("ICHIPB", static_cast<int>(ichipb.size()), ichipb), 0);
  zel::GeoQuad corners = groundCorners(p);
  file.addIGEOLO(corners, NITF::DECIMAL, 0);
  const std::string& payload = p.elevation.payload;
  file.addDataExtensionSegment(p.elevation.desid, 1, payload.data(),
                               static_cast<int>(payload.size()));
  DESHeader& segment = file.dataExtensions.back();
  segment.desshf = p.elevation.desshf;
  segment.desshl = static_cast<int>(p.elevation.desshf.size());
  {
    // writeFile reports each data extension segment on standard output; keep
    // this subcommand's own listing clean.
    const SilencedOutput quiet;
    file.writeFile(path);
  }
  if (!std::ifstream(path)) throw UsageError("cannot write " + path);
}

void writeTruth(const productkit::Product& p, const std::string& path) {
  std::ofstream out(path);
  if (!out) throw UsageError("cannot write " + path);
  out.precision(10);
  out << "# chip X, chip Y, latitude, longitude (degrees), elevation (metres above WGS 84)\n";
  const int step = std::max(1, p.options.chipRows / 10);
  for (int row = 0; row < p.options.chipRows; row += step) {
    for (int column = 0; column < p.options.chipColumns; column += step) {
      double lat = 0, lon = 0, height = 0;
      if (truthAt(p, row, column, lat, lon, height))
        out << column << " " << row << " " << lat << " " << lon << " " << height << "\n";
    }
  }
}

}  // namespace

int makeProductCommand(const std::vector<std::string>& words) {
  return runReporting("make-product", [&] {
    const Arguments args(words, {"json"},
                         {{"form", 1}, {"lat", 1}, {"lon", 1}, {"size", 1}, {"truth", 1}});
    if (args.positional().size() != 1) throw UsageError("expected OUT.ntf (see --help)");
    const productkit::Product product = productkit::makeProduct(optionsFrom(args));
    writeNitf(product, args.positional()[0]);
    if (args.has("truth")) writeTruth(product, args.values("truth")[0]);

    const double centre = (product.options.chipRows - 1) / 2.0;
    double lat = 0, lon = 0, height = 0;
    truthAt(product, centre, centre, lat, lon, height);
    Report report(args.has("json"));
    report.add("file", args.positional()[0]);
    report.add("elevation form",
               product.options.form1 ? std::string("1 (DORARI)") : std::string("2 (TAV001)"));
    report.add("chip", std::to_string(product.options.chipColumns) + " x " +
                           std::to_string(product.options.chipRows));
    report.add("elevation posts", static_cast<int>(product.posts.size()));
    report.add("RPC fit rms (pixels)", product.rpc.rmsResidual, 6);
    report.add("RPC fit max (pixels)", product.rpc.maxResidual, 6);
    Report truth(args.has("json"));
    truth.add("x", centre, 1).add("y", centre, 1);
    truth.add("latitude", lat, 9).add("longitude", lon, 9).add("elevation", height, 3);
    report.add("true ground point of the chip centre", truth);
    report.print();
  });
}

}  // namespace cli

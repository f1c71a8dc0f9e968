// chip and quicklook: image pixels written as JPEG.
#include <algorithm>
#include <cmath>
#include <memory>

#include "Command.h"
#include "Commands.h"
#include "JpegFile.h"
#include "ModelLoading.h"
#include "nitf/FileHeader.h"
#include "nitf/ImageHeader.h"
#include "product/TAVReader.h"

namespace cli {

namespace {

constexpr long long MAX_CHIP_PIXELS = 100LL * 1000 * 1000;

// Image segment `number` (from 1) of the file, subheader read.
std::unique_ptr<ImageHeader> openImage(const std::string& path, int number) {
  requireReadableFile(path);
  FileHeader fileHeader;
  fileHeader.read(path);
  if (fileHeader.fhdr.compare(0, 4, "NITF") != 0 && fileHeader.fhdr.compare(0, 4, "NSIF") != 0)
    throw UsageError(path + " is not a NITF file");
  if (number < 1 || number > fileHeader.numi)
    throw UsageError(path + " has " + std::to_string(fileHeader.numi) + " image segment(s)");
  auto image = std::make_unique<ImageHeader>();
  image->read(path, fileHeader, number - 1);
  return image;
}

std::string undecodable(const ImageHeader& image) {
  return "cannot decode the image data (IC \"" + image.ic + "\", IMODE \"" +
         std::string(1, image.imode) + "\", NBPP " + std::to_string(image.nbpp) + ")";
}

// The RAW buffer of the last read as a picture.
Picture pictureOf(ImageHeader& image) {
  Picture picture(image.bufferWidth, image.bufferHeight, image.getBPP());
  const size_t bytes = picture.pixels.size();
  if (image.imageData && static_cast<size_t>(image.imageDataSize) >= bytes)
    std::copy(image.imageData, image.imageData + bytes, picture.pixels.begin());
  return picture;
}

// `source` reduced by box averages so that its longer side is at most `size`.
Picture reduced(const Picture& source, int size) {
  const int longer = std::max(source.width, source.height);
  const int factor = std::max(1, (longer + size - 1) / size);
  Picture out(std::max(1, source.width / factor), std::max(1, source.height / factor),
              source.channels);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      for (int c = 0; c < source.channels; ++c) {
        long sum = 0;
        for (int dy = 0; dy < factor; ++dy)
          for (int dx = 0; dx < factor; ++dx)
            sum += source.pixels[(static_cast<size_t>(y * factor + dy) * source.width + x * factor +
                                  dx) *
                                     source.channels +
                                 c];
        out.at(x, y)[c] = static_cast<unsigned char>(sum / (factor * factor));
      }
    }
  }
  return out;
}

Picture asRgb(const Picture& grey) {
  if (grey.channels == 3) return grey;
  Picture rgb(grey.width, grey.height, 3);
  for (size_t i = 0; i < grey.pixels.size(); ++i)
    std::fill_n(rgb.pixels.begin() + static_cast<long>(i * 3), 3, grey.pixels[i]);
  return rgb;
}

// Blue (low) through green to red (high) for t in [0, 1].
void colourFor(double t, unsigned char* rgb) {
  t = std::clamp(t, 0.0, 1.0);
  rgb[0] = static_cast<unsigned char>(255 * std::clamp(2 * t - 1, 0.0, 1.0));
  rgb[1] = static_cast<unsigned char>(255 * (1 - std::fabs(2 * t - 1)));
  rgb[2] = static_cast<unsigned char>(255 * std::clamp(1 - 2 * t, 0.0, 1.0));
}

void drawDot(Picture& picture, int cx, int cy, const unsigned char* rgb) {
  for (int y = cy - 1; y <= cy + 1; ++y)
    for (int x = cx - 1; x <= cx + 1; ++x)
      if (x >= 0 && y >= 0 && x < picture.width && y < picture.height)
        std::copy(rgb, rgb + 3, picture.at(x, y));
}

// Elevation of a post in metres, from the units of its segment.
double postMetres(const TAV& model, const ElevationSegmentData& segment, double value) {
  if (model.elevationFormat == "1.7" || segment.units == 2) return value / 10;
  if (segment.units == 1) return value * 0.3048;
  return value;
}

zel::ErrorCoordinate cornerOnGround(TAV& model, const zel::PixelCoordinate& pixel) {
  try {
    return model.imageToGround(pixel);
  } catch (BaseException* error) {
    delete error;  // no post near the corner: take the camera model's mean height
  } catch (const BaseException&) {
  }
  return model.imageToGroundOverrideHeight(pixel, true, model.HEIGHT_OFF);
}

}  // namespace

int chipCommand(const std::vector<std::string>& words) {
  return runReporting("chip", [&] {
    const Arguments args(words, {}, {{"image", 1}});
    const auto& p = args.positional();
    if (p.size() != 6) throw UsageError("expected FILE X Y W H OUT.jpg (see --help)");
    const int number = args.has("image") ? parseInteger(args.values("image")[0], "N") : 1;
    const int x = parseInteger(p[1], "X"), y = parseInteger(p[2], "Y");
    const int width = parseInteger(p[3], "W"), height = parseInteger(p[4], "H");
    if (width < 1 || height < 1 || static_cast<long long>(width) * height > MAX_CHIP_PIXELS)
      throw UsageError("W and H must be at least 1 and W x H at most 100 million pixels");
    auto image = openImage(p[0], number);
    if (!image->readImageChip(x, y, width, height)) throw UsageError(undecodable(*image));
    writeJpeg(pictureOf(*image), p[5]);
  });
}

int quicklookCommand(const std::vector<std::string>& words) {
  return runReporting("quicklook", [&] {
    const Arguments args(words, {"json"}, {{"size", 1}});
    const auto& p = args.positional();
    if (p.size() != 2) throw UsageError("expected FILE OUT.jpg (see --help)");
    const int size = args.has("size") ? parseInteger(args.values("size")[0], "PIXELS") : 1024;
    if (size < 16 || size > 20000) throw UsageError("PIXELS must lie in [16, 20000]");
    auto image = openImage(p[0], 1);
    if (!image->readImage()) throw UsageError(undecodable(*image));
    const Picture full = pictureOf(*image);
    Picture look = asRgb(reduced(full, size));
    const double scaleX = static_cast<double>(look.width) / full.width;
    const double scaleY = static_cast<double>(look.height) / full.height;

    Report report(args.has("json"));
    report.add("image", std::to_string(full.width) + " x " + std::to_string(full.height));
    report.add("quicklook", std::to_string(look.width) + " x " + std::to_string(look.height));
    std::unique_ptr<DataReader> reader(DataReader::getDataReaderForFile(p[0]));
    const bool product = TAVReader::isTAV(reader.get());
    report.add("product", product);
    if (product) {
      auto model = openProduct(p[0], false);
      double low = 1e300, high = -1e300;
      int posts = 0;
      for (const auto& segment : model->elevationSegments) {
        for (const auto& post : segment.points) {
          const double metres = postMetres(*model, segment, post.elevation);
          low = std::min(low, metres);
          high = std::max(high, metres);
          ++posts;
        }
      }
      for (const auto& segment : model->elevationSegments) {
        for (const auto& post : segment.points) {
          unsigned char rgb[3];
          colourFor(
              (postMetres(*model, segment, post.elevation) - low) / std::max(high - low, 1e-9),
              rgb);
          drawDot(look, static_cast<int>(post.column * scaleX), static_cast<int>(post.row * scaleY),
                  rgb);
        }
      }
      report.add("ground sample distance (m)", model->gsd, 3);
      report.add("elevation posts", posts);
      if (posts > 0) report.add("lowest post (m)", low, 2).add("highest post (m)", high, 2);
      const double right = model->width - 1.0, bottom = model->height - 1.0;
      const std::pair<const char*, zel::PixelCoordinate> corners[] = {
          {"upper left", {0, 0}},
          {"upper right", {right, 0}},
          {"lower right", {right, bottom}},
          {"lower left", {0, bottom}}};
      for (const auto& [name, pixel] : corners) {
        const zel::ErrorCoordinate ground = cornerOnGround(*model, pixel);
        Report corner(args.has("json"));
        corner.add("latitude", ground.getLat(), 7).add("longitude", ground.getLon(), 7);
        corner.add("elevation", ground.getElev(), 2);
        report.add(name, corner);
      }
    }
    writeJpeg(look, p[1]);
    report.print();
  });
}

}  // namespace cli

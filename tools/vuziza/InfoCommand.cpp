// info: the headers, extensions and segments of a NITF file.
#include <cmath>
#include <iostream>

#include "Command.h"
#include "Commands.h"
#include "model/TAV.h"
#include "nitf/NITF.h"
#include "tre/BLOCKA.h"
#include "tre/ICHIPB.h"
#include "tre/RPC00B.h"

namespace cli {

namespace {

// A field's text without the blanks that pad it.
std::string trimmed(const std::string& text) {
  const size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? "" : text.substr(0, end + 1);
}

struct RawRecord {
  std::string tag;
  std::string text;
};

// The records of an extended subheader data area (CETAG, CEL, CEDATA ...).
std::vector<RawRecord> recordsOf(const std::string& area) {
  std::vector<RawRecord> records;
  for (size_t at = 0; at + 11 <= area.size();) {
    const std::string tag = area.substr(at, 6);
    const long length = std::strtol(area.substr(at + 6, 5).c_str(), nullptr, 10);
    if (length < 0) break;
    records.push_back({tag, area.substr(at + 11, static_cast<size_t>(length))});
    at += 11 + static_cast<size_t>(length);
  }
  return records;
}

void printExtension(Extension* extension, const RawRecord& record) {
  if (auto* rpc = dynamic_cast<RPC00B*>(extension)) return rpc->printTags();
  if (auto* chip = dynamic_cast<ICHIPB*>(extension)) return chip->printTags();
  if (auto* block = dynamic_cast<BLOCKA*>(extension)) return block->printTags();
  std::cout << "------" << record.tag << "------\n" << record.text << "\n\n";
}

Report cornersReport(bool json, const zel::GeoQuad& quad) {
  Report corners(json);
  const std::pair<const char*, zel::DecimalCoordinate> named[] = {{"upper left", quad.ul},
                                                                  {"upper right", quad.ur},
                                                                  {"lower right", quad.lr},
                                                                  {"lower left", quad.ll}};
  for (const auto& [name, corner] : named) {
    Report c(json);
    c.add("latitude", corner.lat, 6).add("longitude", corner.lon, 6);
    corners.add(name, c);
  }
  return corners;
}

Report imageReport(bool json, NITF& file, int index) {
  ImageHeader& image = file.images[static_cast<size_t>(index)];
  Report report(json);
  report.add("rows", image.nrows).add("columns", image.ncols).add("bands", image.bandCount());
  report.add("irep", trimmed(image.irep))
      .add("ic", image.ic)
      .add("imode", std::string(1, image.imode));
  report.add("abpp", image.abpp).add("nbpp", image.nbpp).add("idatim", image.idatim);
  report.add("icords", std::string(1, image.icords)).add("igeolo", image.igeolo);
  const zel::GeoQuad corners = file.getCorners(index);
  if (!std::isnan(corners.ul.lat)) report.add("corners", cornersReport(json, corners));
  std::vector<Report> extensions;
  for (const RawRecord& record : recordsOf(image.ixshd)) {
    Report extension(json);
    extension.add("tag", record.tag).add("length", static_cast<int>(record.text.size()));
    extensions.push_back(extension);
  }
  report.add("extensions", extensions);
  return report;
}

Report dataExtensionReport(bool json, DESHeader& segment) {
  Report report(json);
  report.add("desid", trimmed(segment.desid)).add("desver", segment.desver);
  report.add("length", segment.getDESLength()).add("desshl", segment.desshl);
  return report;
}

void printListings(NITF& file) {
  file.fileHeader.printTags();
  for (ImageHeader& image : file.images) {
    image.printTags();
    const auto records = recordsOf(image.ixshd);
    for (size_t i = 0; i < records.size(); ++i)
      printExtension(i < image.extensions.size() ? image.extensions[i] : nullptr, records[i]);
  }
  for (DESHeader& segment : file.dataExtensions) segment.printTags();
}

}  // namespace

int infoCommand(const std::vector<std::string>& words) {
  return runReporting("info", [&] {
    const Arguments args(words, {"json"}, {});
    if (args.positional().size() != 1) throw UsageError("expected one FILE (see --help)");
    const std::string& path = args.positional()[0];
    requireReadableFile(path);
    NITF file(path);
    const std::string& fhdr = file.fileHeader.fhdr;
    if (fhdr.compare(0, 4, "NITF") != 0 && fhdr.compare(0, 4, "NSIF") != 0)
      throw UsageError(path + " is not a NITF file");
    const bool json = args.has("json");
    if (!json) printListings(file);

    Report report(json);
    report.add("file", path).add("version", fhdr).add("title", trimmed(file.fileHeader.ftitle));
    report.add("file length", static_cast<double>(file.fileHeader.fl), 0);
    std::vector<Report> images, segments;
    for (int i = 0; i < static_cast<int>(file.images.size()); ++i)
      images.push_back(imageReport(json, file, i));
    for (DESHeader& segment : file.dataExtensions)
      segments.push_back(dataExtensionReport(json, segment));
    if (json) {
      report.add("images", images).add("data extension segments", segments);
    } else {
      report.add("image segments", static_cast<int>(images.size()));
      report.add("data extension segments", static_cast<int>(segments.size()));
    }
    const bool product = TAV::isTAV(path.c_str());
    report.add("product", product);
    if (product) report.add("sensor model", TAV(path.c_str(), false).getIsInitialized());
    report.print();
  });
}

}  // namespace cli

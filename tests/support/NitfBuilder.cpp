#include "support/NitfBuilder.h"

#include "productkit/SyntheticProduct.h"

#include <cstdio>
#include <stdexcept>

namespace testsupport {

std::string textField(const std::string& value, size_t width) {
  std::string field = value.substr(0, width);
  field.resize(width, ' ');
  return field;
}

std::string numberField(long long value, size_t width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*lld", static_cast<int>(width), value);
  return std::string(text).substr(0, width);
}

namespace {

std::string blanks(size_t count) { return std::string(count, ' '); }

std::string recordsArea(const std::vector<ExtensionRecord>& records) {
  std::string area;
  for (const auto& record : records)
    area += textField(record.tag, 6) + numberField(record.text.size(), 5) + record.text;
  return area;
}

// A length field followed, when the area is not empty, by a 3-digit overflow
// field and the area itself.
std::string lengthPrefixedArea(const std::string& area, size_t lengthWidth) {
  if (area.empty()) return numberField(0, lengthWidth);
  return numberField(area.size() + 3, lengthWidth) + "000" + area;
}

// The security fields shared by every 2.1 subheader (xxSCLAS .. xxSCTLN).
std::string securityFields() {
  return "U" + blanks(2 + 11 + 2 + 20 + 2 + 8 + 4 + 1 + 8 + 43 + 1 + 40 + 1 + 8 + 15);
}

std::string segmentTable(const std::vector<std::pair<long long, long long>>& lengths,
                         size_t countWidth, size_t subheaderWidth, size_t dataWidth) {
  std::string table = numberField(lengths.size(), countWidth);
  for (const auto& [subheader, data] : lengths)
    table += numberField(subheader, subheaderWidth) + numberField(data, dataWidth);
  return table;
}

std::string graphicSubheader() {
  // SY, SID, SNAME, security, ENCRYP, SFMT, SSTRUCT, SDLVL, SALVL, SLOC, SBND1,
  // SCOLOR, SBND2, SRES2, SXSHDL.
  return "SY" + blanks(10) + blanks(20) + securityFields() + "0" + "C" + numberField(0, 13) +
         "001" + "000" + numberField(0, 10) + numberField(0, 10) + "C" + numberField(0, 10) + "00" +
         numberField(0, 5);
}

std::string textSubheader() {
  // TE, TEXTID, TXTALVL, TXTDT, TXTITL, security, ENCRYP, TXTFMT, TXSHDL.
  return "TE" + blanks(7) + "000" + numberField(0, 14) + blanks(80) + securityFields() + "0" +
         "STA" + numberField(0, 5);
}

}  // namespace

std::string imageSubheader(const ImageSegment& image) {
  std::string h = "IM" + blanks(10) + textField(image.dateTime, 14) + blanks(17) + blanks(80) +
                  securityFields() + "0" + blanks(42);
  h += numberField(image.rows, 8) + numberField(image.columns, 8) + "INT" +
       textField(image.irep, 8) + textField("VIS", 8) + "08" + "R";
  h += std::string(1, image.icords);
  if (image.icords != ' ') h += textField("", 60);
  h += numberField(image.comments, 1);
  for (int i = 0; i < image.comments; ++i) h += textField("comment", 80);
  h += textField(image.ic, 2);
  if (image.ic != "NC" && image.ic != "NM") h += "00.0";
  h += numberField(image.bands, 1);
  int bandCount = image.bands;
  if (image.bands == 0) {
    h += numberField(image.xbands, 5);
    bandCount = image.xbands;
  }
  for (int band = 0; band < bandCount; ++band) {
    h += textField("M", 2) + blanks(6) + "N" + blanks(3);
    if (image.lutEntries > 0) {
      h += "1" + numberField(image.lutEntries, 5) + std::string(image.lutEntries, '\x07');
    } else {
      h += "0";
    }
  }
  h += "0" + std::string("B") + "0001" + "0001" + numberField(image.columns, 4) +
       numberField(image.rows, 4) + "08" + "001" + "000" + numberField(0, 10) + "1.0 ";
  h += lengthPrefixedArea(recordsArea(image.userDefined), 5);
  h += lengthPrefixedArea(recordsArea(image.extended), 5);
  return h;
}

std::string dataExtensionSubheader(const DataExtensionSegment& segment) {
  // TRE_OVERFLOW segments carry DESOFLW and DESITEM before DESSHL.
  const std::string overflow = segment.desid == "TRE_OVERFLOW" ? "UDID  001" : "";
  return "DE" + textField(segment.desid, 25) + "01" + securityFields() + overflow +
         numberField(segment.userSubheader.size(), 4) + segment.userSubheader;
}

std::string buildNitf(const NitfFile& file) {
  std::vector<std::pair<long long, long long>> images, graphics, texts, des, res;
  std::string body;
  for (const auto& image : file.images) {
    std::string subheader = imageSubheader(image);
    images.emplace_back(subheader.size(), image.data.size());
    body += subheader + image.data;
  }
  for (const auto& data : file.graphics) {
    std::string subheader = graphicSubheader();
    graphics.emplace_back(subheader.size(), data.size());
    body += subheader + data;
  }
  for (const auto& data : file.texts) {
    std::string subheader = textSubheader();
    texts.emplace_back(subheader.size(), data.size());
    body += subheader + data;
  }
  for (const auto& segment : file.dataExtensions) {
    std::string subheader = dataExtensionSubheader(segment);
    des.emplace_back(subheader.size(), segment.data.size());
    body += subheader + segment.data;
  }
  for (int i = 0; i < file.reservedExtensions; ++i) {
    std::string subheader = "RE" + blanks(198);
    res.emplace_back(subheader.size(), 2);
    body += subheader + "RR";
  }

  std::string tables = segmentTable(images, 3, 6, 10) + segmentTable(graphics, 3, 4, 6) + "000" +
                       segmentTable(texts, 3, 4, 5) + segmentTable(des, 3, 4, 9) +
                       segmentTable(res, 3, 4, 7) + lengthPrefixedArea(file.userHeaderData, 5) +
                       lengthPrefixedArea(file.extendedHeaderData, 5);
  const std::string beforeLengths = "NITF" + textField(file.version, 5) + "03" + "BF01" +
                                    textField("TESTS", 10) + "20200102030405" + blanks(80) +
                                    securityFields() + "00000" + "00000" + "0" +
                                    std::string(3, '\0') + blanks(24) + blanks(18);
  const long long headerLength = beforeLengths.size() + 12 + 6 + tables.size();
  const long long fileLength = headerLength + body.size();
  return beforeLengths + numberField(fileLength, 12) + numberField(headerLength, 6) + tables + body;
}

std::string gzipCompress(const std::string& bytes, int level) {
  return productkit::gzipCompress(bytes, level);
}

}  // namespace testsupport

#include "support/ProductFixtures.h"

#include "productkit/ChipRecord.h"
#include "productkit/ElevationPayload.h"

namespace testsupport {

std::string rpc00bText() {
  std::string text = "1";
  text +=
      "0001.00"
      "0002.00";  // ERR_BIAS, ERR_RAND
  text +=
      "000500"
      "00600";  // LINE_OFF, SAMP_OFF
  text +=
      "+45.1234"
      "-122.5678"
      "+0100";  // LAT_OFF, LONG_OFF, HEIGHT_OFF
  text +=
      "000500"
      "00600";  // LINE_SCALE, SAMP_SCALE
  text +=
      "+00.0500"
      "+000.0500"
      "+0500";  // LAT_SCALE, LONG_SCALE, HEIGHT_SCALE
  for (int set = 0; set < 4; ++set) {
    for (int term = 0; term < 20; ++term) {
      const bool one = (term == 0 && (set == 1 || set == 3)) || (term == 2 && set == 0) ||
                       (term == 1 && set == 2);
      text += one ? "+1.000000E+0" : "+0.000000E+0";
    }
  }
  return text;
}

std::string form2Desshf(const std::string& compression) {
  productkit::Form2Header header;
  header.compression = compression;
  return productkit::form2Subheader(header);
}

NitfFile minimalProduct() {
  NitfFile file;
  ImageSegment image;
  image.extended = {
      {"RPC00B", rpc00bText()},
      {"ICHIPB", productkit::ichipbText(productkit::chipOf(100, 120, 10, 20, 1, 2000, 3000))}};
  image.data = std::string(64, 'x');
  file.images.push_back(image);
  file.dataExtensions = {{"DORARI", "", "payload"}};
  return file;
}

}  // namespace testsupport

// The field number scans against formatted stream extraction, and the field
// writers on any value: each must produce exactly its width.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "nitf/FieldText.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string upToNul(text.c_str());

  int wantInt = 17, gotInt = 17;
  std::istringstream(upToNul) >> wantInt;
  FieldText::scanInt(text.data(), text.size(), gotInt);
  check(wantInt == gotInt);

  double wantDouble = 0.5, gotDouble = 0.5;
  std::istringstream(upToNul) >> wantDouble;
  FieldText::scanDouble(text.data(), text.size(), gotDouble);
  check(wantDouble == gotDouble || (std::isnan(wantDouble) && std::isnan(gotDouble)));

  if (size >= 10) {
    double value;
    std::memcpy(&value, data, sizeof value);
    const int width = data[8] % 24;
    const int exponentDigits = data[9] % 5;
    const size_t expected = static_cast<size_t>(width);
    check(FieldText::doubleField(width, value).size() == expected);
    check(FieldText::signedDoubleField(width, value).size() == expected);
    check(FieldText::scientificField(width, exponentDigits, value).size() == expected);
    check(FieldText::signedScientificField(width, exponentDigits, value).size() == expected);
    long long integer;
    std::memcpy(&integer, data, sizeof integer);
    check(FieldText::intField(width, integer).size() == expected);
    check(FieldText::signedIntField(width, integer).size() == expected);
    // A fixed-point field that has decimals reads back within half a unit
    // of its last place.
    const std::string fixed = FieldText::signedDoubleField(width, value);
    const size_t point = fixed.find('.');
    if (std::isfinite(value) && point != std::string::npos && point + 1 < fixed.size() &&
        fixed.find_first_not_of("+-9.") != std::string::npos) {
      const double back = FieldText::stringToDouble(fixed);
      const double unit = std::pow(10.0, -static_cast<double>(fixed.size() - point - 1));
      check(std::fabs(back - value) <= 0.5 * unit * 1.0001 + std::fabs(value) * 1e-15);
    }
  }
  return 0;
}

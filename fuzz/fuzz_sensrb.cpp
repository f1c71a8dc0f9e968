// SENSRB and the airborne support data parser over arbitrary text.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "tre/NitfASDE.h"
#include "tre/SENSRB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  {
    SENSRB record(text);
    record.updateDataField();
    SENSRB reread(record.getText());
    try {
      reread.standardize();
    } catch (const std::runtime_error&) {
    }
    reread.updateDataField();
    std::unique_ptr<Extension> copy(reread.copy());
  }
  NitfASDE asde;
  asde.parseASDE(text);
  NitfASDE located;
  located.parseASDE("BLOCKA00123" + text);
  return 0;
}

// Any byte string as the text of an RPC00B and an ICHIPB record: decoding,
// printing, copying (which rebuilds the RPC00B text) and decoding the
// rebuilt text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "io/StringDataReader.h"
#include "nitf/NITF.h"
#include "tre/ICHIPB.h"
#include "tre/RPC00B.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::ostringstream sink;

  RPC00B rpc("RPC00B", static_cast<int>(size), text);
  rpc.printTags(sink);
  std::unique_ptr<Extension> copy(rpc.copy());
  const std::string rebuilt = copy->getText();
  // A rebuilt text is never longer than the record, and when every value
  // was written it decodes to a record whose own rebuilt text is the same.
  if (rebuilt.size() > static_cast<std::size_t>(RPC00B::TEXT_LENGTH)) std::abort();
  if (rebuilt.size() == static_cast<std::size_t>(RPC00B::TEXT_LENGTH) && rebuilt[0] == '1') {
    RPC00B again("RPC00B", RPC00B::TEXT_LENGTH, rebuilt);
    std::unique_ptr<Extension> second(again.copy());
    if (second->getText() != rebuilt) std::abort();
  }

  ICHIPB chip("ICHIPB", static_cast<int>(size), text);
  chip.printTags(sink);
  std::unique_ptr<Extension> chipCopy(chip.copy());
  if (static_cast<ICHIPB*>(chipCopy.get())->fi_col != chip.fi_col) std::abort();

  // The raw record walk of an extension area over the same bytes.
  StringDataReader reader(text);
  for (int records = 0; records < 64 && reader.tell() >= 0 && reader.remaining() > 0; ++records) {
    std::string tag;
    int length = 0;
    NITF::readStringTag(&reader, 6, tag);
    NITF::readIntTag(&reader, 5, length);
    if (length < 0 || length > reader.remaining()) break;
    std::string body;
    NITF::readStringTag(&reader, length, body);
  }
  return 0;
}

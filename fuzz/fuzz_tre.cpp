// Any byte string as the text of an RPC00B and an ICHIPB record: decoding,
// printing, copying (which rebuilds the RPC00B text) and decoding the
// rebuilt text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "io/StringDataReader.h"
#include "nitf/NITF.h"
#include "tre/ICHIPB.h"
#include "tre/RPC00B.h"

namespace {

// The 93 decoded values of a record (success aside).
std::vector<double> values(const RPC00B& rpc) {
  std::vector<double> all = {rpc.err_bias,
                             rpc.err_rand,
                             static_cast<double>(rpc.line_off),
                             static_cast<double>(rpc.samp_off),
                             rpc.lat_off,
                             rpc.long_off,
                             static_cast<double>(rpc.height_off),
                             static_cast<double>(rpc.line_scale),
                             static_cast<double>(rpc.samp_scale),
                             rpc.lat_scale,
                             rpc.long_scale,
                             static_cast<double>(rpc.height_scale)};
  for (const double* set :
       {rpc.line_num_coeff, rpc.line_den_coeff, rpc.samp_num_coeff, rpc.samp_den_coeff}) {
    all.insert(all.end(), set, set + RPC00B::COEFF_COUNT);
  }
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::ostringstream sink;

  RPC00B rpc("RPC00B", static_cast<int>(size), text);
  rpc.printTags(sink);
  std::unique_ptr<Extension> copy(rpc.copy());
  const std::string rebuilt = copy->getText();
  // A rebuilt text is never longer than the record, and when every value
  // was written it holds the values it was built from, rounded: decoding it
  // and rebuilding again changes no value.
  if (rebuilt.size() > static_cast<std::size_t>(RPC00B::TEXT_LENGTH)) std::abort();
  if (rebuilt.size() == static_cast<std::size_t>(RPC00B::TEXT_LENGTH) && rebuilt[0] == '1') {
    RPC00B again("RPC00B", RPC00B::TEXT_LENGTH, rebuilt);
    std::unique_ptr<Extension> second(again.copy());
    RPC00B third("RPC00B", RPC00B::TEXT_LENGTH, second->getText());
    if (values(again) != values(third)) std::abort();
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

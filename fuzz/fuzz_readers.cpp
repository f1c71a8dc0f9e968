// The in-memory readers against std::istringstream, whose states they carry:
// the first byte splits the input into data and a script of reads and seeks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "io/MemoryDataReader.h"
#include "io/StringDataReader.h"
#include "nitf/NITF.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

void runScript(DataReader& reader, std::istringstream& reference, const uint8_t* script,
               size_t length) {
  std::vector<unsigned char> got;
  std::vector<char> want;
  for (size_t i = 0; i + 2 < length; i += 3) {
    const int op = script[i] % 4;
    const long long amount =
        static_cast<long long>(script[i + 1]) | (static_cast<long long>(script[i + 2]) << 8);
    if (op <= 1) {
      const long long n = amount % 300;
      got.assign(static_cast<size_t>(n) + 1, 0);
      want.assign(static_cast<size_t>(n) + 1, 0);
      reader.read(got.data(), n);
      reference.read(want.data(), static_cast<std::streamsize>(n));
      check(reader.count() == reference.gcount());
      check(std::memcmp(got.data(), want.data(), static_cast<size_t>(n)) == 0);
    } else {
      const int origin = static_cast<int>(amount % 3);
      const long long offset = (amount >> 2) % 600 - 300;
      reader.seek(offset, static_cast<STARTING_POINT>(origin));
      reference.seekg(offset, origin == 1   ? std::ios::cur
                              : origin == 2 ? std::ios::end
                                            : std::ios::beg);
    }
    check(reader.eof() == reference.eof());
    check(reader.tell() == static_cast<long long>(reference.tellg()));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t split = data[0] < size ? data[0] : size - 1;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), split);
  const uint8_t* script = data + 1 + split;
  const size_t scriptLength = size - 1 - split;

  MemoryDataReader memory(bytes);
  std::istringstream memoryReference(bytes);
  runScript(memory, memoryReference, script, scriptLength);

  StringDataReader text(bytes);
  std::istringstream textReference(std::string(bytes.c_str()));
  runScript(text, textReference, script, scriptLength);

  // The field readers over the same bytes, with widths from the script.
  MemoryDataReader fields(bytes);
  for (size_t i = 0; i < scriptLength; ++i) {
    const int width = script[i] % 40 - 2;
    std::string s;
    int n = 0;
    long long ll = 0;
    double d = 0;
    bool b = false;
    char c = 0;
    switch (script[i] % 6) {
      case 0:
        NITF::readStringTag(&fields, width, s);
        check(s.size() == static_cast<size_t>(width < 0 ? 0 : width));
        break;
      case 1: NITF::readIntTag(&fields, width, n); break;
      case 2: NITF::readLongLongTag(&fields, width, ll); break;
      case 3: NITF::readDoubleTag(&fields, width, d); break;
      case 4: NITF::readBoolTag(&fields, b); break;
      default: NITF::readCharTag(&fields, c); break;
    }
  }
  return 0;
}

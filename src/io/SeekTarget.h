#pragma once
#include <limits>

#include "DataReader.h"

namespace vuziza_io {

// The absolute position a seek aims at, given the current position and the
// size of the data (-1 when unknown). False when the target cannot be
// computed: FROM_END with an unknown size, or a 64-bit overflow. A negative
// target is returned as such; the reader decides what to refuse.
inline bool seekTarget(long long offset, STARTING_POINT from, long long position, long long size,
                       long long& target) {
  long long base = 0;
  if (from == FROM_CURRENT) {
    base = position;
  } else if (from == FROM_END) {
    if (size < 0) return false;
    base = size;
  }
  if ((offset > 0 && base > std::numeric_limits<long long>::max() - offset) ||
      (offset < 0 && base < std::numeric_limits<long long>::min() - offset)) {
    return false;
  }
  target = base + offset;
  return true;
}

}  // namespace vuziza_io

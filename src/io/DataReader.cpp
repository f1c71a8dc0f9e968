#include "DataReader.h"

#include <limits>

#include "ANSIFileReader.h"

long long DataReader::remaining() {
  const long long position = tell();
  const long long total = size();
  if (position < 0 || total < 0) return -1;
  return position >= total ? 0 : total - position;
}

DataReader* DataReader::getDataReaderForFile(std::string path) {
  return new ANSIFileReader(std::move(path));
}

bool DataReader::seekTarget(long long offset, STARTING_POINT from, long long position,
                            long long size, long long& target) {
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

#include "DataReader.h"

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

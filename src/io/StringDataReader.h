#pragma once
#include <string>

#include "MemoryDataReader.h"

// A DataReader over a text held in memory, such as the data of a tagged
// record extension. The text is taken as a zero-terminated string: the data
// are its characters up to, not including, the first NUL.
class StringDataReader : public MemoryDataReader {
 public:
  explicit StringDataReader(std::string text);
};

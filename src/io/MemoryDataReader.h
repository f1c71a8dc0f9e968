#pragma once
#include <string>

#include "DataReader.h"

// A DataReader over bytes held in memory (a private copy; NUL bytes are data
// like any other). Same states as the file reader, except that a seek outside
// [0, size] fails the reader.
class MemoryDataReader : public DataReader {
 public:
  MemoryDataReader(const unsigned char* data, long long length);
  explicit MemoryDataReader(std::string bytes);
  ~MemoryDataReader() override = default;

  void read(unsigned char* buffer, long long count) override;
  void seek(long long offset, STARTING_POINT from) override;
  long long tell() override;
  bool eof() override;
  long long count() override;
  long long size() override;

 private:
  std::string data_;
  long long position_ = 0;
  long long count_ = 0;
  bool failed_ = false;
  bool eof_ = false;
};

#pragma once
#include <fstream>
#include <memory>
#include <string>

#include "DataReader.h"

// A DataReader over a file on local storage, opened for binary reading.
// A file that cannot be opened gives a reader that is failed from the start
// (eof() false). A seek past the end is accepted; the next read then moves
// nothing and fails. A seek before the start fails the reader.
//
// Reads are served from a block cache of BLOCK_SIZE bytes, so the many small
// field reads and short relative seeks of a header walk cost no system call;
// reads of a block or more go straight to the caller's buffer.
class ANSIFileReader : public DataReader {
 public:
  static constexpr long long BLOCK_SIZE = 32768;

  explicit ANSIFileReader(std::string path);
  ~ANSIFileReader() override = default;
  ANSIFileReader(const ANSIFileReader&) = delete;
  ANSIFileReader& operator=(const ANSIFileReader&) = delete;

  void read(unsigned char* buffer, long long count) override;
  void seek(long long offset, STARTING_POINT from) override;
  long long tell() override;
  bool eof() override;
  long long count() override;
  // The file's size in bytes when it was opened, or -1 (not opened, or a
  // source that cannot seek).
  long long size() override;

 private:
  // Reads up to `length` bytes at file offset `offset` from the file itself;
  // returns the number moved.
  long long readAt(long long offset, unsigned char* destination, long long length);

  std::filebuf file_;
  std::unique_ptr<unsigned char[]> block_;
  long long blockStart_ = 0;
  long long blockLength_ = 0;
  long long filePosition_ = 0;  // where the next physical read starts
  long long position_ = 0;
  long long size_ = -1;
  long long count_ = 0;
  bool failed_ = false;
  bool eof_ = false;
};

#pragma once
#include <string>

// Origin of a seek. Any value other than FROM_CURRENT and FROM_END counts
// from the start.
enum STARTING_POINT { FROM_START = 0, FROM_CURRENT = 1, FROM_END = 2 };

// A positioned, counted byte source with the states of a buffered standard
// input stream:
// - a read that cannot be satisfied in full moves what is left, raises the
//   end-of-data flag and leaves the reader failed;
// - a failed reader stays failed for good: read moves nothing (count() is 0),
//   seek does nothing, tell() is -1;
// - seek clears the end-of-data flag first (also on a failed reader).
// Nothing throws; the state is the only report. Callers that must detect a
// short read compare count() with what they asked for, or test eof().
class DataReader {
 public:
  virtual ~DataReader() = default;

  // Moves up to `count` bytes from the current position into `buffer` and
  // advances the position by the number moved. A negative count moves
  // nothing and fails the reader.
  virtual void read(unsigned char* buffer, long long count) = 0;
  // Moves the position to `offset` bytes from `from`.
  virtual void seek(long long offset, STARTING_POINT from) = 0;
  // Current position in bytes from the start, or -1 when the reader is failed.
  virtual long long tell() = 0;
  // True when a read has hit the end of the data and no seek has cleared it.
  virtual bool eof() = 0;
  // Number of bytes moved by the most recent read (0 when refused).
  virtual long long count() = 0;

  // Total number of bytes of the data, or -1 when unknown (readers that do
  // not know their size keep this default).
  virtual long long size() { return -1; }

  // Bytes between the current position and the end of the data: 0 when the
  // position is at or past the end, -1 when the reader is failed or does not
  // know its size. The one check for a length read from the data before it
  // sizes a buffer: `length <= reader->remaining()`.
  long long remaining();

  // A new file reader for `path` (never null; a file that cannot be opened
  // gives a reader that is failed from the start). The caller owns it.
  static DataReader* getDataReaderForFile(std::string path);

 protected:
  // The absolute position a seek aims at, given the current position and the
  // size of the data (-1 when unknown). False when it cannot be computed:
  // FROM_END with an unknown size, or a 64-bit overflow. A negative target is
  // returned as such; each reader decides what it refuses.
  static bool seekTarget(long long offset, STARTING_POINT from, long long position, long long size,
                         long long& target);
};

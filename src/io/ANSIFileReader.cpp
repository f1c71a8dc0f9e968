#include "ANSIFileReader.h"

#include <algorithm>
#include <cstring>
#include <limits>

ANSIFileReader::ANSIFileReader(std::string path) {
  // The block cache does the buffering; the stream itself stays unbuffered.
  file_.pubsetbuf(nullptr, 0);
  if (!file_.open(path, std::ios::in | std::ios::binary)) {
    failed_ = true;
    return;
  }
  const std::streamoff end = file_.pubseekoff(0, std::ios::end, std::ios::in);
  if (end >= 0 && file_.pubseekpos(0, std::ios::in) == std::streampos(0)) size_ = end;
  filePosition_ = 0;
}

long long ANSIFileReader::readAt(long long offset, unsigned char* destination, long long length) {
  if (offset != filePosition_) {
    if (file_.pubseekpos(offset, std::ios::in) != std::streampos(offset)) {
      filePosition_ = -1;
      return 0;
    }
    filePosition_ = offset;
  }
  long long moved = 0;
  while (moved < length) {
    // Chunks stay within what a streamsize holds on every platform.
    const long long chunk = std::min<long long>(length - moved, std::numeric_limits<int>::max());
    const std::streamsize got = file_.sgetn(reinterpret_cast<char*>(destination + moved),
                                            static_cast<std::streamsize>(chunk));
    if (got <= 0) break;
    moved += got;
    if (got < chunk) break;
  }
  filePosition_ += moved;
  return moved;
}

void ANSIFileReader::read(unsigned char* buffer, long long count) {
  count_ = 0;
  if (failed_) return;
  if (count < 0) {
    failed_ = true;
    return;
  }
  long long moved = 0;
  while (moved < count) {
    const long long wanted = count - moved;
    if (position_ >= blockStart_ && position_ < blockStart_ + blockLength_) {
      const long long available = blockStart_ + blockLength_ - position_;
      const long long take = std::min(available, wanted);
      std::memcpy(buffer + moved, block_.get() + (position_ - blockStart_),
                  static_cast<std::size_t>(take));
      moved += take;
      position_ += take;
    } else if (wanted >= BLOCK_SIZE) {
      const long long got = readAt(position_, buffer + moved, wanted);
      moved += got;
      position_ += got;
      break;
    } else {
      if (!block_) block_.reset(new unsigned char[BLOCK_SIZE]);
      blockStart_ = position_;
      blockLength_ = readAt(position_, block_.get(), BLOCK_SIZE);
      if (blockLength_ == 0) break;
    }
  }
  count_ = moved;
  if (moved < count) {
    eof_ = true;
    failed_ = true;
  }
}

void ANSIFileReader::seek(long long offset, STARTING_POINT from) {
  eof_ = false;
  if (failed_) return;
  long long target = 0;
  if (!seekTarget(offset, from, position_, size_, target) || target < 0) {
    failed_ = true;
    return;
  }
  position_ = target;
}

long long ANSIFileReader::tell() { return failed_ ? -1 : position_; }

bool ANSIFileReader::eof() { return eof_; }

long long ANSIFileReader::count() { return count_; }

long long ANSIFileReader::size() { return size_; }

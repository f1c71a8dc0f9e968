#include "MemoryDataReader.h"

#include <cstring>
#include <utility>

MemoryDataReader::MemoryDataReader(const unsigned char* data, long long length)
    : data_(data != nullptr && length > 0 ? reinterpret_cast<const char*>(data) : "",
            data != nullptr && length > 0 ? static_cast<std::size_t>(length) : 0) {}

MemoryDataReader::MemoryDataReader(std::string bytes) : data_(std::move(bytes)) {}

void MemoryDataReader::read(unsigned char* buffer, long long count) {
  count_ = 0;
  if (failed_) return;
  if (count < 0) {
    failed_ = true;
    return;
  }
  const long long available = static_cast<long long>(data_.size()) - position_;
  const long long moved = count < available ? count : available;
  if (moved > 0) {
    std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(moved));
    position_ += moved;
  }
  count_ = moved;
  if (moved < count) {
    eof_ = true;
    failed_ = true;
  }
}

void MemoryDataReader::seek(long long offset, STARTING_POINT from) {
  eof_ = false;
  if (failed_) return;
  long long target = 0;
  if (!seekTarget(offset, from, position_, size(), target) || target < 0 || target > size()) {
    failed_ = true;
    return;
  }
  position_ = target;
}

long long MemoryDataReader::tell() { return failed_ ? -1 : position_; }

bool MemoryDataReader::eof() { return eof_; }

long long MemoryDataReader::count() { return count_; }

long long MemoryDataReader::size() { return static_cast<long long>(data_.size()); }

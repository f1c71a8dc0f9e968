// The field encoding statics of NITF.
#include <climits>
#include <cstring>
#include <ctime>
#include <memory>

#include "FieldText.h"
#include "NITF.h"

namespace {

// One field read into a NUL-terminated buffer; bytes that did not arrive are
// blanks. Short fields stay on the stack.
class FieldBuffer {
 public:
  FieldBuffer(DataReader* reader, int n) : length_(n > 0 ? n : 0) {
    data_ = small_;
    if (length_ >= static_cast<int>(sizeof small_)) {
      large_.reset(new char[static_cast<std::size_t>(length_) + 1]);
      data_ = large_.get();
    }
    long long arrived = 0;
    if (reader != nullptr) {
      reader->read(reinterpret_cast<unsigned char*>(data_), length_);
      arrived = reader->count();
      if (arrived < 0) arrived = 0;
      if (arrived > length_) arrived = length_;
    }
    std::memset(data_ + arrived, ' ', static_cast<std::size_t>(length_ - arrived));
    data_[length_] = '\0';
  }
  FieldBuffer(const FieldBuffer&) = delete;
  FieldBuffer& operator=(const FieldBuffer&) = delete;

  const char* data() const { return data_; }
  int length() const { return length_; }

 private:
  int length_;
  char small_[64];
  std::unique_ptr<char[]> large_;
  char* data_;
};

void writeText(std::ostream* out, const std::string& text) {
  out->write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

void NITF::readStringTag(DataReader* reader, int n, std::string& value) {
  if (n < 0) n = 0;
  value.assign(static_cast<std::size_t>(n), ' ');
  if (reader == nullptr) return;
  unsigned char none = 0;
  reader->read(n > 0 ? reinterpret_cast<unsigned char*>(&value[0]) : &none, n);
  long long arrived = reader->count();
  if (arrived < 0) arrived = 0;
  if (arrived < n) {
    std::memset(&value[static_cast<std::size_t>(arrived)], ' ',
                static_cast<std::size_t>(n - arrived));
  }
}

void NITF::readIntTag(DataReader* reader, int n, int& value) {
  const FieldBuffer field(reader, n);
  FieldText::scanInt(field.data(), static_cast<std::size_t>(field.length()), value);
}

void NITF::readLongLongTag(DataReader* reader, int n, long long& value) {
  const FieldBuffer field(reader, n);
  value = atoll(field.data(), field.length());
}

void NITF::readDoubleTag(DataReader* reader, int n, double& value) {
  const FieldBuffer field(reader, n);
  FieldText::scanDouble(field.data(), static_cast<std::size_t>(field.length()), value);
}

void NITF::readBoolTag(DataReader* reader, bool& value) {
  int digit = 0;
  readIntTag(reader, 1, digit);
  value = digit != 0;
}

void NITF::readCharTag(DataReader* reader, char& value) {
  const FieldBuffer field(reader, 1);
  value = field.data()[0];
}

long long NITF::atoll(const char* p, int len) {
  if (p == nullptr) return -1;
  // Unsigned arithmetic: a long run of bytes wraps around instead of
  // overflowing.
  unsigned long long value = 0;
  for (int i = 0; i < len && p[i] != '\0'; ++i) {
    const long long digit = static_cast<long long>(static_cast<signed char>(p[i])) - 48;
    value = value * 10 + static_cast<unsigned long long>(digit);
  }
  return static_cast<long long>(value);
}

void NITF::writeStringTag(std::ostream* out, int n, const std::string& value) {
  writeText(out, FieldText::stringField(n, value));
}

void NITF::writeCharTag(std::ostream* out, char value) { out->put(value); }

void NITF::writeBoolTag(std::ostream* out, bool value) { out->put(value ? '1' : '0'); }

void NITF::writeIntTag(std::ostream* out, int n, int value) {
  writeText(out, FieldText::intField(n, value));
}

void NITF::writeSignedIntTag(std::ostream* out, int n, int value) {
  writeText(out, FieldText::signedIntField(n, value));
}

void NITF::writeLongLongTag(std::ostream* out, int n, long long value) {
  writeText(out, FieldText::intField(n, value));
}

void NITF::writeDoubleTag(std::ostream* out, int n, double value) {
  writeText(out, FieldText::doubleField(n, value));
}

void NITF::writeSignedDoubleTag(std::ostream* out, int n, double value) {
  writeText(out, FieldText::signedDoubleField(n, value));
}

void NITF::writeScientificTag(std::ostream* out, int n, int e, double value) {
  writeText(out, FieldText::scientificField(n, e, value));
}

void NITF::writeSignedScientificTag(std::ostream* out, int n, int e, double value) {
  writeText(out, FieldText::signedScientificField(n, e, value));
}

std::string NITF::padInt(int v) {
  std::string text = std::to_string(v);
  if (v >= 0 && v <= 9) text.insert(0, 1, '0');
  return text;
}

std::string NITF::getTimeString() { return FieldText::timeString(std::time(nullptr)); }

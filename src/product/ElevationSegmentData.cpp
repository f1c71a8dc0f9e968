#include "ElevationSegmentData.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr size_t FORM2_SUBHEADER_LENGTH = 81;
constexpr int FORM2_RECORD_SIZE = 9;
constexpr int FORM1_RECORD_SIZE = 8;
constexpr int FORM1_HEADER_SIZE = 7;

// Leading blanks, an optional sign and digits, as atoi reads them; 0 without digits.
int integerField(const std::string& text, size_t position, size_t width) {
  return std::atoi(text.substr(position, width).c_str());
}

// A leading floating-point number (sign, digits, point, exponent); 0 without one.
double decimalField(const std::string& text, size_t position, size_t width) {
  const std::string field = text.substr(position, width);
  size_t start = field.find_first_not_of(' ');
  if (start == std::string::npos) return 0;
  size_t end = start;
  while (end < field.size() && std::strchr("+-0123456789.eE", field[end]) != nullptr) ++end;
  return std::strtod(field.substr(start, end - start).c_str(), nullptr);
}

int codeOf(const std::string& value, std::initializer_list<const char*> codes) {
  int code = 0;
  for (const char* candidate : codes) {
    if (value == candidate) return code;
    ++code;
  }
  return code;
}

DataSource::DataSource form2Source(int kind, int level) {
  if (kind == 1) {
    return (level >= 0 && level <= 2) ? static_cast<DataSource::DataSource>(level)
                                      : DataSource::UNKNOWN;
  }
  if (kind >= 2 && kind <= 6) return static_cast<DataSource::DataSource>(kind + 1);
  return DataSource::UNKNOWN;
}

DataSource::DataSource form1Source(int sourceByte) {
  switch (sourceByte) {
    case 2: return DataSource::DTED_LEVEL_0;
    case 3: return DataSource::SOURCE_8;
    case 1: return DataSource::SOURCE_6;
    default: return DataSource::UNKNOWN;
  }
}

}  // namespace

ElevationSegmentData::ElevationSegmentData(std::string text, const char* data, int length)
    : desshf(std::move(text)) {
  const bool form2 = desshf.size() == FORM2_SUBHEADER_LENGTH;
  rowMask = columnMask = form2 ? 0xFFFF : 0xFFF;
  if (form2) {
    readForm2Subheader();
    decodeRecords(data, length, 0, FORM2_RECORD_SIZE);
  } else {
    decodeRecords(data, length, readForm1Header(data, length), FORM1_RECORD_SIZE);
  }
}

void ElevationSegmentData::readForm2Subheader() {
  headerText1 = desshf.substr(0, 20);
  headerText2 = desshf.substr(20, 10);
  const int sourceKind = integerField(desshf, 30, 2);
  dtedLevel = integerField(desshf, 32, 1);
  dataSource = form2Source(sourceKind, dtedLevel);
  verticalDatum = codeOf(desshf.substr(33, 5), {"HAE  ", "MSL84", "MSL96", "MSL08", "AGL  "});
  units = codeOf(desshf.substr(38, 2), {"m ", "f ", "dm"});
  postCount = integerField(desshf, 40, 7);
  baseElevation = integerField(desshf, 47, 6);
  compression = codeOf(desshf.substr(53, 2), {"GZ", "NC"});
  searchRadius = integerField(desshf, 55, 5);
  headerValue = decimalField(desshf, 60, 9);
  headerNumber1 = integerField(desshf, 69, 5);
  headerNumber2 = integerField(desshf, 74, 5);
}

// Reads the 7-byte payload header; returns where the records start. A payload
// too short for its header has no header values and no records.
int ElevationSegmentData::readForm1Header(const char* data, int length) {
  if (data == nullptr || length < FORM1_HEADER_SIZE) return length > 0 ? length : 0;
  const auto byteAt = [data](int index) { return static_cast<unsigned char>(data[index]); };
  dataSource = form1Source(byteAt(1));
  dtedLevel = static_cast<signed char>(data[2]);
  baseElevation = static_cast<int16_t>((byteAt(3) << 8) | byteAt(4));
  return FORM1_HEADER_SIZE;
}

void ElevationSegmentData::decodeRecords(const char* data, int length, int offset, int recordSize) {
  if (data == nullptr || length <= offset) return;
  points.reserve(static_cast<size_t>((length - offset) / recordSize));
  int rowSum = 0;
  int columnSum = 0;
  for (; offset + recordSize <= length; offset += recordSize) {
    ElevationPoint post(data + offset, baseElevation, recordSize);
    rowSum += post.row;
    columnSum = (columnSum + post.column) & columnMask;
    post.row = rowSum;
    post.column = columnSum;
    points.push_back(post);
  }
}

int ReadData(const char* source, char* target, int count, int offset) {
  if (count <= 0) return offset;
  std::memcpy(target, source + offset, static_cast<size_t>(count));
  return offset + count;
}

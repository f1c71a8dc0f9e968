#pragma once
#include <iostream>
#include <ostream>
#include <string>

#include "../io/DataReader.h"
#include "NITF.h"

// One plain field of a NITF header's field table: its printed label and the
// member that holds it. FileHeader and ImageHeader describe their fields as
// tables of these (widths live in each header's length table), and reading,
// writing and printing walk the tables; only segment tables, band and comment
// arrays and the variable-length data fields need code of their own.
template <class Header>
struct HeaderField {
  enum Kind { STRING, CHAR, INT, LONG_LONG, BOOL };

  const char* label;
  Kind kind;
  std::string Header::*text;
  char Header::*character;
  int Header::*integer;
  long long Header::*number;
  bool Header::*flag;

  static HeaderField stringField(const char* label, std::string Header::*member) {
    return {label, STRING, member, nullptr, nullptr, nullptr, nullptr};
  }
  static HeaderField charField(const char* label, char Header::*member) {
    return {label, CHAR, nullptr, member, nullptr, nullptr, nullptr};
  }
  static HeaderField intField(const char* label, int Header::*member) {
    return {label, INT, nullptr, nullptr, member, nullptr, nullptr};
  }
  static HeaderField longLongField(const char* label, long long Header::*member) {
    return {label, LONG_LONG, nullptr, nullptr, nullptr, member, nullptr};
  }
  static HeaderField boolField(const char* label, bool Header::*member) {
    return {label, BOOL, nullptr, nullptr, nullptr, nullptr, member};
  }

  // Reads the field (`width` bytes; 1 for chars and flags) into `header`.
  void read(DataReader* reader, int width, Header& header) const {
    switch (kind) {
      case STRING: NITF::readStringTag(reader, width, header.*text); break;
      case CHAR: NITF::readCharTag(reader, header.*character); break;
      case INT: NITF::readIntTag(reader, width, header.*integer); break;
      case LONG_LONG: NITF::readLongLongTag(reader, width, header.*number); break;
      case BOOL: NITF::readBoolTag(reader, header.*flag); break;
    }
  }

  // Writes the field's value in exactly `width` bytes.
  void write(std::ostream* out, int width, const Header& header) const {
    switch (kind) {
      case STRING: NITF::writeStringTag(out, width, header.*text); break;
      case CHAR: NITF::writeCharTag(out, header.*character); break;
      case INT: NITF::writeIntTag(out, width, header.*integer); break;
      case LONG_LONG: NITF::writeLongLongTag(out, width, header.*number); break;
      case BOOL: NITF::writeBoolTag(out, header.*flag); break;
    }
  }

  // The value as the listing shows it: strings up to their first NUL,
  // numbers in decimal, chars as themselves, flags as 0 or 1.
  std::string printed(const Header& header) const {
    switch (kind) {
      case STRING: return std::string((header.*text).c_str());
      case CHAR: return std::string(1, header.*character);
      case INT: return std::to_string(header.*integer);
      case LONG_LONG: return std::to_string(header.*number);
      case BOOL: return header.*flag ? "1" : "0";
    }
    return std::string();
  }
};

// One listing line, `label: "value"`, flushed.
inline void printHeaderLine(const std::string& label, const std::string& value) {
  std::cout << label << ": \"" << value << "\"" << std::endl;
}

// The number of entries of a table that the rest of the data can hold, at
// `entryWidth` bytes each: `count` bounded to [0, remaining / entryWidth].
inline int boundedCount(DataReader* reader, int count, long long entryWidth) {
  if (count <= 0) return 0;
  const long long left = reader->remaining();
  if (left < 0) return count;  // size unknown: the field width bounds it
  const long long most = entryWidth > 0 ? left / entryWidth : left;
  return count < most ? count : static_cast<int>(most);
}

// A variable field width taken from the data, bounded to [0, remaining].
inline int boundedWidth(DataReader* reader, long long width) {
  if (width <= 0) return 0;
  const long long left = reader->remaining();
  if (left >= 0 && width > left) return static_cast<int>(left);
  return static_cast<int>(width);
}

// A length-prefixed area of a field table (UDHDL, UDHOFL, UDHD and the like):
// the length row `rows[i]`, and when its value is above 0 the overflow row
// after it and the data row of `length - overflow width` bytes, bounded by
// what the reader holds. The data row's width is stored in `fieldLengths`.
// True when the area was read.
template <class Header, class Row>
bool readLengthPrefixedArea(DataReader* reader, const Row* rows, size_t i, int* fieldLengths,
                            Header& header) {
  const Row& lengthRow = rows[i];
  lengthRow.field.read(reader, fieldLengths[lengthRow.id], header);
  const int length = header.*lengthRow.field.integer;
  if (length <= 0) return false;
  const Row& offset = rows[i + 1];
  const Row& data = rows[i + 2];
  offset.field.read(reader, fieldLengths[offset.id], header);
  fieldLengths[data.id] =
      boundedWidth(reader, static_cast<long long>(length) - fieldLengths[offset.id]);
  data.field.read(reader, fieldLengths[data.id], header);
  return true;
}

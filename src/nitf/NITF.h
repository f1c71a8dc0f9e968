#pragma once
#include <ostream>
#include <string>

#include "../io/DataReader.h"

// A NITF 2.1 file.
class NITF {
 public:
  // ---------------------------------------------------------------------
  // Field encoding: the one set of routines through which every NITF header
  // field and every tagged record extension field is read and written.
  // Static; they keep no state and trust the data (nothing is validated or
  // reported).
  //
  // Reading: each reader asks `reader` for n bytes in one read. Bytes that
  // do not arrive (end of data, failed reader) read as blanks. Numbers are
  // taken from the start of the field as formatted stream extraction takes
  // them; a field of blanks leaves a numeric target unchanged, a field that
  // does not start with a number sets it to 0. A NUL byte ends the number.
  // A field width n below 0 counts as 0. readStringTag allocates n bytes:
  // callers that take n from the data check it against reader->remaining().

  // The n bytes as they stand (length n, blanks kept).
  static void readStringTag(DataReader* reader, int n, std::string& value);
  // A decimal integer; beyond the int range it becomes INT_MAX or INT_MIN.
  static void readIntTag(DataReader* reader, int n, int& value);
  // A decimal integer through atoll (zero-filled length fields).
  static void readLongLongTag(DataReader* reader, int n, long long& value);
  // A decimal real (point and exponent accepted).
  static void readDoubleTag(DataReader* reader, int n, double& value);
  // One digit: true when it is not 0 (a blank reads as false).
  static void readBoolTag(DataReader* reader, bool& value);
  // One byte, unconverted (a blank when none arrives).
  static void readCharTag(DataReader* reader, char& value);

  // The digits of p[0 .. len): value * 10 + (byte - '0') for each byte, up to
  // len bytes or the first NUL. No sign, no blank skipping, no digit check
  // (NITF length fields are zero-filled). -1 for a null pointer, 0 for
  // len <= 0 or an empty text; 64-bit arithmetic wraps around.
  static long long atoll(const char* p, int len);

  // Writing: exactly n bytes (1 for the char and bool fields), unformatted,
  // to `out`, which is open in binary mode. The stream state is not checked.

  // Text padded on the right with blanks, or cut.
  static void writeStringTag(std::ostream* out, int n, const std::string& value);
  static void writeCharTag(std::ostream* out, char value);
  // "1" or "0".
  static void writeBoolTag(std::ostream* out, bool value);
  // Zero-filled decimal; a negative value starts with "-"; a value whose
  // digits do not fit is written as all "9" (42 in 5: "00042"; 1234 in 3:
  // "999"; -7 in 4: "-007").
  static void writeIntTag(std::ostream* out, int n, int value);
  // "+" (also for 0) or "-", then n - 1 zero-filled digits (7 in 4: "+007").
  static void writeSignedIntTag(std::ostream* out, int n, int value);
  // As writeIntTag, for lengths of up to 12 digits ("000000000388").
  static void writeLongLongTag(std::ostream* out, int n, long long value);
  // Fixed point with as many decimals as fit (3.14159265 in 10:
  // "3.14159265"; 1234.56 in 5: "1234."). A value whose integer part does not
  // fit is written as all "9" (after "-"); NaN as blanks.
  static void writeDoubleTag(std::ostream* out, int n, double value);
  // "+" or "-", then n - 1 characters of writeDoubleTag (2.5 in 6: "+2.500").
  static void writeSignedDoubleTag(std::ostream* out, int n, double value);
  // Mantissa and an exponent of e digits in n characters (12.34567 in 11
  // with e 1: "1.234567e+1"). Values whose exponent needs more digits are
  // saturated (large) or written as zero (small).
  static void writeScientificTag(std::ostream* out, int n, int e, double value);
  // "+" or "-", then n - 1 characters of writeScientificTag.
  static void writeSignedScientificTag(std::ostream* out, int n, int e, double value);

  // The decimal text of v, with one leading "0" for 0 to 9 ("07", "12").
  static std::string padInt(int v);
  // The current UTC time as CCYYMMDDhhmmss.
  static std::string getTimeString();
};

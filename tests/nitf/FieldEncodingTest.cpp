#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <random>
#include <sstream>
#include <string>

#include "io/MemoryDataReader.h"
#include "io/StringDataReader.h"
#include "nitf/FieldText.h"
#include "nitf/NITF.h"

namespace {

int readInt(const std::string& field, int before) {
  StringDataReader reader(field);
  int value = before;
  NITF::readIntTag(&reader, static_cast<int>(field.size()), value);
  return value;
}

double readDouble(const std::string& field, double before) {
  MemoryDataReader reader(field);
  double value = before;
  NITF::readDoubleTag(&reader, static_cast<int>(field.size()), value);
  return value;
}

template <typename Write>
std::string written(Write write) {
  std::ostringstream out;
  write(&out);
  return out.str();
}

}  // namespace

TEST(FieldReaders, StringsKeepTheirBlanksAndShortReadsAreBlank) {
  StringDataReader reader("BF01      XY");
  std::string value;
  NITF::readStringTag(&reader, 10, value);
  EXPECT_EQ(value, "BF01      ");
  NITF::readStringTag(&reader, 5, value);  // only "XY" is left
  EXPECT_EQ(value, "XY   ");
  EXPECT_TRUE(reader.eof());
  NITF::readStringTag(&reader, 3, value);  // failed reader
  EXPECT_EQ(value, "   ");
  NITF::readStringTag(&reader, -4, value);
  EXPECT_EQ(value, "");

  char c = 'q';
  NITF::readCharTag(&reader, c);
  EXPECT_EQ(c, ' ');
  StringDataReader one("Z");
  NITF::readCharTag(&one, c);
  EXPECT_EQ(c, 'Z');
}

TEST(FieldReaders, Integers) {
  EXPECT_EQ(readInt("   ", 77), 77) << "a blank field leaves the target";
  EXPECT_EQ(readInt("12A", 77), 12);
  EXPECT_EQ(readInt("ABC", 77), 0);
  EXPECT_EQ(readInt("-05", 77), -5);
  EXPECT_EQ(readInt(" +7", 77), 7);
  EXPECT_EQ(readInt("99999999999", 0), INT_MAX);
  EXPECT_EQ(readInt("-99999999999", 0), INT_MIN);
  EXPECT_EQ(readInt("-2147483648", 0), INT_MIN);

  // A short read: what arrived is followed by blanks.
  StringDataReader reader("12");
  int value = 5;
  NITF::readIntTag(&reader, 6, value);
  EXPECT_EQ(value, 12);
  NITF::readIntTag(&reader, 6, value);
  EXPECT_EQ(value, 12) << "nothing arrived: unchanged";

  bool flag = false;
  StringDataReader bools("10 ");
  NITF::readBoolTag(&bools, flag);
  EXPECT_TRUE(flag);
  NITF::readBoolTag(&bools, flag);
  EXPECT_FALSE(flag);
  flag = true;
  NITF::readBoolTag(&bools, flag);
  EXPECT_FALSE(flag) << "a blank digit reads as false";
}

TEST(FieldReaders, Reals) {
  EXPECT_EQ(readDouble("  12.5", 1), 12.5);
  EXPECT_EQ(readDouble("+1.234568E-4", 1), 1.234568e-4);
  EXPECT_EQ(readDouble("-.5x", 1), -0.5);
  EXPECT_EQ(readDouble("      ", 1), 1);
  EXPECT_EQ(readDouble("N", 1), 0);
  EXPECT_EQ(readDouble("1e999", 1), DBL_MAX);
  EXPECT_EQ(readDouble("1e", 1), 0) << "an incomplete exponent is no number";
  EXPECT_EQ(readDouble(std::string("3\0"
                                   "5",
                                   3),
                       1),
            3)
      << "a NUL ends the number";
}

TEST(FieldReaders, LongLongsThroughAtoll) {
  StringDataReader reader("0000001234");
  long long value = 0;
  NITF::readLongLongTag(&reader, 10, value);
  EXPECT_EQ(value, 1234);
  MemoryDataReader withNul(
      std::string("12\0"
                  "45",
                  5));
  NITF::readLongLongTag(&withNul, 5, value);
  EXPECT_EQ(value, 12);

  EXPECT_EQ(NITF::atoll(nullptr, 5), -1);
  EXPECT_EQ(NITF::atoll("123", 0), 0);
  EXPECT_EQ(NITF::atoll("", 5), 0);
  EXPECT_EQ(NITF::atoll("123", 2), 12);
  EXPECT_EQ(NITF::atoll("1A", 2), 27) << "no digit check: 'A' adds 17";
  EXPECT_EQ(NITF::atoll("999999999999", 12), 999999999999LL);
  // Far too many digits wrap around instead of overflowing.
  const std::string many(40, '9');
  EXPECT_NO_FATAL_FAILURE(NITF::atoll(many.c_str(), 40));
}

// The numeric scans must agree with formatted extraction from a standard
// string stream, which they replace on the hot path.
TEST(FieldReaders, NumbersAgreeWithStreamExtraction) {
  std::vector<std::string> cases = {"",
                                    " ",
                                    "0",
                                    "-0",
                                    "+",
                                    "-",
                                    "+-1",
                                    "007",
                                    "  42  ",
                                    "\t\n12",
                                    "12 34",
                                    "0x1A",
                                    "1.5",
                                    "2147483647",
                                    "2147483648",
                                    "-2147483649",
                                    "99999999999999999999999",
                                    ".",
                                    ".5",
                                    "5.",
                                    "-.5",
                                    "+.e3",
                                    "1e5",
                                    "1E+05",
                                    "1e-5",
                                    "1e",
                                    "1e+",
                                    "1.2.3",
                                    "1e5e6",
                                    "1.5E-400",
                                    "-1e400",
                                    "inf",
                                    "nan",
                                    "0x1p3",
                                    "00000000000000000000001.25",
                                    "9.",
                                    "1,5",
                                    "\v\f\r7",
                                    "+1.234568E-4",
                                    "-1.234500E+3",
                                    "   12.5000"};
  std::mt19937 random(7);
  const std::string alphabet = " +-.eE0123456789xa";
  for (int i = 0; i < 3000; ++i) {
    std::string text;
    const int length = static_cast<int>(random() % 12);
    for (int j = 0; j < length; ++j) text += alphabet[random() % alphabet.size()];
    cases.push_back(text);
  }
  for (const std::string& text : cases) {
    SCOPED_TRACE("\"" + text + "\"");
    for (int before : {-3, 123}) {
      int expected = before;
      std::istringstream(text) >> expected;
      int got = before;
      FieldText::scanInt(text.data(), text.size(), got);
      ASSERT_EQ(got, expected);
    }
    double expected = 0.25;
    std::istringstream(text) >> expected;
    double got = 0.25;
    FieldText::scanDouble(text.data(), text.size(), got);
    ASSERT_EQ(got, expected);

    // The ImageHeader conversions: 0 whenever extraction fails.
    double d = 0;
    const double wantDouble = (std::istringstream(text) >> d) ? d : 0.0;
    ASSERT_EQ(FieldText::stringToDouble(text), wantDouble);
    int n = 0;
    const int wantInt = (std::istringstream(text) >> n) ? n : 0;
    ASSERT_EQ(FieldText::stringToInt(text), wantInt);
  }
}

TEST(FieldWriters, IntegersAndStrings) {
  struct Case {
    int width;
    long long value;
    const char* unsignedText;
    const char* signedText;
  };
  const Case cases[] = {
      {5, 42, "00042", "+0042"},
      {3, 1234, "999", "+99"},
      {4, -7, "-007", "-007"},
      {3, 0, "000", "+00"},
      {4, 7, "0007", "+007"},
      {5, 0, "00000", "+0000"},
      {1, -5, "-", "-"},
      {2, -123, "-9", "-9"},
      {0, 5, "", ""},
      {11, INT_MIN, "-2147483648", "-2147483648"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.value) + " in " + std::to_string(c.width));
    EXPECT_EQ(written([&](std::ostream* out) {
                NITF::writeIntTag(out, c.width, static_cast<int>(c.value));
              }),
              c.unsignedText);
    EXPECT_EQ(written([&](std::ostream* out) {
                NITF::writeSignedIntTag(out, c.width, static_cast<int>(c.value));
              }),
              c.signedText);
  }
  EXPECT_EQ(written([](std::ostream* out) { NITF::writeLongLongTag(out, 12, 388); }),
            "000000000388");
  EXPECT_EQ(written([](std::ostream* out) { NITF::writeLongLongTag(out, 3, 1000); }), "999");
  EXPECT_EQ(written([](std::ostream* out) { NITF::writeLongLongTag(out, 4, -5); }), "-005");
  EXPECT_EQ(written([](std::ostream* out) { NITF::writeStringTag(out, 4, "ABCDEFG"); }), "ABCD");
  EXPECT_EQ(written([](std::ostream* out) { NITF::writeStringTag(out, 6, "AB"); }), "AB    ");
  EXPECT_EQ(written([](std::ostream* out) { NITF::writeStringTag(out, 3, ""); }), "   ");
  EXPECT_EQ(written([](std::ostream* out) { NITF::writeBoolTag(out, true); }), "1");
  EXPECT_EQ(written([](std::ostream* out) { NITF::writeBoolTag(out, false); }), "0");
  EXPECT_EQ(written([](std::ostream* out) { NITF::writeCharTag(out, 'R'); }), "R");
}

TEST(FieldWriters, FixedPoint) {
  struct Case {
    int width;
    double value;
    const char* text;
  };
  const Case unsignedCases[] = {
      {10, 3.14159265, "3.14159265"},
      {6, -12.5, "-12.50"},
      {7, 0.5, "0.50000"},
      {5, 1234.56, "1234."},
      {4, 9.99999, "10.0"},  // rounding carries into the integer part
      {3, 123.4, "123"},     // the integer part alone fills the field
      {3, 1234.5, "999"},    // too large: saturated
      {3, -123.0, "-99"},
      {4, NAN, "    "},
      {4, INFINITY, "9999"},
  };
  for (const Case& c : unsignedCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(written([&](std::ostream* out) { NITF::writeDoubleTag(out, c.width, c.value); }),
              c.text);
  }
  const Case signedCases[] = {
      {7, -3.14159, "-3.1416"}, {6, 2.5, "+2.500"}, {4, 0.0, "+0.0"}, {3, 5000, "+99"}};
  for (const Case& c : signedCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(
        written([&](std::ostream* out) { NITF::writeSignedDoubleTag(out, c.width, c.value); }),
        c.text);
  }
}

TEST(FieldWriters, Scientific) {
  struct Case {
    int width, exponentDigits;
    double value;
    const char* text;
  };
  const Case unsignedCases[] = {
      {11, 1, 12.34567, "1.234567e+1"},
      {11, 2, 0.000123, "1.23000e-04"},
      {11, 2, -0.000123, "-1.2300e-04"},
      {9, 1, 9.9999999, "1.0000e+1"},  // the rounded mantissa takes the next exponent
      {9, 1, 1.5e12, "9.9999e+9"},     // exponent too large: saturated
      {9, 1, 1.5e-12, "0.0000e+0"},    // exponent too small: zero
      {8, 1, 1.5e10, "9.999e+9"},
      {8, 1, INFINITY, "9.999e+9"},
  };
  for (const Case& c : unsignedCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(written([&](std::ostream* out) {
                NITF::writeScientificTag(out, c.width, c.exponentDigits, c.value);
              }),
              c.text);
  }
  const Case signedCases[] = {
      {12, 1, 12.34567, "+1.234567e+1"},
      {12, 1, -0.000123, "-1.230000e-4"},
      {12, 2, 0.0, "+0.00000e+00"},
      {12, 1, -3e15, "-9.999999e+9"},
  };
  for (const Case& c : signedCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(written([&](std::ostream* out) {
                NITF::writeSignedScientificTag(out, c.width, c.exponentDigits, c.value);
              }),
              c.text);
  }
}

// Every writer fills exactly its width, whatever the value.
TEST(FieldWriters, AlwaysExactlyTheWidth) {
  const double values[] = {0.0,   -0.0,     1e-300,    -1e-300,       0.5,     -0.5,     9.5,
                           99.95, -99.95,   1e9,       -1e9,          1.5e300, -1.5e300, DBL_MAX,
                           NAN,   INFINITY, -INFINITY, 123456789.123, 4.9e-324};
  for (int width = 1; width <= 14; ++width) {
    for (double v : values) {
      SCOPED_TRACE(std::to_string(width) + " " + std::to_string(v));
      EXPECT_EQ(FieldText::doubleField(width, v).size(), static_cast<std::size_t>(width));
      EXPECT_EQ(FieldText::signedDoubleField(width, v).size(), static_cast<std::size_t>(width));
      for (int e = 0; e <= 3; ++e) {
        EXPECT_EQ(FieldText::scientificField(width, e, v).size(), static_cast<std::size_t>(width));
        EXPECT_EQ(FieldText::signedScientificField(width, e, v).size(),
                  static_cast<std::size_t>(width));
      }
    }
    for (long long v : {0LL, 7LL, -7LL, LLONG_MAX, LLONG_MIN}) {
      EXPECT_EQ(FieldText::intField(width, v).size(), static_cast<std::size_t>(width));
      EXPECT_EQ(FieldText::signedIntField(width, v).size(), static_cast<std::size_t>(width));
    }
  }
}

// What the fixed-point writer writes reads back as the value rounded to the
// decimals that fit; a field that ends in its decimal point holds the integer
// part as it stands (1234.56 in 5 is "1234.").
TEST(FieldWriters, FixedPointReadsBack) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> magnitude(-6, 6);
  for (int i = 0; i < 2000; ++i) {
    const double v = std::pow(10.0, magnitude(random)) * (random() % 2 ? 1 : -1);
    const int width = 8 + static_cast<int>(random() % 6);
    const std::string text = FieldText::signedDoubleField(width, v);
    const double back = FieldText::stringToDouble(text);
    const int decimals = static_cast<int>(text.size() - text.find('.') - 1);
    const double tolerance = decimals == 0 ? 1.0 : 0.5 * std::pow(10.0, -decimals) * 1.000001;
    ASSERT_NEAR(back, v, tolerance) << text;
  }
}

TEST(FieldText, TimeAndPadding) {
  EXPECT_EQ(NITF::padInt(7), "07");
  EXPECT_EQ(NITF::padInt(0), "00");
  EXPECT_EQ(NITF::padInt(12), "12");
  EXPECT_EQ(NITF::padInt(2026), "2026");
  // 9 December 2026 14:25:05 UTC (date -u -d '2026-12-09 14:25:05' +%s).
  EXPECT_EQ(FieldText::timeString(1796826305), "20261209142505");
  const std::string now = NITF::getTimeString();
  EXPECT_EQ(now.size(), 14u);
  EXPECT_EQ(now.find_first_not_of("0123456789"), std::string::npos);
}

TEST(FieldText, ImageHeaderConversions) {
  EXPECT_EQ(FieldText::stringToDouble("  12.5"), 12.5);
  EXPECT_EQ(FieldText::stringToDouble("N"), 0.0);
  EXPECT_EQ(FieldText::stringToDouble(""), 0.0);
  EXPECT_EQ(FieldText::stringToInt("07"), 7);
  EXPECT_EQ(FieldText::stringToInt("9999999999"), 0) << "out of range fails";
  std::string to = "old";
  FieldText::copyString(std::string("AB\0CD", 5), to);
  EXPECT_EQ(to, "AB");
}

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestPaths.h"
#include "tre/RPC00B.h"

namespace {

// An RPC00B text written by GDAL's NITF driver, and the values GDAL reads
// back from it (data/tre/make_gdal_rpc00b.py).
std::string gdalText() {
  return testsupport::readWholeFile(testsupport::sourcePath("data/tre/gdal_rpc00b.txt"));
}

std::vector<std::vector<double>> gdalValues() {
  std::ifstream in(testsupport::sourcePath("data/tre/gdal_rpc00b_values.txt"));
  std::vector<std::vector<double>> values;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string name;
    fields >> name;
    std::vector<double> row;
    double v;
    while (fields >> v) row.push_back(v);
    values.push_back(row);
  }
  return values;
}

std::string written(bool (*write)(std::ostream&, int, bool, int, double, double, double), int width,
                    bool sign, int precision, double value, double min, double max,
                    bool* result = nullptr) {
  std::ostringstream out;
  const bool ok = write(out, width, sign, precision, value, min, max);
  if (result != nullptr) *result = ok;
  return out.str();
}

}  // namespace

TEST(RPC00B, DecodesAllValuesAsGdalReadsThem) {
  const std::string text = gdalText();
  ASSERT_EQ(text.size(), 1041u);
  RPC00B rpc("RPC00B", 1041, text);
  EXPECT_TRUE(rpc.success);
  EXPECT_EQ(rpc.getTagsAsString(), "1");
  EXPECT_EQ(rpc.getTag(), "RPC00B");
  EXPECT_EQ(rpc.getLength(), 1041);

  const auto reference = gdalValues();
  ASSERT_EQ(reference.size(), 16u);
  const double scalars[12] = {rpc.err_bias,
                              rpc.err_rand,
                              double(rpc.line_off),
                              double(rpc.samp_off),
                              rpc.lat_off,
                              rpc.long_off,
                              double(rpc.height_off),
                              double(rpc.line_scale),
                              double(rpc.samp_scale),
                              rpc.lat_scale,
                              rpc.long_scale,
                              double(rpc.height_scale)};
  int compared = 1;  // SUCCESS
  for (int i = 0; i < 12; ++i, ++compared) {
    ASSERT_EQ(reference[i].size(), 1u);
    EXPECT_DOUBLE_EQ(scalars[i], reference[i][0]) << "field " << i;
  }
  const double* sets[4] = {rpc.line_num_coeff, rpc.line_den_coeff, rpc.samp_num_coeff,
                           rpc.samp_den_coeff};
  for (int set = 0; set < 4; ++set) {
    ASSERT_EQ(reference[12 + set].size(), 20u);
    for (int i = 0; i < 20; ++i, ++compared) {
      EXPECT_NEAR(sets[set][i], reference[12 + set][i], std::fabs(reference[12 + set][i]) * 1e-12)
          << "set " << set << " coefficient " << i;
    }
  }
  EXPECT_EQ(compared, 93);
}

TEST(RPC00B, CopyRebuildsTheIdenticalText) {
  const std::string text = gdalText();
  RPC00B rpc("RPC00B", 1041, text);
  std::unique_ptr<Extension> copy(rpc.copy());
  auto* rebuilt = dynamic_cast<RPC00B*>(copy.get());
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(rebuilt->getText(), text);
  EXPECT_EQ(rebuilt->getTag(), "RPC00B");
  EXPECT_EQ(rebuilt->getLength(), 1041);
  EXPECT_EQ(rebuilt->lat_off, rpc.lat_off);
  EXPECT_EQ(rebuilt->samp_den_coeff[19], rpc.samp_den_coeff[19]);

  // The reference copy carries the values only.
  RPC00B values(rpc);
  EXPECT_EQ(values.getTag(), "");
  EXPECT_EQ(values.getText(), "");
  EXPECT_EQ(values.getLength(), 0);
  EXPECT_EQ(values.line_num_coeff[3], rpc.line_num_coeff[3]);
  EXPECT_EQ(values.height_scale, rpc.height_scale);

  // The default record: tag, length, success and zeros.
  RPC00B empty;
  EXPECT_EQ(empty.getTag(), "RPC00B");
  EXPECT_EQ(empty.getLength(), 1041);
  EXPECT_TRUE(empty.success);
  EXPECT_EQ(empty.long_off, 0);
}

TEST(RPC00B, CoefficientOutOfRangeEndsTheText) {
  RPC00B rpc("RPC00B", 1041, gdalText());
  rpc.line_num_coeff[5] = 1.5e-12;
  rpc.writeTags();
  EXPECT_EQ(rpc.text.size(), 81u + 6 * 12);
  EXPECT_EQ(rpc.text.substr(rpc.text.size() - 12), "+0.000000E+1");
  EXPECT_EQ(rpc.text[0], '0');
  EXPECT_EQ(rpc.getLength(), 1041) << "the length is left as it was";
}

// A scalar that does not fit its field is written as zero in that field's
// width, so the fields after it keep their places, and the record is marked
// as not successful.
TEST(RPC00B, ScalarOutOfRangeKeepsTheLayout) {
  const std::string text = gdalText();
  RPC00B rpc("RPC00B", 1041, text);
  rpc.lat_off = 95;
  rpc.err_bias = -1;
  rpc.writeTags();
  ASSERT_EQ(rpc.text.size(), 1041u);
  EXPECT_EQ(rpc.text[0], '0');
  EXPECT_EQ(rpc.text.substr(1, 7), "0000.00");    // ERR_BIAS
  EXPECT_EQ(rpc.text.substr(26, 8), "+00.0000");  // LAT_OFF
  EXPECT_EQ(rpc.text.substr(34), text.substr(34));
  RPC00B back("RPC00B", 1041, rpc.text);
  EXPECT_FALSE(back.success);
  EXPECT_EQ(back.lat_off, 0);
  EXPECT_EQ(back.long_off, rpc.long_off);
  EXPECT_EQ(back.samp_den_coeff[19], rpc.samp_den_coeff[19]);
}

TEST(RPC00B, FieldWriters) {
  bool ok = false;
  EXPECT_EQ(written(RPC00B::writeDecimal, 8, true, 4, 12.5, -90, 90, &ok), "+12.5000");
  EXPECT_TRUE(ok);
  EXPECT_EQ(written(RPC00B::writeDecimal, 9, true, 4, -77.25, -180, 180), "-077.2500");
  EXPECT_EQ(written(RPC00B::writeDecimal, 7, false, 2, 3.5, 0, 9999.99), "0003.50");
  EXPECT_EQ(written(RPC00B::writeDecimal, 7, false, 2, 9999.99, 0, 9999.99), "9999.99");
  EXPECT_EQ(written(RPC00B::writeDecimal, 7, false, 2, NAN, 0, 9999.99, &ok), "0000.00");
  EXPECT_FALSE(ok);
  EXPECT_EQ(written(RPC00B::writeDecimal, 8, true, 4, -95, -90, 90, &ok), "+00.0000");
  EXPECT_FALSE(ok);
  // In range but too wide for the field.
  EXPECT_EQ(written(RPC00B::writeDecimal, 7, false, 2, 12345.5, 0, 1e9, &ok), "0000.00");
  EXPECT_FALSE(ok);

  const double max = 9999999000.0;
  EXPECT_EQ(written(RPC00B::writeCoeff, 12, true, 6, 0.000123456789, -max, max, &ok),
            "+1.234568E-4");
  EXPECT_TRUE(ok);
  EXPECT_EQ(written(RPC00B::writeCoeff, 12, true, 6, -1234.5, -max, max), "-1.234500E+3");
  EXPECT_EQ(written(RPC00B::writeCoeff, 12, true, 6, 0.0, -max, max), "+0.000000E+0");
  EXPECT_EQ(written(RPC00B::writeCoeff, 12, true, 6, max, -max, max), "+9.999999E+9");
  EXPECT_EQ(written(RPC00B::writeCoeff, 12, true, 6, 1.5e-12, -max, max, &ok), "+0.000000E+1");
  EXPECT_FALSE(ok);
  EXPECT_EQ(written(RPC00B::writeCoeff, 12, true, 6, 2e10, -max, max * 10, &ok), "+0.000000E+1");
  EXPECT_FALSE(ok) << "a two-digit exponent does not fit";
  EXPECT_EQ(written(RPC00B::writeCoeff, 12, true, 6, -max * 1.01, -max, max, &ok), "+0.000000E+1");
  EXPECT_FALSE(ok);
  EXPECT_EQ(written(RPC00B::writeCoeff, 12, true, 6, NAN, -max, max, &ok), "+0.000000E+1");
  EXPECT_FALSE(ok);
  // 9.9999996e-10 rounds up to 1.000000E-9 and fits.
  EXPECT_EQ(written(RPC00B::writeCoeff, 12, true, 6, 9.9999996e-10, -max, max), "+1.000000E-9");
}

TEST(RPC00B, ShortTextReadsMissingFieldsAsZero) {
  const std::string text = gdalText();
  RPC00B partial("RPC00B", 1041, text.substr(0, 81 + 12 + 5));
  EXPECT_TRUE(partial.success);
  EXPECT_EQ(partial.height_scale, 501);
  EXPECT_NE(partial.line_num_coeff[0], 0);
  // The second coefficient's first five characters "+1.26" arrived.
  EXPECT_DOUBLE_EQ(partial.line_num_coeff[1], 1.26);
  EXPECT_EQ(partial.line_num_coeff[2], 0);
  EXPECT_EQ(partial.samp_den_coeff[19], 0);

  RPC00B empty("RPC00B", 1041, "");
  EXPECT_FALSE(empty.success);
  EXPECT_EQ(empty.getTagsAsString(), "0");
  EXPECT_EQ(empty.err_bias, 0);
  EXPECT_EQ(empty.line_den_coeff[0], 0);

  // A NUL ends the text for the string reader.
  RPC00B withNul("RPC00B", 1041, text.substr(0, 31) + std::string(1, '\0') + text.substr(32));
  EXPECT_EQ(withNul.line_off, 15834);
  EXPECT_EQ(withNul.lat_off, 39.1) << "LAT_OFF is cut after its fifth character";
  EXPECT_EQ(withNul.long_off, 0);
}

TEST(RPC00B, PrintsOneLinePerFieldAndLeavesPrecisionEight) {
  RPC00B rpc("RPC00B", 1041, gdalText());
  const std::streamsize before = std::cout.precision();
  testing::internal::CaptureStdout();
  rpc.printTags();
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::cout.precision(), 8);
  std::cout.precision(before);

  std::istringstream lines(printed);
  std::vector<std::string> all;
  std::string line;
  while (std::getline(lines, line)) all.push_back(line);
  ASSERT_EQ(all.size(), 19u);
  EXPECT_EQ(all[0], "------RPC00B------");
  EXPECT_EQ(all[1], "success \"1\"");
  EXPECT_EQ(all[2], "err_bias \"12.34\"");
  EXPECT_EQ(all[4], "line_off \"15834\"");
  EXPECT_EQ(all[8], "height_off \"1850\"");
  EXPECT_EQ(all[12], "long_scale \"0.1719\"");
  EXPECT_EQ(all[14].rfind("line_num_coeff \"-0.000549233 / 0.01261047 / -6.84077e-06 / ", 0), 0u);
  EXPECT_EQ(all[17].substr(all[17].size() - 16), "3.638726e-05 / \"");
  EXPECT_EQ(all[18], "");
}

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <string>

#include "tre/ICHIPB.h"

namespace {

// Chip corners (0, 0), (0, 999), (999, 0), (999, 999) of a 3000 x 4000
// image at (1000, 2000), (1000, 2999), (1999, 2000), (1999, 2999). GDAL
// reads this text (-co TRE=ICHIPB=...) as ICHIP_OP_COL_12 999,
// ICHIP_FI_ROW_21 1999, ICHIP_FI_COL_22 2999, ICHIP_FI_ROW 3000,
// ICHIP_FI_COL 4000.
const char* const CHIP_TEXT =
    "000001.000000000"
    "00000000.00000000000.00000000000.00000000999.00000000999.00000000000.000"
    "00000999.00000000999.00000001000.00000002000.00000001000.00000002999.000"
    "00001999.00000002000.00000001999.00000002999.0000000300000004000";

}  // namespace

TEST(ICHIPB, DecodesTheCorners) {
  ASSERT_EQ(std::string(CHIP_TEXT).size(), 224u);
  ICHIPB chip("ICHIPB", 224, CHIP_TEXT);
  EXPECT_EQ(chip.xfrm_flag, 0);
  EXPECT_EQ(chip.scale_factor, 1.0);
  EXPECT_EQ(chip.op_row_11, 0);
  EXPECT_EQ(chip.op_col_12, 999);
  EXPECT_EQ(chip.op_row_21, 999);
  EXPECT_EQ(chip.fi_row_11, 1000);
  EXPECT_EQ(chip.fi_col_11, 2000);
  EXPECT_EQ(chip.fi_row_21, 1999);
  EXPECT_EQ(chip.fi_col_22, 2999);
  EXPECT_EQ(chip.fi_row, 3000);
  EXPECT_EQ(chip.fi_col, 4000);
  const double order[16] = {0,    0,    0,    999,  999,  0,    999,  999,
                            1000, 2000, 1000, 2999, 1999, 2000, 1999, 2999};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(chip.cornerValue(i), order[i]) << i;
  EXPECT_EQ(chip.cornerValue(16), 0);
}

TEST(ICHIPB, CopyHasTheValuesAndNoTag) {
  ICHIPB chip("ICHIPB", 224, CHIP_TEXT);
  std::unique_ptr<Extension> copy(chip.copy());
  auto* values = dynamic_cast<ICHIPB*>(copy.get());
  ASSERT_NE(values, nullptr);
  EXPECT_EQ(values->getTag(), "");
  EXPECT_EQ(values->getText(), "");
  EXPECT_EQ(values->getLength(), 224);
  EXPECT_EQ(values->fi_col_22, 2999);
  EXPECT_EQ(values->fi_col, 4000);
  EXPECT_EQ(values->op_col_12, 999);
}

TEST(ICHIPB, ShortTextReadsMissingFieldsAsZero) {
  const std::string text(CHIP_TEXT);
  ICHIPB chip("ICHIPB", 224, text.substr(0, 16 + 12 * 9 + 7));
  EXPECT_EQ(chip.fi_row_11, 1000);
  EXPECT_EQ(chip.fi_col_11, 200);  // the first seven of "00002000.000"
  EXPECT_EQ(chip.fi_row_22, 0);
  EXPECT_EQ(chip.fi_col, 0);
  ICHIPB empty("ICHIPB", 224, "");
  EXPECT_EQ(empty.scale_factor, 0);
  EXPECT_EQ(empty.fi_row, 0);
}

TEST(ICHIPB, PrintsItsLabels) {
  ICHIPB chip("ICHIPB", 224, CHIP_TEXT);
  const std::streamsize before = std::cout.precision(6);
  testing::internal::CaptureStdout();
  chip.printTags();
  const std::string printed = testing::internal::GetCapturedStdout();
  std::cout.precision(before);
  EXPECT_EQ(printed.rfind("------ICHIPB------\nxrfm_flag: \"0\"\nscale_factor: \"1\"\n"
                          "anamrph_coor: \"0\"\nscanblk_num: \"0\"\nop_row_11: \"0\"\n",
                          0),
            0u);
  EXPECT_NE(printed.find("fi_col_22: \"2999\"\nfi_row: \"3000\"\nfi_col: \"4000\"\n\n"),
            std::string::npos);
}

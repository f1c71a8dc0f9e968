// The vuziza tool as a person or a script meets it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "support/TestPaths.h"

namespace {

struct ToolRun {
  int status = 0;
  std::string out;
  std::string err;
};

// Scratch files of one run: tests run in parallel processes, so each run's
// names carry the process id and a count.
std::string runFile(const char* suffix) {
  static int runs = 0;
  return testsupport::scratchPath("tool-" + std::to_string(getpid()) + "-" +
                                  std::to_string(runs++) + suffix);
}

ToolRun vuziza(const std::string& arguments, const std::string& input = "") {
  const std::string out = runFile(".out");
  const std::string err = runFile(".err");
  std::string command = std::string(VUZIZA_TOOL) + " " + arguments + " >" + out + " 2>" + err;
  if (!input.empty()) {
    const std::string in = runFile(".in");
    testsupport::writeWholeFile(in, input);
    command += " <" + in;
  } else {
    command += " </dev/null";
  }
  const int status = std::system(command.c_str());
  return {WEXITSTATUS(status), testsupport::readWholeFile(out), testsupport::readWholeFile(err)};
}

const std::string SAMPLE = testsupport::sourcePath("data/sample/sample-product.ntf");

// "key: value" of a plain-text listing.
double valueOf(const std::string& listing, const std::string& key) {
  const size_t at = listing.find(key + ": ");
  if (at == std::string::npos) return NAN;
  return std::stod(listing.substr(at + key.size() + 2));
}

struct Truth {
  double x, y, lat, lon, elevation;
};

std::vector<Truth> sampleTruth() {
  std::ifstream in(testsupport::sourcePath("data/sample/sample-product.truth"));
  std::vector<Truth> points;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    Truth t{};
    fields >> t.x >> t.y >> t.lat >> t.lon >> t.elevation;
    points.push_back(t);
  }
  return points;
}

TEST(Tool, EverySubcommandExplainsItself) {
  for (const char* name : {"info", "i2g", "g2i", "height", "chip", "quicklook", "make-product"}) {
    const ToolRun run = vuziza(std::string(name) + " --help");
    EXPECT_EQ(run.status, 0) << name;
    EXPECT_EQ(run.out.rfind(std::string("usage: vuziza ") + name, 0), 0u) << run.out;
  }
  const ToolRun overview = vuziza("--help");
  EXPECT_EQ(overview.status, 0);
  EXPECT_NE(overview.out.find("make-product"), std::string::npos);
  EXPECT_NE(vuziza("").status, 0);
  EXPECT_NE(vuziza("frobnicate").status, 0);
}

TEST(Tool, BadInputGivesOneLineAndAFailureStatus) {
  const std::string text = runFile("-not-nitf.txt");
  testsupport::writeWholeFile(text, "hello, this is not a NITF file\n");
  const std::string notProduct = testsupport::corpusPath("jitc21_i_3001a.ntf");
  const std::string cases[] = {
      "i2g /no/such/file.ntf 1 1",        "i2g " + text + " 1 1",
      "i2g " + notProduct + " 1 1",       "i2g " + SAMPLE + " 5000 1",
      "i2g " + SAMPLE + " 1 abc",         "i2g " + SAMPLE + " 1",
      "i2g " + SAMPLE + " 1 1 --height",  "g2i " + SAMPLE + " 95 0 0",
      "height " + SAMPLE + " --base 1 1", "chip " + SAMPLE + " 0 0 0 10 " + runFile("-x.jpg"),
      "info /no/such/file.ntf",           "make-product " + runFile("-p.ntf") + " --form 3",
  };
  for (const std::string& arguments : cases) {
    SCOPED_TRACE(arguments);
    const ToolRun run = vuziza(arguments);
    EXPECT_NE(run.status, 0);
    EXPECT_TRUE(run.out.empty()) << run.out;
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_EQ(run.err.rfind("vuziza ", 0), 0u) << run.err;
  }
}

TEST(Tool, ImageToGroundOnTheSampleMatchesItsKnownTruth) {
  const std::vector<Truth> truth = sampleTruth();
  ASSERT_GT(truth.size(), 50u);
  std::string input;
  for (const Truth& t : truth) input += std::to_string(t.x) + " " + std::to_string(t.y) + "\n";
  const ToolRun run = vuziza("i2g " + SAMPLE + " --json", input);
  ASSERT_EQ(run.status, 0) << run.err;
  std::istringstream lines(run.out);
  std::string line;
  size_t i = 0;
  for (; std::getline(lines, line) && i < truth.size(); ++i) {
    SCOPED_TRACE(line);
    const auto number = [&line](const std::string& key) {
      return std::stod(line.substr(line.find("\"" + key + "\": ") + key.size() + 4));
    };
    // The elevation is the inverse-distance weighting of the nearest post in
    // each quadrant, posts every 20 m on slopes of up to 0.13: within a metre or so
    // of the surface (the product states LE90 2 m). The near-nadir
    // view turns that into centimetres on the ground.
    EXPECT_NEAR(number("elevation"), truth[i].elevation, 1.5);
    EXPECT_NEAR(number("latitude"), truth[i].lat, 2e-6);
    EXPECT_NEAR(number("longitude"), truth[i].lon, 2e-6);
    EXPECT_GT(number("ce90"), 0);
    EXPECT_GT(number("le90"), 0);
  }
  EXPECT_EQ(i, truth.size());

  const Truth& centre = truth[truth.size() / 2];
  const ToolRun full = vuziza("i2g " + SAMPLE + " " + std::to_string(centre.x) + " " +
                              std::to_string(centre.y) + " --full-read");
  ASSERT_EQ(full.status, 0) << full.err;
  EXPECT_NEAR(valueOf(full.out, "latitude"), centre.lat, 2e-6);
}

TEST(Tool, GroundToImageOnTheSampleFindsThePixels) {
  for (const Truth& t : sampleTruth()) {
    char point[128];
    std::snprintf(point, sizeof point, " %.10f %.10f %.4f", t.lat, t.lon, t.elevation);
    const ToolRun run = vuziza("g2i " + SAMPLE + point);
    ASSERT_EQ(run.status, 0) << run.err;
    // The truth file holds ten significant digits: about 1 cm on the ground.
    EXPECT_NEAR(valueOf(run.out, "x"), t.x, 0.02);
    EXPECT_NEAR(valueOf(run.out, "y"), t.y, 0.02);
    if (t.x > 100) break;
  }
}

TEST(Tool, MakeProductWritesAProductThatInfoAndGdalRead) {
  const std::string path = runFile("-made.ntf");
  const ToolRun made =
      vuziza("make-product " + path + " --form 1 --size 300 --lat -33.9 --lon 18.4");
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_LT(valueOf(made.out, "RPC fit max (pixels)"), 0.01);
  const ToolRun info = vuziza("info " + path + " --json");
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("\"product\": true"), std::string::npos);
  EXPECT_NE(info.out.find("\"desid\": \"DORARI"), std::string::npos);
  EXPECT_NE(info.out.find("\"tag\": \"RPC00B\""), std::string::npos);
  const ToolRun centre = vuziza("i2g " + path + " 149.5 149.5");
  ASSERT_EQ(centre.status, 0) << centre.err;
  EXPECT_NEAR(valueOf(centre.out, "latitude"), valueOf(made.out, "latitude"), 2e-6);
  EXPECT_NEAR(valueOf(centre.out, "longitude"), valueOf(made.out, "longitude"), 2e-6);
  if (!testsupport::haveCommand("gdalinfo")) GTEST_SKIP() << "gdalinfo not installed";
  const std::string gdal = testsupport::runCommand("gdalinfo " + path);
  EXPECT_NE(gdal.find("Size is 300, 300"), std::string::npos) << gdal;
  EXPECT_NE(gdal.find("LINE_OFF"), std::string::npos);
}

TEST(Tool, ChipQuicklookAndHeight) {
  const std::string chip = runFile("-chip.jpg");
  ASSERT_EQ(vuziza("chip " + SAMPLE + " 100 100 64 32 " + chip).status, 0);
  EXPECT_EQ(testsupport::readWholeFile(chip).substr(0, 2), "\xFF\xD8");

  const std::string look = runFile("-look.jpg");
  const ToolRun quicklook = vuziza("quicklook " + SAMPLE + " " + look + " --size 128");
  ASSERT_EQ(quicklook.status, 0) << quicklook.err;
  EXPECT_NEAR(valueOf(quicklook.out, "ground sample distance (m)"), 1.0, 0.01);
  EXPECT_NE(quicklook.out.find("quicklook: 128 x 128"), std::string::npos);
  EXPECT_EQ(testsupport::readWholeFile(look).substr(0, 2), "\xFF\xD8");

  const ToolRun height = vuziza("height " + SAMPLE + " --base 200 200 --top 200 200 --json");
  ASSERT_EQ(height.status, 0) << height.err;
  EXPECT_NE(height.out.find("\"height\": 0.000"), std::string::npos) << height.out;
}

}  // namespace

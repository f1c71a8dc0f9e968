// Spherical-harmonic synthesis on small coefficient files whose undulation
// has a closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "geodesy/Geoid.h"
#include "support/TestPaths.h"

using namespace zel;

namespace {

constexpr double FAILED = -999999.0;

// Model terms: the normal field's even zonal terms that the synthesis adds
// are cancelled here, leaving C22, S22, C31, S31 only.
constexpr double C22 = 2.0e-6, S22 = -1.5e-6, C31 = 1.0e-6, S31 = 2.0e-6;
// Correction terms (centimetres): degree 0 and C21, S21.
constexpr double K00 = 150.0, K21 = 20.0, L21 = -10.0;

std::string number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string modelFile() {
  const std::string path = testsupport::scratchPath("egm-small.txt");
  std::string text;
  text += "    2    0 " + number(-0.00108262982131 / std::sqrt(5.0)) + " 0.0 1e-9 1e-9\n";
  text += "    2    2 " + number(C22) + " " + number(S22) + " 0.1 0.1\n";
  text += "3 1 " + number(C31) + "   " + number(S31) + "\n";
  text += "4 0 " + number(-(-2.37091120053e-06 / 3.0)) + " 0\n";
  text += "6 0 " + number(-(6.08346498882e-09 / std::sqrt(13.0))) + " 0\n";
  text += "8 0 " + number(3.460524683954118e-12) + " 0\n";
  text += "10 0 " + number(-2.6500222574756675e-12) + " 0\n";
  // Lines with no place in the tables are skipped.
  text +=
      "361 0 5.0 5.0\n"
      "5 6 5.0 5.0\n"
      "5 -1 5.0 5.0\n"
      "7 7 5.0\n"
      "\n"
      "x y 1 2\n";
  testsupport::writeWholeFile(path, text);
  return path;
}

std::string correctionFile() {
  const std::string path = testsupport::scratchPath("corrcoef-small.txt");
  testsupport::writeWholeFile(path,
                              "  0  0  0.1500000000000D+03  0.0000000000000D+00\r\n"
                              "  2  1  0.2000000000000D+02 -1.0000000000000E+01\n"
                              "  361  0  0.1D+01  0.1D+01\n"
                              "  3  3\n");
  return path;
}

// The undulation the two files describe, from the closed-form fully
// normalised Legendre functions P21, P22, P31 and the ellipsoid geometry.
double closedForm(double latDeg, double lonDeg) {
  const double e2 = Geoid::CONST_E2;
  const double phi = latDeg / Geoid::DEG_PER_RAD, lambda = lonDeg / Geoid::DEG_PER_RAD;
  const double w = std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
  const double n = Geoid::CONST_A / w;
  const double z = n * (1 - e2) * std::sin(phi), p = n * std::cos(phi);
  const double r = std::hypot(p, z);
  const double gamma = Geoid::CONST_GEQT * (1 + Geoid::CONST_K * std::sin(phi) * std::sin(phi)) / w;
  const double theta = 0.5 * Geoid::PI - std::atan(z / p);  // geocentric colatitude
  const double t = std::cos(theta), s = std::sin(theta);
  const double p21 = std::sqrt(15.0) * t * s;
  const double p22 = std::sqrt(15.0) / 2 * s * s;
  const double p31 = std::sqrt(7.0 / 6.0) * 1.5 * (5 * t * t - 1) * s;
  const double ar = Geoid::CONST_A / r;
  const double a = ar * ar * p22 * (C22 * std::cos(2 * lambda) + S22 * std::sin(2 * lambda)) +
                   ar * ar * ar * p31 * (C31 * std::cos(lambda) + S31 * std::sin(lambda));
  const double b = K00 + p21 * (K21 * std::cos(lambda) + L21 * std::sin(lambda));
  return a * Geoid::CONST_GM / (r * gamma) + b / 100 - 0.53;
}

}  // namespace

TEST(Geoid, SynthesisMatchesClosedFormAndReusesTheLatitudeTable) {
  Geoid geoid(modelFile(), correctionFile());
  ASSERT_TRUE(geoid.getIsInitialized());
  EXPECT_EQ(geoid.nmax, 360);
  // 'D' exponents of the correction file read as 'E'.
  EXPECT_EQ(geoid.cc[1], 150.0);
  EXPECT_EQ(geoid.cc[2 * 3 / 2 + 1 + 1], 20.0);
  EXPECT_EQ(geoid.cs[2 * 3 / 2 + 1 + 1], -10.0);
  // Skipped lines left nothing behind.
  EXPECT_EQ(geoid.hc[3 * 4 / 2 + 3 + 1], 0.0);
  EXPECT_EQ(geoid.cc[3 * 4 / 2 + 3 + 1], 0.0);

  const double points[][2] = {{10, 20},  {10, -135.5}, {10, 179.9}, {-47.25, 3},
                              {89.5, 0}, {-89.99, 60}, {0, 0},      {10, 20}};
  for (const auto& point : points) {
    EXPECT_NEAR(geoid.getUndulation(point[0], point[1]), closedForm(point[0], point[1]), 1e-9)
        << point[0] << " " << point[1];
    EXPECT_EQ(geoid.lastLatitude, point[0]);
  }
  // A query along the parallel of an earlier one gives what a fresh instance gives.
  Geoid fresh(modelFile(), correctionFile());
  geoid.getUndulation(-12.0, 5.0);
  EXPECT_EQ(geoid.getUndulation(-12.0, 77.0), fresh.getUndulation(-12.0, 77.0));
}

TEST(Geoid, LegendreFunctionsAreFullyNormalisedToDegree360) {
  Geoid geoid(modelFile(), correctionFile());
  const double theta = 0.7;
  // Addition theorem: the sum over m of Pnm^2 is 2n + 1 for every degree.
  std::vector<double> sum(361, 0.0);
  for (int m = 0; m <= 360; ++m) {
    ASSERT_TRUE(geoid.legfdn(m, theta, 360, 1));
    for (int n = m; n <= 360; ++n) sum[n] += geoid.rleg[n + 1] * geoid.rleg[n + 1];
  }
  for (int n = 0; n <= 360; ++n) EXPECT_NEAR(sum[n], 2 * n + 1, 1e-9 * (2 * n + 1)) << n;

  // Derivatives against central differences.
  const double h = 1e-6;
  for (int m : {0, 1, 5, 200}) {
    geoid.legfdn(m, theta + h, 360, 1);
    const std::vector<double> above = geoid.rleg;
    geoid.legfdn(m, theta - h, 360, 1);
    const std::vector<double> below = geoid.rleg;
    ASSERT_TRUE(geoid.legfdn(m, theta, 360, 0));
    for (int n = m; n <= 360; n += 7) {
      EXPECT_NEAR(geoid.dleg[n + 1], (above[n + 1] - below[n + 1]) / (2 * h), 1e-5 * (n + 1))
          << n << " " << m;
    }
  }
  testing::internal::CaptureStdout();
  EXPECT_FALSE(geoid.legfdn(0, 0.0, 360, 0));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "LEGFDN does not compute derivatives at the poles!\n");
}

TEST(Geoid, MissingFilesLeaveItUninitialised) {
  const std::string missing = testsupport::scratchPath("no-such-coefficients.txt");
  for (auto files :
       {std::make_pair(modelFile(), missing), std::make_pair(missing, correctionFile())}) {
    Geoid geoid(files.first, files.second);
    EXPECT_FALSE(geoid.getIsInitialized());
    testing::internal::CaptureStdout();
    EXPECT_EQ(geoid.getUndulation(10, 20), FAILED);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Geoid has not been properly initialized.\n");
  }
}

TEST(Geoid, GetInstanceIsSharedPerPairOfNames) {
  const std::string model = modelFile(), correction = correctionFile();
  Geoid* first = Geoid::getInstance(model, correction);
  EXPECT_EQ(Geoid::getInstance(model, correction), first);
  EXPECT_EQ(Geoid::current_egm_file, model);
  EXPECT_NEAR(first->getUndulation(30, 40), closedForm(30, 40), 1e-9);
  Geoid* other = Geoid::getInstance(model, testsupport::scratchPath("no-such-coefficients.txt"));
  EXPECT_EQ(Geoid::static_instance, other);
  EXPECT_FALSE(other->getIsInitialized());
  Geoid* again = Geoid::getInstance(model, correction);
  EXPECT_TRUE(again->getIsInitialized());
  EXPECT_NEAR(again->getUndulation(30, 40), closedForm(30, 40), 1e-9);
}

// SENSRB: every module parsed, standardised and written back.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "tre/SENSRB.h"

namespace {

std::string pad(const std::string& text, size_t width) {
  std::string padded = text;
  padded.resize(width, ' ');
  return padded;
}

// A record with every module present, each field in the form the field
// writers produce, so that writing it back must give the same text. English
// units, degrees, calibration in pixels.
std::string fullRecord() {
  std::string r;
  // Module 1.
  r += "Y" + pad("EO Sensor", 25) + pad("urn:sensor", 32) + pad("Platform X", 25) +
       pad("urn:platform", 32) + pad("Airborne", 10) + "1" + "WGS84" + "G" + "HAE" + "FT" + "DEG" +
       "20260101" + "3600.000000000" + "20260101" + "3601.500000000" + "01" + "20260102" +
       "1200000000";
  // Module 2: 0.393701 in = 1.0000005 cm over 1000 detectors.
  r += "Y" + pad("Frame", 20) + "00001000" + "00001000" + "0.393701" + "0.393701" + "2.000000" +
       "10.00000" + "5.000000" + "Y";
  // Module 3.
  r += "Y" + std::string("px") + "+100.0000" + "-50.00000" + "+1.00000e-05" + "+2.00000e-10" +
       "-3.00000e-15" + "+500.0000" + "+1.00000e-06" + "-1.00000e-06" + "+0.00000e+00" +
       "+5.00000e-04" + "20250601";
  // Module 4 with two transform parameters.
  r += "Y" + pad("Framing", 15) + "FRM" + "00001000" + "00001000" + "+0000001" + "-0000002" +
       "0.00100000" + "0.00000000" + "00000000" + "00000000" + "2" + "+1.50000e+00" +
       "-2.50000e-03";
  // Modules 5 and 6.
  r += "+0.500000000" + std::string("00000500") + "00000500";
  r += "34.12345678" + std::string("-117.1234567") + "30000.00000" + "1.000000" + "2.000000" +
       "-3.00000";
  // Module 7.
  r += "Y" + std::string("1") + "45.0000000" + "-10.00000" + "180.000000" + "N" + "90.000000" +
       "1.5000000" + "-2.2500000";
  // Module 8.
  r += "Y" + std::string("1.00000000") + "0.00000000" + "0.00000000" + "0.00000000" + "1.00000000" +
       "0.00000000" + "0.00000000" + "0.00000000" + "1.00000000";
  // Module 9.
  r += "Y" + std::string("0.50000000") + "0.50000000" + "0.50000000" + "0.50000000";
  // Module 10.
  r += "Y" + std::string("100.00000") + "-20.50000" + "0.0000000";
  // Module 11: one set of two points.
  r += "01" + pad("Ground Points", 25) + "002" + "00000001" + "00000002" + "34.0000000" +
       "-117.000000" + "100.00" + "5000.000" + "00000010" + "00000020" + "34.5000000" +
       "-117.500000" + "200.00" + "6000.000";
  // Module 12: altitude over time.
  r += "01" + std::string("06c") + "0002" + "+0.000000000" + "30000.00000" + "+1.000000000" +
       "30100.00000";
  // Module 13: sensor angle 1 at a pixel.
  r += "01" + std::string("07b") + "0001" + "00000001" + "00000001" + "45.0000000";
  // Module 14.
  r += "002" + pad("06c", 11) + pad("06c", 11) + "3.0000e+00" + pad("06c", 11) + pad("06d", 11) +
       "3.0000e+00";
  // Module 15: values of lengths 3 and 7.
  r += "001" + pad("extra", 25) + "007" + "0002" + pad("abc", 7) + "abcdefg";
  return r;
}

// Modules 1 to 4 and 7 to 10 absent, all counts zero.
std::string minimalRecord() {
  return "NNNN" + std::string("+0.500000000") + "00000500" + "00000500" + "34.12345678" +
         "-117.1234567" + "30000.00000" + "1.000000" + "2.000000" + "-3.00000" + "NNNN" + "00" +
         "00" + "00" + "000" + "000";
}

TEST(SENSRB, ParsesEveryModule) {
  SENSRB s(fullRecord());
  EXPECT_EQ(s.getTag(), "SENSRB");
  EXPECT_EQ(s.getLength(), static_cast<int>(fullRecord().size()));
  ASSERT_TRUE(s.generalData.present);
  EXPECT_EQ(s.generalData.sensor, "EO Sensor");
  EXPECT_EQ(s.generalData.operationDomain, "Airborne");
  EXPECT_EQ(s.generalData.geodeticType, 'G');
  EXPECT_EQ(s.generalData.lengthUnit, "FT");
  EXPECT_DOUBLE_EQ(s.generalData.endTime, 3601.5);
  EXPECT_EQ(s.generalData.generationTime, "1200000000");
  EXPECT_EQ(s.detection, "Frame");
  EXPECT_EQ(s.rowDetectors, 1000);
  EXPECT_TRUE(s.calibrated);
  EXPECT_EQ(s.calibrationUnit, "px");
  EXPECT_DOUBLE_EQ(s.principalPointOffsetY, -50.0);
  EXPECT_DOUBLE_EQ(s.radialDistort3, -3e-15);
  EXPECT_EQ(s.imageFormationData.method, "Framing");
  EXPECT_EQ(s.imageFormationData.columnSet, -2);
  ASSERT_EQ(s.imageFormationData.transformParameters.size(), 2u);
  EXPECT_DOUBLE_EQ(s.imageFormationData.transformParameters[1], -0.0025);
  EXPECT_DOUBLE_EQ(s.referenceTime, 0.5);
  EXPECT_DOUBLE_EQ(s.longitudeOrY, -117.1234567);
  EXPECT_DOUBLE_EQ(s.sensorZOffset, -3.0);
  EXPECT_FALSE(s.platformRelative);
  EXPECT_DOUBLE_EQ(s.platformRoll, -2.25);
  EXPECT_DOUBLE_EQ(s.unitVectors[8], 1.0);
  EXPECT_DOUBLE_EQ(s.quaternion[3], 0.5);
  EXPECT_DOUBLE_EQ(s.velocityEastOrY, -20.5);
  ASSERT_EQ(s.pointDatasets.size(), 1u);
  EXPECT_EQ(s.pointDatasets[0].type, "Ground Points");
  ASSERT_EQ(s.pointDatasets[0].points.size(), 2u);
  EXPECT_EQ(s.pointDatasets[0].points[1].column, 20);
  EXPECT_DOUBLE_EQ(s.pointDatasets[0].points[1].range, 6000.0);
  ASSERT_EQ(s.timeStampedDatasets.size(), 1u);
  EXPECT_EQ(s.timeStampedDatasets[0].type, "06c");
  ASSERT_EQ(s.timeStampedDatasets[0].values.size(), 2u);
  EXPECT_DOUBLE_EQ(s.timeStampedDatasets[0].values[1].value, 30100.0);
  ASSERT_EQ(s.pixelReferencedDatasets.size(), 1u);
  EXPECT_DOUBLE_EQ(s.pixelReferencedDatasets[0].values[0].value, 45.0);
  ASSERT_EQ(s.uncertainties.size(), 2u);
  EXPECT_EQ(s.uncertainties[1].secondType, "06d");
  ASSERT_EQ(s.additionalParameters.size(), 1u);
  ASSERT_EQ(s.additionalParameters[0].values.size(), 2u);
  EXPECT_EQ(s.additionalParameters[0].values[0], "abc    ");  // untrimmed
  EXPECT_EQ(s.additionalParameters[0].values[1], "abcdefg");
}

TEST(SENSRB, WritesBackTheSameText) {
  for (const std::string& record : {fullRecord(), minimalRecord()}) {
    SENSRB s(record);
    s.updateDataField();
    EXPECT_EQ(s.getText(), record);
    EXPECT_EQ(s.getLength(), static_cast<int>(record.size()));
  }
  SENSRB minimal(minimalRecord());
  EXPECT_FALSE(minimal.generalData.present);
  EXPECT_FALSE(minimal.sensorVelocityPresent);
  EXPECT_DOUBLE_EQ(minimal.altitudeOrZ, 30000.0);
}

TEST(SENSRB, StandardizesToMetresRadiansAndMillimetres) {
  SENSRB s(fullRecord());
  s.standardize();
  EXPECT_EQ(s.generalData.lengthUnit, "SI");
  EXPECT_EQ(s.generalData.angularUnit, "RAD");
  EXPECT_DOUBLE_EQ(s.rowMetric, 0.393701 * 2.54);
  EXPECT_DOUBLE_EQ(s.rowFieldOfView, 10.0 * 0.017453292519943295);
  // Geographic: latitude and longitude stay, altitude and offsets in metres.
  EXPECT_DOUBLE_EQ(s.latitudeOrX, 34.12345678);
  EXPECT_DOUBLE_EQ(s.altitudeOrZ, 30000.0 * 0.3048);
  EXPECT_DOUBLE_EQ(s.sensorZOffset, -3.0 * 0.3048);
  EXPECT_DOUBLE_EQ(s.velocityEastOrY, -20.5 * 0.3048);
  EXPECT_DOUBLE_EQ(s.pointDatasets[0].points[1].elevation, 200.0 * 0.3048);
  EXPECT_DOUBLE_EQ(s.pointDatasets[0].points[1].latitude, 34.5);
  // Calibration: pitch s = 5 (1.0000005 / 1000 * 2) mm.
  const double pitch = 5.0 * (2.0 * 0.393701 * 2.54 / 1000.0);
  EXPECT_EQ(s.calibrationUnit, "mm");
  EXPECT_NEAR(s.principalPointOffsetX, 100.0 * pitch, 1e-12);
  EXPECT_NEAR(s.principalPointOffsetX, 1.0, 1e-5);
  EXPECT_NEAR(s.radialDistort1, 1e-5 / (pitch * pitch), 1e-12);
  EXPECT_NEAR(s.decentDistort2, -1e-6 / pitch, 1e-15);
  EXPECT_DOUBLE_EQ(s.affinityDistort2, 5e-4);
  // Data sets: values of known fields scaled, times not.
  EXPECT_DOUBLE_EQ(s.timeStampedDatasets[0].values[1].time, 1.0);
  EXPECT_DOUBLE_EQ(s.timeStampedDatasets[0].values[1].value, 30100.0 * 0.3048);
  EXPECT_DOUBLE_EQ(s.pixelReferencedDatasets[0].values[0].value, 45.0 * 0.017453292519943295);
  EXPECT_NEAR(s.uncertainties[0].value, 0.9144, 1e-12);
  EXPECT_DOUBLE_EQ(s.uncertainties[1].value, 3.0);  // types differ

  // The text changes only when written; a second standardize changes nothing.
  EXPECT_EQ(s.getText(), fullRecord());
  const double altitude = s.altitudeOrZ;
  s.standardize();
  EXPECT_DOUBLE_EQ(s.altitudeOrZ, altitude);
  EXPECT_DOUBLE_EQ(s.timeStampedDatasets[0].values[1].value, 30100.0 * 0.3048);
  s.updateDataField();
  SENSRB reread(s.getText());
  EXPECT_EQ(reread.generalData.lengthUnit, "SI");
  EXPECT_NEAR(reread.altitudeOrZ, 9144.0, 1e-5);
  EXPECT_EQ(reread.calibrationUnit, "mm");
}

TEST(SENSRB, AngularUnitsAndCartesianLengths) {
  std::string record = fullRecord();
  const size_t units = 1 + 25 + 32 + 25 + 32 + 10 + 1 + 5;  // geodetic type
  record[units] = 'C';
  record.replace(units + 4 + 2, 3, "SMC");  // semicircles
  SENSRB s(record);
  s.standardize();
  EXPECT_DOUBLE_EQ(s.rowFieldOfView, 10.0 * 3.141592653589793);
  EXPECT_DOUBLE_EQ(s.latitudeOrX, 34.12345678 * 0.3048);
  EXPECT_DOUBLE_EQ(s.longitudeOrY, -117.1234567 * 0.3048);
}

TEST(SENSRB, StandardizeRefusals) {
  struct Case {
    std::string record;
    const char* message;
  };
  std::string wrongDatum = fullRecord();
  wrongDatum.replace(1 + 25 + 32 + 25 + 32 + 10 + 1, 5, "NAD83");
  std::string wrongElevation = fullRecord();
  wrongElevation.replace(1 + 25 + 32 + 25 + 32 + 10 + 1 + 5 + 1, 3, "MSL");
  const Case cases[] = {
      {minimalRecord(), "Cannot standardize Sensrb due to lack of general data module."},
      {wrongDatum, "Cannot standardize Sensrb because it does not use WGS84 geodetic datum."},
      {wrongElevation, "Cannot standardize Sensrb because it does not use HAE elevation datum."},
  };
  for (const Case& c : cases) {
    SENSRB s(c.record);
    const double altitude = s.altitudeOrZ;
    try {
      s.standardize();
      ADD_FAILURE() << "no exception for " << c.message;
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
    EXPECT_DOUBLE_EQ(s.altitudeOrZ, altitude);
  }
}

TEST(SENSRB, UnknownDataSetTypeEndsTheParse) {
  std::string record = minimalRecord();
  // Replace the module 12 count by one set of an unknown type with a value.
  const size_t module12 = record.size() - (2 + 2 + 3 + 3);
  record = record.substr(0, module12) + "01" + "zzz" + "0001" + "+0.000000000" + "1234" + "00" +
           "001" + pad("a", 11) + pad("a", 11) + "3.0000e+00" + "000";
  SENSRB s(record);
  ASSERT_EQ(s.timeStampedDatasets.size(), 1u);
  EXPECT_EQ(s.timeStampedDatasets[0].type, "zzz");
  EXPECT_TRUE(s.timeStampedDatasets[0].values.empty());
  EXPECT_TRUE(s.pixelReferencedDatasets.empty());
  EXPECT_TRUE(s.uncertainties.empty());

  // Writing an unknown set writes it without values.
  s.timeStampedDatasets[0].values.resize(3);
  s.updateDataField();
  SENSRB reread(s.getText());
  ASSERT_EQ(reread.timeStampedDatasets.size(), 1u);
  EXPECT_TRUE(reread.timeStampedDatasets[0].values.empty());
}

TEST(SENSRB, HostileCountsAreBoundedByTheText) {
  // Counts claiming far more entries than the text holds, and negative ones.
  const std::string record =
      minimalRecord().substr(0, minimalRecord().size() - 12) + "99" + "-1" + "99" + "999";
  SENSRB s(record);
  EXPECT_LE(s.pointDatasets.size(), 1u);
  EXPECT_TRUE(s.timeStampedDatasets.empty());
  s.updateDataField();
  SENSRB empty("");
  EXPECT_FALSE(empty.generalData.present);
  empty.updateDataField();
}

TEST(SENSRB, AdditionalParameterSizeIsTheLongestValue) {
  SENSRB s(minimalRecord());
  s.additionalParameters.resize(2);
  s.additionalParameters[0].name = "p";
  s.additionalParameters[0].values = {"abc", "abcdefg"};
  s.updateDataField();
  const std::string tail =
      pad("p", 25) + "007" + "0002" + "abc    " + "abcdefg" + pad("", 25) + "001" + "0000";
  ASSERT_GE(s.getText().size(), tail.size());
  EXPECT_EQ(s.getText().substr(s.getText().size() - tail.size()), tail);
}

TEST(SENSRB, CopyReparsesTheText) {
  SENSRB s(fullRecord());
  s.altitudeOrZ = 1.0;  // not written back
  std::unique_ptr<Extension> copy(s.copy());
  SENSRB* typed = dynamic_cast<SENSRB*>(copy.get());
  ASSERT_NE(typed, nullptr);
  EXPECT_DOUBLE_EQ(typed->altitudeOrZ, 30000.0);
  EXPECT_EQ(typed->getText(), fullRecord());
  EXPECT_EQ(SENSRB::fieldLength("06b"), 12);
  EXPECT_EQ(SENSRB::fieldLength("10c"), 9);
  EXPECT_EQ(SENSRB::fieldLength("11a"), -1);
  EXPECT_EQ(s.trim(" \t a b\n "), "a b");
  EXPECT_EQ(s.trim(" \t\n"), "");
}

}  // namespace

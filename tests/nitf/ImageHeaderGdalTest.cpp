// Image subheaders read as GDAL reads them: files written by GDAL's NITF
// driver at test time (gdal_create, gdal_translate -of NITF) and the shared
// corpus of third-party files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "nitf/FileHeader.h"
#include "nitf/ImageHeader.h"
#include "support/GdalInfo.h"
#include "support/TestPaths.h"
#include "tre/ICHIPB.h"
#include "tre/SENSRB.h"

namespace {

using testsupport::rightTrimmed;

std::string fields(ImageHeader& header) {
  std::ostringstream out(std::ios::binary);
  header.writeFields(&out);
  return out.str();
}

bool sameExceptBlankNumbers(const std::string& original, const std::string& rewritten) {
  if (original.size() != rewritten.size()) return false;
  for (size_t i = 0; i < original.size(); ++i) {
    if (original[i] != rewritten[i] && !(original[i] == ' ' && rewritten[i] == '0')) return false;
  }
  return true;
}

// Compares the subheader fields GDAL reports for the image with ours.
void expectFieldsAsGdal(const ImageHeader& h, std::map<std::string, std::string>& gdal) {
  const std::pair<const char*, std::string> texts[] = {
      {"NITF_IID1", h.iid1},
      {"NITF_IDATIM", h.idatim},
      {"NITF_TGTID", h.tgtid},
      {"NITF_IID2", h.iid2},
      {"NITF_ISCLSY", h.isclsy},
      {"NITF_ISCODE", h.iscode},
      {"NITF_ISCTLH", h.isctlh},
      {"NITF_ISREL", h.isrel},
      {"NITF_ISDCTP", h.isdctp},
      {"NITF_ISDCDT", h.isdcdt},
      {"NITF_ISDCXM", h.isdcxm},
      {"NITF_ISDGDT", h.isdgdt},
      {"NITF_ISCLTX", h.iscltx},
      {"NITF_ISCAUT", h.iscaut},
      {"NITF_ISCRSN", h.iscrsn},
      {"NITF_ISSRDT", h.issrdt},
      {"NITF_ISCTLN", h.isctln},
      {"NITF_ISORCE", h.isorce},
      {"NITF_PVTYPE", h.pvtype},
      {"NITF_IREP", h.irep},
      {"NITF_ICAT", h.icat},
      {"NITF_IC", h.ic},
      {"NITF_IMAG", h.imag},
      {"NITF_ISCLAS", std::string(1, h.isclas)},
      {"NITF_PJUST", std::string(1, h.pjust)},
      {"NITF_IMODE", std::string(1, h.imode)},
      {"NITF_ICORDS", std::string(1, h.icords)},
      {"NITF_ISDG", std::string(1, h.isdg)},
      {"NITF_ISCATP", std::string(1, h.iscatp)},
      {"NITF_ITITLE", h.iid2},  // 2.0 name of IID2
      {"NITF_ISDWNG", h.isdwng},
  };
  for (const auto& field : texts) {
    if (!gdal.count(field.first)) continue;
    EXPECT_EQ(rightTrimmed(field.second.c_str()), rightTrimmed(gdal[field.first])) << field.first;
  }
  const std::pair<const char*, int> numbers[] = {{"NITF_ABPP", h.abpp},
                                                 {"NITF_IDLVL", h.idlvl},
                                                 {"NITF_IALVL", h.ialvl},
                                                 {"NITF_ENCRYP", h.encryp}};
  for (const auto& field : numbers) {
    if (gdal.count(field.first)) {
      EXPECT_EQ(field.second, std::atoi(gdal[field.first].c_str())) << field.first;
    }
  }
  if (gdal.count("NITF_IGEOLO") && h.icords != ' ') {
    EXPECT_EQ(h.igeolo, gdal["NITF_IGEOLO"]);
  }
}

// Every record GDAL lists for the image must stand, with its length, in the
// extended or user-defined data of the subheader or of the file header
// (GDAL lists both; records with binary bytes, which GDAL escapes, are not
// compared).
void expectRecordsAsGdal(const ImageHeader& h, const FileHeader& f,
                         std::map<std::string, std::string>& records) {
  for (const auto& record : records) {
    if (record.second.find('\\') != std::string::npos) continue;
    std::ostringstream header;
    header << std::left << std::setw(6) << record.first << std::right << std::setw(5)
           << std::setfill('0') << record.second.size();
    const std::string wanted = header.str() + record.second;
    EXPECT_TRUE(h.ixshd.find(wanted) != std::string::npos ||
                h.udid.find(wanted) != std::string::npos ||
                f.xhd.find(wanted) != std::string::npos || f.udhd.find(wanted) != std::string::npos)
        << record.first;
  }
}

class GdalWrittenFiles : public testing::Test {
 protected:
  void SetUp() override {
    if (!testsupport::haveCommand("gdal_translate") || !testsupport::haveCommand("gdal_create")) {
      GTEST_SKIP() << "GDAL command-line tools not installed";
    }
  }

  // A 20 x 10 raster over the given extent written by GDAL as NITF with the
  // creation options `options`; returns its path.
  static std::string make(const std::string& name, const std::string& srs, const std::string& ullr,
                          const std::string& options) {
    const std::string source = testsupport::scratchPath(name + ".tif");
    const std::string target = testsupport::scratchPath(name + ".ntf");
    testsupport::runCommand("gdal_create -q -of GTiff -outsize 20 10 -bands 1 -burn 7 -a_srs " +
                            srs + " -a_ullr " + ullr + " '" + source + "' 2>&1");
    testsupport::runCommand("gdal_translate -q -of NITF " + options + " '" + source + "' '" +
                            target + "' 2>&1");
    return target;
  }

  // Reads the file's header and its first image subheader.
  static std::unique_ptr<ImageHeader> readFirstImage(const std::string& path,
                                                     FileHeader& fileHeader) {
    fileHeader.read(path);
    EXPECT_EQ(fileHeader.numi, 1);
    std::unique_ptr<ImageHeader> header(new ImageHeader());
    header->read(path, fileHeader, 0);
    // Written back, the subheader gives the bytes of the file.
    const std::string file = testsupport::readWholeFile(path);
    if (fileHeader.numi == 1) {
      const std::string original =
          file.substr(static_cast<size_t>(fileHeader.hl), fileHeader.lish[0]);
      EXPECT_EQ(fields(*header), original);
    }
    return header;
  }
};

TEST_F(GdalWrittenFiles, GeographicCorners) {
  // Pixels of 0.025 x 0.05 degrees; GDAL writes the corner pixels' centres.
  const std::string path = make("icords-g", "EPSG:4326", "-117.25 32.5 -116.75 32.0",
                                "-co ICORDS=G -co IID1=GEOGRAPH -co \"TRE=TESTAA=hello world\"");
  FileHeader f;
  auto h = readFirstImage(path, f);
  auto gdal = testsupport::gdalMetadata(path);
  expectFieldsAsGdal(*h, gdal[""]);
  expectRecordsAsGdal(*h, f, gdal["TRE"]);
  EXPECT_EQ(h->icords, 'G');
  // Whole seconds: 32.475 = 32 28' 30", 117.2375 = 117 14' 15".
  EXPECT_NEAR(h->frfcLat, 32.475, 1e-9);
  EXPECT_NEAR(h->frfcLon, -117.2375, 1e-9);
  EXPECT_NEAR(h->frlcLon, -116.7625, 1e-9);
  EXPECT_NEAR(h->lrlcLat, 32.025, 1e-9);
  EXPECT_NEAR(h->lrfcLon, -117.2375, 1e-9);
  ASSERT_EQ(h->getNumExtensions(), 1);
  EXPECT_EQ(h->extensions[0], nullptr);  // TESTAA is not modelled
}

TEST_F(GdalWrittenFiles, DecimalCornersAndChipRecord) {
  std::string ichipb = "00" + std::string("1.0       ") + "00" + "00";
  for (const char* value : {"0", "0", "0", "999", "999", "0", "999", "999", "1000", "2000", "1000",
                            "2999", "1999", "2000", "1999", "2999"}) {
    std::string field = value;
    field.resize(12, ' ');
    ichipb += field;
  }
  ichipb += "0000400000005000";
  const std::string path = make("icords-d", "EPSG:4326", "-117.25 32.5 -116.75 32.0",
                                "-co ICORDS=D -co \"TRE=ICHIPB=" + ichipb + "\"");
  FileHeader f;
  auto h = readFirstImage(path, f);
  auto gdal = testsupport::gdalMetadata(path);
  expectFieldsAsGdal(*h, gdal[""]);
  expectRecordsAsGdal(*h, f, gdal["TRE"]);
  EXPECT_EQ(h->icords, 'D');
  // Three decimals: within half a unit of the last one (GDAL rounds the
  // binary value, so -117.2375 may come out as -117.237).
  const double tolerance = 0.0005 + 1e-9;
  EXPECT_NEAR(h->frfcLat, 32.475, tolerance);
  EXPECT_NEAR(h->frfcLon, -117.2375, tolerance);
  EXPECT_NEAR(h->lrlcLat, 32.025, tolerance);
  EXPECT_NEAR(h->lrlcLon, -116.7625, tolerance);
  EXPECT_NEAR(h->minLat, 32.025, tolerance);
  EXPECT_NEAR(h->maxLon, -116.7625, tolerance);

  std::unique_ptr<Extension> record(h->getExtension("ICHIPB"));
  ICHIPB* chip = dynamic_cast<ICHIPB*>(record.get());
  ASSERT_NE(chip, nullptr);
  std::map<std::string, std::string>& m = gdal[""];
  EXPECT_EQ(chip->fi_row_21, std::atof(m["ICHIP_FI_ROW_21"].c_str()));
  EXPECT_EQ(chip->fi_col_22, std::atof(m["ICHIP_FI_COL_22"].c_str()));
  EXPECT_EQ(chip->op_col_12, std::atof(m["ICHIP_OP_COL_12"].c_str()));
  EXPECT_EQ(chip->fi_row, std::atoi(m["ICHIP_FI_ROW"].c_str()));
  EXPECT_EQ(chip->fi_col, std::atoi(m["ICHIP_FI_COL"].c_str()));
}

TEST_F(GdalWrittenFiles, UTMCornersInBothHemispheres) {
  if (!testsupport::haveCommand("cs2cs")) GTEST_SKIP() << "cs2cs not installed";
  struct Case {
    const char* name;
    const char* srs;
    const char* ullr;
    char icords;
    const char* centre;  // upper left pixel centre, easting northing
  };
  const Case cases[] = {
      {"icords-n", "EPSG:32611", "480000 3600000 480200 3599900", 'N', "480005 3599995"},
      {"icords-s", "EPSG:32711", "480000 6000000 480200 5999900", 'S', "480005 5999995"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = make(c.name, c.srs, c.ullr, "");
    FileHeader f;
    auto h = readFirstImage(path, f);
    auto gdal = testsupport::gdalMetadata(path);
    expectFieldsAsGdal(*h, gdal[""]);
    EXPECT_EQ(h->icords, c.icords);
    // PROJ's exact transverse Mercator for the same grid point.
    std::istringstream reference(testsupport::runCommand(
        std::string("echo ") + c.centre + " | cs2cs -f %.10f " + c.srs + " EPSG:4326"));
    double lat = 0, lon = 0;
    ASSERT_TRUE(reference >> lat >> lon);
    EXPECT_NEAR(h->frfcLat, lat, 1e-8);
    EXPECT_NEAR(h->frfcLon, lon, 1e-8);
  }
}

TEST_F(GdalWrittenFiles, BlockARecordRefinesTheCorners) {
  const std::string blocka =
      "010000000010                      "
      "+32.510000-116.740000+32.010000-116.740000+32.010000-117.260000"
      "+32.510000-117.260000     ";
  const std::string path = make("blocka", "EPSG:4326", "-117.25 32.5 -116.75 32.0",
                                "-co ICORDS=D -co \"TRE=BLOCKA=" + blocka + "\"");
  FileHeader f;
  auto h = readFirstImage(path, f);
  auto gdal = testsupport::gdalMetadata(path);
  expectRecordsAsGdal(*h, f, gdal["TRE"]);
  ASSERT_EQ(gdal["TRE"]["BLOCKA"], blocka);
  EXPECT_DOUBLE_EQ(h->frfcLat, 32.51);
  EXPECT_DOUBLE_EQ(h->frfcLon, -117.26);
  EXPECT_DOUBLE_EQ(h->frlcLon, -116.74);
  EXPECT_DOUBLE_EQ(h->lrlcLat, 32.01);
  EXPECT_DOUBLE_EQ(h->lrfcLon, -117.26);
}

// The values GDAL's own SENSRB description (nitf_spec.xml) gives the fields
// of the first SENSRB record of `path`, in record order, as name and value.
std::vector<std::pair<std::string, std::string>> gdalSensrbFields(const std::string& path) {
  std::vector<std::pair<std::string, std::string>> fields;
  const std::string xml =
      testsupport::runCommand("gdalinfo -mdd xml:TRE '" + path + "' 2>/dev/null");
  size_t at = xml.find("<tre name=\"SENSRB\"");
  const size_t end = xml.find("</tre>", at);
  while (at != std::string::npos && (at = xml.find("<field name=\"", at)) < end) {
    const size_t nameStart = at + 13;
    const size_t nameEnd = xml.find('"', nameStart);
    const size_t valueStart = xml.find("value=\"", nameEnd) + 7;
    const size_t valueEnd = xml.find('"', valueStart);
    fields.emplace_back(xml.substr(nameStart, nameEnd - nameStart),
                        xml.substr(valueStart, valueEnd - valueStart));
    at = valueEnd;
  }
  return fields;
}

// The value of the `occurrence`-th field called `name` (from 0).
std::string field(const std::vector<std::pair<std::string, std::string>>& fields,
                  const std::string& name, int occurrence = 0) {
  for (const auto& f : fields) {
    if (f.first == name && occurrence-- == 0) return f.second;
  }
  ADD_FAILURE() << "GDAL lists no " << name;
  return std::string();
}

TEST_F(GdalWrittenFiles, SensrbRecordAsGdalParsesIt) {
  const std::string record =
      testsupport::readWholeFile(testsupport::sourcePath("fuzz/corpus/fuzz_sensrb/full"));
  ASSERT_FALSE(record.empty());
  const std::string path =
      make("sensrb", "EPSG:4326", "-117.25 32.5 -116.75 32.0", "-co \"TRE=SENSRB=" + record + "\"");
  const auto gdal = gdalSensrbFields(path);
  if (gdal.empty()) GTEST_SKIP() << "this GDAL does not describe SENSRB";
  FileHeader f;
  auto h = readFirstImage(path, f);
  std::unique_ptr<Extension> extension(h->getExtension("SENSRB"));
  SENSRB* s = dynamic_cast<SENSRB*>(extension.get());
  ASSERT_NE(s, nullptr);
  const auto number = [&gdal](const char* name, int occurrence = 0) {
    return std::atof(field(gdal, name, occurrence).c_str());
  };
  EXPECT_EQ(s->generalData.sensor, field(gdal, "SENSOR"));
  EXPECT_EQ(s->generalData.platformURI, field(gdal, "PLATFORM_URI"));
  EXPECT_EQ(s->generalData.geodeticSystem, field(gdal, "GEODETIC_SYSTEM"));
  EXPECT_EQ(s->generalData.endTime, number("END_TIME"));
  EXPECT_EQ(s->generalData.generationTime, field(gdal, "GENERATION_TIME"));
  EXPECT_EQ(s->detection, field(gdal, "DETECTION"));
  EXPECT_EQ(s->columnDetectors, number("COLUMN_DETECTORS"));
  EXPECT_EQ(s->columnFieldOfView, number("COLUMN_FOV"));
  EXPECT_EQ(s->principalPointOffsetY, number("PRINCIPAL_POINT_OFFSET_Y"));
  EXPECT_EQ(s->radialDistort3, number("RADIAL_DISTORT_3"));
  EXPECT_EQ(s->affinityDistort2, number("AFFINITY_DISTORT_2"));
  EXPECT_EQ(s->imageFormationData.method, field(gdal, "METHOD"));
  EXPECT_EQ(s->imageFormationData.columnSet, number("COLUMN_SET"));
  ASSERT_EQ(s->imageFormationData.transformParameters.size(), 2u);
  EXPECT_EQ(s->imageFormationData.transformParameters[1], number("TRANSFORM_PARAM", 1));
  EXPECT_EQ(s->referenceTime, number("REFERENCE_TIME"));
  EXPECT_EQ(s->longitudeOrY, number("LONGITUDE_OR_Y"));
  EXPECT_EQ(s->sensorZOffset, number("SENSOR_Z_OFFSET"));
  EXPECT_EQ(s->platformRoll, number("PLATFORM_ROLL"));
  EXPECT_EQ(s->unitVectors[8], number("ICZ_DOWN_OR_Z"));
  EXPECT_EQ(s->quaternion[3], number("ATTITUDE_Q4"));
  EXPECT_EQ(s->velocityEastOrY, number("VELOCITY_EAST_OR_Y"));
  ASSERT_EQ(s->pointDatasets.size(), 1u);
  EXPECT_EQ(s->pointDatasets[0].type, field(gdal, "POINT_SET_TYPE_MM"));
  EXPECT_EQ(s->pointDatasets[0].points[1].range, number("P_RANGE_NNN", 1));
  EXPECT_EQ(s->timeStampedDatasets[0].values[1].value, number("TIME_STAMP_VALUE_NNNN", 1));
  EXPECT_EQ(s->pixelReferencedDatasets[0].values[0].value, number("PIXEL_REFERENCE_VALUE_NNNN"));
  EXPECT_EQ(s->uncertainties[1].secondType, field(gdal, "UNCERTAINTY_SECOND_TYPE_NNN", 1));
  EXPECT_EQ(rightTrimmed(s->additionalParameters[0].values[0]),
            field(gdal, "PARAMETER_VALUE_NNNN", 0));

  // Standardised and written back, the record is still one GDAL reads, with
  // the converted values.
  s->standardize();
  s->updateDataField();
  const std::string rewritten = make("sensrb-si", "EPSG:4326", "-117.25 32.5 -116.75 32.0",
                                     "-co \"TRE=SENSRB=" + s->getText() + "\"");
  const auto again = gdalSensrbFields(rewritten);
  EXPECT_EQ(field(again, "LENGTH_UNIT"), "SI");
  EXPECT_EQ(field(again, "ANGULAR_UNIT"), "RAD");
  EXPECT_EQ(field(again, "CALIBRATION_UNIT"), "mm");
  EXPECT_NEAR(std::atof(field(again, "ALTITUDE_OR_Z").c_str()), 9144.0, 1e-4);
  EXPECT_NEAR(std::atof(field(again, "ROW_FOV").c_str()), 10.0 * M_PI / 180.0, 1e-6);
  EXPECT_NEAR(std::atof(field(again, "TIME_STAMP_VALUE_NNNN", 1).c_str()), 30100.0 * 0.3048, 1e-4);
  EXPECT_EQ(field(again, "PARAMETER_VALUE_NNNN", 1), "abcdefg");
  EXPECT_EQ(again.size(), gdal.size());
}

TEST(ImageHeaderCorpus, ReadsEveryImageOfEveryFile) {
  const bool haveGdal = testsupport::haveCommand("gdalinfo");
  int compared = 0;
  for (const std::string& path : testsupport::corpusFiles()) {
    SCOPED_TRACE(path);
    FileHeader fileHeader;
    fileHeader.read(path);
    const std::string file = testsupport::readWholeFile(path);
    long long start = fileHeader.hl;
    for (int i = 0; i < fileHeader.numi; ++i) {
      ImageHeader header;
      header.read(path, fileHeader, i);
      EXPECT_EQ(header.segmentLength, fileHeader.li[i]);
      if (start + fileHeader.lish[i] <= static_cast<long long>(file.size())) {
        EXPECT_EQ(header.version, fileHeader.version);
        EXPECT_EQ(header.dataOffset, start + fileHeader.lish[i]);
        // Some writers pad the subheader beyond its last field (LISH counts
        // the padding): the fields are compared, the data start at LISH.
        const std::string written = fields(header);
        ASSERT_LE(written.size(), static_cast<size_t>(fileHeader.lish[i]));
        EXPECT_TRUE(sameExceptBlankNumbers(file.substr(static_cast<size_t>(start), written.size()),
                                           written))
            << "image " << i;
        if (haveGdal) {
          const std::string dataset =
              fileHeader.numi == 1 ? path : "NITF_IM:" + std::to_string(i) + ":" + path;
          auto gdal = testsupport::gdalMetadata(dataset);
          if (!gdal[""].empty()) {
            expectFieldsAsGdal(header, gdal[""]);
            expectRecordsAsGdal(header, fileHeader, gdal["TRE"]);
            ++compared;
          }
        }
      }
      start += fileHeader.lish[i] + fileHeader.li[i];
    }
  }
  if (haveGdal) {
    EXPECT_GT(compared, 10);
  }
}

}  // namespace

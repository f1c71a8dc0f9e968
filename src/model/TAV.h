#pragma once
// The sensor model of one product: an RPC00B rational polynomial camera model,
// the ICHIPB chip mapping and the product's elevation posts.

#include <array>
#include <string>
#include <vector>

#include "../geodesy/ECEFRay.h"
#include "../geodesy/Newmat.h"
#include "../geometry/DecimalCoordinate.h"
#include "../geometry/ErrorCoordinate.h"
#include "../geometry/PixelCoordinate.h"
#include "../geometry/Quad.h"
#include "../product/ElevationSegmentData.h"
#include "../product/TAVReader.h"
#include "I2GResult.h"
#include "PostRec.h"

class DataReader;
class NITF;
class RPC00B;
class ICHIPB;

// Units at the interface: pixels are chip pixels (x = sample, y = line)
// unless a function says full-image pixels; angles are degrees; lengths are
// metres; ground heights are above the WGS 84 ellipsoid. Inside, the camera
// model works in full-image pixels and the weighted image-to-ground solution
// in ECEF feet.
//
// A model answers only once getIsInitialized() is true. Queries change a few
// members (the cached slope of a segment, the last sun angles, the elevation
// post index built on first use), so one model serves one thread at a time.
//
// Failures the model detects are thrown as `BaseException*` (new-allocated;
// the catcher deletes it); the matrix library's own failures arrive by value.
class TAV {
 public:
  // ---- Class constants ----------------------------------------------------
  static constexpr int MAX_POSTS = 4;
  static constexpr int BLOCKSIZE = 1024;
  static constexpr double DESIRED_PRECISION = 0.001;           // metres
  static constexpr double LE90_TO_SIGMA = 0.6079396923825157;  // 1/1.6449
  static constexpr double SIGMA_TO_LE90 = 1.6449;
  static constexpr double SEMI_MAJOR_AXIS = 6378137.0;         // WGS 84, metres
  static constexpr double flattening = 0.0033528106647474805;  // 1/298.257223563
  static const double SEMI_MINOR_AXIS;                         // a (1 - f), metres
  static constexpr double e2 = 0.0066943799901413165;
  static constexpr double FT_PER_M = 3.280839895013123;
  static constexpr double M2FT = 3.280839895013123;
  static constexpr double M_PER_FT = 0.3048;
  static constexpr double aFt = 20925646.325459316;  // semi-major axis, feet
  static const double bFt;                           // semi-minor axis, feet
  static constexpr double LARGE = 999.9;
  static constexpr double DZA_MAX = 1e-06;
  static constexpr double DLAT_MAX = 1e-14;

  // ---- Members --------------------------------------------------------------
  std::string elevationFormat;     // "1.7" (form 1 segments), "1.12" (form 2), "" (none)
  std::string imageDateTime;       // IDATIM, CCYYMMDDhhmmss
  double elevationAngle = -999.0;  // radians, recorded by getGSD
  // Direction from the ground toward the sensor at the image centre, radians
  // (azimuth clockwise from north, elevation above the horizon). Read by
  // getVectorToSensor (the one-image top-to-shadow measurement). The build
  // derives them from the camera model itself: the line of sight at the chip
  // centre, from the linearisation of calculateA_B_F_az_el at the ground point
  // of that pixel at HEIGHT_OFF. They stay 0 when that solution fails. An
  // application that knows better sets them with setSensorAzimuth and
  // setSensorElevation.
  double sensorAzimuth = 0;
  double sensorElevation = 0;
  double gsd = -999.0;                // metres per full-image pixel
  double ERR_BIAS = 0, ERR_RAND = 0;  // metres
  double LINE_OFF = 0, SAMP_OFF = 0, LAT_OFF = 0, LONG_OFF = 0, HEIGHT_OFF = 0;
  double LINE_SCALE = 0, SAMP_SCALE = 0, LAT_SCALE = 0, LONG_SCALE = 0, HEIGHT_SCALE = 0;
  RowVector LINE_NUM_COEFF, LINE_DEN_COEFF, SAMP_NUM_COEFF, SAMP_DEN_COEFF;  // 20 each
  RowVector originGeodetic;  // (LONG_OFF, LAT_OFF radians, HEIGHT_OFF feet)
  RowVector originECEF;      // ECEF of originGeodetic, feet
  std::vector<ElevationSegmentData> elevationSegments;
  int blockColumn = 1;
  int blockRow = 1;
  zel::Quad fullQuad;  // chip corners in full-image pixels
  zel::Quad chipQuad;  // the same corners in chip pixels
  int height = 0;      // NROWS
  int width = 0;       // NCOLS
  bool isInitialized = false;
  double sunAzimuth = 0;    // degrees, last getVectorToSun
  double sunElevation = 0;  // degrees, last getVectorToSun

  // ---- Construction (TAVConstruction.cpp) -------------------------------------

  // Builds from a product file. `fullRead` false scans the product
  // (TAVReader: the last image carrying both RPC00B and ICHIPB); true reads
  // the whole file with NITF and takes the records of the first image
  // (TAVCompleteReading.cpp).
  TAV(const char* path, bool fullRead);
  // Builds from a reader at the first byte of a product; the reader stays the
  // caller's.
  explicit TAV(DataReader* reader);
  TAV(const TAV& other);
  TAV& operator=(const TAV&) = delete;
  ~TAV();

  // initialize(stat.rpc00b, stat.ichipb, stat.elevations, rows, columns, dateTime).
  void initialize(TAVReader::NITFStat stat);
  // The build. Takes ownership of `rpc`, `chip` and the `data` array of every
  // elevation, and releases them all before it returns, whatever happens. A
  // segment whose payload cannot be inflated stops the build, leaving the
  // model uninitialised.
  void initialize(RPC00B* rpc, ICHIPB* chip, std::vector<TAVReader::TAVElevation> elevations,
                  int rows, int columns, std::string dateTime);
  // fullQuad / chipQuad from the FI / OP corners of `chip` (all zeros for null).
  void readFullQuad(ICHIPB* chip);
  void readChipQuad(ICHIPB* chip);
  bool getIsInitialized() const { return isInitialized; }

  // ---- Chip <-> full-image mapping (TAVChipMapping.cpp) ---------------------

  // The bilinear transform c0..c7 carrying each `source` corner onto the
  // `target` corner of the same name: x' = c0 x + c1 y + c2 x y + c3,
  // y' = c4 x + c5 y + c6 x y + c7. The matrix library's exception passes
  // (a singular corner set).
  std::vector<double> generateTransformMap(zel::Quad target, zel::Quad source);
  // (x', y', 0) of `p` under `coeffs`.
  zel::PixelCoordinate mapCoordinate(zel::PixelCoordinate p, std::vector<double> coeffs);
  // Chip pixels to full-image pixels and back. The transforms are solved once
  // per corner set and reused. With a singular corner set (no ICHIPB, a
  // degenerate chip) every call writes the matrix library's error text and a
  // line end to the standard output and answers (0, 0, 0).
  zel::PixelCoordinate chip2full(zel::PixelCoordinate p);
  zel::PixelCoordinate full2chip(zel::PixelCoordinate p);

  // ---- Ground to image (TAVGroundToImage.cpp) -------------------------------

  // Ground point (latitude, longitude degrees, elevation metres above the
  // ellipsoid) to chip pixels. No heap allocation.
  zel::PixelCoordinate groundToImage(zel::DecimalCoordinate ground);
  // The same in full-image pixels (x = sample, y = line), before full2chip.
  zel::PixelCoordinate groundToFullImage(const zel::DecimalCoordinate& ground) const;
  // ECEF (X, Y, Z) metres to chip pixels.
  zel::PixelCoordinate ecefGroundToImage(RowVector ecef);
  // ECEF metres of a ground point (degrees, metres).
  RowVector calcECEF(zel::DecimalCoordinate ground);
  // Unit ellipsoid normal in ECEF at a ground point.
  RowVector getUpVector(zel::DecimalCoordinate ground);
  // Jacobian of (latitude, longitude, height) by ECEF (X, Y, Z) metres, row
  // by row into partials[9], at latitude/longitude in radians, height metres.
  void computeWGS84PartialDerivs(double latitude, double longitude, double height,
                                 double* partials) const;
  // Derivatives of num(T)/den(T) with respect to normalised L, P, H.
  static void rpcDerivatives(const RowVector& num, const RowVector& den, double L, double P,
                             double H, double& dL, double& dP, double& dH);
  // d line/dX, dY, dZ, d sample/dX, dY, dZ at an ECEF point (metres), in
  // full-image pixels per metre.
  std::vector<double> computeGroundPartials(const RowVector& ecef) const;
  // a - b brought into [-pi, pi] (one correction each way), radians.
  static double deltaAngle(double a, double b);

  // ---- Elevation lookup (TAVElevation.cpp) ----------------------------------

  // Elevation in metres at a chip pixel.
  double getElevation(zel::PixelCoordinate chipPixel);
  // Fills result.elevation and result.elevationSigma (and, for the moment,
  // latitude/longitude with the chip line/sample) at a full-image pixel.
  void getElevation(zel::PixelCoordinate fullPixel, I2GResult& result);
  // Inverse-distance weighting of the nearest post in each quadrant around
  // (line, sample) in chip pixels, within `searchRadius` pixels (0: each
  // segment's own radius). Returns (elevation, LE90) in metres. The posts are
  // found through a grid index of each segment (built on first use); the
  // answer is that of scanning every post in segment order.
  std::vector<double> IDW_Interpolation(std::vector<ElevationSegmentData>& segments, double line,
                                        double sample, int postCount, double searchRadius);
  // Inserts before the first record of strictly greater distance.
  void savePostSorted(std::vector<PostRec>& posts, double distance, double weight,
                      ElevationPoint& post, DataSource::DataSource& source);
  // Post spacing of a DTED level in pixels at the model's gsd.
  double getApproximateDTEDPostSpacing(ElevationSegmentData& segment);
  static double toFeet(double metres) { return metres * FT_PER_M; }
  static double toMeters(double feet) { return feet * M_PER_FT; }

  // ---- Image to ground (TAVImageToGround.cpp) --------------------------------

  // Chip pixel to ground with the elevation from the posts (or `height`
  // metres when `overrideHeight`). Throws `BaseException*` on an elevation
  // lookup failure, on "Cannot calculate CE: Matrix is not positive definite",
  // and, where the weighted solution does not converge within its ten
  // iterations, with "Image to ground solution did not converge".
  I2GResult I2G(zel::PixelCoordinate chipPixel);
  I2GResult I2GOverrideHeight(zel::PixelCoordinate chipPixel, bool overrideHeight, double height);
  // (latitude, longitude degrees, elevation metres, CE90, LE90 metres).
  zel::ErrorCoordinate imageToGround(zel::PixelCoordinate chipPixel);
  zel::ErrorCoordinate imageToGroundOverrideHeight(zel::PixelCoordinate chipPixel,
                                                   bool overrideHeight, double height);
  // ECEF metres of imageToGround / imageToGroundOverrideHeight(pixel, true, height).
  RowVector toECEF(zel::PixelCoordinate chipPixel);
  RowVector toECEF(zel::PixelCoordinate chipPixel, double height);
  // Weighted solution at full-image (line, sample) on the ellipsoid raised by
  // `height` metres. Writes X, Y, Z (metres) and the 3 x 3 ECEF covariance
  // (square metres) and returns true only when it converged within the first
  // nine iterations; otherwise the outputs are untouched and it returns false.
  bool calcGroundPoint(double line, double sample, Matrix imageCovariance, double height,
                       double heightSigma, double& X, double& Y, double& Z, Matrix& covariance,
                       double solverParameter);
  // Unweighted solution (15 iterations). Writes X, Y, Z (metres) and the
  // sensor elevation angle (radians) and returns true only on convergence.
  bool calcGroundPointNoProp(zel::PixelCoordinate fullPixel, double height, double& X, double& Y,
                             double& Z, double& sensorElevationAngle, double solverParameter);
  // The condition equations linearised at `estimate` (ECEF feet), for
  // full-image (line, sample) and `height` feet; azimuth and elevation of the
  // line of sight toward the sensor, radians.
  void calculateA_B_F_az_el(double line, double sample, double height, RowVector estimate,
                            Matrix& A, Matrix& B, RowVector& F, double& azimuth, double& elevation);
  // Observation covariance: normalised line, sample, height in feet.
  Matrix calculateP(Matrix imageCovariance, double heightSigma);

  // ---- Ground sample distance (TAVGSD.cpp) ------------------------------------

  // Metres per full-image pixel around the camera model's centre at
  // HEIGHT_OFF; sets elevationAngle.
  double getGSD();

  // ---- Height mensuration (TAVMensuration.cpp) -------------------------------

  // The fields of imageDateTime (CCYYMMDDhhmmss). A field starting beyond
  // the end of the text throws std::out_of_range.
  void parseDateString(int& year, int& month, int& day, int& hour, int& minute, int& second);
  // Unit ECEF direction from `ground` toward azimuth/elevation (degrees).
  RowVector getVectorFromGroundToObject(zel::ErrorCoordinate& ground, const double& azimuth,
                                        const double& elevation);
  // Toward the sensor (sensorAzimuth, sensorElevation).
  RowVector getVectorToSensor(zel::ErrorCoordinate& ground);
  // Toward the sun at the image time; sets sunAzimuth and sunElevation.
  RowVector getVectorToSun(zel::ErrorCoordinate& ground);
  // The line of sight (ECEF metres) of a full-image pixel, near the ellipsoid
  // raised by ground.elev.
  zel::ECEFRay getImagingLocus(zel::PixelCoordinate& fullPixel, zel::DecimalCoordinate& ground,
                               double tolerance, double& convergence);
  double getHeightOffsetBaseToTop(zel::PixelCoordinate base, zel::PixelCoordinate top);
  double getHeightOffsetBaseToTop(zel::PixelCoordinate base, TAV* other, zel::PixelCoordinate top);
  double getHeightOffsetBaseToShadowTip(zel::PixelCoordinate base, zel::PixelCoordinate shadow);
  double getHeightOffsetBaseToShadowTip(zel::PixelCoordinate base, TAV* other,
                                        zel::PixelCoordinate shadow);
  // Latitude and longitude of the object's top, its height in elev.
  zel::DecimalCoordinate getHeightOffsetTopToShadowTip(zel::PixelCoordinate top,
                                                       zel::PixelCoordinate shadow);
  zel::DecimalCoordinate getHeightOffsetTopToShadowTip(zel::PixelCoordinate top, TAV* other,
                                                       zel::PixelCoordinate shadow);
  // ---- Entry points (TAVEntryPoints.cpp) --------------------------------------
  // True when the file at `path` is NITF 2.1 and holds an elevation segment
  // ("DORARI" or "TAV001"); the camera-model records are not required.
  static bool isTAV(const char* path);
  // True when a data extension segment of `file` (already read) has DESID
  // "DORARI" or "TAV001" (white space at both ends ignored).
  static bool testForTAV(const NITF* file);
  // The NCOLS and NROWS of the image the model was built from (0 before a build).
  int getWidth() const { return width; }
  int getHeight() const { return height; }
  int getElevationSegmentDataCount() const { return static_cast<int>(elevationSegments.size()); }
  // Segment `index` (from 0) inside the model, valid while the model lives;
  // null for an index outside 0 .. getElevationSegmentDataCount() - 1.
  ElevationSegmentData* getElevationSegmentData(int index);

  // Radians.
  void setSensorAzimuth(double radians) { sensorAzimuth = radians; }
  void setSensorElevation(double radians) { sensorElevation = radians; }

 private:
  // A chip mapping solved for one pair of quads.
  struct Direction {
    bool singular = false;  // the corner system could not be inverted
    std::string message;    // what to print then
    std::array<double, 8> coefficients{};
  };
  struct ChipTransform {
    bool solved = false;   // false until the first use
    zel::Quad chip, full;  // the quads it was solved for
    Direction chipToFull, fullToChip;
  };
  ChipTransform transform;

  void resetMembers();
  void buildFromReader(DataReader* reader);
  void buildFromCompleteReading(const char* path);
  void computeOrigin();
  void deriveSensorDirection();
  const ChipTransform& chipTransform();
  void solveDirection(const zel::Quad& target, const zel::Quad& source, Direction& direction);
  zel::PixelCoordinate applyChipMapping(const zel::PixelCoordinate& p, bool toFull);
};

// Image to ground in one call: builds TAV(path, true), answers I2G(pixel)
// (chip pixel) as latitude and longitude in degrees and the elevation used,
// in metres above the ellipsoid, and releases the model. Throws
// BaseException* when the path gives no initialised model, and lets the
// failures of I2G pass.
zel::DecimalCoordinate ImageToGround(zel::PixelCoordinate pixel, std::string path);

// A remote lookup that gives no result: always an empty string.
std::string GetTAVRemote(double latitude, double longitude, std::string name);

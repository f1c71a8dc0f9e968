#include <gtest/gtest.h>

#include <cmath>

#include "geometry/DecimalCoordinate.h"

namespace {

struct GeodesicCase {
  double lat1, lon1, lat2, lon2;
  double metres;
};

// WGS 84 geodesic distances from GeographicLib:
//   echo "lat1 lon1 lat2 lon2" | GeodSolve -i -p 6   (third column, s12)
const GeodesicCase NOT_ANTIPODAL[] = {
    {0, 0, 0, 1, 111319.490793},
    {0, 0, 1, 0, 110574.388558},
    {45, -75, 45.0001, -75.0001, 13.626109},
    {0.0001, 0, -0.0001, 0.0002, 31.380694},
    {10, 20, 10.5, 20.5, 77840.474369},
    {1, 1, -1, -1, 313799.136583},
    {-45, 170, -44, -170, 1590410.120778},  // across the antimeridian
    {0, -179.5, 0, 179.5, 111319.490793},
    {80, 0, 80, 180, 2233651.714752},  // over the pole
    {40.7128, -74.0060, 51.5074, -0.1278, 5585233.578931},
    {-33.8688, 151.2093, 35.6762, 139.6503, 7792174.827115},
    {-12.0464, -77.0428, 64.1466, -21.9426, 9632416.931518},
    {55.7558, 37.6173, -22.9068, -43.1729, 11528079.908434},
    {37.7749, -122.4194, -37.8136, 144.9631, 12644856.197255},
    {5, 0, -5, 150, 16710572.701337},
    {30, -100, -30, 70, 19064552.030034},
    {0, 0, 0, 179, 19926188.851996},
    {89.9, 0, -89.9, 10, 19981677.669672},
    {-89.99, 45, 89.99, 44, 20001697.664094},
};

// Nearly antipodal pairs, where the iteration does not converge and stops at
// its cap.
const GeodesicCase NEARLY_ANTIPODAL[] = {
    {0, 0, 0, 180, 20003931.458625},      {10, 20, -10, -160, 20003931.458625},
    {0, 0, 0, 179.8, 20000239.437725},    {0, 0, 0.5, 179.7, 19944127.420750},
    {-30, 0, 30, 179.9, 20003008.421509},
};

}  // namespace

TEST(GeodesicDistance, AgreesWithGeographicLibToAMillimetre) {
  for (const GeodesicCase& c : NOT_ANTIPODAL) {
    SCOPED_TRACE(testing::Message() << c.lat1 << " " << c.lon1 << " " << c.lat2 << " " << c.lon2);
    EXPECT_NEAR(zel::DecimalCoordinate::distance(c.lat1, c.lon1, c.lat2, c.lon2), c.metres, 0.001);
    // Symmetric, and the same through the member form.
    EXPECT_NEAR(zel::DecimalCoordinate::distance(c.lat2, c.lon2, c.lat1, c.lon1), c.metres, 0.001);
    zel::DecimalCoordinate from(c.lat1, c.lon1), to(c.lat2, c.lon2);
    EXPECT_NEAR(from.distance(&to), c.metres, 0.001);
  }
}

TEST(GeodesicDistance, NearlyAntipodalPairsReturn) {
  for (const GeodesicCase& c : NEARLY_ANTIPODAL) {
    SCOPED_TRACE(testing::Message() << c.lat1 << " " << c.lon1 << " " << c.lat2 << " " << c.lon2);
    const double d = zel::DecimalCoordinate::distance(c.lat1, c.lon1, c.lat2, c.lon2);
    ASSERT_TRUE(std::isfinite(d));
    EXPECT_NEAR(d, c.metres, 0.01 * c.metres);
  }
}

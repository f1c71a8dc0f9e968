#pragma once

namespace zel {
namespace Resources {

// Size in bytes of the built-in EGM96 15-minute undulation grid.
constexpr unsigned int WW15MGH_length = 2076480;

// The EGM96 15-minute geoid undulation grid in the layout of the published
// WW15MGH.DAC file: 721 rows x 1440 columns of big-endian int16 undulations
// (geoid height above the WGS 84 ellipsoid) in centimetres; row r at latitude
// 90 - r/4 degrees (row 0 at the north pole), column c at longitude c/4
// degrees east (0 to 359.75). Read-only; built into the library from PROJ's
// egm96_15.gtx (proj-data) at build time. Pass it with WW15MGH_length to
// RandomAccessGeoid.
extern const unsigned char WW15MGH_DAC[WW15MGH_length];

}  // namespace Resources
}  // namespace zel

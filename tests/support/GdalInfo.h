#pragma once
// Metadata that GDAL reports for a file (gdalinfo -mdd all), as an
// independent reading of NITF files.
#include <map>
#include <string>

namespace testsupport {

// Domain ("" for the default domain, "TRE", "NITF_METADATA", ...) to key to
// value, as `gdalinfo -mdd all <dataset>` prints them. Empty when gdalinfo is
// missing or cannot open the dataset. `dataset` may be a path or a GDAL
// subdataset name such as "NITF_IM:1:/path/file.ntf".
std::map<std::string, std::map<std::string, std::string>> gdalMetadata(const std::string& dataset);

// `text` without trailing blanks.
std::string rightTrimmed(const std::string& text);

}  // namespace testsupport

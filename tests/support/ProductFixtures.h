#pragma once
// Small product files for tests: a NITF 2.1 file whose image carries RPC00B
// and ICHIPB records and one "DORARI" elevation segment.
#include <string>

#include "support/NitfBuilder.h"

namespace testsupport {

// A 1041-character RPC00B text with line offset 500, sample offset 600 and
// plain coefficients (line = latitude, sample = longitude).
std::string rpc00bText();
// An 81-character DESSHF of the TAV001 form.
std::string form2Desshf(const std::string& compression = "GZ");
NitfFile minimalProduct();

}  // namespace testsupport

#pragma once
// Product files with known truth for the sensor-model tests and benchmarks:
// a product of the product kit assembled into NITF bytes.
#include <memory>
#include <string>

#include "productkit/SyntheticProduct.h"

class TAV;

namespace testsupport {

using SceneOptions = productkit::ProductOptions;

struct SyntheticProduct : productkit::Product {
  std::string bytes;  // the NITF file
};

SyntheticProduct makeSyntheticProduct(const SceneOptions& options);

// A model built from the product's bytes through the product scanner.
std::unique_ptr<TAV> buildModel(const std::string& bytes);

}  // namespace testsupport

#pragma once
// Opening a product for the geolocation subcommands.
#include <memory>
#include <string>

#include "geometry/PixelCoordinate.h"
#include "model/TAV.h"

namespace cli {

// The sensor model of the product at `path` (`fullRead`: through the
// complete NITF reading instead of the product scanner). Fails with one
// clear line when the file is missing, not NITF, or not a product.
std::unique_ptr<TAV> openProduct(const std::string& path, bool fullRead);

// Fails when `pixel` (chip pixels) lies outside the model's image.
void requireInsideImage(TAV& model, const zel::PixelCoordinate& pixel);

}  // namespace cli

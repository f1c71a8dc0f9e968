#include "support/GdalInfo.h"

#include <sstream>

#include "support/TestPaths.h"

namespace testsupport {

std::map<std::string, std::map<std::string, std::string>> gdalMetadata(const std::string& dataset) {
  std::map<std::string, std::map<std::string, std::string>> domains;
  if (!haveCommand("gdalinfo")) return domains;
  std::istringstream out(runCommand("gdalinfo -mdd all '" + dataset + "' 2>/dev/null"));
  std::string line;
  std::string domain;
  bool inside = false;
  while (std::getline(out, line)) {
    if (line.rfind("Metadata", 0) == 0 && !line.empty() && line.back() == ':') {
      const size_t open = line.find('(');
      const size_t close = line.find(')');
      domain = open != std::string::npos && close != std::string::npos
                   ? line.substr(open + 1, close - open - 1)
                   : std::string();
      inside = true;
      continue;
    }
    if (!inside) continue;
    if (line.rfind("  ", 0) != 0) {
      inside = false;
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    domains[domain][line.substr(2, equals - 2)] = line.substr(equals + 1);
  }
  return domains;
}

std::string rightTrimmed(const std::string& text) {
  const size_t last = text.find_last_not_of(' ');
  return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

}  // namespace testsupport

#include "StringDataReader.h"

#include <utility>

namespace {

std::string upToFirstNul(std::string text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

}  // namespace

StringDataReader::StringDataReader(std::string text)
    : MemoryDataReader(upToFirstNul(std::move(text))) {}

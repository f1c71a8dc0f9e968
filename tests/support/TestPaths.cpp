#include "support/TestPaths.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

std::string sourcePath(const std::string& relative) {
  return std::string(VUZIZA_SOURCE_DIR) + "/" + relative;
}

std::string corpusPath(const std::string& fileName) {
  return std::string(VUZIZA_CORPUS_DIR) + "/" + fileName;
}

std::vector<std::string> corpusFiles() {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(VUZIZA_CORPUS_DIR, error)) {
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    if (extension == ".ntf" || extension == ".nsf") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string scratchPath(const std::string& name) {
  // One folder per test process: ctest runs tests of the same program in
  // parallel, and they must not write each other's files.
  static const fs::path dir = [] {
    fs::path folder = fs::temp_directory_path() / "vuziza-tests" / std::to_string(getpid());
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
  }();
  return (dir / name).string();
}

std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool haveCommand(const std::string& command) {
  return std::system(("command -v " + command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string runCommand(const std::string& command) {
  std::string output;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return output;
  std::array<char, 4096> buffer{};
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
    output.append(buffer.data(), n);
  return output;
}

}  // namespace testsupport

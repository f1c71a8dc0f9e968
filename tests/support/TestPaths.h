#pragma once
// Where the tests find their fixtures.
#include <string>
#include <vector>

namespace testsupport {

// The source checkout (for data/ fixtures).
std::string sourcePath(const std::string& relative);
// The shared corpus of real NITF files written by other software.
std::string corpusPath(const std::string& fileName);
// Every file of the corpus (NITF, NSIF), sorted by name.
std::vector<std::string> corpusFiles();
// A path in a scratch folder of this test process (emptied when first used).
std::string scratchPath(const std::string& name);
// Whole contents of a file, or empty when it cannot be read.
std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& bytes);
// True when an external command (gdalinfo, cs2cs, ...) is on PATH.
bool haveCommand(const std::string& command);
// Runs a shell command and returns its standard output.
std::string runCommand(const std::string& command);

}  // namespace testsupport

#pragma once
// The subcommands of the vuziza tool; each takes the words after its name and
// returns the process exit status.
#include <string>
#include <vector>

namespace cli {

int infoCommand(const std::vector<std::string>& words);
int imageToGroundCommand(const std::vector<std::string>& words);
int groundToImageCommand(const std::vector<std::string>& words);
int heightCommand(const std::vector<std::string>& words);
int chipCommand(const std::vector<std::string>& words);
int quicklookCommand(const std::vector<std::string>& words);
int makeProductCommand(const std::vector<std::string>& words);

}  // namespace cli

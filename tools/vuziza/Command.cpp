#include "Command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "geodesy/Newmat.h"

namespace cli {

Arguments::Arguments(const std::vector<std::string>& words, const std::vector<std::string>& flags,
                     const std::map<std::string, int>& valued) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    const bool looksLikeOption = word.size() > 2 && word.compare(0, 2, "--") == 0;
    if (!looksLikeOption) {
      positional_.push_back(word);
      continue;
    }
    const std::string name = word.substr(2);
    if (std::find(flags.begin(), flags.end(), name) != flags.end()) {
      options_[name];
      continue;
    }
    const auto found = valued.find(name);
    if (found == valued.end()) throw UsageError("unknown option " + word);
    if (i + found->second >= words.size())
      throw UsageError(word + " needs " + std::to_string(found->second) + " value(s)");
    std::vector<std::string>& values = options_[name];
    values.assign(words.begin() + static_cast<long>(i) + 1,
                  words.begin() + static_cast<long>(i) + 1 + found->second);
    i += static_cast<size_t>(found->second);
  }
}

bool Arguments::has(const std::string& option) const { return options_.count(option) > 0; }

const std::vector<std::string>& Arguments::values(const std::string& option) const {
  static const std::vector<std::string> none;
  const auto found = options_.find(option);
  return found == options_.end() ? none : found->second;
}

double parseNumber(const std::string& text, const std::string& what) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end == nullptr || *end != '\0' || !std::isfinite(value))
    throw UsageError(what + " is not a number: \"" + text + "\"");
  return value;
}

int parseInteger(const std::string& text, const std::string& what) {
  const double value = parseNumber(text, what);
  if (value != std::floor(value) || std::fabs(value) > 1e9)
    throw UsageError(what + " is not a whole number: \"" + text + "\"");
  return static_cast<int>(value);
}

void requireReadableFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError("cannot open " + path);
}

std::string libraryErrorText() {
  const char* raw = BaseException::what();
  std::istringstream lines(raw ? raw : "");
  std::string line, text;
  while (std::getline(lines, line)) {
    if (line.empty() || line == "An exception has been thrown") {
      if (!text.empty() && line.empty()) break;
      continue;
    }
    const std::string prefix = "Runtime error:- ";
    if (line.compare(0, prefix.size(), prefix) == 0) line = line.substr(prefix.size());
    text += (text.empty() ? "" : " ") + line;
  }
  return text.empty() ? "the matrix library failed" : text;
}

int runReporting(const std::string& command, const std::function<void()>& body) {
  try {
    body();
    return 0;
  } catch (const UsageError& error) {
    std::cerr << "vuziza " << command << ": " << error.what() << "\n";
  } catch (BaseException* error) {
    delete error;
    std::cerr << "vuziza " << command << ": " << libraryErrorText() << "\n";
  } catch (const BaseException&) {
    std::cerr << "vuziza " << command << ": " << libraryErrorText() << "\n";
  } catch (const std::exception& error) {
    std::cerr << "vuziza " << command << ": " << error.what() << "\n";
  } catch (...) {
    std::cerr << "vuziza " << command << ": unexpected failure\n";
  }
  return 1;
}

namespace {

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "nan";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

Report& Report::add(const std::string& key, double value, int decimals) {
  const std::string plain = fixed(value, decimals);
  entries_.push_back({key, plain, std::isfinite(value) ? plain : "null", {}, false, false});
  return *this;
}

Report& Report::add(const std::string& key, int value) {
  entries_.push_back({key, std::to_string(value), std::to_string(value), {}, false, false});
  return *this;
}

Report& Report::add(const std::string& key, const std::string& value) {
  entries_.push_back({key, value, jsonString(value), {}, false, false});
  return *this;
}

Report& Report::add(const std::string& key, bool value) {
  const char* text = value ? "true" : "false";
  entries_.push_back({key, value ? "yes" : "no", text, {}, false, false});
  return *this;
}

Report& Report::add(const std::string& key, const Report& nested) {
  entries_.push_back({key, "", "", {nested}, true, false});
  return *this;
}

Report& Report::add(const std::string& key, const std::vector<Report>& list) {
  entries_.push_back({key, "", "", list, false, true});
  return *this;
}

std::string Report::text(int indent) const {
  std::string out;
  const std::string pad(static_cast<size_t>(indent), ' ');
  for (const Entry& entry : entries_) {
    if (entry.isObject) {
      out += pad + entry.key + ":\n" + entry.children[0].text(indent + 2);
    } else if (entry.isList) {
      for (size_t i = 0; i < entry.children.size(); ++i)
        out += pad + entry.key + " " + std::to_string(i + 1) + ":\n" +
               entry.children[i].text(indent + 2);
    } else {
      out += pad + entry.key + ": " + entry.plain + "\n";
    }
  }
  return out;
}

std::string Report::json() const {
  std::string out = "{";
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    out += (i ? ", " : "") + jsonString(entry.key) + ": ";
    if (entry.isObject) {
      out += entry.children[0].json();
    } else if (entry.isList) {
      out += "[";
      for (size_t j = 0; j < entry.children.size(); ++j)
        out += (j ? ", " : "") + entry.children[j].json();
      out += "]";
    } else {
      out += entry.encoded;
    }
  }
  return out + "}";
}

void Report::print() const { std::cout << (json_ ? json() + "\n" : text()); }

std::vector<std::vector<std::string>> readInputLines() {
  std::vector<std::vector<std::string>> lines;
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::vector<std::string> fields;
    std::string word;
    while (words >> word) fields.push_back(word);
    if (!fields.empty()) lines.push_back(fields);
  }
  return lines;
}

}  // namespace cli

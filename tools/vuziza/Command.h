#pragma once
// The pieces every subcommand of the vuziza tool shares: its arguments, how
// it reports, and how it turns library failures into one line of text.
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// A failure to report on standard error as one line; the tool exits with 1.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Command-line arguments of one subcommand: positional words and --options.
class Arguments {
 public:
  // `flags` take no value; `valued` take one or more values (the count given).
  Arguments(const std::vector<std::string>& words, const std::vector<std::string>& flags,
            const std::map<std::string, int>& valued);

  const std::vector<std::string>& positional() const { return positional_; }
  bool has(const std::string& option) const;
  // The values of an option given with values; empty when absent.
  const std::vector<std::string>& values(const std::string& option) const;

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::vector<std::string>> options_;
};

// A number from the command line or standard input; `what` names it in the error.
double parseNumber(const std::string& text, const std::string& what);
int parseInteger(const std::string& text, const std::string& what);

// Checks that `path` names a readable file.
void requireReadableFile(const std::string& path);

// The text of a failure the library threw as a matrix-library exception
// (its static message, without the library's preamble and trace).
std::string libraryErrorText();

// Runs `body`, turning every failure into one line on standard error.
// Returns the process exit status.
int runReporting(const std::string& command, const std::function<void()>& body);

// Key/value output in plain text ("key: value" lines) or JSON.
class Report {
 public:
  explicit Report(bool json) : json_(json) {}
  Report& add(const std::string& key, double value, int decimals);
  Report& add(const std::string& key, int value);
  Report& add(const std::string& key, const std::string& value);
  Report& add(const std::string& key, bool value);
  // A nested report (an object in JSON, indented lines in text).
  Report& add(const std::string& key, const Report& nested);
  // A list of nested reports.
  Report& add(const std::string& key, const std::vector<Report>& list);
  std::string text(int indent = 0) const;
  std::string json() const;
  void print() const;

 private:
  struct Entry {
    std::string key;
    std::string plain;    // as printed in text
    std::string encoded;  // as printed in JSON
    std::vector<Report> children;
    bool isObject = false;
    bool isList = false;
  };
  bool json_;
  std::vector<Entry> entries_;
};

// Lines of standard input split into blank-separated words (empty lines skipped).
std::vector<std::vector<std::string>> readInputLines();

}  // namespace cli

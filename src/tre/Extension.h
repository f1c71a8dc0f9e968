#pragma once
#include <string>
#include <utility>

// Base of the typed tagged record extensions (RPC00B, ICHIPB, BLOCKA,
// SENSRB). Keeps the raw values of the record; derived classes set them in
// their constructors and add the decoded fields.
class Extension {
 public:
  std::string tag;   // the record's tag, e.g. "RPC00B"
  std::string text;  // the record's data (CEDATA), without tag and length
  int length = 0;    // the data length (CEL)

  virtual ~Extension() = default;
  // A copy of text.
  virtual std::string getText() { return text; }
  // A copy of tag.
  virtual std::string getTag() { return tag; }
  virtual int getLength() { return length; }
  // A new, independent object of the same class, owned by the caller.
  virtual Extension* copy() = 0;

 protected:
  Extension() = default;
  Extension(std::string tag, int length, std::string text)
      : tag(std::move(tag)), text(std::move(text)), length(length) {}
  Extension(const Extension&) = default;
  Extension& operator=(const Extension&) = default;
};

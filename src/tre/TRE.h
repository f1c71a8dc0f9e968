#pragma once
#include <string>

// A tagged record extension in raw form, as collected from a subheader's
// extension area: CETAG, CEL and CEDATA.
struct TRE {
  std::string tag;   // CETAG, 6 characters
  int length = 0;    // CEL
  std::string text;  // CEDATA, `length` characters
};

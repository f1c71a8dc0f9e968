#pragma once
// Encoders of the elevation payloads that products carry in their data
// extension segments ("DORARI" form 1 and "TAV001" form 2). All multi-byte
// integers are big-endian; post positions are delta-coded from (0, 0).
#include <string>
#include <vector>

namespace productkit {

struct Post {
  int row = 0;               // chip row of the post
  int column = 0;            // chip column
  int elevation = 0;         // stored value before the base elevation is added
  int accuracy = 0;          // 12 bits
  int verticalAccuracy = 0;  // 12 bits
};

// The fields of the 81-character form 2 user-defined subheader (DESSHF).
struct Form2Header {
  std::string headerText1 = "SYNTHETIC TERRAIN";  // 20 characters
  std::string headerText2 = "POSTS";              // 10 characters
  int sourceKind = 1;                             // 2 digits
  int level = 2;                                  // 1 digit
  std::string verticalDatum = "HAE  ";            // 5 characters
  std::string units = "m ";                       // 2 characters
  int postCount = 0;                              // 7 digits
  int baseElevation = 0;                          // 6 digits
  std::string compression = "GZ";                 // 2 characters
  int searchRadius = 50;                          // 5 digits, pixels
  double headerValue = 0;                         // 9 characters
  int headerNumber1 = 0;                          // 5 digits
  int headerNumber2 = 0;                          // 5 digits
};

std::string form2Subheader(const Form2Header& header);
// Records of 9 bytes: 16-bit row and column steps, 16-bit elevation, 12+12-bit accuracies.
std::string form2Records(const std::vector<Post>& posts);
// The 7-byte header (source byte, level, 16-bit base elevation) and 8-byte
// records: 12-bit row and column steps, 16-bit elevation, 12+12-bit accuracies.
std::string form1Payload(int sourceByte, int level, int baseElevation,
                         const std::vector<Post>& posts);

}  // namespace productkit

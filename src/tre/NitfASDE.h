#pragma once
#include <map>
#include <string>
#include <vector>

// One field of a record layout: its name and width in characters.
struct BlockAField {
  std::string name;
  int width = 0;
};

// Airborne support data of an image subheader's extended data (the text after
// IXSHDL and IXSOFL). Only the BLOCKA record is decoded: its four corner
// locations, in decimal degrees (north and east positive). The parsers of the
// other airborne support records are present and do nothing.
//
// Parsing never reads outside the text and never throws: a BLOCKA cut short
// by the end of the text leaves the corners it does not reach NaN.
class NitfASDE {
 public:
  // The corner values, NaN until a BLOCKA sets them: first row first column
  // (upper left), first row last column (upper right), last row last column
  // (lower right), last row first column (lower left); latitude then
  // longitude, degrees.
  double frfcLat;
  double frfcLon;
  double frlcLat;
  double frlcLon;
  double lrlcLat;
  double lrlcLon;
  double lrfcLat;
  double lrfcLon;

  NitfASDE();
  ~NitfASDE() = default;

  // Scans `text` for BLOCKA and takes its corners.
  void parseASDE(std::string text);
  // Uses the first "BLOCKA" record in `text` whose length field reads
  // "00123"; any other text leaves the corners NaN.
  void parseBLOCKA(std::string text);

  // Cuts `text` into consecutive fields of `layout` from character 0 and
  // stores each under its name (overwriting). A field cut by the end of the
  // text keeps the characters present; a field that would start past the end
  // is not stored.
  static void parseExtensionString(const std::string& text, const std::vector<BlockAField>& layout,
                                   std::map<std::string, std::string>& values);
  // Reads a 21-character location, decimal ("+dd.dddddd-ddd.dddddd") or
  // degrees-minutes-seconds ("Nddmmss.ssEdddmmss.ss"), into out[0] latitude
  // and out[1] longitude (degrees, south and west negative). Returns false and
  // leaves `out` untouched when the first character is none of + - N S, or
  // when the text is too short to hold the longitude.
  static bool parseBlockACoordinateString(const std::string& location, double* out);
  // The number at the start of `text` (leading blanks skipped), or 0.0.
  static double string_to_double(const std::string& text);
  // Characters `first` to `last` inclusive of `text` (fewer when the text
  // ends first; empty when it ends before `first`).
  static std::string getCEL(const std::string& text, int first, int last);

  // The BLOCKA layout with its tag and length: 134 characters.
  static std::vector<BlockAField> blockALayout();

  bool isAvailable() const { return available; }

  // Records this parser does not decode: they return at once.
  void parseACFTA(std::string) {}
  void parseACFTB(std::string) {}
  void parseAIMIDA(std::string) {}
  void parseAIMIDB(std::string) {}
  void parseEXPLTA(std::string) {}
  void parseMENSRA(std::string) {}
  void parsePIAIMB(std::string) {}
  void parsePIAIMC(std::string) {}
  void parseSENSRA(std::string) {}
  void computeAzimuthAndElevationAngle() {}

 private:
  bool available = false;
};

// Records not decoded by this library: they return at once.
void parseMENSRA(std::string text);
void parsePIAIMB(std::string text);

#include "productkit/ElevationPayload.h"

#include <cstdio>

namespace productkit {

namespace {

void putByte(std::string& out, int value) { out.push_back(static_cast<char>(value & 0xFF)); }

void putUint16(std::string& out, int value) {
  putByte(out, value >> 8);
  putByte(out, value);
}

// Two 12-bit values in three bytes.
void putTwelveBitPair(std::string& out, int first, int second) {
  putByte(out, first >> 4);
  putByte(out, ((first & 0x0F) << 4) | ((second >> 8) & 0x0F));
  putByte(out, second);
}

std::string padded(const std::string& text, size_t width) {
  std::string field = text.substr(0, width);
  field.resize(width, ' ');
  return field;
}

std::string number(long long value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*lld", width, value);
  return std::string(text).substr(0, static_cast<size_t>(width));
}

}  // namespace

std::string form2Subheader(const Form2Header& h) {
  char value[32];
  std::snprintf(value, sizeof value, "%-9.4f", h.headerValue);
  std::string text = padded(h.headerText1, 20) + padded(h.headerText2, 10) +
                     number(h.sourceKind, 2) + number(h.level, 1) + padded(h.verticalDatum, 5) +
                     padded(h.units, 2) + number(h.postCount, 7) + number(h.baseElevation, 6) +
                     padded(h.compression, 2) + number(h.searchRadius, 5) + padded(value, 9) +
                     number(h.headerNumber1, 5) + number(h.headerNumber2, 5) + "  ";
  return text;
}

std::string form2Records(const std::vector<Post>& posts) {
  std::string out;
  out.reserve(posts.size() * 9);
  int row = 0, column = 0;
  for (const Post& post : posts) {
    putUint16(out, post.row - row);
    putUint16(out, (post.column - column) & 0xFFFF);
    putUint16(out, post.elevation);
    putTwelveBitPair(out, post.accuracy, post.verticalAccuracy);
    row = post.row;
    column = post.column;
  }
  return out;
}

std::string form1Payload(int sourceByte, int level, int baseElevation,
                         const std::vector<Post>& posts) {
  std::string out;
  out.reserve(7 + posts.size() * 8);
  putByte(out, 0);
  putByte(out, sourceByte);
  putByte(out, level);
  putUint16(out, baseElevation);
  putUint16(out, 0);
  int row = 0, column = 0;
  for (const Post& post : posts) {
    putTwelveBitPair(out, post.row - row, (post.column - column) & 0xFFF);
    putUint16(out, post.elevation);
    putTwelveBitPair(out, post.accuracy, post.verticalAccuracy);
    row = post.row;
    column = post.column;
  }
  return out;
}

}  // namespace productkit

#include "ElevationPoint.h"

namespace {

int byteAt(const char* record, int index) { return static_cast<unsigned char>(record[index]); }

int uint16At(const char* record, int index) {
  return (byteAt(record, index) << 8) | byteAt(record, index + 1);
}

// The first of two 12-bit values packed in three bytes.
int firstTwelveBits(const char* record, int index) {
  return (byteAt(record, index) << 4) | (byteAt(record, index + 1) >> 4);
}

// The second of two 12-bit values packed in three bytes.
int secondTwelveBits(const char* record, int index) {
  return ((byteAt(record, index + 1) & 0x0F) << 8) | byteAt(record, index + 2);
}

constexpr int FORM2_RECORD_SIZE = 9;

}  // namespace

ElevationPoint::ElevationPoint(const char* record, int base, int size) {
  if (size == FORM2_RECORD_SIZE) {
    row = uint16At(record, 0);
    column = uint16At(record, 2);
    elevation = uint16At(record, 4) + base;
    accuracy = firstTwelveBits(record, 6);
    verticalAccuracy = secondTwelveBits(record, 6);
  } else {
    row = firstTwelveBits(record, 0);
    column = secondTwelveBits(record, 0);
    elevation = uint16At(record, 3) + 10.0 * base;
    accuracy = firstTwelveBits(record, 5);
    verticalAccuracy = secondTwelveBits(record, 5);
  }
}

ElevationPoint& ElevationPoint::feetToMeters(ElevationPoint& point) {
  point.elevation *= 0.3048;
  point.accuracy *= 0.3048;
  point.verticalAccuracy *= 0.3048;
  return point;
}

ElevationPoint& ElevationPoint::decimetersToMeters(ElevationPoint& point) {
  point.elevation /= 10;
  point.accuracy /= 10;
  point.verticalAccuracy /= 10;
  return point;
}

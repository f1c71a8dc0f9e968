#pragma once
// JPEG streams of NITF image segments (IC "C3"): the byte patterns that
// separate the blocks of a segment, and decoding and encoding with libjpeg
// in memory.
//
// libjpeg reports a coding error through the codec's own error manager,
// which returns to the caller (the operation fails); nothing is printed and
// the process never ends.
#include <cstddef>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

// True when suffixLength <= length and the last suffixLength bytes of `data`
// equal `suffix` (an empty suffix gives true).
bool hasEnding(const unsigned char* data, int length, const unsigned char* suffix,
               int suffixLength);

// The first index at which `pattern` occurs wholly inside data[0, count), or
// -1. An empty pattern is found at 0.
int search(const unsigned char* data, int count, const unsigned char* pattern, int patternLength);

// The destination callbacks of the JPEG encoder: a destination that grows
// in memory (the stream may be longer than the picture it encodes).
void init_buffer(jpeg_compress_struct* cinfo);
boolean empty_buffer(jpeg_compress_struct* cinfo);
void term_buffer(jpeg_compress_struct* cinfo);

class JpegCodec {
 public:
  // Largest decoded picture, in samples, that a single stream may declare.
  static constexpr long long MAX_SAMPLES = 1LL << 30;

  // A baseline stream spends at least two bits per 8 x 8 block of each
  // component, so no stream of n bytes decodes to more than about 768 n
  // samples (one component decoded to three). True when a picture of
  // `samples` can come from `streamBytes` bytes and stays within
  // MAX_SAMPLES: the bound on buffers sized for decoded pictures.
  static bool plausible(long long samples, long long streamBytes) {
    return samples <= MAX_SAMPLES && samples / 1024 <= streamBytes;
  }

  // Where decoded lines go: line m of the picture to
  // out[components x ((y + m) x width + x)], cut to width - x pixels; a line
  // that does not fit in outSize bytes, and every line after it, is dropped.
  struct Placement {
    unsigned char* out = nullptr;
    long long outSize = 0;
    int width = 0;
    int x = 0;
    int y = 0;
  };

  // Decodes the stream data[0, size) with `components` samples per pixel
  // (3: RGB, 1: grayscale). False for a corrupt stream, a picture that cannot
  // be given in that many components, or one wider than maxWidth or higher
  // than maxHeight pixels. Lines decoded before a failure stay placed.
  static bool decode(const unsigned char* data, std::size_t size, int components,
                     const Placement& placement, long long maxWidth, long long maxHeight);

  // Encodes width x height pixels of `components` samples (3: RGB, 1:
  // grayscale), rows width x components bytes apart, as a baseline JPEG
  // stream of the given quality. False for a libjpeg failure (`stream` then
  // undefined).
  static bool encode(const unsigned char* pixels, int width, int height, int components,
                     int quality, std::vector<unsigned char>& stream);
};

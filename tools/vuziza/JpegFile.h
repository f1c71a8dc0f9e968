#pragma once
// Writing 8-bit pictures as JPEG files for the chip and quicklook subcommands.
#include <string>
#include <vector>

namespace cli {

// A picture of width x height pixels, `channels` (1 grey or 3 RGB) bytes each,
// rows top to bottom.
struct Picture {
  int width = 0;
  int height = 0;
  int channels = 1;
  std::vector<unsigned char> pixels;

  Picture() = default;
  Picture(int width, int height, int channels)
      : width(width),
        height(height),
        channels(channels),
        pixels(static_cast<size_t>(width) * height * channels, 255) {}
  unsigned char* at(int x, int y) {
    return pixels.data() + (static_cast<size_t>(y) * width + x) * channels;
  }
};

// Writes `picture` to `path` as a baseline JPEG of the given quality; throws
// UsageError when the file cannot be written.
void writeJpeg(const Picture& picture, const std::string& path, int quality = 90);

}  // namespace cli

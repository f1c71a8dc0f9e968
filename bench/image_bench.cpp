// Reading the pixels of a 10,000 x 10,000 three-band image segment, whole
// and as a 1024 x 1024 chip, uncompressed (IMODE "B", 1024-pixel blocks) and
// JPEG C3 (IMODE "P", 512-pixel blocks), against reading the file's bytes
// with a plain stream. Rates are bytes of pixels delivered per second (the
// reference: bytes of the file read).
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "nitf/FileHeader.h"
#include "nitf/ImageHeader.h"
#include "nitf/JpegBlocks.h"
#include "support/TestPaths.h"

namespace {

constexpr int SIZE = 10000;
constexpr long long PIXEL_BYTES = 3LL * SIZE * SIZE;
constexpr int CHIP = 1024;

// A smooth RGB picture (JPEG codes it as it would a photograph).
unsigned char sample(long long row, long long column, int band) {
  return static_cast<unsigned char>(128 + 60 * std::sin(column / (19.0 + 7 * band)) +
                                    50 * std::cos(row / (29.0 + 5 * band)) +
                                    ((row * 7 + column * 3) & 15));
}

// Writes a one-image file: the subheader of `image` and then `data`.
void writeFile(const std::string& path, ImageHeader& image, const std::string& fieldsAndData,
               long long subheaderLength) {
  FileHeader fileHeader;
  fileHeader.numi = 1;
  fileHeader.lish = new int[1]{static_cast<int>(subheaderLength)};
  fileHeader.li = new long long[1]{static_cast<long long>(fieldsAndData.size()) - subheaderLength};
  std::ostringstream header(std::ios::binary);
  fileHeader.write(&header);
  fileHeader.hl = static_cast<int>(header.str().size());
  fileHeader.fl = fileHeader.hl + static_cast<long long>(fieldsAndData.size());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  fileHeader.write(&out);
  out.write(fieldsAndData.data(), static_cast<std::streamsize>(fieldsAndData.size()));
  (void)image;
}

ImageHeader rgbSubheader(int block, char imode) {
  ImageHeader h;
  h.nrows = h.ncols = SIZE;
  h.irep = "RGB";
  h.nbands = 3;
  h.irepband = {"R", "G", "B"};
  h.isubcat = {"", "", ""};
  h.ifc = {"N", "N", "N"};
  h.imflt = {"", "", ""};
  h.nluts = {0, 0, 0};
  h.nelut = {0, 0, 0};
  h.lutd.assign(3, {});
  h.imode = imode;
  h.nppbh = h.nppbv = block;
  h.nbpr = h.nbpc = (SIZE + block - 1) / block;
  return h;
}

const std::string& uncompressedPath() {
  static const std::string path = [] {
    const std::string p = testsupport::scratchPath("image-bench-nc.ntf");
    ImageHeader h = rgbSubheader(1024, 'B');
    h.imageData = new unsigned char[PIXEL_BYTES];
    h.imageDataSize = PIXEL_BYTES;
    h.bufferWidth = h.bufferHeight = SIZE;
    for (long long r = 0; r < SIZE; ++r) {
      for (long long c = 0; c < SIZE; ++c) {
        for (int b = 0; b < 3; ++b) h.imageData[(r * SIZE + c) * 3 + b] = sample(r, c, b);
      }
    }
    std::ostringstream fields(std::ios::binary);
    h.writeFields(&fields);
    std::ostringstream segment(std::ios::binary);
    h.write(&segment);
    writeFile(p, h, segment.str(), static_cast<long long>(fields.str().size()));
    return p;
  }();
  return path;
}

const std::string& jpegPath() {
  static const std::string path = [] {
    const std::string p = testsupport::scratchPath("image-bench-c3.ntf");
    const int block = 512;
    ImageHeader h = rgbSubheader(block, 'P');
    h.ic = "C3";
    h.comrat = "00.0";
    std::ostringstream fields(std::ios::binary);
    h.writeFields(&fields);
    std::string all = fields.str();
    std::vector<unsigned char> pixels(3 * block * block);
    std::vector<unsigned char> stream;
    for (int i = 0; i < h.nbpc; ++i) {
      for (int j = 0; j < h.nbpr; ++j) {
        for (long long k = 0; k < block; ++k) {
          for (long long l = 0; l < block; ++l) {
            for (int b = 0; b < 3; ++b) {
              pixels[(k * block + l) * 3 + b] = sample(i * block + k, j * block + l, b);
            }
          }
        }
        JpegCodec::encode(pixels.data(), block, block, 3, 75, stream);
        all.append(stream.begin(), stream.end());
      }
    }
    writeFile(p, h, all, static_cast<long long>(fields.str().size()));
    return p;
  }();
  return path;
}

std::unique_ptr<ImageHeader> segment(const std::string& path) {
  FileHeader fileHeader;
  fileHeader.read(path);
  auto h = std::make_unique<ImageHeader>();
  h->read(path, fileHeader, 0);
  return h;
}

// The reference: the file's bytes read with a plain stream into a fresh
// buffer of the pixels' size (as readImage must allocate one per call).
void BM_PlainStreamReadOfTheFile(benchmark::State& state) {
  const std::string& path = uncompressedPath();
  long long total = 0;
  for (auto _ : state) {
    std::unique_ptr<char[]> buffer(new char[PIXEL_BYTES]);
    std::ifstream in(path, std::ios::binary);
    in.read(buffer.get(), PIXEL_BYTES);
    total += in.gcount();
    benchmark::DoNotOptimize(buffer.get());
  }
  state.SetBytesProcessed(total);
}

void readWhole(benchmark::State& state, const std::string& path) {
  std::unique_ptr<ImageHeader> h = segment(path);
  for (auto _ : state) {
    if (!h->readImage()) state.SkipWithError("readImage failed");
    benchmark::DoNotOptimize(h->imageData);
  }
  state.SetBytesProcessed(state.iterations() * PIXEL_BYTES);
}

void readChip(benchmark::State& state, const std::string& path) {
  std::unique_ptr<ImageHeader> h = segment(path);
  // A chip across four blocks of either grid, away from the edges.
  int x = 4700, y = 3300;
  for (auto _ : state) {
    if (!h->readImageChip(x, y, CHIP, CHIP)) state.SkipWithError("readImageChip failed");
    benchmark::DoNotOptimize(h->imageData);
  }
  state.SetBytesProcessed(state.iterations() * 3LL * CHIP * CHIP);
}

void BM_ReadImageUncompressed(benchmark::State& state) { readWhole(state, uncompressedPath()); }
void BM_ReadImageChipUncompressed(benchmark::State& state) { readChip(state, uncompressedPath()); }
void BM_ReadImageJpeg(benchmark::State& state) { readWhole(state, jpegPath()); }
void BM_ReadImageChipJpeg(benchmark::State& state) { readChip(state, jpegPath()); }

BENCHMARK(BM_PlainStreamReadOfTheFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadImageUncompressed)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadImageChipUncompressed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadImageJpeg)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadImageChipJpeg)->Unit(benchmark::kMillisecond);

}  // namespace

#include "JpegFile.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

#include "Command.h"

namespace cli {

namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
};

void leaveOnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

}  // namespace

void writeJpeg(const Picture& picture, const std::string& path, int quality) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) throw UsageError("cannot write " + path);
  jpeg_compress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = leaveOnError;
  if (setjmp(errors.escape)) {
    jpeg_destroy_compress(&info);
    throw UsageError("cannot encode " + path + " as JPEG");
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file.get());
  info.image_width = static_cast<JDIMENSION>(picture.width);
  info.image_height = static_cast<JDIMENSION>(picture.height);
  info.input_components = picture.channels;
  info.in_color_space = picture.channels == 3 ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  const size_t rowBytes = static_cast<size_t>(picture.width) * picture.channels;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(picture.pixels.data() + info.next_scanline * rowBytes);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
}

}  // namespace cli

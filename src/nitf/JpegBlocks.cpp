#include "JpegBlocks.h"

#include <jerror.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>
#include <stdexcept>

bool hasEnding(const unsigned char* data, int length, const unsigned char* suffix,
               int suffixLength) {
  if (suffixLength <= 0) return true;
  if (data == nullptr || suffix == nullptr || suffixLength > length) return false;
  return std::memcmp(data + (length - suffixLength), suffix, static_cast<size_t>(suffixLength)) ==
         0;
}

int search(const unsigned char* data, int count, const unsigned char* pattern, int patternLength) {
  if (patternLength <= 0) return 0;
  if (data == nullptr || pattern == nullptr || count < patternLength) return -1;
  const unsigned char* const last = data + (count - patternLength);
  for (const unsigned char* at = data; at <= last;) {
    const void* hit = std::memchr(at, pattern[0], static_cast<size_t>(last - at) + 1);
    if (hit == nullptr) return -1;
    at = static_cast<const unsigned char*>(hit);
    if (std::memcmp(at, pattern, static_cast<size_t>(patternLength)) == 0) {
      return static_cast<int>(at - data);
    }
    ++at;
  }
  return -1;
}

namespace {

// libjpeg's error manager, made to jump back to the guarded call instead of
// ending the process; messages (warnings included) are not printed.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void printNothing(j_common_ptr) {}

void installErrorManager(ErrorManager& manager, j_common_ptr cinfo) {
  cinfo->err = jpeg_std_error(&manager.pub);
  manager.pub.error_exit = jumpBack;
  manager.pub.output_message = printNothing;
}

// Memory libjpeg may use for whole-image buffers (progressive or multi-scan
// streams); beyond it the stream fails rather than exhausting memory.
const long MAX_LIBJPEG_MEMORY = 256L << 20;

// Runs body(job) with `manager` set to return here: true when the body
// completed, false when libjpeg raised an error. The body and everything it
// calls between libjpeg calls hold only trivially destructible objects, so
// jumping over their frames is well defined; the JPEG object is destroyed
// by the caller in both cases.
template <typename Job>
bool guarded(ErrorManager& manager, void (*body)(Job&), Job& job) {
  if (setjmp(manager.jump) != 0) return false;
  body(job);
  return true;
}

struct DecodeJob {
  jpeg_decompress_struct* cinfo;
  const unsigned char* data;
  std::size_t size;
  int components;
  JpegCodec::Placement placement;
  long long maxWidth;
  long long maxHeight;
  bool ok;
};

void decodeBody(DecodeJob& job) {
  jpeg_decompress_struct* cinfo = job.cinfo;
  jpeg_create_decompress(cinfo);
  cinfo->mem->max_memory_to_use = MAX_LIBJPEG_MEMORY;
  jpeg_mem_src(cinfo, job.data, static_cast<unsigned long>(job.size));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return;
  const long long width = cinfo->image_width;
  const long long height = cinfo->image_height;
  if (width < 1 || height < 1 || width > job.maxWidth || height > job.maxHeight ||
      width * height * cinfo->num_components > JpegCodec::MAX_SAMPLES) {
    return;
  }
  cinfo->out_color_space = job.components == 3 ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_start_decompress(cinfo);
  if (cinfo->output_components != job.components) return;

  const JpegCodec::Placement& p = job.placement;
  const long long lineWidth = cinfo->output_width;
  const long long cut = std::min<long long>(lineWidth, static_cast<long long>(p.width) - p.x);
  const long long cutBytes = cut * job.components;
  JSAMPARRAY scratch =
      (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                  static_cast<JDIMENSION>(lineWidth * job.components), 1);
  bool complete = true;
  if (cut <= 0 || p.out == nullptr) {
    complete = false;  // nothing of this picture can be placed
  }
  while (complete && cinfo->output_scanline < cinfo->output_height) {
    const long long m = cinfo->output_scanline;
    const long long offset = static_cast<long long>(job.components) * ((p.y + m) * p.width + p.x);
    if (offset >= 0 && offset > p.outSize - cutBytes) {
      complete = false;  // this line and every later one lie beyond the buffer
      break;
    }
    const bool place = offset >= 0;
    JSAMPROW row = place && cut == lineWidth ? p.out + offset : scratch[0];
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) {
      complete = false;
      break;
    }
    if (place && row == scratch[0]) std::memcpy(p.out + offset, scratch[0], cutBytes);
  }
  if (complete) {
    jpeg_finish_decompress(cinfo);
  } else {
    jpeg_abort_decompress(cinfo);
  }
  job.ok = true;
}

// The encoder's destination: a byte vector that grows as the stream does.
struct GrowableDestination {
  jpeg_destination_mgr pub;
  std::vector<unsigned char>* bytes;
};

const std::size_t INITIAL_DESTINATION = 64 * 1024;

GrowableDestination* destinationOf(jpeg_compress_struct* cinfo) {
  return reinterpret_cast<GrowableDestination*>(cinfo->dest);
}

// Makes the vector at least `size` bytes long; false when memory runs out.
bool growTo(std::vector<unsigned char>& bytes, std::size_t size) {
  try {
    bytes.resize(size);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

struct EncodeJob {
  jpeg_compress_struct* cinfo;
  GrowableDestination* destination;
  const unsigned char* pixels;
  int width;
  int height;
  int components;
  int quality;
};

void encodeBody(EncodeJob& job) {
  jpeg_compress_struct* cinfo = job.cinfo;
  jpeg_create_compress(cinfo);
  job.destination->pub.init_destination = init_buffer;
  job.destination->pub.empty_output_buffer = empty_buffer;
  job.destination->pub.term_destination = term_buffer;
  cinfo->dest = &job.destination->pub;
  cinfo->image_width = static_cast<JDIMENSION>(job.width);
  cinfo->image_height = static_cast<JDIMENSION>(job.height);
  cinfo->input_components = job.components;
  cinfo->in_color_space = job.components == 3 ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, job.quality, TRUE);
  jpeg_start_compress(cinfo, TRUE);
  const std::size_t rowBytes = static_cast<std::size_t>(job.width) * job.components;
  while (cinfo->next_scanline < cinfo->image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(job.pixels + rowBytes * cinfo->next_scanline);
    jpeg_write_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_compress(cinfo);
}

}  // namespace

void init_buffer(jpeg_compress_struct* cinfo) {
  GrowableDestination* destination = destinationOf(cinfo);
  std::vector<unsigned char>& bytes = *destination->bytes;
  if (bytes.size() < INITIAL_DESTINATION && !growTo(bytes, INITIAL_DESTINATION)) {
    cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
    (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
  }
  destination->pub.next_output_byte = bytes.data();
  destination->pub.free_in_buffer = bytes.size();
}

boolean empty_buffer(jpeg_compress_struct* cinfo) {
  // The whole area is full: double it and hand out the new half.
  GrowableDestination* destination = destinationOf(cinfo);
  std::vector<unsigned char>& bytes = *destination->bytes;
  const std::size_t used = bytes.size();
  if (!growTo(bytes, used * 2)) {
    cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
    (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
  }
  destination->pub.next_output_byte = bytes.data() + used;
  destination->pub.free_in_buffer = bytes.size() - used;
  return TRUE;
}

void term_buffer(jpeg_compress_struct* cinfo) {
  // The stream ends where the free part begins.
  GrowableDestination* destination = destinationOf(cinfo);
  std::vector<unsigned char>& bytes = *destination->bytes;
  bytes.resize(bytes.size() - destination->pub.free_in_buffer);
}

bool JpegCodec::decode(const unsigned char* data, std::size_t size, int components,
                       const Placement& placement, long long maxWidth, long long maxHeight) {
  if (data == nullptr || size == 0 || (components != 1 && components != 3)) return false;
  // Fill bytes (FF) may stand before the SOI marker; libjpeg wants it first.
  while (size > 2 && data[0] == 0xFF && data[1] == 0xFF) {
    ++data;
    --size;
  }
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  ErrorManager manager;
  installErrorManager(manager, reinterpret_cast<j_common_ptr>(&cinfo));
  DecodeJob job{&cinfo, data, size, components, placement, maxWidth, maxHeight, false};
  const bool completed = guarded(manager, decodeBody, job);
  jpeg_destroy_decompress(&cinfo);
  return completed && job.ok;
}

bool JpegCodec::encode(const unsigned char* pixels, int width, int height, int components,
                       int quality, std::vector<unsigned char>& stream) {
  if (pixels == nullptr || width < 1 || height < 1 || (components != 1 && components != 3)) {
    return false;
  }
  stream.clear();
  jpeg_compress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  ErrorManager manager;
  installErrorManager(manager, reinterpret_cast<j_common_ptr>(&cinfo));
  GrowableDestination destination;
  std::memset(&destination, 0, sizeof destination);
  destination.bytes = &stream;
  EncodeJob job{&cinfo, &destination, pixels, width, height, components, quality};
  const bool completed = guarded(manager, encodeBody, job);
  jpeg_destroy_compress(&cinfo);
  return completed;
}

#include "JpegWriter.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

#include "DibFormat.h"
#include "RgbRows.h"

namespace {

// libjpeg's standard manager plus the way back into WriteDibAsJpeg.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf back;
  JpegMessageSink sink;
  void* context;
  char last[JMSG_LENGTH_MAX];
};

void OutputMessage(j_common_ptr cinfo) {
  ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  char text[JMSG_LENGTH_MAX] = {};
  (*cinfo->err->format_message)(cinfo, text);
  if (err->sink) err->sink(text, err->context);
}

// Must not return into the library: the compression object is gone once the message is shown.
[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->output_message)(cinfo);
  (*cinfo->err->format_message)(cinfo, err->last);
  jpeg_destroy(cinfo);
  std::longjmp(err->back, 1);
}

}  // namespace

bool WriteDibAsJpeg(const void* dib, int quality, const std::string& path, std::string* error,
                    JpegMessageSink sink, void* context, JpegFileReplacer replace) {
  if (quality < 0 || quality > 100 || !dib) {
    if (error) *error = "Invalid input data";
    return false;
  }
  if (!error) return false;
  if (path.empty()) {
    *error = "Invalid input data";
    return false;
  }
  error->clear();
  const std::string temp = path + ".part";
  const dib::InfoHeader header = dib::ReadInfoHeader(static_cast<const uint8_t*>(dib));

  jpeg_compress_struct cinfo;
  ErrorManager err;
  err.sink = sink;
  err.context = context;
  err.last[0] = '\0';
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.output_message = OutputMessage;
  // Changed after setjmp and read after a jump back: volatile.
  FILE* volatile file = nullptr;
  if (setjmp(err.back)) {
    // ErrorExit has destroyed the compression object already.
    if (file) std::fclose(file);
    std::remove(temp.c_str());
    *error = err.last[0] ? err.last : "JPEG compression failed";
    return false;
  }
  jpeg_create_compress(&cinfo);

  file = std::fopen(temp.c_str(), "wb");
  if (!file) {
    *error = "Cannot open " + path;
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = JDIMENSION(header.width);
  cinfo.image_height = JDIMENSION(header.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);

  const JDIMENSION rowBytes = cinfo.image_width * JDIMENSION(cinfo.input_components);
  JSAMPARRAY rows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                               rowBytes, cinfo.image_height);
  bool filled = FillRgbRows(dib, int(rowBytes), rows, error);
  if (filled) {
    jpeg_write_scanlines(&cinfo, rows, cinfo.image_height);
    jpeg_finish_compress(&cinfo);
  }
  // A close that fails has lost buffered bytes: the file is incomplete.
  const bool closed = std::fclose(file) == 0;
  file = nullptr;
  jpeg_destroy_compress(&cinfo);
  if (filled && !closed) *error = "Cannot write " + path;
  if (error->empty()) {
    const bool moved = replace ? replace(temp.c_str(), path.c_str()) : std::rename(temp.c_str(), path.c_str()) == 0;
    if (moved) return true;
    *error = "Cannot write " + path;
  }
  std::remove(temp.c_str());
  return false;
}

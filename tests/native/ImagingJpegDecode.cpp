#include <cstdio>

#include <jpeglib.h>

#include "ImagingTestSupport.h"

DecodedJpeg DecodeJpegFile(const std::string& path) {
  DecodedJpeg out;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  jpeg_decompress_struct d;
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_stdio_src(&d, f);
  if (jpeg_read_header(&d, TRUE) == JPEG_HEADER_OK) {
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    out.width = int(d.output_width);
    out.height = int(d.output_height);
    out.components = d.out_color_components;
    out.rgb.resize(size_t(out.width) * size_t(out.height) * 3);
    while (d.output_scanline < d.output_height) {
      JSAMPROW row = &out.rgb[size_t(d.output_scanline) * size_t(out.width) * 3];
      jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    out.ok = true;
  }
  jpeg_destroy_decompress(&d);
  std::fclose(f);
  return out;
}


#pragma once
// Test helpers for the image utilities: packed DIBs built pixel by pixel from a picture
// function, and a libjpeg decoder to read back what the exporter wrote. No windows.h, so the
// native and the Windows tests share them.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "DibFormat.h"

struct Rgb {
  uint8_t r, g, b;
};

// An uncompressed 40-byte header; biSizeImage left 0.
inline dib::InfoHeader TestDibHeader(int bits, int width, int height, uint32_t clrUsed = 0) {
  dib::InfoHeader h{};
  h.size = 40;
  h.width = width;
  h.height = height;
  h.planes = 1;
  h.bitCount = uint16_t(bits);
  h.clrUsed = clrUsed;
  return h;
}

// A packed DIB of the given layout. pixel(x, y) gives, for y counted from the top, a colour-table
// index for 1, 4 and 8 bits, a raw 16-bit word for 16 bits, and 0x00RRGGBB for 24 and 32 bits.
inline std::vector<uint8_t> MakeDib(int bits, int width, int height, const std::vector<Rgb>& table,
                                    const std::function<uint32_t(int, int)>& pixel) {
  dib::InfoHeader h = TestDibHeader(bits, width, height);
  const size_t entries = bits <= 8 ? (size_t(1) << bits) : 0;
  const size_t pitch = size_t(dib::RowPitch(width, uint32_t(bits)));
  const size_t rows = height > 0 ? size_t(height) : 0;
  h.sizeImage = uint32_t(pitch * rows);
  std::vector<uint8_t> dib(40 + 4 * entries + pitch * rows, 0);
  dib::WriteInfoHeader(h, dib.data());
  for (size_t i = 0; i < entries && i < table.size(); ++i) {
    dib[40 + 4 * i] = table[i].b;
    dib[40 + 4 * i + 1] = table[i].g;
    dib[40 + 4 * i + 2] = table[i].r;
  }
  uint8_t* pixels = dib.data() + 40 + 4 * entries;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = pixels + size_t(height - 1 - y) * pitch;  // bottom-up
    for (int x = 0; x < width; ++x) {
      const uint32_t v = pixel(x, y);
      switch (bits) {
        case 1: row[x / 8] |= uint8_t((v & 1) << (7 - x % 8)); break;
        case 4: row[x / 2] |= uint8_t((v & 15) << (x % 2 ? 0 : 4)); break;
        case 8: row[x] = uint8_t(v); break;
        case 16: row[2 * x] = uint8_t(v); row[2 * x + 1] = uint8_t(v >> 8); break;
        case 24:
          row[3 * x] = uint8_t(v); row[3 * x + 1] = uint8_t(v >> 8); row[3 * x + 2] = uint8_t(v >> 16);
          break;
        case 32:
          row[4 * x] = uint8_t(v); row[4 * x + 1] = uint8_t(v >> 8); row[4 * x + 2] = uint8_t(v >> 16);
          row[4 * x + 3] = 0xAB;  // ignored byte
          break;
      }
    }
  }
  return dib;
}

struct DecodedJpeg {
  bool ok = false;
  int width = 0;
  int height = 0;
  int components = 0;
  std::vector<uint8_t> rgb;  // top-down, 3 bytes a pixel
  Rgb At(int x, int y) const {
    const uint8_t* p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
    return Rgb{p[0], p[1], p[2]};
  }
};

// Reads a JPEG file into RGB with libjpeg (in its own file: libjpeg's headers and windows.h do
// not mix). ok is false when the file is missing or not a JPEG.
DecodedJpeg DecodeJpegFile(const std::string& path);

inline bool FileExists(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

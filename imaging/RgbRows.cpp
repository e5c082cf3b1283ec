#include "RgbRows.h"

#include "DibFormat.h"

namespace {

uint8_t Expand5(uint32_t c) {
  if (c == 0) return 0;
  if (c == 31) return 255;
  return uint8_t(8 * c + 8);
}


}  // namespace

uint32_t Expand555(uint16_t pixel) {
  return uint32_t(Expand5((pixel >> 10) & 31)) << 16 | uint32_t(Expand5((pixel >> 5) & 31)) << 8 |
         Expand5(pixel & 31);
}

bool FillRgbRows(const void* dib, int lineLength, uint8_t* const* rows, std::string* error) {
  if (!error) return false;
  if (!dib || lineLength <= 0 || !rows) {
    *error = "Invalid input data";
    return false;
  }
  const uint8_t* block = static_cast<const uint8_t*>(dib);
  const dib::InfoHeader h = dib::ReadInfoHeader(block);
  const uint32_t bits = h.bitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    *error = "Invalid bitmap bit count";
    return false;
  }
  const uint8_t* table = block + h.size;
  const uint64_t entries = bits <= 8 ? (uint64_t(1) << bits) : 0;
  const uint8_t* pixels = table + 4 * entries;
  const int64_t width = h.width;
  const int64_t height = h.height;
  const uint64_t pitch = dib::RowPitch(width, bits);

  for (int64_t y = 0; y < height; ++y) {
    const uint8_t* src = pixels + uint64_t(height - 1 - y) * pitch;
    uint8_t* out = rows[y];
    for (int64_t x = 0; x < width; ++x, out += 3) {
      uint32_t index = 0;
      switch (bits) {
        case 1: index = (src[x >> 3] >> (7 - (x & 7))) & 1; break;
        case 4: index = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4); break;
        case 8: index = src[x]; break;
        case 16: {
          const uint32_t rgb = Expand555(uint16_t(src[2 * x] | src[2 * x + 1] << 8));
          out[0] = uint8_t(rgb >> 16);
          out[1] = uint8_t(rgb >> 8);
          out[2] = uint8_t(rgb);
          continue;
        }
        case 24:
          out[0] = src[3 * x + 2];
          out[1] = src[3 * x + 1];
          out[2] = src[3 * x];
          continue;
        case 32:
          out[0] = src[4 * x + 2];
          out[1] = src[4 * x + 1];
          out[2] = src[4 * x];
          continue;
      }
      const uint8_t* entry = table + 4 * index;  // blue, green, red, reserved
      out[0] = entry[2];
      out[1] = entry[1];
      out[2] = entry[0];
    }
  }
  return true;
}

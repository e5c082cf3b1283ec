#include "DibFormat.h"

#include <cstring>

namespace dib {

namespace {
uint32_t Get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void Put32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
// Larger pictures than this are not photos or backgrounds; refusing them keeps every size
// computation far from overflow.
const int64_t kMaxSide = 32768;
}  // namespace

uint32_t ColorCount(uint32_t bitCount, uint32_t clrUsed) {
  if (clrUsed) return clrUsed;
  switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

uint64_t RowPitch(int64_t width, uint32_t bitCount) {
  if (width <= 0 || bitCount == 0) return 0;
  return (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
}

uint64_t ImageSize(int64_t width, int64_t height, uint32_t bitCount) {
  uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
  return RowPitch(width, bitCount) * rows;
}

InfoHeader ReadInfoHeader(const uint8_t* p) {
  InfoHeader h;
  h.size = Get32(p);
  h.width = static_cast<int32_t>(Get32(p + 4));
  h.height = static_cast<int32_t>(Get32(p + 8));
  h.planes = Get16(p + 12);
  h.bitCount = Get16(p + 14);
  h.compression = Get32(p + 16);
  h.sizeImage = Get32(p + 20);
  h.xPelsPerMeter = static_cast<int32_t>(Get32(p + 24));
  h.yPelsPerMeter = static_cast<int32_t>(Get32(p + 28));
  h.clrUsed = Get32(p + 32);
  h.clrImportant = Get32(p + 36);
  return h;
}

void WriteInfoHeader(const InfoHeader& h, uint8_t* p) {
  Put32(p, h.size);
  Put32(p + 4, static_cast<uint32_t>(h.width));
  Put32(p + 8, static_cast<uint32_t>(h.height));
  Put16(p + 12, h.planes);
  Put16(p + 14, h.bitCount);
  Put32(p + 16, h.compression);
  Put32(p + 20, h.sizeImage);
  Put32(p + 24, static_cast<uint32_t>(h.xPelsPerMeter));
  Put32(p + 28, static_cast<uint32_t>(h.yPelsPerMeter));
  Put32(p + 32, h.clrUsed);
  Put32(p + 36, h.clrImportant);
}

void WriteFileHeader(uint64_t blockSize, uint64_t pixelOffsetInBlock, uint8_t out[kFileHeaderSize]) {
  std::memset(out, 0, kFileHeaderSize);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out + 2, static_cast<uint32_t>(kFileHeaderSize + blockSize));
  Put32(out + 10, static_cast<uint32_t>(kFileHeaderSize + pixelOffsetInBlock));
}

BlockCheck CheckBlock(const uint8_t* block, uint64_t length) {
  const BlockCheck refuse{false, 0};
  if (!block || length < kInfoHeaderSize) return refuse;
  InfoHeader h = ReadInfoHeader(block);
  // The 40-byte header and its later, longer versions; not the old 12-byte core header, whose
  // colour table has another layout.
  if (h.size < kInfoHeaderSize || h.size > 124 || h.size > length) return refuse;
  if (h.planes != 1 || h.width <= 0 || h.width > kMaxSide || h.height == 0 || h.height > kMaxSide ||
      h.height < -kMaxSide)
    return refuse;
  switch (h.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return refuse;
  }
  uint64_t tableBytes;
  if (h.compression == kRgb) {
    uint64_t colors = ColorCount(h.bitCount, h.clrUsed);
    if (h.bitCount <= 8 && colors > (1u << h.bitCount)) return refuse;
    if (colors > 65536) return refuse;
    tableBytes = colors * 4;
  } else if (h.compression == kBitfields && (h.bitCount == 16 || h.bitCount == 32)) {
    // Three masks follow a 40-byte header; the longer headers hold them inside.
    tableBytes = h.size == kInfoHeaderSize ? 12 : 0;
  } else {
    return refuse;
  }
  uint64_t pixelOffset = h.size + tableBytes;
  uint64_t image = ImageSize(h.width, h.height, h.bitCount);
  if (pixelOffset > length || image > length - pixelOffset) return refuse;
  return BlockCheck{true, pixelOffset};
}

}  // namespace dib

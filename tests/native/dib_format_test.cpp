#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "DibFormat.h"

using namespace dib;

TEST(DibFormat, ColourCountRowPitchAndImageSize) {
  EXPECT_EQ(ColorCount(1, 0), 2u);
  EXPECT_EQ(ColorCount(4, 0), 16u);
  EXPECT_EQ(ColorCount(8, 0), 256u);
  EXPECT_EQ(ColorCount(8, 17), 17u);
  EXPECT_EQ(ColorCount(24, 0), 0u);
  EXPECT_EQ(ColorCount(32, 0), 0u);
  struct Case {
    int64_t w, h;
    uint32_t bits;
    uint64_t pitch, image;
  };
  const Case cases[] = {
      {320, 240, 24, 960, 230400}, {320, -240, 32, 1280, 307200}, {1, 1, 1, 4, 4},
      {33, 2, 1, 8, 16},          {3, 1, 24, 12, 12},            {5, 3, 4, 4, 12},
      {0, 10, 24, 0, 0},          {-4, 10, 24, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RowPitch(c.w, c.bits), c.pitch) << c.w << "x" << c.bits;
    EXPECT_EQ(ImageSize(c.w, c.h, c.bits), c.image) << c.w << "x" << c.h << "x" << c.bits;
  }
}

TEST(DibFormat, FileHeaderOfAPhoto) {
  // 320 x 240 at 32 bits: 40 + 307200 bytes of block, 307 254 bytes of file, pixels at 54.
  uint8_t h[kFileHeaderSize];
  WriteFileHeader(40 + 307200, 40, h);
  EXPECT_EQ(h[0], 'B');
  EXPECT_EQ(h[1], 'M');
  uint32_t size, off;
  std::memcpy(&size, h + 2, 4);
  std::memcpy(&off, h + 10, 4);
  EXPECT_EQ(size, 307254u);
  EXPECT_EQ(off, 54u);
  EXPECT_EQ(h[6] | h[7] | h[8] | h[9], 0);
}

namespace {
// A DIB block: header, colour table and pixel rows, as a file holds it after its 14 bytes.
std::vector<uint8_t> Block(int32_t w, int32_t h, uint16_t bits, uint32_t clrUsed = 0, uint32_t compression = kRgb) {
  InfoHeader ih{};
  ih.size = 40;
  ih.width = w;
  ih.height = h;
  ih.planes = 1;
  ih.bitCount = bits;
  ih.compression = compression;
  ih.clrUsed = clrUsed;
  uint64_t table = compression == kBitfields ? 12 : 4ull * ColorCount(bits, clrUsed);
  std::vector<uint8_t> b(40 + table + ImageSize(w, h, bits), 0);
  WriteInfoHeader(ih, b.data());
  return b;
}
void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }
}  // namespace

TEST(DibFormat, WholeBlocksPassWithTheirPixelOffset) {
  struct Case {
    std::vector<uint8_t> block;
    uint64_t offset;
  };
  const Case cases[] = {
      {Block(320, 240, 24), 40},
      {Block(320, -240, 32), 40},
      {Block(7, 3, 8), 40 + 1024},  // 8 bits, biClrUsed 0: the full 256-entry table is skipped
      {Block(7, 3, 8, 17), 40 + 68},
      {Block(9, 2, 1), 48},
      {Block(5, 5, 16, 0, kBitfields), 52},
  };
  for (const Case& c : cases) {
    BlockCheck r = CheckBlock(c.block.data(), c.block.size());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.pixelOffset, c.offset);
  }
}

TEST(DibFormat, DamagedBlocksAreRefused) {
  struct Case {
    const char* what;
    std::vector<uint8_t> block;
  };
  std::vector<Case> cases;
  auto add = [&](const char* what, std::vector<uint8_t> b) { cases.push_back({what, std::move(b)}); };
  std::vector<uint8_t> b = Block(320, 240, 24);
  add("shorter than its header", std::vector<uint8_t>(b.begin(), b.begin() + 39));
  b = Block(320, 240, 24); b.pop_back(); add("last row cut", b);
  b = Block(320, 240, 24); Set32(b, 0, 12); add("core header", b);
  b = Block(320, 240, 24); Set32(b, 0, 0x7FFFFFFF); add("header larger than the file", b);
  b = Block(320, 240, 24); Set32(b, 0, 2000); add("header size beyond any version", b);
  b = Block(8, 8, 8); Set32(b, 32, 300); add("more colours than 8 bits hold", b);
  b = Block(8, 8, 24); Set32(b, 32, 0x40000000); add("colour count that overflows", b);
  b = Block(8, 8, 24); Set32(b, 4, 0x7FFFFFFF); add("width that overflows the row", b);
  b = Block(8, 8, 24); Set32(b, 8, 0x80000000); add("most negative height", b);
  b = Block(8, 8, 24); Set32(b, 8, 0); add("no rows", b);
  b = Block(8, 8, 24); b[14] = 7; add("bit count 7", b);
  b = Block(8, 8, 24); b[12] = 2; add("two planes", b);
  b = Block(8, 8, 8); Set32(b, 16, 1); add("run-length coded", b);
  b = Block(8, 8, 24); Set32(b, 16, kBitfields); add("masks on 24 bits", b);
  for (const Case& c : cases) EXPECT_FALSE(CheckBlock(c.block.data(), c.block.size()).ok) << c.what;
  EXPECT_FALSE(CheckBlock(nullptr, 100).ok);
}

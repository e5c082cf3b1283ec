#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Picture.h"

using namespace skin;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF, kBlack = 0,
                   kMagenta = 0xFF00FF;
// The 3 x 2 picture every variant encodes: top row red, green, blue; bottom white, black, magenta.
const uint32_t kExpected[2][3] = {{kRed, kGreen, kBlue}, {kWhite, kBlack, kMagenta}};

void Put16(Bytes& b, uint32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); }
void Put32(Bytes& b, uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }
void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

Bytes Palette(int entrySize) {
  Bytes p;
  for (auto& row : kExpected)
    for (uint32_t c : row) {
      p.push_back(uint8_t(c >> 16)), p.push_back(uint8_t(c >> 8)), p.push_back(uint8_t(c));
      if (entrySize == 4) p.push_back(0x77);  // the fourth byte is not kept
    }
  return p;
}

Bytes Bmp(uint32_t headerSize, int32_t w, int32_t h, uint16_t bpp, uint32_t comp, const Bytes& table,
          const Bytes& pixels, bool fileHeader = true, uint32_t clrUsed = 0) {
  Bytes info;
  if (headerSize == 12) {
    Put32(info, 12), Put16(info, w), Put16(info, h), Put16(info, 1), Put16(info, bpp);
  } else {
    Put32(info, headerSize), Put32(info, w), Put32(info, h), Put16(info, 1), Put16(info, bpp);
    Put32(info, comp), Put32(info, 0), Put32(info, 3780), Put32(info, 3780), Put32(info, clrUsed), Put32(info, 0);
    info.resize(headerSize, 0);
  }
  Bytes out;
  if (fileHeader) {
    uint32_t offset = 14 + info.size() + table.size();
    out = {'B', 'M'};
    Put32(out, offset + pixels.size()), Put32(out, 0), Put32(out, offset);
  }
  Append(out, info), Append(out, table), Append(out, pixels);
  return out;
}

Bytes Rows24(bool topDown) {
  Bytes rows;
  for (int r = 0; r < 2; ++r) {
    const uint32_t* row = kExpected[topDown ? r : 1 - r];
    for (int x = 0; x < 3; ++x) rows.push_back(uint8_t(row[x] >> 16)), rows.push_back(uint8_t(row[x] >> 8)), rows.push_back(uint8_t(row[x]));
    rows.resize(rows.size() + 3, 0);  // 9 bytes padded to 12
  }
  return rows;
}

Bytes Rows16(uint32_t (*pack)(uint32_t)) {
  Bytes rows;
  for (int r = 1; r >= 0; --r) {
    for (uint32_t c : kExpected[r]) Put16(rows, pack(c));
    Put16(rows, 0);
  }
  return rows;
}

Bytes Rows32(uint32_t (*pack)(uint32_t)) {
  Bytes rows;
  for (int r = 1; r >= 0; --r)
    for (uint32_t c : kExpected[r]) Put32(rows, pack(c));
  return rows;
}

uint32_t R(uint32_t c) { return c & 0xFF; }
uint32_t G(uint32_t c) { return (c >> 8) & 0xFF; }
uint32_t B(uint32_t c) { return (c >> 16) & 0xFF; }

void ExpectPixels(const Picture& p, const std::string& what) {
  ASSERT_TRUE(p.Valid()) << what << ": " << p.LastError();
  ASSERT_EQ(p.Width(), 3) << what;
  ASSERT_EQ(p.Height(), 2) << what;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(p.PixelColor(x, y), kExpected[y][x]) << what << " at " << x << "," << y;
}

}  // namespace

TEST(PictureCreate, RoundsDepthAndSizesTable) {
  struct Case {
    int bits, depth, colors;
  } cases[] = {{0, 1, 2}, {1, 1, 2}, {2, 4, 16}, {4, 4, 16}, {5, 8, 256}, {8, 8, 256}, {9, 24, 0}, {32, 24, 0}};
  for (const Case& c : cases) {
    Picture p;
    ASSERT_TRUE(p.Create(1, 1, c.bits, kFormatBmp)) << c.bits;
    EXPECT_EQ(p.BitsPerPixel(), c.depth) << c.bits;
    EXPECT_EQ(p.ColorCount(), c.colors) << c.bits;
    EXPECT_EQ(p.RowLength(), 4u);
  }
  Picture wide;
  ASSERT_TRUE(wide.Create(33, 2, 1, 0));
  EXPECT_EQ(wide.RowLength(), 8u);
}

TEST(PictureCreate, RefusesOversizeWithItsText) {
  Picture p;
  EXPECT_FALSE(p.Create(100000, 100000, 24, kFormatBmp));
  EXPECT_EQ(p.LastError(), "PICTURE_MAX_MEMORY exceeded");
  EXPECT_FALSE(p.Valid());
  EXPECT_FALSE(p.Create(0, 5, 8, kFormatBmp));
}

TEST(PictureBmp, DecodesEveryVariant) {
  auto pack555 = [](uint32_t c) { return ((R(c) >> 3) << 10) | ((G(c) >> 3) << 5) | (B(c) >> 3); };
  auto pack565 = [](uint32_t c) { return ((R(c) >> 3) << 11) | ((G(c) >> 2) << 5) | (B(c) >> 3); };
  auto packBgrx = [](uint32_t c) { return (R(c) << 16) | (G(c) << 8) | B(c); };
  auto packRgbx = [](uint32_t c) { return c; };
  Bytes masks565, masksRgbx;
  Put32(masks565, 0xF800), Put32(masks565, 0x07E0), Put32(masks565, 0x001F);
  Put32(masksRgbx, 0x0000FF), Put32(masksRgbx, 0x00FF00), Put32(masksRgbx, 0xFF0000);
  Bytes rows8 = {3, 4, 5, 0, 0, 1, 2, 0};
  Bytes rows4 = {0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0};
  // Run-length: the bottom row as an absolute run, the top row as runs of one.
  Bytes rle8 = {0, 3, 3, 4, 5, 0, 0, 0, 1, 0, 1, 1, 1, 2, 0, 1};
  Bytes rle4 = {0, 3, 0x34, 0x50, 0, 0, 0, 3, 0x01, 0x20, 0, 1};
  Bytes pal = Palette(4);
  Bytes pal16 = pal;
  pal16.resize(16 * 4, 0);
  struct Case {
    const char* what;
    Bytes file;
  } cases[] = {
      {"24 bits", Bmp(40, 3, 2, 24, 0, {}, Rows24(false))},
      {"24 bits top-down", Bmp(40, 3, -2, 24, 0, {}, Rows24(true))},
      {"24 bits, 64-byte header", Bmp(64, 3, 2, 24, 0, {}, Rows24(false))},
      {"24 bits, 108-byte header", Bmp(108, 3, 2, 24, 0, {}, Rows24(false))},
      {"8 bits", Bmp(40, 3, 2, 8, 0, pal, rows8, true, 6)},
      {"8 bits, bare DIB", Bmp(40, 3, 2, 8, 0, pal, rows8, false, 6)},
      {"8 bits, core header", Bmp(12, 3, 2, 8, 0, [] { Bytes p = Palette(3); p.resize(256 * 3); return p; }(), rows8)},
      {"8 bits RLE", Bmp(40, 3, 2, 8, 1, pal, rle8, true, 6)},
      {"4 bits", Bmp(40, 3, 2, 4, 0, pal16, rows4)},
      {"4 bits RLE", Bmp(40, 3, 2, 4, 2, pal16, rle4)},
      {"16 bits 5-5-5", Bmp(40, 3, 2, 16, 0, {}, Rows16(pack555))},
      {"16 bits 5-6-5 bit fields", Bmp(40, 3, 2, 16, 3, masks565, Rows16(pack565))},
      {"32 bits", Bmp(40, 3, 2, 32, 0, {}, Rows32(packBgrx))},
      {"32 bits bit fields", Bmp(40, 3, 2, 32, 3, masksRgbx, Rows32(packRgbx))},
  };
  for (const Case& c : cases) {
    for (int format : {kFormatBmp, kFormatUnknown}) {
      Picture p;
      ASSERT_TRUE(p.Decode(c.file.data(), c.file.size(), format)) << c.what << ": " << p.LastError();
      EXPECT_EQ(p.formatId, kFormatBmp);
      ExpectPixels(p, c.what);
    }
  }
  Picture p;
  Bytes file = Bmp(40, 3, 2, 24, 0, {}, Rows24(false));
  ASSERT_TRUE(p.Decode(file.data(), file.size(), kFormatBmp));
  EXPECT_EQ(p.dpiX, 96);  // 3780 pixels per metre
}

TEST(PictureBmp, OneBitAndLimits) {
  Bytes pal = {0, 0, 0, 0, 255, 255, 255, 0};
  Bytes rows = {0x60, 0, 0, 0, 0xA0, 0, 0, 0};  // bottom 0,1,1; top 1,0,1
  Bytes file = Bmp(40, 3, 2, 1, 0, pal, rows);
  Picture p;
  ASSERT_TRUE(p.Decode(file.data(), file.size(), kFormatBmp)) << p.LastError();
  EXPECT_EQ(p.PixelColor(0, 0), kWhite);
  EXPECT_EQ(p.PixelColor(1, 0), kBlack);
  EXPECT_EQ(p.PixelColor(0, 1), kBlack);
  EXPECT_EQ(p.PixelColor(2, 1), kWhite);

  // Runs that go past the row and past the last row stop at the picture's edge.
  Bytes flood = {255, 1, 0, 2, 200, 200, 255, 2, 0, 0, 255, 3, 0, 255};
  for (int i = 0; i < 50; ++i) flood.insert(flood.end(), {255, 7, 0, 0});
  Bytes rle = Bmp(40, 3, 2, 8, 1, Palette(4), flood, true, 6);
  Picture q;
  EXPECT_TRUE(q.Decode(rle.data(), rle.size(), kFormatBmp)) << q.LastError();
  EXPECT_EQ(q.PixelValue(0, 1), 1u);

  // Short pixel data leaves the missing rows zero.
  Bytes shortRows = Bmp(40, 3, 2, 24, 0, {}, Bytes(12, 0xEE));
  Picture s;
  ASSERT_TRUE(s.Decode(shortRows.data(), shortRows.size(), kFormatBmp));
  EXPECT_EQ(s.PixelColor(0, 1), 0xEEEEEEu);
  EXPECT_EQ(s.PixelColor(0, 0), 0u);
}

TEST(PictureBmp, FailuresCarryTheirTexts) {
  Bytes big108 = Bmp(108, 3, 2, 24, 3, {}, Rows24(false));
  Bytes badSize = Bmp(40, 3, 2, 24, 0, {}, Rows24(false));
  badSize[14] = 20;
  struct Case {
    Bytes file;
    int format;
    const char* error;
  } cases[] = {
      {{'B', 'M', 0, 0}, kFormatBmp, "Not a BMP"},
      {badSize, kFormatBmp, "Error reading BMP info"},
      {big108, kFormatBmp, "Error reading BMP info"},
      {Bmp(40, 3, 2, 8, 2, Palette(4), {0, 1}), kFormatBmp, "compression type not supported"},
      {Bmp(40, 3, 2, 24, 1, {}, Rows24(false)), kFormatBmp, "unknown compression"},
      {Bmp(40, 3, 2, 32, 2, {}, Bytes(24)), kFormatBmp, "unknown compression"},
      {Bmp(40, 3, 2, 24, 0, {}, Rows24(false)), 7, "Decode: Unknown or wrong format"},
      {Bmp(40, 200000, 200000, 24, 0, {}, {}), kFormatBmp, "Can't allocate memory"},
  };
  for (const Case& c : cases) {
    Picture p;
    EXPECT_FALSE(p.Decode(c.file.data(), c.file.size(), c.format)) << c.error;
    EXPECT_EQ(p.LastError(), c.error);
    EXPECT_FALSE(p.Valid());
  }
}

namespace {
Bytes Tga(uint8_t type, uint8_t depth, uint8_t descriptor, const Bytes& map, uint16_t mapLength, uint8_t mapDepth,
          const Bytes& data, uint16_t w = 3, uint16_t h = 2) {
  Bytes out = {2, uint8_t(mapLength ? 1 : 0), type};
  Put16(out, 0), Put16(out, mapLength), out.push_back(mapDepth);
  Put16(out, 0), Put16(out, 0), Put16(out, w), Put16(out, h);
  out.push_back(depth), out.push_back(descriptor);
  out.push_back('i'), out.push_back('d');  // identification field, skipped
  Append(out, map), Append(out, data);
  return out;
}
// Rows bottom first (the default origin) or top first, as BGR(A) pixels.
Bytes TgaPixels(int bytes, bool topFirst) {
  Bytes d;
  for (int r = 0; r < 2; ++r)
    for (uint32_t c : kExpected[topFirst ? r : 1 - r]) {
      if (bytes == 2) {
        Put16(d, ((R(c) >> 3) << 10) | ((G(c) >> 3) << 5) | (B(c) >> 3));
        continue;
      }
      d.push_back(uint8_t(B(c))), d.push_back(uint8_t(G(c))), d.push_back(uint8_t(R(c)));
      if (bytes == 4) d.push_back(uint8_t(0x10 + r));
    }
  return d;
}
}  // namespace

TEST(PictureTga, DecodesImageTypesMapsRunsAndOrigins) {
  Bytes indices = {3, 4, 5, 0, 1, 2};
  Bytes map = Palette(3);
  // Run-length: bottom row as one raw packet of 3, top row as three repeat packets of one.
  Bytes rle24 = {0x02};
  Bytes px = TgaPixels(3, false);
  rle24.insert(rle24.end(), px.begin(), px.begin() + 9);
  for (int i = 0; i < 3; ++i) {
    rle24.push_back(0x80);
    rle24.insert(rle24.end(), px.begin() + 9 + i * 3, px.begin() + 12 + i * 3);
  }
  Bytes rleMapped = {0x02, 3, 4, 5, 0x80, 0, 0x80, 1, 0x80, 2};
  Bytes mirrored;  // right-to-left rows
  for (int r = 1; r >= 0; --r)
    for (int x = 2; x >= 0; --x) {
      uint32_t c = kExpected[r][x];
      mirrored.push_back(uint8_t(B(c))), mirrored.push_back(uint8_t(G(c))), mirrored.push_back(uint8_t(R(c)));
    }
  struct Case {
    const char* what;
    Bytes file;
  } cases[] = {
      {"true colour 24", Tga(2, 24, 0, {}, 0, 0, TgaPixels(3, false))},
      {"true colour 24, top-left origin", Tga(2, 24, 0x20, {}, 0, 0, TgaPixels(3, true))},
      {"true colour 24, right-to-left", Tga(2, 24, 0x10, {}, 0, 0, mirrored)},
      {"true colour 16", Tga(2, 16, 0, {}, 0, 0, TgaPixels(2, false))},
      {"true colour 32", Tga(2, 32, 0x08, {}, 0, 0, TgaPixels(4, false))},
      {"true colour RLE", Tga(10, 24, 0, {}, 0, 0, rle24)},
      {"colour-mapped", Tga(1, 8, 0, map, 6, 24, indices)},
      {"colour-mapped RLE", Tga(9, 8, 0, map, 6, 24, rleMapped)},
  };
  for (const Case& c : cases) {
    Picture p;
    ASSERT_TRUE(p.Decode(c.file.data(), c.file.size(), kFormatTga)) << c.what << ": " << p.LastError();
    EXPECT_EQ(p.formatId, kFormatTga);
    ExpectPixels(p, c.what);
  }
  Picture alpha;
  Bytes file = Tga(2, 32, 0x08, {}, 0, 0, TgaPixels(4, false));
  ASSERT_TRUE(alpha.Decode(file.data(), file.size(), kFormatTga));
  ASSERT_TRUE(alpha.HasAlpha());
  EXPECT_EQ(alpha.Alpha()[0], 0x10);  // stored bottom row
  EXPECT_EQ(alpha.Alpha()[3], 0x11);

  // A colour map of 255-bit entries (found by fuzzing): each entry is passed over whole.
  Bytes wideMap(6 * 32, 0);
  for (int i = 0; i < 6; ++i) std::memcpy(&wideMap[i * 32], &map[i * 3], 3);
  Bytes wide = Tga(1, 8, 0, wideMap, 6, 255, indices);
  Picture w;
  ASSERT_TRUE(w.Decode(wide.data(), wide.size(), kFormatTga)) << w.LastError();
  ExpectPixels(w, "colour map of 255-bit entries");

  for (uint8_t type : {uint8_t(3), uint8_t(11)}) {
    Bytes grey = type == 3 ? Bytes{10, 20, 30, 40, 50, 60} : Bytes{0x82, 10, 0x82, 40};
    Bytes g = Tga(type, 8, 0x20, {}, 0, 0, grey);
    Picture p;
    ASSERT_TRUE(p.Decode(g.data(), g.size(), kFormatTga)) << p.LastError();
    uint32_t first = 10, last = type == 3 ? 60 : 40;
    EXPECT_EQ(p.PixelColor(0, 0), first * 0x010101u);
    EXPECT_EQ(p.PixelColor(2, 1), last * 0x010101u);
  }
}

TEST(PictureTga, UnknownFormatFallsBackFromBmp) {
  Bytes file = Tga(2, 24, 0, {}, 0, 0, TgaPixels(3, false));
  Picture p;
  ASSERT_TRUE(p.Decode(file.data(), file.size(), kFormatUnknown)) << p.LastError();
  EXPECT_EQ(p.formatId, kFormatTga);
  ExpectPixels(p, "TGA through format 0");
}

TEST(PictureTga, FailuresCarryTheirTexts) {
  Bytes good = Tga(2, 24, 0, {}, 0, 0, TgaPixels(3, false));
  Bytes truncated(good.begin(), good.end() - 4);
  Bytes rleCut = Tga(10, 24, 0, {}, 0, 0, {0x85, 1, 2});
  struct Case {
    Bytes file;
    const char* error;
  } cases[] = {
      {Bytes(10, 0), "Not a TGA"},
      {Tga(4, 24, 0, {}, 0, 0, {}), "Unknown TGA image type"},
      {Tga(2, 24, 0, {}, 0, 0, {}, 0, 2), "bad TGA header"},
      {Tga(1, 8, 0, Bytes(257 * 3), 257, 24, {}), "bad TGA header"},
      {Tga(2, 7, 0, {}, 0, 0, {}), "bad TGA header"},
      {truncated, "corrupted TGA"},
      {rleCut, "corrupted TGA"},
  };
  for (const Case& c : cases) {
    Picture p;
    EXPECT_FALSE(p.Decode(c.file.data(), c.file.size(), kFormatTga)) << c.error;
    EXPECT_EQ(p.LastError(), c.error);
  }
}

TEST(PictureCrop, CutsRowsInPictureSpace) {
  for (int bits : {1, 4, 8, 24}) {
    Picture p;
    ASSERT_TRUE(p.Create(20, 20, bits, kFormatBmp));
    uint32_t mask = bits == 24 ? 0xFFFFFF : (1u << bits) - 1;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) p.SetPixelValue(x, y, (x * 7 + y * 13 + 1) & mask);
    Picture c;
    ASSERT_TRUE(p.Crop(0, 0, 10, 5, &c)) << bits;
    ASSERT_EQ(c.Width(), 10);
    ASSERT_EQ(c.Height(), 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 10; ++x) ASSERT_EQ(c.PixelValue(x, y), p.PixelValue(x, y)) << bits << " " << x << "," << y;
    Picture r;  // reversed and out-of-range corners are put in order and limited
    ASSERT_TRUE(p.Crop(25, 18, 17, 30, &r));
    ASSERT_EQ(r.Width(), 3);
    ASSERT_EQ(r.Height(), 2);
    EXPECT_EQ(r.PixelValue(0, 0), p.PixelValue(17, 18));
    EXPECT_EQ(r.PixelValue(2, 1), p.PixelValue(19, 19));
  }
}

TEST(PictureCrop, EmptyCropFailsAndLeavesDestination) {
  Picture p, dest;
  ASSERT_TRUE(p.Create(20, 20, 8, kFormatBmp));
  ASSERT_TRUE(dest.Create(3, 3, 24, kFormatBmp));
  EXPECT_FALSE(p.Crop(5, 0, 5, 10, &dest));
  EXPECT_FALSE(p.Crop(0, 7, 10, 7, &dest));
  EXPECT_EQ(dest.Width(), 3);
  EXPECT_EQ(dest.BitsPerPixel(), 24);
  Picture empty;
  EXPECT_FALSE(empty.Crop(0, 0, 1, 1, &dest));
  // Without a destination the picture itself becomes the crop.
  ASSERT_TRUE(p.Crop(2, 2, 6, 5));
  EXPECT_EQ(p.Width(), 4);
  EXPECT_EQ(p.Height(), 3);
}

TEST(PictureRotate, QuarterTurnSizesAndPixels) {
  Picture p;
  ASSERT_TRUE(p.Create(10, 4, 8, kFormatBmp));
  p.transparentIndex = 200;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 10; ++x) p.SetPixelValue(x, y, y * 10 + x);
  Picture r;
  ASSERT_TRUE(p.Rotate(90, &r));
  EXPECT_EQ(r.Width(), 6);
  EXPECT_EQ(r.Height(), 12);
  EXPECT_EQ(r.BitsPerPixel(), 8);
  // Worked by hand from the mapping: the top-right pixel lands top-left, the bottom-left
  // pixel at (4, 9); beyond the picture lies the transparent index.
  EXPECT_EQ(r.PixelValue(0, 0), p.PixelValue(9, 0));
  EXPECT_EQ(r.PixelValue(4, 9), p.PixelValue(0, 3));
  EXPECT_EQ(r.PixelValue(5, 11), 200u);

  Picture q;
  ASSERT_TRUE(q.Create(10, 4, 24, kFormatTga));
  q.transparentColor = 0x123456;
  q.AddAlpha();
  ASSERT_TRUE(q.Rotate(270));
  // At 270 degrees the cosine is a hair below zero, so the floors give one column and row more.
  EXPECT_EQ(q.Width(), 7);
  EXPECT_EQ(q.Height(), 13);
  EXPECT_TRUE(q.HasAlpha());
  EXPECT_EQ(q.Alpha().size(), static_cast<size_t>(q.Width() * q.Height()));
  EXPECT_EQ(q.PixelValue(q.Width() - 1, q.Height() - 1), 0x123456u);
}

TEST(PictureDecode, ArbitraryBytesNeverOverRead) {
  // Every prefix of valid files: each must fail cleanly or decode, under the sanitizers.
  std::vector<Bytes> files = {Bmp(40, 3, 2, 8, 1, Palette(4), {0, 3, 3, 4, 5, 0, 0, 0, 1, 0}, true, 6),
                              Tga(9, 8, 0, Palette(3), 6, 24, {0x82, 1}), Bmp(12, 3, 2, 4, 0, {}, {})};
  for (const Bytes& f : files)
    for (size_t n = 0; n <= f.size(); ++n) {
      Bytes copy(f.begin(), f.begin() + n);  // exactly n bytes, so ASan sees any over-read
      Picture p;
      if (!p.Decode(copy.data(), copy.size(), kFormatUnknown)) {
        EXPECT_FALSE(p.LastError().empty());
      }
    }
}

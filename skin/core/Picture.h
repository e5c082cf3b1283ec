#pragma once
// A decoded skin picture: one heap block holding the bitmap info header, the colour table and
// the pixel rows (bottom-up, rows padded to 4 bytes), as the system's DIB functions take it.
// This file is the portable half; drawing and device bitmaps live in the Windows engine.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "SkinTypes.h"

namespace skin {

enum PictureFormat { kFormatUnknown = 0, kFormatBmp = 1, kFormatTga = 2 };

class Picture {
 public:
  Picture() = default;
  ~Picture();
  Picture(const Picture& other);
  Picture& operator=(const Picture& other);
  Picture(Picture&& other) noexcept;
  Picture& operator=(Picture&& other) noexcept;

  // Bits per pixel are rounded up to 1, 4, 8 or 24; rows and colour table start zeroed.
  bool Create(int width, int height, int bitsPerPixel, int formatId);
  // Decodes a BMP (format 1), a TGA (2) or either (0) from memory.
  bool Decode(const uint8_t* bytes, size_t length, int formatId);
  // Cuts out a rectangle in picture space (y downwards) into destination, or into itself.
  bool Crop(int left, int top, int right, int bottom, Picture* destination = nullptr) const;
  bool Crop(int left, int top, int right, int bottom);
  // Rotates by an angle in degrees (90 and 270 in use) into destination, or into itself.
  bool Rotate(double angle, Picture* destination = nullptr) const;
  bool Rotate(double angle);
  void Clear();

  bool Valid() const { return block_ != nullptr; }
  int Width() const { return Valid() ? header().width : 0; }
  int Height() const { return Valid() ? header().height : 0; }
  int BitsPerPixel() const { return Valid() ? header().bitCount : 0; }
  int ColorCount() const { return colors_; }
  size_t RowLength() const { return rowLength_; }
  // The block as the DIB functions take it (header followed by the colour table).
  const void* Info() const { return block_; }
  RgbQuad* Palette() { return reinterpret_cast<RgbQuad*>(block_ + sizeof(BitmapInfoHeader)); }
  const RgbQuad* Palette() const { return reinterpret_cast<const RgbQuad*>(block_ + sizeof(BitmapInfoHeader)); }
  // Stored row y (0 is the bottom row).
  uint8_t* Row(int y) { return bits_ + static_cast<size_t>(y) * rowLength_; }
  const uint8_t* Row(int y) const { return bits_ + static_cast<size_t>(y) * rowLength_; }
  uint8_t* Bits() { return bits_; }
  const uint8_t* Bits() const { return bits_; }

  // Palette index (1, 4, 8 bits) or 0x00BBGGRR colour (24 bits) at x, y with y downwards.
  uint32_t PixelValue(int x, int y) const;
  // The 0x00BBGGRR colour at x, y with y downwards.
  uint32_t PixelColor(int x, int y) const;
  void SetPixelValue(int x, int y, uint32_t value);

  bool HasAlpha() const { return !alpha_.empty(); }
  // One byte per pixel in stored row order, width bytes per row.
  std::vector<uint8_t>& Alpha() { return alpha_; }
  const std::vector<uint8_t>& Alpha() const { return alpha_; }
  void AddAlpha() { alpha_.assign(static_cast<size_t>(Width()) * Height(), 255); }

  int transparentIndex = -1;
  uint32_t transparentColor = 0;
  int formatId = kFormatUnknown;
  int dpiX = 96, dpiY = 96;
  bool cancel = false;  // readers stop between rows when set

  const std::string& LastError() const { return lastError_; }
  void SetError(const char* text);

 private:
  const BitmapInfoHeader& header() const { return *reinterpret_cast<const BitmapInfoHeader*>(block_); }
  BitmapInfoHeader& header() { return *reinterpret_cast<BitmapInfoHeader*>(block_); }
  void CopyFrom(const Picture& other);
  void MoveFrom(Picture& other);
  void FlipRows();
  void MirrorRows();

  uint8_t* block_ = nullptr;
  size_t blockSize_ = 0;
  uint8_t* bits_ = nullptr;
  size_t rowLength_ = 0;
  int colors_ = 0;
  std::vector<uint8_t> alpha_;
  std::string lastError_;

  friend class BmpReader;
  friend class TgaReader;
};

// A complete BMP file (file header, 40-byte info header, table, rows) of a picture.
std::vector<uint8_t> EncodeBmp(const Picture& picture);

}  // namespace skin

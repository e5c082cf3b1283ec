#include "Picture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace skin {

namespace {
// No single picture of a skin comes near this; larger blocks are refused rather than tried,
// so an untrusted header cannot ask for gigabytes.
constexpr double kMaxBlockBytes = 64.0 * 1024 * 1024;

int RoundDepth(int bits) {
  if (bits <= 1) return 1;
  if (bits <= 4) return 4;
  if (bits <= 8) return 8;
  return 24;
}
}  // namespace

Picture::~Picture() { std::free(block_); }

Picture::Picture(const Picture& other) { CopyFrom(other); }

Picture& Picture::operator=(const Picture& other) {
  if (this != &other) {
    Clear();
    CopyFrom(other);
  }
  return *this;
}

Picture::Picture(Picture&& other) noexcept { MoveFrom(other); }

Picture& Picture::operator=(Picture&& other) noexcept {
  if (this != &other) {
    Clear();
    MoveFrom(other);
  }
  return *this;
}

void Picture::CopyFrom(const Picture& other) {
  transparentIndex = other.transparentIndex;
  transparentColor = other.transparentColor;
  formatId = other.formatId;
  dpiX = other.dpiX;
  dpiY = other.dpiY;
  lastError_ = other.lastError_;
  alpha_ = other.alpha_;
  if (!other.block_) return;
  block_ = static_cast<uint8_t*>(std::malloc(other.blockSize_));
  if (!block_) {
    alpha_.clear();
    SetError("Picture::Create can't allocate memory");
    return;
  }
  std::memcpy(block_, other.block_, other.blockSize_);
  blockSize_ = other.blockSize_;
  bits_ = block_ + (other.bits_ - other.block_);
  rowLength_ = other.rowLength_;
  colors_ = other.colors_;
}

void Picture::MoveFrom(Picture& other) {
  transparentIndex = other.transparentIndex;
  transparentColor = other.transparentColor;
  formatId = other.formatId;
  dpiX = other.dpiX;
  dpiY = other.dpiY;
  block_ = other.block_;
  blockSize_ = other.blockSize_;
  bits_ = other.bits_;
  rowLength_ = other.rowLength_;
  colors_ = other.colors_;
  alpha_ = std::move(other.alpha_);
  other.block_ = other.bits_ = nullptr;
  other.blockSize_ = other.rowLength_ = 0;
  other.colors_ = 0;
  other.alpha_.clear();
}

void Picture::Clear() {
  std::free(block_);
  block_ = bits_ = nullptr;
  blockSize_ = rowLength_ = 0;
  colors_ = 0;
  alpha_.clear();
}

void Picture::SetError(const char* text) { lastError_.assign(text, BoundedLength(text, 255)); }

bool Picture::Create(int width, int height, int bitsPerPixel, int format) {
  Clear();
  int bits = RoundDepth(bitsPerPixel);
  if (width <= 0 || height <= 0) {
    SetError("Picture::Create can't allocate memory");
    return false;
  }
  double pixels = static_cast<double>(width) * height;
  if (pixels * bits / 256.0 > 256000000.0) {
    SetError("PICTURE_MAX_MEMORY exceeded");
    return false;
  }
  int colors = bits <= 8 ? 1 << bits : 0;
  double row = std::floor((static_cast<double>(width) * bits + 31) / 32) * 4;
  double total = sizeof(BitmapInfoHeader) + colors * 4.0 + row * height;
  if (total > kMaxBlockBytes) {
    SetError("Picture::Create can't allocate memory");
    return false;
  }
  size_t rowLength = static_cast<size_t>(row);
  size_t size = static_cast<size_t>(total);
  block_ = static_cast<uint8_t*>(std::calloc(1, size));
  if (!block_) {
    SetError("Picture::Create can't allocate memory");
    return false;
  }
  blockSize_ = size;
  colors_ = colors;
  rowLength_ = rowLength;
  bits_ = block_ + sizeof(BitmapInfoHeader) + colors * 4;
  BitmapInfoHeader& h = header();
  h.size = sizeof(BitmapInfoHeader);
  h.width = width;
  h.height = height;
  h.planes = 1;
  h.bitCount = static_cast<uint16_t>(bits);
  h.compression = 0;
  h.sizeImage = static_cast<uint32_t>(rowLength * height);
  h.clrUsed = static_cast<uint32_t>(colors);
  formatId = format;
  return true;
}

uint32_t Picture::PixelValue(int x, int y) const {
  if (!Valid() || x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  const uint8_t* row = Row(Height() - 1 - y);
  switch (BitsPerPixel()) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 8: return row[x];
    default: {
      const uint8_t* p = row + x * 3;
      return p[2] | (p[1] << 8) | (static_cast<uint32_t>(p[0]) << 16);
    }
  }
}

uint32_t Picture::PixelColor(int x, int y) const {
  uint32_t v = PixelValue(x, y);
  if (!Valid() || BitsPerPixel() == 24) return v;
  const RgbQuad& q = Palette()[v];
  return q.red | (q.green << 8) | (static_cast<uint32_t>(q.blue) << 16);
}

void Picture::SetPixelValue(int x, int y, uint32_t value) {
  if (!Valid() || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  uint8_t* row = Row(Height() - 1 - y);
  switch (BitsPerPixel()) {
    case 1: {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<uint8_t>(value & 1 ? row[x >> 3] | bit : row[x >> 3] & ~bit);
      break;
    }
    case 4:
      if (x & 1)
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0xF0) | (value & 0x0F));
      else
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0x0F) | ((value & 0x0F) << 4));
      break;
    case 8: row[x] = static_cast<uint8_t>(value); break;
    default: {
      uint8_t* p = row + x * 3;
      p[0] = static_cast<uint8_t>(value >> 16);
      p[1] = static_cast<uint8_t>(value >> 8);
      p[2] = static_cast<uint8_t>(value);
    }
  }
}

void Picture::FlipRows() {
  int h = Height();
  std::vector<uint8_t> tmp(rowLength_);
  for (int y = 0; y < h / 2; ++y) {
    std::memcpy(tmp.data(), Row(y), rowLength_);
    std::memcpy(Row(y), Row(h - 1 - y), rowLength_);
    std::memcpy(Row(h - 1 - y), tmp.data(), rowLength_);
  }
  if (HasAlpha()) {
    size_t w = static_cast<size_t>(Width());
    for (int y = 0; y < h / 2; ++y)
      std::swap_ranges(alpha_.begin() + y * w, alpha_.begin() + (y + 1) * w, alpha_.begin() + (h - 1 - y) * w);
  }
}

void Picture::MirrorRows() {
  int w = Width(), h = Height();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w / 2; ++x) {
      uint32_t a = PixelValue(x, y), b = PixelValue(w - 1 - x, y);
      SetPixelValue(x, y, b);
      SetPixelValue(w - 1 - x, y, a);
    }
    if (HasAlpha()) {
      uint8_t* row = alpha_.data() + static_cast<size_t>(y) * w;
      std::reverse(row, row + w);
    }
  }
}

bool Picture::Crop(int left, int top, int right, int bottom) { return Crop(left, top, right, bottom, nullptr); }

bool Picture::Crop(int left, int top, int right, int bottom, Picture* destination) const {
  if (!Valid()) return false;
  int w = Width(), h = Height();
  auto limit = [](int v, int hi) { return v < 0 ? 0 : v > hi ? hi : v; };
  left = limit(left, w);
  right = limit(right, w);
  top = limit(top, h);
  bottom = limit(bottom, h);
  if (left == right || top == bottom) return false;
  if (left > right) std::swap(left, right);
  int first = h - bottom, last = h - top;
  if (first > last) std::swap(first, last);
  Picture result;
  if (!result.Create(right - left, last - first, BitsPerPixel(), formatId)) return false;
  std::memcpy(result.Palette(), Palette(), colors_ * sizeof(RgbQuad));
  result.transparentIndex = transparentIndex;
  result.transparentColor = transparentColor;
  result.dpiX = dpiX;
  result.dpiY = dpiY;
  int bits = BitsPerPixel();
  int rw = right - left;
  for (int y = 0; y < last - first; ++y) {
    const uint8_t* src = Row(first + y);
    uint8_t* dst = result.Row(y);
    if (bits == 8 || bits == 24) {
      size_t bpp = bits / 8;
      std::memcpy(dst, src + left * bpp, rw * bpp);
    } else {
      // Sub-byte pixels are moved one at a time through picture-space coordinates.
      int sy = h - 1 - (first + y), dy = result.Height() - 1 - y;
      for (int x = 0; x < rw; ++x) result.SetPixelValue(x, dy, PixelValue(left + x, sy));
    }
  }
  if (HasAlpha()) {
    result.alpha_.resize(static_cast<size_t>(rw) * result.Height());
    for (int y = 0; y < result.Height(); ++y)
      std::memcpy(result.alpha_.data() + static_cast<size_t>(y) * rw,
                  alpha_.data() + static_cast<size_t>(first + y) * w + left, rw);
  }
  Picture& target = destination ? *destination : const_cast<Picture&>(*this);
  target = std::move(result);
  return true;
}

bool Picture::Rotate(double angle) { return Rotate(angle, nullptr); }

bool Picture::Rotate(double angle, Picture* destination) const {
  if (!Valid()) return false;
  const double a = -angle * 3.14159265358979323846 / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  const int W = Width(), H = Height();
  int xs[4] = {0, static_cast<int>(std::floor(W * c)), static_cast<int>(std::floor(-H * s)),
               static_cast<int>(std::floor((W - 1) * c - H * s))};
  int ys[4] = {0, static_cast<int>(std::floor(W * s)), static_cast<int>(std::floor(H * c)),
               static_cast<int>(std::floor((W - 1) * s + H * c))};
  int minX = xs[0], maxX = xs[0], minY = ys[0], maxY = ys[0];
  for (int i = 1; i < 4; ++i) {
    minX = std::min(minX, xs[i]);
    maxX = std::max(maxX, xs[i]);
    minY = std::min(minY, ys[i]);
    maxY = std::max(maxY, ys[i]);
  }
  Picture result;
  if (!result.Create(maxX - minX + 2, maxY - minY + 2, BitsPerPixel(), formatId)) return false;
  std::memcpy(result.Palette(), Palette(), colors_ * sizeof(RgbQuad));
  result.transparentIndex = transparentIndex;
  result.transparentColor = transparentColor;
  result.dpiX = dpiX;
  result.dpiY = dpiY;
  if (HasAlpha()) result.alpha_.assign(static_cast<size_t>(result.Width()) * result.Height(), 0);
  const uint32_t outside = BitsPerPixel() == 24 ? transparentColor : static_cast<uint32_t>(transparentIndex);
  const int rh = result.Height(), rw = result.Width();
  for (int ny = 0; ny < rh; ++ny) {
    for (int nx = 0; nx < rw; ++nx) {
      double x = minX + nx, y = minY + ny;
      int sx = static_cast<int>(x * c + y * s - 0.5);
      int sy = static_cast<int>(y * c - x * s - 0.5);
      bool inside = sx >= 0 && sy >= 0 && sx < W && sy < H;
      result.SetPixelValue(nx, ny, inside ? PixelValue(sx, sy) : outside);
      if (HasAlpha() && inside)
        result.alpha_[static_cast<size_t>(rh - 1 - ny) * rw + nx] = alpha_[static_cast<size_t>(H - 1 - sy) * W + sx];
    }
  }
  Picture& target = destination ? *destination : const_cast<Picture&>(*this);
  target = std::move(result);
  return true;
}

std::vector<uint8_t> EncodeBmp(const Picture& picture) {
  std::vector<uint8_t> out;
  if (!picture.Valid()) return out;
  size_t table = picture.ColorCount() * sizeof(RgbQuad);
  size_t rows = picture.RowLength() * picture.Height();
  uint32_t offset = static_cast<uint32_t>(14 + sizeof(BitmapInfoHeader) + table);
  uint32_t total = static_cast<uint32_t>(offset + rows);
  out.resize(total);
  uint8_t* p = out.data();
  p[0] = 'B';
  p[1] = 'M';
  std::memcpy(p + 2, &total, 4);
  std::memcpy(p + 10, &offset, 4);
  BitmapInfoHeader h;
  std::memcpy(&h, picture.Info(), sizeof h);
  h.xPelsPerMeter = static_cast<int32_t>(std::lround(picture.dpiX / 0.0254));
  h.yPelsPerMeter = static_cast<int32_t>(std::lround(picture.dpiY / 0.0254));
  std::memcpy(p + 14, &h, sizeof h);
  if (table) std::memcpy(p + 14 + sizeof h, picture.Palette(), table);
  std::memcpy(p + offset, picture.Bits(), rows);
  return out;
}

}  // namespace skin

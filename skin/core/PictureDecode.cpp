// The BMP and TGA readers of Picture::Decode. Both read from a bounded view of the bytes and
// never look past its end; a reader builds into a temporary picture moved in on success.
#include <cmath>
#include <cstring>
#include <utility>

#include "Picture.h"

namespace skin {

namespace {

class ByteView {
 public:
  ByteView(const uint8_t* bytes, size_t length) : bytes_(bytes), length_(bytes ? length : 0) {}
  size_t Read(void* destination, size_t n) {
    size_t count = n < length_ - position_ ? n : length_ - position_;
    if (count) std::memcpy(destination, bytes_ + position_, count);
    position_ += count;
    return count;
  }
  bool ReadAll(void* destination, size_t n) { return Read(destination, n) == n; }
  int Byte() { return position_ < length_ ? bytes_[position_++] : -1; }
  void Seek(size_t offset) { position_ = offset < length_ ? offset : length_; }
  void Skip(size_t n) { Seek(n < length_ - position_ ? position_ + n : length_); }
  size_t Position() const { return position_; }
  size_t Remaining() const { return length_ - position_; }

 private:
  const uint8_t* bytes_;
  size_t length_;
  size_t position_ = 0;
};

struct Failure {
  const char* text;
};

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

// A channel under a bit mask, widened to 8 bits.
struct Channel {
  explicit Channel(uint32_t mask) : mask(mask) {
    if (!mask) return;
    while (!((mask >> shift) & 1)) ++shift;
    max = mask >> shift;
  }
  uint8_t Of(uint32_t pixel) const {
    if (!mask) return 0;
    return static_cast<uint8_t>(((pixel & mask) >> shift) * 255ull / max);
  }
  uint32_t mask;
  int shift = 0;
  uint32_t max = 1;
};

}  // namespace

class BmpReader {
 public:
  BmpReader(ByteView& in, Picture& out) : in_(in), out_(out) {}

  void Run() {
    uint8_t file[14];
    if (!in_.ReadAll(file, sizeof file)) throw Failure{"Not a BMP"};
    uint32_t offset = 0;
    if (Le16(file) == 0x4D42) {
      offset = Le32(file + 10);
    } else {
      in_.Seek(0);  // a bare DIB
    }
    BitmapInfoHeader h{};
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    bool core = ReadInfo(h);
    if (h.compression == 3 && h.size == 40) {
      uint8_t m[12];
      if (!in_.ReadAll(m, sizeof m)) throw Failure{"Error reading BMP info"};
      for (int i = 0; i < 3; ++i) masks[i] = Le32(m + 4 * i);
    }
    bool topDown = h.height < 0;
    int64_t height = topDown ? -static_cast<int64_t>(h.height) : h.height;
    if (h.width <= 0 || height <= 0 || height > INT32_MAX) throw Failure{"Error reading BMP info"};
    int bits = h.bitCount;
    if (!out_.Create(h.width, static_cast<int>(height), bits, kFormatBmp)) throw Failure{"Can't allocate memory"};
    if (h.xPelsPerMeter > 0) out_.dpiX = static_cast<int>(std::lround(h.xPelsPerMeter * 0.0254));
    if (h.yPelsPerMeter > 0) out_.dpiY = static_cast<int>(std::lround(h.yPelsPerMeter * 0.0254));

    // Colour table: as many entries as the picture holds; surplus entries are passed over.
    uint32_t entries = h.clrUsed;
    if (entries == 0 && bits <= 8) entries = 1u << bits;
    size_t entrySize = core ? 3 : 4;
    uint32_t kept = bits <= 8 ? std::min<uint32_t>(entries, out_.ColorCount()) : 0;
    for (uint32_t i = 0; i < kept; ++i) {
      uint8_t e[4] = {0, 0, 0, 0};
      in_.Read(e, entrySize);
      out_.Palette()[i] = RgbQuad{e[0], e[1], e[2], 0};
    }
    if (entries > kept) in_.Skip(static_cast<size_t>(entries - kept) * entrySize);
    if (offset) in_.Seek(offset);

    const uint32_t comp = h.compression;
    if (bits == 1 || bits == 4 || bits == 8) {
      if (comp == 0)
        ReadRows(out_.RowLength());
      else if (comp == 1 && bits == 8)
        ReadRle(false);
      else if (comp == 2 && bits == 4)
        ReadRle(true);
      else
        throw Failure{"compression type not supported"};
    } else if (bits == 16) {
      if (comp != 0 && comp != 3) throw Failure{"unknown compression"};
      ReadMasked(2, masks);
    } else if (bits == 24) {
      if (comp != 0) throw Failure{"unknown compression"};
      ReadRows(out_.RowLength());
    } else if (bits == 32) {
      if (comp == 3) {
        ReadMasked(4, masks);
      } else if (comp == 0) {
        uint32_t plain[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
        ReadMasked(4, plain);
      } else {
        throw Failure{"unknown compression"};
      }
    }
    if (topDown) out_.FlipRows();
  }

 private:
  // True for a core header. Other sizes are widened or passed over as the format allows.
  bool ReadInfo(BitmapInfoHeader& h) {
    uint8_t sizeBytes[4];
    if (!in_.ReadAll(sizeBytes, 4)) throw Failure{"Error reading BMP info"};
    uint32_t size = Le32(sizeBytes);
    if (size == 12) {
      uint8_t c[8];
      if (!in_.ReadAll(c, 8)) throw Failure{"Error reading BMP info"};
      h = BitmapInfoHeader{};
      h.size = 40;
      h.width = Le16(c);
      h.height = Le16(c + 2);
      h.planes = Le16(c + 4);
      h.bitCount = Le16(c + 6);
      return true;
    }
    if (size < 40) throw Failure{"Error reading BMP info"};
    std::memcpy(&h, sizeBytes, 4);
    if (!in_.ReadAll(reinterpret_cast<uint8_t*>(&h) + 4, 36)) throw Failure{"Error reading BMP info"};
    if (size == 64) {
      in_.Skip(24);
    } else if (size > 40) {
      int64_t height = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
      uint64_t row = (static_cast<uint64_t>(h.width < 0 ? 0 : h.width) * h.bitCount + 31) / 32 * 4;
      if (h.planes != 1 || h.compression != 0 || h.clrUsed != 0 ||
          (h.sizeImage != 0 && h.sizeImage != row * static_cast<uint64_t>(height)))
        throw Failure{"Error reading BMP info"};
      in_.Skip(size - 40);
    }
    return false;
  }

  void CheckCancel() {
    if (out_.cancel) throw Failure{"Cancelled"};
  }

  void ReadRows(size_t length) {
    for (int y = 0; y < out_.Height(); ++y) {
      CheckCancel();
      if (in_.Read(out_.Row(y), length) < length) break;  // the rest stays zero
    }
  }

  void ReadMasked(int bytesPerPixel, const uint32_t masks[3]) {
    const Channel r(masks[0]), g(masks[1]), b(masks[2]);
    const int w = out_.Width();
    const size_t length = (static_cast<size_t>(w) * bytesPerPixel * 8 + 31) / 32 * 4;
    std::vector<uint8_t> row(length);
    for (int y = 0; y < out_.Height(); ++y) {
      CheckCancel();
      if (in_.Read(row.data(), length) < length) break;
      uint8_t* dst = out_.Row(y);
      for (int x = 0; x < w; ++x) {
        const uint8_t* p = row.data() + static_cast<size_t>(x) * bytesPerPixel;
        uint32_t v = bytesPerPixel == 2 ? Le16(p) : Le32(p);
        dst[x * 3] = b.Of(v);
        dst[x * 3 + 1] = g.Of(v);
        dst[x * 3 + 2] = r.Of(v);
      }
    }
  }

  void Put(int x, int y, int value) {
    if (x < out_.Width() && y < out_.Height()) out_.SetPixelValue(x, out_.Height() - 1 - y, static_cast<uint32_t>(value));
  }

  // Run-length rows: x, y count from the bottom-left; nothing lands beyond the last row.
  void ReadRle(bool nibbles) {
    const int w = out_.Width(), h = out_.Height();
    int x = 0, y = 0;
    while (y < h) {
      int count = in_.Byte(), value = in_.Byte();
      if (count < 0 || value < 0) return;
      if (count > 0) {
        for (int i = 0; i < count && x < w; ++i, ++x)
          Put(x, y, nibbles ? ((i & 1) ? value & 0x0F : value >> 4) : value);
        continue;
      }
      switch (value) {
        case 0:  // end of line
          x = 0;
          ++y;
          CheckCancel();
          break;
        case 1:  // end of bitmap
          return;
        case 2: {  // delta
          int dx = in_.Byte(), dy = in_.Byte();
          if (dx < 0 || dy < 0) return;
          x += dx;
          y += dy;
          break;
        }
        default: {  // absolute run of `value` pixels, padded to a 16-bit boundary
          int n = value;
          int bytes = nibbles ? (n + 1) / 2 : n;
          int data = 0;
          for (int i = 0; i < n; ++i) {
            if (!nibbles || !(i & 1)) {
              data = in_.Byte();
              if (data < 0) return;
            }
            int pixel = nibbles ? ((i & 1) ? data & 0x0F : data >> 4) : data;
            if (x < w) Put(x, y, pixel);
            ++x;
          }
          if (bytes & 1) in_.Byte();
        }
      }
    }
  }

  ByteView& in_;
  Picture& out_;
};

class TgaReader {
 public:
  TgaReader(ByteView& in, Picture& out) : in_(in), out_(out) {}

  void Run() {
    uint8_t hd[18];
    if (!in_.ReadAll(hd, sizeof hd)) throw Failure{"Not a TGA"};
    const int idLength = hd[0], mapType = hd[1], type = hd[2];
    const int mapFirst = Le16(hd + 3), mapLength = Le16(hd + 5), mapDepth = hd[7];
    const int width = Le16(hd + 12), height = Le16(hd + 14), depth = hd[16], descriptor = hd[17];
    if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11)
      throw Failure{"Unknown TGA image type"};
    if (width == 0 || height == 0 || mapLength > 256) throw Failure{"bad TGA header"};
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) throw Failure{"bad TGA header"};
    const int base = type & 7;
    // Mapped and grey pictures carry one index byte per pixel; the true-colour ones widen to 24 bits.
    if ((base == 1 || base == 3) != (depth == 8)) throw Failure{"bad TGA header"};
    in_.Skip(idLength);
    // Pixel data too short for the picture fails before the picture is allocated: raw pixels
    // need all their bytes, a run packet of at least two bytes covers at most 128 pixels.
    const double pixels = static_cast<double>(width) * height;
    const double need = type >= 9 ? pixels / 64.0 - 2 : pixels * ((depth + 7) / 8);
    if (static_cast<double>(in_.Remaining()) < need) throw Failure{"corrupted TGA"};
    if (!out_.Create(width, height, depth == 8 ? 8 : 24, kFormatTga)) throw Failure{"TGA Create failed"};
    if (depth == 32) out_.AddAlpha();

    if (mapType == 1) {
      const int entryBytes = (mapDepth + 7) / 8;
      for (int i = 0; i < mapLength; ++i) {
        // Entries wider than four bytes keep their first four; the rest is passed over.
        uint8_t e[4] = {0, 0, 0, 0};
        const size_t kept = entryBytes < 4 ? entryBytes : 4;
        if (in_.Remaining() < static_cast<size_t>(entryBytes)) throw Failure{"corrupted TGA"};
        in_.Read(e, kept);
        in_.Skip(entryBytes - kept);
        int index = mapFirst + i;
        if (base != 1 || index >= 256) continue;
        uint8_t rgb[3];
        Color(e, static_cast<int>(kept), rgb, nullptr);
        out_.Palette()[index] = RgbQuad{rgb[0], rgb[1], rgb[2], 0};
      }
    }
    if (base == 3)
      for (int i = 0; i < 256; ++i) out_.Palette()[i] = RgbQuad{uint8_t(i), uint8_t(i), uint8_t(i), 0};

    const int bytes = (depth + 7) / 8;
    const bool rle = type >= 9;
    const bool topFirst = descriptor & 0x20;
    int runLeft = 0;
    bool runRepeat = false;
    uint8_t pixel[4] = {0, 0, 0, 0};
    for (int r = 0; r < height; ++r) {
      if (out_.cancel) throw Failure{"Cancelled"};
      const int y = topFirst ? height - 1 - r : r;  // stored row, 0 at the bottom
      uint8_t* row = out_.Row(y);
      for (int x = 0; x < width; ++x) {
        if (rle) {
          if (runLeft == 0) {
            int packet = in_.Byte();
            if (packet < 0) throw Failure{"corrupted TGA"};
            runLeft = (packet & 0x7F) + 1;
            runRepeat = packet & 0x80;
            if (runRepeat && !in_.ReadAll(pixel, bytes)) throw Failure{"corrupted TGA"};
          }
          if (!runRepeat && !in_.ReadAll(pixel, bytes)) throw Failure{"corrupted TGA"};
          --runLeft;
        } else if (!in_.ReadAll(pixel, bytes)) {
          throw Failure{"corrupted TGA"};
        }
        if (bytes == 1) {
          row[x] = pixel[0];
        } else {
          uint8_t alpha = 255;
          Color(pixel, bytes, row + x * 3, &alpha);
          if (depth == 32) out_.Alpha()[static_cast<size_t>(y) * width + x] = alpha;
        }
      }
    }
    if (descriptor & 0x10) out_.MirrorRows();
  }

 private:
  // Blue, green, red of a stored pixel or map entry of 2, 3 or 4 bytes.
  static void Color(const uint8_t* p, int bytes, uint8_t* bgr, uint8_t* alpha) {
    if (bytes == 2) {
      uint16_t v = Le16(p);
      auto widen = [](int c) { return static_cast<uint8_t>((c << 3) | (c >> 2)); };
      bgr[0] = widen(v & 0x1F);
      bgr[1] = widen((v >> 5) & 0x1F);
      bgr[2] = widen((v >> 10) & 0x1F);
      return;
    }
    if (bytes == 1) {
      bgr[0] = bgr[1] = bgr[2] = p[0];
      return;
    }
    bgr[0] = p[0];
    bgr[1] = p[1];
    bgr[2] = p[2];
    if (bytes == 4 && alpha) *alpha = p[3];
  }

  ByteView& in_;
  Picture& out_;
};

bool Picture::Decode(const uint8_t* bytes, size_t length, int format) {
  if (format != kFormatUnknown && format != kFormatBmp && format != kFormatTga) {
    SetError("Decode: Unknown or wrong format");
    return false;
  }
  ByteView in(bytes, length);
  const char* error = nullptr;
  for (int attempt : {kFormatBmp, kFormatTga}) {
    if (format != kFormatUnknown && format != attempt) continue;
    Picture result;
    result.cancel = cancel;
    in.Seek(0);
    try {
      if (attempt == kFormatBmp) {
        BmpReader(in, result).Run();
      } else {
        TgaReader(in, result).Run();
      }
      result.lastError_.clear();
      result.cancel = cancel;
      *this = std::move(result);
      lastError_.clear();
      return true;
    } catch (const Failure& f) {
      error = f.text;
    }
  }
  SetError(error);
  return false;
}

}  // namespace skin

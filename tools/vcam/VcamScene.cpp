#include "VcamScene.h"

#include <cstdlib>

namespace vcam {
namespace {

const Rgb kBars[7] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                      {191, 0, 191},   {191, 0, 0},   {0, 0, 191}};
const Rgb kBand = {24, 24, 40};
const Rgb kClock = {64, 255, 96};
const Rgb kCounter = {255, 255, 255};
const Rgb kBall = {255, 112, 0};
const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};

// Segments a..g of the digits 0..9 (bit 0 = a, the top one, clockwise, g in the middle).
const uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// A position that runs back and forth over [0, span] at `speed` points a frame.
int Bounce(uint32_t frame, int speed, int span) {
  if (span <= 0) return 0;
  uint32_t p = (frame * static_cast<uint32_t>(speed)) % static_cast<uint32_t>(2 * span);
  return p <= static_cast<uint32_t>(span) ? static_cast<int>(p) : 2 * span - static_cast<int>(p);
}

Rgb Hue(int degrees) {
  int sector = degrees / 60, f = (degrees % 60) * 255 / 60;
  uint8_t up = static_cast<uint8_t>(f), down = static_cast<uint8_t>(255 - f);
  switch (sector) {
    case 0: return {255, up, 0};
    case 1: return {down, 255, 0};
    case 2: return {0, 255, up};
    case 3: return {0, down, 255};
    case 4: return {up, 0, 255};
    default: return {255, 0, down};
  }
}

bool SegmentLit(char c, int x, int y, int w, int h, int t) {
  if (c == ':') return (x >= (w - t) / 2 && x < (w + t) / 2) &&
                       ((y >= h / 3 - t / 2 && y < h / 3 - t / 2 + t) ||
                        (y >= 2 * h / 3 - t / 2 && y < 2 * h / 3 - t / 2 + t));
  if (c == '.') return x >= (w - t) / 2 && x < (w + t) / 2 && y >= h - t;
  if (c < '0' || c > '9') return false;
  int mid = h / 2;
  uint8_t s = kSegments[c - '0'];
  bool left = x < t, right = x >= w - t, upper = y <= mid, lower = y >= mid;
  return ((s & 0x01) && y < t) || ((s & 0x08) && y >= h - t) ||
         ((s & 0x40) && y >= mid - t / 2 && y < mid - t / 2 + t) ||
         ((s & 0x02) && right && upper) || ((s & 0x04) && right && lower) ||
         ((s & 0x10) && left && lower) || ((s & 0x20) && left && upper);
}

// The clock (frames at ten a second) at the left of the band, the frame counter at its right.
Rgb BandPixel(const Format& f, uint32_t frame, int x, int y, int bandTop) {
  int bandHeight = f.height - bandTop;
  int dh = bandHeight / 2, dw = dh / 2, gap = dw / 3 > 0 ? dw / 3 : 1, cw = dw / 2;
  int t = dh / 8 > 0 ? dh / 8 : 1;
  int top = bandTop + (bandHeight - dh) / 2;
  if (y < top || y >= top + dh) return kBand;
  char clock[8], counter[6];
  uint32_t tenths = frame % 10, secs = (frame / 10) % 60, mins = (frame / 600) % 100;
  clock[0] = static_cast<char>('0' + mins / 10);
  clock[1] = static_cast<char>('0' + mins % 10);
  clock[2] = ':';
  clock[3] = static_cast<char>('0' + secs / 10);
  clock[4] = static_cast<char>('0' + secs % 10);
  clock[5] = '.';
  clock[6] = static_cast<char>('0' + tenths);
  clock[7] = 0;
  uint32_t n = frame % 100000;
  for (int i = 4; i >= 0; --i, n /= 10) counter[i] = static_cast<char>('0' + n % 10);
  counter[5] = 0;

  int cx = dw / 2;
  for (const char* p = clock; *p; ++p) {
    int cellWidth = (*p == ':' || *p == '.') ? cw : dw;
    if (x >= cx && x < cx + cellWidth)
      return SegmentLit(*p, x - cx, y - top, cellWidth, dh, t) ? kClock : kBand;
    cx += cellWidth + gap;
  }
  cx = f.width - dw / 2 - (5 * dw + 4 * gap);
  for (const char* p = counter; *p; ++p) {
    if (x >= cx && x < cx + dw) return SegmentLit(*p, x - cx, y - top, dw, dh, t) ? kCounter : kBand;
    cx += dw + gap;
  }
  return kBand;
}

Rgb TestPicture(const Format& f, uint32_t frame, int x, int y) {
  int w = f.width, h = f.height;
  int barsBottom = h * 3 / 5, stripBottom = h * 7 / 10;
  if (y >= stripBottom) return BandPixel(f, frame, x, y, stripBottom);

  // The sweep line crosses bars and rainbow strip, four points a frame at 320 wide.
  int sweepWidth = w / 80 > 2 ? w / 80 : 2;
  int sweepX = static_cast<int>((frame * 4u * static_cast<uint32_t>(w) / 320u) % static_cast<uint32_t>(w));
  if (x >= sweepX && x < sweepX + sweepWidth) return kWhite;

  if (y >= barsBottom) return Hue(static_cast<int>(((static_cast<uint32_t>(x) + frame * 2u) * 360u /
                                                    static_cast<uint32_t>(w)) % 360u));

  int radius = h / 10;
  int bx = radius + Bounce(frame, w / 107 > 0 ? w / 107 : 1, w - 2 * radius);
  int by = radius + Bounce(frame, h / 120 > 0 ? h / 120 : 1, barsBottom - 2 * radius);
  int dx = x - bx, dy = y - by, d2 = dx * dx + dy * dy;
  if (d2 <= radius * radius) return d2 >= (radius - 2) * (radius - 2) ? kBlack : kBall;
  return kBars[x * 7 / w];
}

uint8_t Scale(uint8_t c, int brightness) {
  int v = c * (brightness + 50) / 100;
  return static_cast<uint8_t>(v > 255 ? 255 : v);
}

}  // namespace

bool IsSupported(const Format& f) {
  bool size = (f.width == 160 && f.height == 120) || (f.width == 320 && f.height == 240) ||
              (f.width == 640 && f.height == 480);
  bool bits = f.compressed ? f.bits == 24 : (f.bits == 16 || f.bits == 24 || f.bits == 32);
  return size && bits;
}

size_t Stride(int width, int bits) {
  return (static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32 * 4;
}

size_t ImageSize(const Format& f) { return Stride(f.width, f.bits) * static_cast<size_t>(f.height); }

size_t MaxFrameSize(const Format& f) {
  // A run of one pixel costs four bytes.
  return f.compressed ? static_cast<size_t>(f.width) * static_cast<size_t>(f.height) * 4 : ImageSize(f);
}

Rgb Pixel(const Format& f, const Look& look, uint32_t frame, int x, int y) {
  Rgb c = look.scene == SCENE_COLOUR_BARS ? kBars[x * 7 / f.width] : TestPicture(f, frame, x, y);
  return {Scale(c.r, look.brightness), Scale(c.g, look.brightness), Scale(c.b, look.brightness)};
}

std::vector<uint8_t> RenderFrame(const Format& f, const Look& look, uint32_t frame) {
  std::vector<uint8_t> out;
  if (!IsSupported(f)) return out;
  if (f.compressed) {
    out.reserve(ImageSize(f) / 4);
    Rgb run{};
    int count = 0;
    auto flush = [&] {
      if (count == 0) return;
      out.push_back(static_cast<uint8_t>(count));
      out.push_back(run.b);
      out.push_back(run.g);
      out.push_back(run.r);
      count = 0;
    };
    for (int row = 0; row < f.height; ++row) {
      int y = f.height - 1 - row;
      for (int x = 0; x < f.width; ++x) {
        Rgb c = Pixel(f, look, frame, x, y);
        if (count > 0 && (count == 255 || !(c == run))) flush();
        run = c;
        ++count;
      }
    }
    flush();
    return out;
  }
  size_t stride = Stride(f.width, f.bits);
  out.assign(ImageSize(f), 0);
  for (int row = 0; row < f.height; ++row) {
    int y = f.height - 1 - row;
    uint8_t* p = out.data() + static_cast<size_t>(row) * stride;
    for (int x = 0; x < f.width; ++x) {
      Rgb c = Pixel(f, look, frame, x, y);
      if (f.bits == 16) {
        unsigned v = static_cast<unsigned>((c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3));
        *p++ = static_cast<uint8_t>(v & 0xFF);
        *p++ = static_cast<uint8_t>(v >> 8);
      } else {
        *p++ = c.b;
        *p++ = c.g;
        *p++ = c.r;
        if (f.bits == 32) *p++ = 0;
      }
    }
  }
  return out;
}

}  // namespace vcam

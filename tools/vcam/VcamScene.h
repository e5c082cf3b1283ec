#pragma once
// The virtual camera's pictures. Pure pixel arithmetic, no Windows headers: every picture is a
// function of the format, the scene settings and the frame number alone, so a test can compute
// the exact bytes a given frame delivers.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcam {

enum Scene : int {
  SCENE_TEST_PICTURE = 0,  // colour bars, a bouncing ball, a sweep line, a clock and a counter
  SCENE_COLOUR_BARS = 1,   // full-height colour bars that never change
  SCENE_COUNT
};

// FourCC of the run-length coded format: runs of (count 1..255, blue, green, red) over the
// pixels of the 24-bit picture in DIB order (bottom row first).
const uint32_t FOURCC_RUNS = 'V' | ('C' << 8) | ('R' << 16) | ('L' << 24);

struct Format {
  int width = 320;
  int height = 240;
  int bits = 24;            // 16 (5-5-5), 24 or 32
  bool compressed = false;  // run-length coded 24-bit pictures; `bits` is then 24
};

struct Look {
  int scene = SCENE_TEST_PICTURE;
  int brightness = 50;  // 0..100; 50 leaves the colours as they are
};

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

bool IsSupported(const Format& f);
// Row stride of an uncompressed picture: whole 32-bit words.
size_t Stride(int width, int bits);
// Bytes of one uncompressed picture in the format's bit depth.
size_t ImageSize(const Format& f);
// Largest frame the format can deliver (the value for biSizeImage).
size_t MaxFrameSize(const Format& f);

// The colour of picture point (x, y), y counted from the top, in frame `frame`.
Rgb Pixel(const Format& f, const Look& look, uint32_t frame, int x, int y);

// The frame as the driver delivers it: a bottom-up DIB pixel block, or for the compressed
// format its run-length code (shorter than ImageSize for every scene here).
std::vector<uint8_t> RenderFrame(const Format& f, const Look& look, uint32_t frame);

}  // namespace vcam

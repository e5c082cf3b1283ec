#pragma once
// Fixed-layout value records of skin files and pictures. They mirror the platform's own
// structures byte for byte, so the portable core reads and writes them without windows.h.

#include <cstddef>
#include <cstdint>

namespace skin {

struct Rect32 {
  int32_t left, top, right, bottom;
};

// The platform's logical font record (60 bytes).
struct LogFont {
  int32_t height, width, escapement, orientation, weight;
  uint8_t italic, underline, strikeOut, charSet;
  uint8_t outPrecision, clipPrecision, quality, pitchAndFamily;
  char faceName[32];
};

struct FontSpec {
  LogFont font;
  uint32_t color;  // 0x00BBGGRR
};

struct ImageRef {
  char name[52];  // zero-terminated; at most 50 characters are used
  Rect32 source;
  int32_t mode;  // 0 natural size, 1 tiled, 2 stretched
};

struct GridImageRef {
  char name[52];
  Rect32 source;
  Rect32 margins;
  int32_t mode;  // 0 to 8
};

struct TextEffect {
  int8_t shadowX, shadowY;
  uint8_t unused1[2];
  uint8_t text[3];  // red, green, blue
  uint8_t unused2;
  uint8_t shadow[3];
  uint8_t unused3;
  uint16_t flags;  // bit 0: draw the shadow
  uint16_t unused4;
};

// The platform's bitmap info header (40 bytes).
struct BitmapInfoHeader {
  uint32_t size;
  int32_t width, height;
  uint16_t planes, bitCount;
  uint32_t compression, sizeImage;
  int32_t xPelsPerMeter, yPelsPerMeter;
  uint32_t clrUsed, clrImportant;
};

struct RgbQuad {
  uint8_t blue, green, red, reserved;
};

static_assert(sizeof(Rect32) == 16, "layout");
static_assert(sizeof(LogFont) == 60, "layout");
static_assert(sizeof(FontSpec) == 64, "layout");
static_assert(sizeof(ImageRef) == 72, "layout");
static_assert(sizeof(GridImageRef) == 88, "layout");
static_assert(sizeof(TextEffect) == 16, "layout");
static_assert(sizeof(BitmapInfoHeader) == 40, "layout");
static_assert(sizeof(RgbQuad) == 4, "layout");

// System colour indices, numbered as the platform numbers them.
enum SysColor {
  kColorActiveCaption = 2,
  kColorInactiveCaption = 3,
  kColorWindow = 5,
  kColorWindowText = 8,
  kColorCaptionText = 9,
  kColorHighlight = 13,
  kColorHighlightText = 14,
  kColorBtnFace = 15,
  kColorBtnShadow = 16,
  kColorGrayText = 17,
  kColorBtnText = 18,
  kColorInfoBk = 24,
};

// The system colour of an index: the classic scheme natively, the running system's colours
// once the Windows side installs its provider.
uint32_t SysColor(int index);
using SysColorProvider = uint32_t (*)(int index);
void SetSysColorProvider(SysColorProvider provider);

// Text of a fixed char field that may lack its terminator (skin files are untrusted).
inline size_t BoundedLength(const char* text, size_t capacity) {
  size_t n = 0;
  while (n < capacity && text[n]) ++n;
  return n;
}

}  // namespace skin

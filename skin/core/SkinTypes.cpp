#include "SkinTypes.h"

namespace skin {

namespace {
SysColorProvider g_provider = nullptr;

// The classic scheme, used until the platform's own colours are installed.
uint32_t ClassicColor(int index) {
  switch (index) {
    case kColorActiveCaption: return 0x6A240A;
    case kColorInactiveCaption: return 0x808080;
    case kColorWindow: return 0xFFFFFF;
    case kColorWindowText: return 0x000000;
    case kColorCaptionText: return 0xFFFFFF;
    case kColorHighlight: return 0x6A240A;
    case kColorHighlightText: return 0xFFFFFF;
    case kColorBtnFace: return 0xC8D0D4;
    case kColorBtnShadow: return 0x808080;
    case kColorGrayText: return 0x808080;
    case kColorBtnText: return 0x000000;
    case kColorInfoBk: return 0xE1FFFF;
  }
  return 0;
}
}  // namespace

uint32_t SysColor(int index) { return g_provider ? g_provider(index) : ClassicColor(index); }

void SetSysColorProvider(SysColorProvider provider) { g_provider = provider; }

}  // namespace skin

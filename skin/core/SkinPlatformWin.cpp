#include "SkinPlatformWin.h"

#include <windows.h>

#include <cstring>

#include "SkinObjects.h"

namespace skin {

namespace {
uint32_t SystemColor(int index) { return static_cast<uint32_t>(GetSysColor(index)); }

void* CreateFontFor(const LogFont& font) {
  static_assert(sizeof(LogFont) == sizeof(LOGFONTA), "LogFont mirrors LOGFONTA");
  LOGFONTA lf;
  std::memcpy(&lf, &font, sizeof lf);
  lf.lfFaceName[LF_FACESIZE - 1] = 0;  // skin files are untrusted
  return CreateFontIndirectA(&lf);
}

void DeleteHandle(void* handle) { DeleteObject(static_cast<HGDIOBJ>(handle)); }

const SkinPlatform kWindows = {CreateFontFor, nullptr, DeleteHandle};
}  // namespace

void InstallWindowsPlatform() {
  SetSysColorProvider(SystemColor);
  SetSkinPlatform(&kWindows);
}

}  // namespace skin

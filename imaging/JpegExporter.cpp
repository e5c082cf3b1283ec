#include "JpegExporter.h"

#include <string>

#include "DibBitmap.h"
#include "JpegWriter.h"
#include "RgbRows.h"

namespace {

void ShowJpegMessage(const char* message, void*) {
  ::MessageBoxA(::GetActiveWindow(), message, "JPEG Error", MB_OK);
}

// The system palette's first 255 entries on a palette device, else the default palette.
HPALETTE ExportPalette(bool* created) {
  *created = false;
  CWnd* main = AfxGetMainWnd();
  HWND wnd = main ? main->GetSafeHwnd() : nullptr;
  HDC wdc = ::GetWindowDC(wnd);
  HPALETTE palette = nullptr;
  if (wdc && (::GetDeviceCaps(wdc, RASTERCAPS) & RC_PALETTE)) {
    const size_t bytes = sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY);
    LOGPALETTE* log = static_cast<LOGPALETTE*>(::operator new(bytes));
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(::GetSystemPaletteEntries(wdc, 0, 255, log->palPalEntry));
    palette = ::CreatePalette(log);
    ::operator delete(log);
    *created = palette != nullptr;
  }
  if (wdc) ::ReleaseDC(wnd, wdc);
  if (!palette) palette = static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
  return palette;
}

bool ReplaceFile(const char* from, const char* to) {
  return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace

BITMAPINFOHEADER* CJpegExporter::CreateDibFromBitmap(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !::GetObjectA(bitmap, sizeof bm, &bm)) return nullptr;
  bool createdPalette = false;
  HPALETTE palette = ExportPalette(&createdPalette);

  BITMAPINFOHEADER bi = DibHeaderOf(bm);
  const DWORD entries = bi.biBitCount <= 8 ? (1u << bi.biBitCount) : 0;
  const SIZE_T headerBytes = sizeof bi + 4 * entries;

  HDC screen = ::GetDC(nullptr);
  HPALETTE oldPalette = ::SelectPalette(screen, palette, FALSE);
  ::RealizePalette(screen);

  BITMAPINFOHEADER* result = nullptr;
  if (auto* block = static_cast<BITMAPINFOHEADER*>(::GlobalAlloc(GMEM_FIXED, headerBytes))) {
    *block = bi;
    ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(bi.biHeight), nullptr,
                reinterpret_cast<BITMAPINFO*>(block), DIB_RGB_COLORS);
    bi = *block;
    if (bi.biSizeImage == 0)
      bi.biSizeImage = ((static_cast<DWORD>(bi.biWidth) * bi.biBitCount + 31) & ~31u) / 8 * bi.biHeight;
    auto* grown = static_cast<BITMAPINFOHEADER*>(::GlobalReAlloc(block, headerBytes + bi.biSizeImage, GMEM_MOVEABLE));
    if (!grown) {
      ::GlobalFree(block);
    } else {
      *grown = bi;
      BYTE* bits = reinterpret_cast<BYTE*>(grown) + headerBytes;
      if (::GetDIBits(screen, bitmap, 0, static_cast<UINT>(bi.biHeight), bits,
                      reinterpret_cast<BITMAPINFO*>(grown), DIB_RGB_COLORS))
        result = grown;
      else
        ::GlobalFree(grown);
    }
  }
  ::SelectPalette(screen, oldPalette, FALSE);
  ::ReleaseDC(nullptr, screen);
  if (createdPalette) ::DeleteObject(palette);
  return result;
}

BOOL CJpegExporter::SaveJpeg(const BITMAPINFOHEADER* dib, int quality, CString path, CString* error) {
  std::string text;
  const bool ok = WriteDibAsJpeg(dib, quality, path.GetString(), error ? &text : nullptr, ShowJpegMessage,
                                 nullptr, ReplaceFile);
  if (error) *error = text.c_str();
  return ok ? TRUE : FALSE;
}

BOOL CJpegExporter::FillRgbRows(const BITMAPINFOHEADER* dib, int lineLength, BYTE** rows, CString* error) {
  std::string text;
  const bool ok = ::FillRgbRows(dib, lineLength, rows, error ? &text : nullptr);
  if (error && !ok) *error = text.c_str();
  return ok ? TRUE : FALSE;
}

DWORD CJpegExporter::Expand555(WORD pixel) { return ::Expand555(pixel); }

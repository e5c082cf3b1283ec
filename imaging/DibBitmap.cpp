#include "DibBitmap.h"

#include <cstring>
#include <vector>

#include "DibFormat.h"

namespace {
int ScreenBitsPerPixel() {
  HDC screen = GetDC(nullptr);
  int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits;
}

const BYTE* PixelsOf(const BITMAPINFO* dib) {
  return reinterpret_cast<const BYTE*>(dib) + dib->bmiHeader.biSize +
         4 * DibColorCount(&dib->bmiHeader);
}

HBITMAP MakeBitmap(const BITMAPINFO* dib, const void* pixels) {
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateDIBitmap(screen, &dib->bmiHeader, CBM_INIT, pixels, dib, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bmp;
}

// The screen DC with the palette of the window that has the focus (else the default one).
struct ScreenPalette {
  HDC screen = GetDC(nullptr);
  HPALETTE old = nullptr;
  ScreenPalette() {
    HPALETTE pal = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    if (HWND focus = GetFocus()) {
      HDC fdc = GetDC(focus);
      pal = SelectPalette(fdc, pal, FALSE);
      ReleaseDC(focus, fdc);
    }
    old = SelectPalette(screen, pal, FALSE);
    RealizePalette(screen);
  }
  ~ScreenPalette() {
    if (old) SelectPalette(screen, old, FALSE);
    ReleaseDC(nullptr, screen);
  }
};
}  // namespace

int DibColorCount(const BITMAPINFOHEADER* header) {
  return static_cast<int>(dib::ColorCount(header->biBitCount, header->biClrUsed));
}

int PointsToFontHeight(int points) {
  HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  DeleteDC(dc);
  return -MulDiv(points, dpi, 72);
}

BITMAPINFOHEADER DibHeaderOf(const BITMAP& bm) {
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof bi;
  bi.biWidth = bm.bmWidth;
  bi.biHeight = bm.bmHeight;
  bi.biPlanes = 1;
  bi.biBitCount = static_cast<WORD>(bm.bmPlanes * bm.bmBitsPixel);
  bi.biCompression = BI_RGB;
  return bi;
}

HGLOBAL BitmapToDib(HBITMAP bitmap) {
  if (!bitmap) return nullptr;
  BITMAP bm{};
  if (!GetObjectA(bitmap, sizeof bm, &bm)) return nullptr;
  BITMAPINFOHEADER bi = DibHeaderOf(bm);
  const SIZE_T tableSize = 4 * DibColorCount(&bi);
  HGLOBAL head = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof bi + tableSize);
  if (!head) return nullptr;
  ScreenPalette screen;
  auto* info = static_cast<BITMAPINFOHEADER*>(GlobalLock(head));
  *info = bi;
  GetDIBits(screen.screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), nullptr,
            reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS);
  bi = *info;
  GlobalUnlock(head);

  if (bi.biSizeImage == 0) {
    bi.biSizeImage = static_cast<DWORD>(dib::ImageSize(bi.biWidth, bi.biHeight, bi.biBitCount));
    if (bi.biCompression != BI_RGB) bi.biSizeImage = bi.biSizeImage * 3 / 2;
  }
  const SIZE_T offset = bi.biSize + 4 * DibColorCount(&bi);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, offset + bi.biSizeImage);
  if (!block) {
    GlobalFree(head);
    return nullptr;
  }
  BYTE* dst = static_cast<BYTE*>(GlobalLock(block));
  const BYTE* src = static_cast<const BYTE*>(GlobalLock(head));
  std::memcpy(dst, src, offset < sizeof bi + tableSize ? offset : sizeof bi + tableSize);
  GlobalUnlock(head);
  GlobalFree(head);
  auto* out = reinterpret_cast<BITMAPINFOHEADER*>(dst);
  *out = bi;
  if (!GetDIBits(screen.screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), dst + offset,
                 reinterpret_cast<BITMAPINFO*>(out), DIB_RGB_COLORS)) {
    GlobalUnlock(block);
    GlobalFree(block);
    return nullptr;
  }
  GlobalUnlock(block);
  return block;
}

CDibBitmap::~CDibBitmap() {
  ReleaseMemDC();
  m_memDC.DeleteDC();
  DeleteObject();
}

BOOL CDibBitmap::SetFromDib(const BITMAPINFO* dib) {
  if (!dib || m_oldBitmap || dib->bmiHeader.biCompression != BI_RGB) return FALSE;
  const BYTE* pixels = PixelsOf(dib);
  if (GetSafeHandle()) {
    BITMAP bm{};
    GetBitmap(&bm);
    if (bm.bmWidth == dib->bmiHeader.biWidth && bm.bmHeight == dib->bmiHeader.biHeight &&
        bm.bmBitsPixel == ScreenBitsPerPixel()) {
      // Same size and depth: reuse the bitmap, as every live frame does.
      HDC screen = GetDC(nullptr);
      int lines = SetDIBits(screen, *this, 0, static_cast<UINT>(dib->bmiHeader.biHeight), pixels, dib,
                            DIB_RGB_COLORS);
      ReleaseDC(nullptr, screen);
      return lines == dib->bmiHeader.biHeight;
    }
    DeleteObject();
  }
  HBITMAP bmp = MakeBitmap(dib, pixels);
  return bmp ? Attach(bmp) : FALSE;
}

BOOL CDibBitmap::LoadBmp(LPCSTR path) {
  if (GetSafeHandle()) return FALSE;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  BYTE head[dib::kFileHeaderSize];
  DWORD got = 0;
  LARGE_INTEGER size{};
  bool ok = ReadFile(file, head, sizeof head, &got, nullptr) && got == sizeof head && head[0] == 'B' &&
            head[1] == 'M' && GetFileSizeEx(file, &size) && size.QuadPart > 14 &&
            size.QuadPart - 14 < (1LL << 31);
  std::vector<BYTE> block;
  if (ok) {
    block.resize(static_cast<size_t>(size.QuadPart - 14));
    ok = ReadFile(file, block.data(), static_cast<DWORD>(block.size()), &got, nullptr) && got == block.size();
  }
  CloseHandle(file);
  if (!ok) return FALSE;
  // The header must describe pixels that lie inside what was read.
  dib::BlockCheck check = dib::CheckBlock(block.data(), block.size());
  if (!check.ok) return FALSE;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(block.data());
  HBITMAP bmp = MakeBitmap(info, block.data() + check.pixelOffset);
  return bmp ? Attach(bmp) : FALSE;
}

BOOL CDibBitmap::SaveBmp(LPCSTR path) {
  if (!GetSafeHandle()) return FALSE;
  // The DIB first: a bitmap that cannot be converted leaves no file behind.
  HGLOBAL block = BitmapToDib(*this);
  if (!block) return FALSE;
  const auto* info = static_cast<const BITMAPINFOHEADER*>(GlobalLock(block));
  const uint64_t offset = info->biSize + 4ull * DibColorCount(info);
  const uint64_t blockSize = offset + info->biSizeImage;
  BYTE head[dib::kFileHeaderSize];
  dib::WriteFileHeader(blockSize, offset, head);

  // Written beside the target and renamed over it only when complete: the path holds either
  // the old file or the whole new one, never a part.
  CString temp = CString(path) + ".part";
  HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD error = 0;
  BOOL ok = FALSE;
  if (file != INVALID_HANDLE_VALUE) {
    DWORD put = 0, put2 = 0;
    ok = WriteFile(file, head, sizeof head, &put, nullptr) && put == sizeof head &&
         WriteFile(file, info, static_cast<DWORD>(blockSize), &put2, nullptr) && put2 == blockSize;
    if (!ok) error = GetLastError();
    if (!CloseHandle(file) && ok) {
      ok = FALSE;
      error = GetLastError();
    }
    if (ok && !MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING)) {
      ok = FALSE;
      error = GetLastError();
    }
    if (!ok) DeleteFileA(temp);
  } else {
    error = GetLastError();
  }
  GlobalUnlock(block);
  GlobalFree(block);
  if (!ok) SetLastError(error ? error : ERROR_WRITE_FAULT);
  return ok;
}

CSize CDibBitmap::GetSize() const {
  BITMAP bm{};
  if (!GetSafeHandle() || !GetBitmap(&bm)) return CSize(0, 0);
  return CSize(bm.bmWidth, bm.bmHeight);
}

CDC* CDibBitmap::GetMemDC() {
  ReleaseMemDC();
  m_memDC.DeleteDC();
  HWND desktop = GetDesktopWindow();
  HDC ddc = GetDC(desktop);
  m_memDC.Attach(CreateCompatibleDC(ddc));
  ReleaseDC(desktop, ddc);
  m_oldBitmap = m_memDC.SelectObject(GetSafeHandle());
  return &m_memDC;
}

void CDibBitmap::ReleaseMemDC() {
  if (!m_memDC.GetSafeHdc()) return;
  if (m_oldBitmap) m_memDC.SelectObject(m_oldBitmap);
  m_memDC.DeleteDC();
  m_oldBitmap = nullptr;
}

void CDibBitmap::Draw(CDC* dest, int x, int y, DWORD rop) {
  CSize size = GetSize();
  CDC* mem = GetMemDC();
  dest->BitBlt(x, y, size.cx, size.cy, mem, 0, 0, rop);
  ReleaseMemDC();
}

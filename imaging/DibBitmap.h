#pragma once
// Device bitmaps, packed DIBs and BMP files. CDibBitmap is a bitmap holder with its own memory
// device context: made from a DIB (a camera frame), loaded from and saved to BMP files, drawn.

#include "Framework.h"

class CDibBitmap : public CBitmap {
 public:
  CDibBitmap() = default;
  ~CDibBitmap() override;
  CDibBitmap(const CDibBitmap&) = delete;
  CDibBitmap& operator=(const CDibBitmap&) = delete;

  // The holder now has a bitmap with the DIB's picture; only uncompressed DIBs convert.
  BOOL SetFromDib(const BITMAPINFO* dib);
  // The holder (which must be empty) now has the file's picture. A damaged file is refused
  // before anything reads its pixels.
  BOOL LoadBmp(LPCSTR path);
  // The file was written completely. On failure nothing is left at the path, and a file that
  // was there stays as it was.
  BOOL SaveBmp(LPCSTR path);
  CSize GetSize() const;
  // m_memDC with the bitmap selected, until ReleaseMemDC.
  CDC* GetMemDC();
  void ReleaseMemDC();
  void Draw(CDC* dest, int x, int y, DWORD rop);

 private:
  CDC m_memDC;
  HGDIOBJ m_oldBitmap = nullptr;
};

// A packed DIB of the bitmap in movable global memory (unlocked), owned by the caller; or null.
HGLOBAL BitmapToDib(HBITMAP bitmap);
int DibColorCount(const BITMAPINFOHEADER* header);
// The uncompressed 40-byte header of a bitmap's own size and depth, other fields 0.
BITMAPINFOHEADER DibHeaderOf(const BITMAP& bm);
// Font height (negative, display pixels) of a size in points.
int PointsToFontHeight(int points);

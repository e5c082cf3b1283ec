#include "DrawTransparent.h"

void DrawTransparent(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, int sw, int sh,
                     COLORREF key) {
  HBITMAP colour = CreateCompatibleBitmap(dest, w, h);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HDC colourDC = CreateCompatibleDC(dest);
  HDC maskDC = CreateCompatibleDC(dest);
  HGDIOBJ oldColour = SelectObject(colourDC, colour);
  HGDIOBJ oldMask = SelectObject(maskDC, mask);

  // The key is compared after the copy into the destination's format, so on a display of
  // fewer bits near-white colours that map to white are transparent too.
  if (w == sw && h == sh)
    BitBlt(colourDC, 0, 0, w, h, source, sx, sy, SRCCOPY);
  else
    StretchBlt(colourDC, 0, 0, w, h, source, sx, sy, sw, sh, SRCCOPY);

  SetBkColor(colourDC, key);
  BitBlt(maskDC, 0, 0, w, h, colourDC, 0, 0, SRCCOPY);  // key pixels 1, others 0

  SetBkColor(colourDC, RGB(0, 0, 0));
  SetTextColor(colourDC, RGB(255, 255, 255));
  BitBlt(colourDC, 0, 0, w, h, maskDC, 0, 0, SRCAND);  // key pixels of the copy turn black

  SetBkColor(dest, RGB(255, 255, 255));
  SetTextColor(dest, RGB(0, 0, 0));
  BitBlt(dest, x, y, w, h, maskDC, 0, 0, SRCAND);      // destination black where the source shows
  BitBlt(dest, x, y, w, h, colourDC, 0, 0, SRCPAINT);  // and the source's colours there

  SelectObject(colourDC, oldColour);
  SelectObject(maskDC, oldMask);
  DeleteDC(colourDC);
  DeleteDC(maskDC);
  DeleteObject(colour);
  DeleteObject(mask);
}

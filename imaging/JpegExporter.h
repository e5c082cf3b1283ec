#pragma once
// JPEG export of a photo: the device bitmap becomes a packed DIB through GDI, and the DIB is
// compressed by libjpeg into a file. libjpeg's own messages appear in a "JPEG Error" box.

#include "Framework.h"

class CJpegExporter : public CObject {
 public:
  CJpegExporter() = default;
  ~CJpegExporter() override = default;

  // A packed DIB of the bitmap at its own depth (2^bits colour entries up to 8 bits), in one
  // block of global memory that the caller frees with GlobalFree; null on failure.
  BITMAPINFOHEADER* CreateDibFromBitmap(HBITMAP bitmap);
  // TRUE when the whole file was written; the error text is then empty. On FALSE nothing new
  // is left at the path (a file that was there stays as it was) and the error text says why (for libjpeg's own errors, its message, which
  // the "JPEG Error" box has shown already). With no error text: FALSE and nothing is done.
  BOOL SaveJpeg(const BITMAPINFOHEADER* dib, int quality, CString path, CString* error);

 protected:
  BOOL FillRgbRows(const BITMAPINFOHEADER* dib, int lineLength, BYTE** rows, CString* error);
  static DWORD Expand555(WORD pixel);
};

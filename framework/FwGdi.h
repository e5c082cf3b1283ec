#pragma once
// Device contexts and GDI objects. Each object deletes the handle it holds when it is destroyed;
// Detach hands the handle over instead.

#include <windows.h>

#include "FwString.h"
#include "FwTypes.h"

class CDC;
class CWnd;

class CGdiObject : public CObject {
 public:
  CGdiObject() = default;
  ~CGdiObject() override;

  HGDIOBJ m_hObject = nullptr;

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  operator HGDIOBJ() const { return m_hObject; }  // NOLINT

  BOOL Attach(HGDIOBJ handle);
  HGDIOBJ Detach();
  // Deletes the held object (stock objects are left alone); FALSE when there was none.
  BOOL DeleteObject();
  int GetObject(int size, void* buffer) const;
  BOOL CreateStockObject(int index);

  // A temporary object for a handle: stock objects live as long as the thread, the others until
  // the message loop is next idle.
  static CGdiObject* FromHandle(HGDIOBJ handle);
};

class CBitmap : public CGdiObject {
 public:
  static CBitmap* FromHandle(HBITMAP handle);
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }  // NOLINT
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  BOOL LoadBitmap(UINT id);
  int GetBitmap(BITMAP* info) const;
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color);
  static CBrush* FromHandle(HBRUSH handle);
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }  // NOLINT
  BOOL CreateSolidBrush(COLORREF color);
};

class CFont : public CGdiObject {
 public:
  static CFont* FromHandle(HFONT handle);
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }  // NOLINT
  BOOL CreateFontIndirect(const LOGFONTA* logFont);
  int GetLogFont(LOGFONTA* logFont) const;
};

class CPalette : public CGdiObject {
 public:
  static CPalette* FromHandle(HPALETTE handle);
  operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }  // NOLINT
  BOOL CreatePalette(const LOGPALETTE* logPalette);
  int GetEntryCount() const;
};

class CDC : public CObject {
 public:
  CDC() = default;
  ~CDC() override;

  HDC m_hDC = nullptr;

  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }  // NOLINT

  // A temporary wrapper, valid until the message loop is next idle.
  static CDC* FromHandle(HDC hdc);
  BOOL Attach(HDC hdc);
  HDC Detach();

  BOOL CreateCompatibleDC(CDC* dc);  // null: compatible with the screen
  BOOL CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODEA* init);
  BOOL DeleteDC();

  int SaveDC();
  BOOL RestoreDC(int saved);

  // Selection returns the object that was selected before, as a temporary object.
  CGdiObject* SelectObject(CGdiObject* object);
  CBitmap* SelectObject(CBitmap* bitmap);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  HGDIOBJ SelectObject(HGDIOBJ object);
  CGdiObject* SelectStockObject(int index);
  CPalette* SelectPalette(CPalette* palette, BOOL forceBackground);
  UINT RealizePalette();

  COLORREF SetTextColor(COLORREF color);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF color);
  COLORREF GetBkColor() const;
  int SetBkMode(int mode);
  int GetBkMode() const;
  int SetStretchBltMode(int mode);
  int SetROP2(int mode);

  BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop);
  BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh,
                  DWORD rop);
  BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
  void FillRect(LPCRECT rect, CBrush* brush);
  void FillSolidRect(LPCRECT rect, COLORREF color);
  BOOL DrawIcon(int x, int y, HICON icon);
  COLORREF GetPixel(int x, int y) const;
  COLORREF SetPixel(int x, int y, COLORREF color);

  int DrawText(LPCSTR text, int count, LPRECT rect, UINT format);
  int DrawText(const CString& text, LPRECT rect, UINT format);  // shows a kept wide original
  BOOL TextOut(int x, int y, LPCSTR text, int count);
  CSize GetTextExtent(LPCSTR text, int count) const;
  CSize GetTextExtent(const CString& text) const;
  int GetDeviceCaps(int index) const;
};

// Painting of a window between BeginPaint and EndPaint.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 private:
  HWND m_hWnd;
};

// The client area of a window (the screen for null), released at the end of its scope.
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;

 private:
  HWND m_hWnd;
};

// The whole window, frame included.
class CWindowDC : public CDC {
 public:
  explicit CWindowDC(CWnd* wnd);
  ~CWindowDC() override;

 private:
  HWND m_hWnd;
};

// Calls fn with a CDC that wraps the handle in wParam for the length of the call (message-map
// entries of handlers that take a CDC*).
template <class Fn>
auto FwCallWithDC(WPARAM hdc, Fn fn) {
  CDC dc;
  dc.Attach(reinterpret_cast<HDC>(hdc));
  auto result = fn(&dc);
  dc.Detach();
  return result;
}

#include "FwGdi.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "FwApp.h"
#include "FwInternal.h"
#include "FwWindow.h"

namespace {

enum TempKind { kGeneric, kBitmap, kBrush, kFont, kPalette };

struct GdiTemporaries {
  std::map<std::pair<HGDIOBJ, int>, std::unique_ptr<CGdiObject>> stock;
  std::map<std::pair<HGDIOBJ, int>, std::unique_ptr<CGdiObject>> other;
  std::map<HDC, std::unique_ptr<CDC>> dcs;
  std::vector<HGDIOBJ> stockHandles;
};

GdiTemporaries& Temps() {
  // A plain pointer, like the window maps (see FwWindow.cpp).
  thread_local GdiTemporaries* temps = nullptr;
  if (!temps) temps = new GdiTemporaries;
  return *temps;
}

bool IsStockObject(HGDIOBJ handle) {
  auto& handles = Temps().stockHandles;
  if (handles.empty()) {
    for (int i = WHITE_BRUSH; i <= DC_PEN; ++i) {
      if (HGDIOBJ h = GetStockObject(i)) handles.push_back(h);
    }
    // The 1 x 1 bitmap that every new memory device context starts with.
    if (HDC dc = CreateCompatibleDC(nullptr)) {
      handles.push_back(GetCurrentObject(dc, OBJ_BITMAP));
      DeleteDC(dc);
    }
  }
  for (HGDIOBJ h : handles)
    if (h == handle) return true;
  return false;
}

template <class T>
T* TempObject(HGDIOBJ handle, int kind) {
  if (!handle) return nullptr;
  auto& temps = Temps();
  auto& map = IsStockObject(handle) ? temps.stock : temps.other;
  auto& slot = map[{handle, kind}];
  if (!slot) {
    slot = std::make_unique<T>();
    slot->m_hObject = handle;
  }
  return static_cast<T*>(slot.get());
}

}  // namespace

void FwFreeTempGdi() {
  auto& temps = Temps();
  for (auto& e : temps.other) e.second->Detach();
  temps.other.clear();
  for (auto& e : temps.dcs) e.second->Detach();
  temps.dcs.clear();
}

// ---- GDI objects ----

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ handle) {
  if (!handle || m_hObject) return FALSE;
  m_hObject = handle;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ handle = m_hObject;
  m_hObject = nullptr;
  return handle;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  HGDIOBJ handle = Detach();
  return ::DeleteObject(handle);  // a stock object is not deleted by the system
}

int CGdiObject::GetObject(int size, void* buffer) const {
  return m_hObject ? ::GetObjectA(m_hObject, size, buffer) : 0;
}

BOOL CGdiObject::CreateStockObject(int index) { return Attach(::GetStockObject(index)); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle) { return TempObject<CGdiObject>(handle, kGeneric); }
CBitmap* CBitmap::FromHandle(HBITMAP handle) { return TempObject<CBitmap>(handle, kBitmap); }
CBrush* CBrush::FromHandle(HBRUSH handle) { return TempObject<CBrush>(handle, kBrush); }
CFont* CFont::FromHandle(HFONT handle) { return TempObject<CFont>(handle, kFont); }
CPalette* CPalette::FromHandle(HPALETTE handle) { return TempObject<CPalette>(handle, kPalette); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  if (m_hObject || !dc) return FALSE;
  return Attach(::CreateCompatibleBitmap(dc->GetSafeHdc(), width, height));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (m_hObject) return FALSE;
  return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

BOOL CBitmap::LoadBitmap(UINT id) {
  if (m_hObject) return FALSE;
  return Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)));
}

int CBitmap::GetBitmap(BITMAP* info) const { return GetObject(sizeof(BITMAP), info); }

CBrush::CBrush(COLORREF color) { CreateSolidBrush(color); }

BOOL CBrush::CreateSolidBrush(COLORREF color) {
  if (m_hObject) return FALSE;
  return Attach(::CreateSolidBrush(color));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* logFont) {
  if (m_hObject || !logFont) return FALSE;
  return Attach(::CreateFontIndirectA(logFont));
}

int CFont::GetLogFont(LOGFONTA* logFont) const { return GetObject(sizeof(LOGFONTA), logFont); }

BOOL CPalette::CreatePalette(const LOGPALETTE* logPalette) {
  if (m_hObject || !logPalette) return FALSE;
  return Attach(::CreatePalette(logPalette));
}

int CPalette::GetEntryCount() const {
  WORD count = 0;
  return GetObject(sizeof(count), &count) ? count : 0;
}

// ---- device contexts ----

CDC::~CDC() { DeleteDC(); }

CDC* CDC::FromHandle(HDC hdc) {
  if (!hdc) return nullptr;
  auto& slot = Temps().dcs[hdc];
  if (!slot) {
    slot = std::make_unique<CDC>();
    slot->m_hDC = hdc;
  }
  return slot.get();
}

BOOL CDC::Attach(HDC hdc) {
  if (!hdc || m_hDC) return FALSE;
  m_hDC = hdc;
  return TRUE;
}

HDC CDC::Detach() {
  HDC hdc = m_hDC;
  m_hDC = nullptr;
  return hdc;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  if (m_hDC) return FALSE;
  return Attach(::CreateCompatibleDC(dc ? dc->GetSafeHdc() : nullptr));
}

BOOL CDC::CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODEA* init) {
  if (m_hDC) return FALSE;
  return Attach(::CreateDCA(driver, device, output, init));
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  return ::DeleteDC(Detach());
}

int CDC::SaveDC() { return ::SaveDC(m_hDC); }
BOOL CDC::RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }

CGdiObject* CDC::SelectObject(CGdiObject* object) {
  if (!m_hDC || !object || !object->GetSafeHandle()) return nullptr;
  return CGdiObject::FromHandle(::SelectObject(m_hDC, object->GetSafeHandle()));
}
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  if (!m_hDC || !bitmap || !bitmap->GetSafeHandle()) return nullptr;
  return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap->GetSafeHandle())));
}
CBrush* CDC::SelectObject(CBrush* brush) {
  if (!m_hDC || !brush || !brush->GetSafeHandle()) return nullptr;
  return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, brush->GetSafeHandle())));
}
CFont* CDC::SelectObject(CFont* font) {
  if (!m_hDC || !font || !font->GetSafeHandle()) return nullptr;
  return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, font->GetSafeHandle())));
}
HGDIOBJ CDC::SelectObject(HGDIOBJ object) { return m_hDC && object ? ::SelectObject(m_hDC, object) : nullptr; }
CGdiObject* CDC::SelectStockObject(int index) {
  HGDIOBJ stock = ::GetStockObject(index);
  if (!m_hDC || !stock) return nullptr;
  return CGdiObject::FromHandle(::SelectObject(m_hDC, stock));
}
CPalette* CDC::SelectPalette(CPalette* palette, BOOL forceBackground) {
  if (!m_hDC || !palette || !palette->GetSafeHandle()) return nullptr;
  return CPalette::FromHandle(::SelectPalette(m_hDC, *palette, forceBackground));
}
UINT CDC::RealizePalette() { return ::RealizePalette(m_hDC); }

COLORREF CDC::SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hDC); }
COLORREF CDC::SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hDC); }
int CDC::SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
int CDC::GetBkMode() const { return ::GetBkMode(m_hDC); }
int CDC::SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
int CDC::SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop) {
  return ::BitBlt(m_hDC, x, y, width, height, source ? source->GetSafeHdc() : nullptr, sx, sy, rop);
}
BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh,
                     DWORD rop) {
  return ::StretchBlt(m_hDC, x, y, width, height, source ? source->GetSafeHdc() : nullptr, sx, sy, sw,
                      sh, rop);
}
BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
  return ::PatBlt(m_hDC, x, y, width, height, rop);
}
void CDC::FillRect(LPCRECT rect, CBrush* brush) {
  if (rect && brush) ::FillRect(m_hDC, rect, *brush);
}
void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
  if (!rect) return;
  COLORREF old = ::SetBkColor(m_hDC, color);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}
BOOL CDC::DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
COLORREF CDC::SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }

int CDC::DrawText(LPCSTR text, int count, LPRECT rect, UINT format) {
  return ::DrawTextA(m_hDC, text ? text : "", count, rect, format);
}
int CDC::DrawText(const CString& text, LPRECT rect, UINT format) {
  if (text.HasWideOriginal()) {
    std::wstring wide = text.ToWide();
    return ::DrawTextW(m_hDC, wide.c_str(), static_cast<int>(wide.size()), rect, format);
  }
  return ::DrawTextA(m_hDC, text, text.GetLength(), rect, format);
}
BOOL CDC::TextOut(int x, int y, LPCSTR text, int count) {
  return ::TextOutA(m_hDC, x, y, text ? text : "", text ? count : 0);
}
CSize CDC::GetTextExtent(LPCSTR text, int count) const {
  SIZE size{0, 0};
  if (text) ::GetTextExtentPoint32A(m_hDC, text, count, &size);
  return CSize(size);
}
CSize CDC::GetTextExtent(const CString& text) const { return GetTextExtent(text, text.GetLength()); }
int CDC::GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr) {
  if (m_hWnd) Attach(::BeginPaint(m_hWnd, &m_ps));
}
CPaintDC::~CPaintDC() {
  if (m_hWnd) ::EndPaint(m_hWnd, &m_ps);
  Detach();
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr) {
  Attach(::GetDC(m_hWnd));
}
CClientDC::~CClientDC() {
  if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr) {
  Attach(::GetWindowDC(m_hWnd));
}
CWindowDC::~CWindowDC() {
  if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}

#include "ColorStatic.h"

#include <cstring>

namespace {

// Font height for a point size on the display: negative, so that it is the character height.
LONG DisplayFontHeight(int pointSize) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return -MulDiv(pointSize, dpi, 72);
}

// The LOGFONT of the font the window holds; FALSE when it holds none.
BOOL WindowLogFont(HWND hWnd, LOGFONTA* lf) {
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageA(hWnd, WM_GETFONT, 0, 0));
  return font && GetObjectA(font, sizeof *lf, lf) != 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CColorStatic, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_MESSAGE(WM_PRINTCLIENT, &CColorStatic::OnPrintClient)
END_MESSAGE_MAP()

CColorStatic::CColorStatic()
    : m_textColor(GetSysColor(COLOR_BTNTEXT)),
      m_backColor(GetSysColor(COLOR_BTNFACE)),
      m_backBrush(new CBrush(m_backColor)) {}

CColorStatic::~CColorStatic() {
  m_labelFont.DeleteObject();
  m_backBrush->DeleteObject();
  delete m_backBrush;
}

void CColorStatic::Redraw(BOOL repaint) {
  if (repaint && m_hWnd) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CColorStatic::SetForeColor(COLORREF color, BOOL repaint) {
  m_textColor = color;
  Redraw(repaint);
}

void CColorStatic::SetBackColor(COLORREF color, BOOL repaint) {
  m_backColor = color;
  m_backBrush->DeleteObject();
  delete m_backBrush;
  m_backBrush = new CBrush(color);
  Redraw(repaint);
}

void CColorStatic::SetBold(BOOL bold, BOOL repaint) {
  m_bold = bold;
  LOGFONTA lf{};
  if (m_hWnd && WindowLogFont(m_hWnd, &lf)) MakeLabelFont(&lf, repaint);
}

void CColorStatic::SetFontFace(LPCSTR face, int pointSize, BOOL repaint) {
  LOGFONTA lf{};
  if (face) {
    std::strncpy(lf.lfFaceName, face, sizeof lf.lfFaceName - 1);
  } else if (!m_hWnd || !WindowLogFont(m_hWnd, &lf)) {
    return;
  }
  lf.lfHeight = DisplayFontHeight(pointSize);
  MakeLabelFont(&lf, repaint);
}

void CColorStatic::SetFontFrom(CFont* font, BOOL repaint) {
  LOGFONTA lf{};
  if (font && font->GetLogFont(&lf)) MakeLabelFont(&lf, repaint);
}

void CColorStatic::SetIcon(HICON icon, BOOL repaint) {
  m_icon = icon;
  Redraw(repaint);
}

void CColorStatic::MakeLabelFont(const LOGFONTA* logFont, BOOL repaint) {
  if (!logFont) return;
  m_labelFont.DeleteObject();
  LOGFONTA lf = *logFont;
  lf.lfWeight = m_bold ? FW_BOLD : FW_NORMAL;
  m_labelFont.CreateFontIndirect(&lf);
  Redraw(repaint);
}

void CColorStatic::PreSubclassWindow() {
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
  if (!font) font = GetStockObject(DEFAULT_GUI_FONT);
  if (!font) font = GetStockObject(ANSI_VAR_FONT);
  LOGFONTA lf{};
  if (font && GetObjectA(font, sizeof lf, &lf)) {
    m_labelFont.DeleteObject();
    m_labelFont.CreateFontIndirect(&lf);
  }
  CStatic::PreSubclassWindow();
}

void CColorStatic::OnPaint() {
  CPaintDC dc(this);
  Paint(dc);
}

LRESULT CColorStatic::OnPrintClient(WPARAM hdc, LPARAM flags) {
  CDC dc;
  dc.Attach(reinterpret_cast<HDC>(hdc));
  if (flags & PRF_ERASEBKGND) OnEraseBkgnd(&dc);
  Paint(dc);
  dc.Detach();
  return 0;
}

void CColorStatic::Paint(CDC& dc) {
  const int saved = dc.SaveDC();
  dc.SetTextColor(m_textColor);
  dc.SetBkColor(m_backColor);
  dc.SetBkMode(OPAQUE);
  dc.SelectObject(m_backBrush);

  CRect client;
  GetClientRect(&client);
  if (m_icon) {
    dc.DrawIcon(client.left + (client.Width() - GetSystemMetrics(SM_CXICON)) / 2,
                client.top + (client.Height() - GetSystemMetrics(SM_CYICON)) / 2, m_icon);
  } else {
    if (m_labelFont.GetSafeHandle()) dc.SelectObject(&m_labelFont);
    CString text;
    GetWindowText(text);
    const DWORD style = GetStyle();
    UINT format = DT_LEFT;
    switch (style & SS_TYPEMASK) {
      case SS_CENTER: format = DT_CENTER; break;
      case SS_RIGHT: format = DT_RIGHT; break;
      default: break;
    }
    format |= (style & SS_CENTERIMAGE) ? (DT_VCENTER | DT_SINGLELINE) : DT_WORDBREAK;
    dc.DrawText(text, &client, format);
  }
  dc.RestoreDC(saved);
}

BOOL CColorStatic::OnEraseBkgnd(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  dc->FillRect(&client, m_backBrush);
  return TRUE;
}

#pragma once
// A static text control that paints itself: its own text colour, an opaque background colour,
// its own font (bold, or another face and size), or an icon centred in place of the text.
// Every setter redraws the control at once when its last argument is TRUE.

#include "Framework.h"

class CColorStatic : public CStatic {
 public:
  CColorStatic();
  ~CColorStatic() override;

  void SetForeColor(COLORREF color, BOOL repaint);
  void SetBackColor(COLORREF color, BOOL repaint);
  // Always starts from the font the window itself holds, whatever face was set before.
  void SetBold(BOOL bold, BOOL repaint);
  // A null face keeps the window font's face; the height follows the point size.
  void SetFontFace(LPCSTR face, int pointSize, BOOL repaint);
  void SetFontFrom(CFont* font, BOOL repaint);
  // A null icon returns to the text.
  void SetIcon(HICON icon, BOOL repaint);

  COLORREF GetForeColor() const { return m_textColor; }
  COLORREF GetBackColor() const { return m_backColor; }
  BOOL IsBold() const { return m_bold; }
  // The font the text is drawn with (not the one the window answers WM_GETFONT with).
  const CFont& GetLabelFont() const { return m_labelFont; }

 protected:
  void PreSubclassWindow() override;
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  // Paints into a device context handed over (printing the window, off-screen copies).
  LRESULT OnPrintClient(WPARAM hdc, LPARAM flags);
  void MakeLabelFont(const LOGFONTA* logFont, BOOL repaint);

  DECLARE_MESSAGE_MAP()

 private:
  void Redraw(BOOL repaint);
  void Paint(CDC& dc);

  CFont m_labelFont;
  COLORREF m_textColor;
  COLORREF m_backColor;
  CBrush* m_backBrush;
  BOOL m_bold = FALSE;
  HICON m_icon = nullptr;
};

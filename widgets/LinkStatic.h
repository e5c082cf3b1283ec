#pragma once
// A static text control turned into a web-style hyperlink: underlined text in the link colour,
// the hover colour under the mouse, a hand cursor, a tooltip with the target, and on a click the
// target handed to the shell (or to the registered browser's command line when the shell
// cannot). A failed open beeps and says why.

#include "Framework.h"

class CLinkStatic : public CStatic {
 public:
  static const UINT_PTR LINK_TOOL_ID = 1;
  // The browser command line is assembled in this many bytes, the terminator included.
  static const int kCommandLineSize = 520;

  CLinkStatic();
  ~CLinkStatic() override;

  void SetTarget(LPCSTR target);
  CString GetTarget() const { return m_target; }

  // A hover colour of 0xFFFFFFFF means the system's highlight colour.
  void SetLinkColors(COLORREF link, COLORREF visited, COLORREF hover = 0xFFFFFFFF);
  COLORREF GetLinkColor() const { return m_linkColor; }
  COLORREF GetVisitedColor() const { return m_visitedColor; }
  COLORREF GetHoverColor() const { return m_hoverColor; }

  void SetVisited(BOOL visited);
  BOOL IsVisited() const { return m_visited; }

  // A null cursor makes the control load its default hand cursor.
  void SetHandCursor(HCURSOR cursor);
  HCURSOR GetHandCursor() const { return m_handCursor; }

  void SetUnderlined(BOOL underlined);
  BOOL IsUnderlined() const { return m_underlined; }

  void SetFitToText(BOOL fit);
  BOOL IsFitToText() const { return m_fitToText; }

  BOOL IsHovered() const { return m_over; }

  // Opens the target with the shell, else with the browser registered for ".htm". The result is
  // a shell code: above 32 on success, otherwise the reason.
  static UINT_PTR OpenTarget(LPCSTR target, int showCommand);
  // "Unable to open hyperlink:" with the text for the code, in the application's message box.
  static void ShowOpenError(UINT_PTR code);
  static CString OpenErrorText(UINT_PTR code);

  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  void PreSubclassWindow() override;
  void PostNcDestroy() override;

  void OnClicked();
  HBRUSH CtlColor(CDC* dc, UINT kind);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnMouseMove(UINT flags, CPoint point);

  void FitWindowToText();
  void LoadHandCursor();
  static LONG ReadKeyDefault(HKEY root, LPCSTR subkey, LPSTR out, LONG outSize);

  DECLARE_MESSAGE_MAP()

 private:
  void Repaint(BOOL now = FALSE);
  void MakeLinkFont();

  COLORREF m_linkColor = RGB(0, 0, 238);
  COLORREF m_visitedColor = RGB(85, 26, 139);
  COLORREF m_hoverColor;
  BOOL m_over = FALSE;
  BOOL m_visited = FALSE;
  BOOL m_underlined = TRUE;
  BOOL m_fitToText = TRUE;
  CString m_target;
  CFont m_linkFont;
  HCURSOR m_handCursor = nullptr;
  BOOL m_ownsCursor = FALSE;
  CToolTipCtrl m_toolTip;
};

#pragma once
// Menus and the standard controls: thin wrappers over their messages.

#include <windows.h>
#include <commctrl.h>

#include "FwString.h"
#include "FwWindow.h"

class CMenu : public CObject {
 public:
  CMenu() = default;
  ~CMenu() override;  // destroys a menu it holds

  HMENU m_hMenu = nullptr;
  HMENU GetSafeHmenu() const { return m_hMenu; }
  operator HMENU() const { return m_hMenu; }  // NOLINT

  // A temporary wrapper, valid until the message loop is next idle.
  static CMenu* FromHandle(HMENU menu);
  BOOL Attach(HMENU menu);
  HMENU Detach();
  BOOL CreatePopupMenu();
  BOOL DestroyMenu();

  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR item = nullptr);
  BOOL AppendMenu(UINT flags, UINT_PTR id, const CString& item);  // shows a kept wide original
  int GetMenuItemCount() const;
  UINT GetMenuItemID(int position) const;
  int GetMenuString(UINT item, CString& text, UINT flags) const;
  BOOL EnableMenuItem(UINT item, UINT enable);
  BOOL RemoveMenu(UINT position, UINT flags);
};

class CStatic : public CWnd {
 public:
  HICON SetIcon(HICON icon);
  HICON GetIcon() const;
};

class CButton : public CWnd {
 public:
  int GetCheck() const;
  void SetCheck(int check);
  UINT GetState() const;
  UINT GetButtonStyle() const;
  void SetButtonStyle(UINT style, BOOL redraw = TRUE);
};

class CEdit : public CWnd {
 public:
  void SetSel(int start, int end, BOOL noScroll = FALSE);
  void GetSel(int& start, int& end) const;
  void LimitText(int maxChars = 0);
  void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE);
};

class CListBox : public CWnd {
 public:
  int AddString(LPCSTR text);
  int InsertString(int index, LPCSTR text);
  int DeleteString(UINT index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  int GetText(int index, LPSTR buffer) const;
  void GetText(int index, CString& text) const;
  int GetTextLen(int index) const;
  int FindStringExact(int startAfter, LPCSTR text) const;
};

class CComboBox : public CWnd {
 public:
  int AddString(LPCSTR text);
  int InsertString(int index, LPCSTR text);
  int DeleteString(UINT index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  void GetLBText(int index, CString& text) const;
  int GetLBTextLen(int index) const;
};

// The system tooltip control.
class CToolTipCtrl : public CWnd {
 public:
  BOOL Create(CWnd* parent, DWORD style = 0);
  // A tool for a window: its whole client area when rect is null.
  BOOL AddTool(CWnd* wnd, LPCSTR text, LPCRECT rect = nullptr, UINT_PTR id = 0);
  void DelTool(CWnd* wnd, UINT_PTR id = 0);
  void UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR id = 0);
  void SetToolRect(CWnd* wnd, UINT_PTR id, LPCRECT rect);
  void RelayEvent(MSG* msg);
  void Activate(BOOL activate);
  int GetToolCount() const;
};

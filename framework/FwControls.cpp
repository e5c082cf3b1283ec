#include "FwControls.h"

#include <memory>
#include <unordered_map>

#include "FwInternal.h"

namespace {

struct MenuTemporaries {
  std::unordered_map<HMENU, std::unique_ptr<CMenu>> menus;
};

MenuTemporaries& Menus() {
  // A plain pointer, like the window maps (see FwWindow.cpp).
  thread_local MenuTemporaries* temps = nullptr;
  if (!temps) temps = new MenuTemporaries;
  return *temps;
}

// Sizes the common controls of version 5 accept too.
const UINT kToolInfoSize = TTTOOLINFOA_V2_SIZE;

TOOLINFOA MakeToolInfo(HWND wnd, UINT_PTR id, LPCSTR text, LPCRECT rect) {
  TOOLINFOA ti{};
  ti.cbSize = kToolInfoSize;
  ti.hwnd = wnd;
  ti.uId = id;
  ti.lpszText = const_cast<LPSTR>(text);
  if (rect) ti.rect = *rect;
  return ti;
}

}  // namespace

void FwFreeTempMenus() {
  auto& menus = Menus().menus;
  for (auto& e : menus) e.second->Detach();
  menus.clear();
}

// ---- menus ----

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU menu) {
  if (!menu) return nullptr;
  auto& slot = Menus().menus[menu];
  if (!slot) {
    slot = std::make_unique<CMenu>();
    slot->m_hMenu = menu;
  }
  return slot.get();
}

BOOL CMenu::Attach(HMENU menu) {
  if (!menu || m_hMenu) return FALSE;
  m_hMenu = menu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU menu = m_hMenu;
  m_hMenu = nullptr;
  return menu;
}

BOOL CMenu::CreatePopupMenu() {
  if (m_hMenu) return FALSE;
  return Attach(::CreatePopupMenu());
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  return ::DestroyMenu(Detach());
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, LPCSTR item) { return ::AppendMenuA(m_hMenu, flags, id, item); }

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const CString& item) {
  if (item.HasWideOriginal() && !(flags & (MF_BITMAP | MF_OWNERDRAW)))
    return ::AppendMenuW(m_hMenu, flags, id, item.ToWide().c_str());
  return ::AppendMenuA(m_hMenu, flags, id, item);
}

int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const {
  // Read wide, so that text outside the code page is kept for showing it again.
  int n = ::GetMenuStringW(m_hMenu, item, nullptr, 0, flags);
  if (n <= 0) {
    text.Empty();
    return 0;
  }
  std::wstring wide(static_cast<size_t>(n) + 1, L'\0');
  n = ::GetMenuStringW(m_hMenu, item, &wide[0], n + 1, flags);
  wide.resize(static_cast<size_t>(n > 0 ? n : 0));
  text = CString(wide.c_str());
  return text.GetLength();
}

BOOL CMenu::EnableMenuItem(UINT item, UINT enable) {
  return ::EnableMenuItem(m_hMenu, item, enable) != static_cast<BOOL>(-1);
}
BOOL CMenu::RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }

// ---- controls ----

HICON CStatic::SetIcon(HICON icon) {
  return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
}
HICON CStatic::GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }

int CButton::GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
void CButton::SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
UINT CButton::GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
UINT CButton::GetButtonStyle() const { return GetStyle() & 0xFFFF; }
void CButton::SetButtonStyle(UINT style, BOOL redraw) { SendMessage(BM_SETSTYLE, style, redraw); }

void CEdit::SetSel(int start, int end, BOOL noScroll) {
  SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  if (!noScroll) SendMessage(EM_SCROLLCARET);
}
void CEdit::GetSel(int& start, int& end) const {
  DWORD s = 0;
  DWORD e = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<int>(s);
  end = static_cast<int>(e);
}
void CEdit::LimitText(int maxChars) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(maxChars)); }
void CEdit::ReplaceSel(LPCSTR text, BOOL canUndo) {
  SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text ? text : ""));
}

int CListBox::AddString(LPCSTR text) {
  return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text ? text : "")));
}
int CListBox::InsertString(int index, LPCSTR text) {
  return static_cast<int>(
      SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text ? text : "")));
}
int CListBox::DeleteString(UINT index) { return static_cast<int>(SendMessage(LB_DELETESTRING, index)); }
void CListBox::ResetContent() { SendMessage(LB_RESETCONTENT); }
int CListBox::GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
int CListBox::GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
int CListBox::SetCurSel(int index) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
int CListBox::GetText(int index, LPSTR buffer) const {
  return static_cast<int>(SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
}
void CListBox::GetText(int index, CString& text) const {
  int n = GetTextLen(index);
  if (n <= 0) {
    text.Empty();
    return;
  }
  int got = GetText(index, text.GetBufferSetLength(n));
  text.ReleaseBuffer(got > 0 ? got : 0);
}
int CListBox::GetTextLen(int index) const {
  return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index)));
}
int CListBox::FindStringExact(int startAfter, LPCSTR text) const {
  return static_cast<int>(
      SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(text ? text : "")));
}

int CComboBox::AddString(LPCSTR text) {
  return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text ? text : "")));
}
int CComboBox::InsertString(int index, LPCSTR text) {
  return static_cast<int>(
      SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text ? text : "")));
}
int CComboBox::DeleteString(UINT index) { return static_cast<int>(SendMessage(CB_DELETESTRING, index)); }
void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }
int CComboBox::GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
int CComboBox::GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
int CComboBox::SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
void CComboBox::GetLBText(int index, CString& text) const {
  int n = GetLBTextLen(index);
  if (n <= 0) {
    text.Empty();
    return;
  }
  int got = static_cast<int>(SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(text.GetBufferSetLength(n))));
  text.ReleaseBuffer(got > 0 ? got : 0);
}
int CComboBox::GetLBTextLen(int index) const {
  return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
}

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->GetSafeHwnd() : nullptr, nullptr);
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCSTR text, LPCRECT rect, UINT_PTR id) {
  if (!wnd || !m_hWnd) return FALSE;
  RECT client{};
  if (!rect) {
    wnd->GetClientRect(&client);
    rect = &client;
  }
  TOOLINFOA ti = MakeToolInfo(wnd->GetSafeHwnd(), id, text ? text : "", rect);
  // No TTF_SUBCLASS: the owner relays the mouse messages (RelayEvent), as it decides.
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR id) {
  if (!wnd) return;
  TOOLINFOA ti = MakeToolInfo(wnd->GetSafeHwnd(), id, nullptr, nullptr);
  SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR id) {
  if (!wnd) return;
  TOOLINFOA ti = MakeToolInfo(wnd->GetSafeHwnd(), id, text ? text : "", nullptr);
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::SetToolRect(CWnd* wnd, UINT_PTR id, LPCRECT rect) {
  if (!wnd || !rect) return;
  TOOLINFOA ti = MakeToolInfo(wnd->GetSafeHwnd(), id, nullptr, rect);
  SendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::RelayEvent(MSG* msg) {
  if (m_hWnd && msg) SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

void CToolTipCtrl::Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate); }

int CToolTipCtrl::GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }

#include "FwWindow.h"

#include <memory>
#include <unordered_map>

#include "FwApp.h"
#include "FwControls.h"
#include "FwGdi.h"
#include "FwInternal.h"

const char kFwOldProcProperty[] = "FwOldWndProc";

namespace {

// Each thread has its own handle-to-object map: windows belong to the thread that made them.
struct WindowMaps {
  std::unordered_map<HWND, CWnd*> permanent;
  std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
  int loopDepth = 0;
};

WindowMaps& Maps() {
  // Held through a plain pointer: thread_local objects with destructors were seen to crash the
  // static MinGW runtime at process exit (under Wine) once a second thread had used them. A
  // finished thread leaves its maps behind, normally empty.
  thread_local WindowMaps* maps = nullptr;
  if (!maps) maps = new WindowMaps;
  return *maps;
}

bool IsCtlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

}  // namespace

int& FwLoopDepth() { return Maps().loopDepth; }

void FwFreeTempWindows() {
  auto& temporary = Maps().temporary;
  for (auto& entry : temporary) entry.second->m_hWnd = nullptr;
  temporary.clear();
}

void FwFreeTemporaries() {
  FwFreeTempWindows();
  FwFreeTempMenus();
  FwFreeTempGdi();
}

// ---- command targets and maps ----

const FwMsgMap* CCmdTarget::GetThisMessageMap() {
  static const FwMsgMapEntry entries[] = {{FW_ENTRY_END, 0, 0, 0, 0, nullptr}};
  static const FwMsgMap map = {nullptr, entries};
  return &map;
}

BOOL CCmdTarget::DispatchEntry(UINT kind, UINT key, UINT code, UINT id, const FwMsg& msg,
                               LRESULT& result) {
  for (const FwMsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
    for (const FwMsgMapEntry* e = map->entries; e->kind != FW_ENTRY_END; ++e) {
      if (e->kind != kind) continue;
      bool match = false;
      switch (kind) {
        case FW_ENTRY_MESSAGE:
        case FW_ENTRY_REFLECT_MESSAGE:
          match = e->message == key;
          break;
        case FW_ENTRY_COMMAND:
          match = e->code == code && id >= e->idFirst && id <= e->idLast;
          break;
        case FW_ENTRY_REFLECT_COMMAND:
          match = e->code == code;
          break;
        default:
          break;
      }
      // A declining entry (reflected colour without a brush) lets the search go on.
      if (match && e->thunk(this, msg, result)) return TRUE;
    }
  }
  return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code) {
  LRESULT result = 0;
  FwMsg msg{WM_COMMAND, MAKEWPARAM(id, code), 0};
  return DispatchEntry(FW_ENTRY_COMMAND, WM_COMMAND, code, id, msg, result);
}

// ---- binding windows to objects ----

CWnd::~CWnd() {
  if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
    if (m_ownsWindow && ::IsWindow(m_hWnd) &&
        GetWindowThreadProcessId(m_hWnd, nullptr) == GetCurrentThreadId()) {
      ::DestroyWindow(m_hWnd);  // unbinds at WM_NCDESTROY
    }
    if (m_hWnd) {
      if (m_oldWndProc)
        UnsubclassWindow();
      else
        Detach();
    }
  }
  ReleaseOwnedDCs();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (!hWnd) return nullptr;
  auto& permanent = Maps().permanent;
  auto it = permanent.find(hWnd);
  return it == permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  if (CWnd* wnd = FromHandlePermanent(hWnd)) return wnd;
  auto& temporary = Maps().temporary;
  auto& slot = temporary[hWnd];
  if (!slot) {
    slot = std::make_unique<CWnd>();
    slot->m_hWnd = hWnd;
  }
  return slot.get();
}

BOOL CWnd::Attach(HWND hWnd) {
  if (!hWnd || m_hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd)) return FALSE;
  // A temporary wrapper of the same window gives way to the permanent object.
  auto& temporary = Maps().temporary;
  if (auto it = temporary.find(hWnd); it != temporary.end()) {
    it->second->m_hWnd = nullptr;
    temporary.erase(it);
  }
  Maps().permanent[hWnd] = this;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd && FromHandlePermanent(hWnd) == this) Maps().permanent.erase(hWnd);
  m_hWnd = nullptr;
  return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  WNDPROC old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
  if (old == &CWnd::FwWindowProc) {
    // Still in the chain from an earlier object: keep the procedure that came before it.
    old = reinterpret_cast<WNDPROC>(GetPropA(hWnd, kFwOldProcProperty));
  } else {
    SetPropA(hWnd, kFwOldProcProperty, reinterpret_cast<HANDLE>(old));
    SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::FwWindowProc));
  }
  m_oldWndProc = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (!parent || !parent->m_hWnd) return FALSE;
  HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
  return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  HWND hWnd = m_hWnd;
  if (!hWnd) return nullptr;
  if (m_oldWndProc &&
      reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == &CWnd::FwWindowProc) {
    SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldWndProc));
    RemovePropA(hWnd, kFwOldProcProperty);
  }
  // Otherwise someone subclassed after us: our procedure stays in the chain and passes every
  // message on through the property.
  m_oldWndProc = nullptr;
  return Detach();
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU idOrMenu, LPVOID param) {
  if (m_hWnd) return FALSE;
  HWND hWnd = ::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent,
                                idOrMenu, AfxGetInstanceHandle(), param);
  if (!hWnd) return FALSE;
  if (!SubclassWindow(hWnd)) {
    ::DestroyWindow(hWnd);
    return FALSE;
  }
  m_ownsWindow = TRUE;
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  HWND hWnd = m_hWnd;
  BOOL ok = ::DestroyWindow(hWnd);
  // A window bound without subclassing sees no WM_NCDESTROY of ours.
  if (ok && m_hWnd == hWnd && !m_oldWndProc) Detach();
  return ok;
}

void CWnd::Unbind() {
  HWND hWnd = m_hWnd;
  ReleaseOwnedDCs();
  if (hWnd) RemovePropA(hWnd, kFwOldProcProperty);
  m_oldWndProc = nullptr;
  m_ownsWindow = FALSE;
  Detach();
  if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
}

// ---- message processing ----

LRESULT CALLBACK CWnd::FwWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = FromHandlePermanent(hWnd);
  if (!wnd || !wnd->m_oldWndProc) {
    WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(hWnd, kFwOldProcProperty));
    if (message == WM_NCDESTROY) RemovePropA(hWnd, kFwOldProcProperty);
    return old ? CallWindowProcA(old, hWnd, message, wParam, lParam)
               : ::DefWindowProcA(hWnd, message, wParam, lParam);
  }
  return wnd->ProcessMessage(message, wParam, lParam);
}

LRESULT CWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const FwMsg msg{message, wParam, lParam};
  const FwMsg* saved = m_currentMsg;
  m_currentMsg = &msg;
  HWND hWnd = m_hWnd;
  WNDPROC old = m_oldWndProc;
  LRESULT result = 0;
  try {
    result = WindowProc(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system's frames; the message counts as unhandled.
    result = old ? CallWindowProcA(old, hWnd, message, wParam, lParam)
                 : ::DefWindowProcA(hWnd, message, wParam, lParam);
  }
  m_currentMsg = saved;
  if (message == WM_NCDESTROY && FromHandlePermanent(hWnd) == this) {
    Unbind();
    PostNcDestroy();  // may delete the object
  }
  return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const FwMsg msg{message, wParam, lParam};
  LRESULT r = 0;
  if (message == WM_COMMAND) {
    HWND control = reinterpret_cast<HWND>(lParam);
    UINT code = HIWORD(wParam);
    UINT id = LOWORD(wParam);
    if (control) {
      CWnd* child = FromHandlePermanent(control);
      if (child && child != this && child->OnChildNotify(message, wParam, lParam, result)) return TRUE;
    } else if (code == 1) {
      code = 0;  // an accelerator is a command like a menu item
    }
    if (DispatchEntry(FW_ENTRY_COMMAND, WM_COMMAND, code, id, msg, r)) {
      *result = r;
      return TRUE;
    }
    // Commands the window does not take go on to the application.
    if (code == 0) {
      CWinApp* app = AfxGetApp();
      if (app && app->OnCmdMsg(id, 0)) {
        *result = 0;
        return TRUE;
      }
    }
    return FALSE;
  }
  if (IsCtlColor(message)) {
    CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    if (child && child != this && child->OnChildNotify(message, wParam, lParam, result)) return TRUE;
    if (DispatchEntry(FW_ENTRY_MESSAGE, FW_WM_CTLCOLOR, 0, 0, msg, r)) {
      *result = r;
      return TRUE;
    }
    return FALSE;
  }
  if (DispatchEntry(FW_ENTRY_MESSAGE, message, 0, 0, msg, r)) {
    *result = r;
    return TRUE;
  }
  return FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const FwMsg msg{message, wParam, lParam};
  LRESULT r = 0;
  BOOL handled = FALSE;
  if (message == WM_COMMAND)
    handled = DispatchEntry(FW_ENTRY_REFLECT_COMMAND, WM_COMMAND, HIWORD(wParam), 0, msg, r);
  else if (IsCtlColor(message))
    handled = DispatchEntry(FW_ENTRY_REFLECT_MESSAGE, FW_WM_CTLCOLOR, 0, 0, msg, r);
  if (handled) *result = r;
  return handled;
}

LRESULT CWnd::Default() {
  if (!m_currentMsg || !m_hWnd) return 0;
  return DefWindowProc(m_currentMsg->message, m_currentMsg->wParam, m_currentMsg->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_oldWndProc) return CallWindowProcA(m_oldWndProc, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL FwPreTranslate(MSG* msg) {
  for (HWND hWnd = msg->hwnd; hWnd;) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
    if (!::IsWindow(hWnd) || !(GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) break;
    hWnd = ::GetParent(hWnd);
  }
  return FALSE;
}

// ---- wrappers ----

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) { ::InvalidateRect(m_hWnd, rect, erase); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT rect, HRGN region, UINT flags) {
  return ::RedrawWindow(m_hWnd, rect, region, flags);
}

CDC* CWnd::GetDC() {
  HDC hdc = ::GetDC(m_hWnd);
  if (!hdc) return nullptr;
  CDC* dc = new CDC;
  dc->Attach(hdc);
  m_ownedDCs.push_back(dc);
  return dc;
}

CDC* CWnd::GetWindowDC() {
  HDC hdc = ::GetWindowDC(m_hWnd);
  if (!hdc) return nullptr;
  CDC* dc = new CDC;
  dc->Attach(hdc);
  m_ownedDCs.push_back(dc);
  return dc;
}

int CWnd::ReleaseDC(CDC* dc) {
  if (!dc) return 0;
  for (auto it = m_ownedDCs.begin(); it != m_ownedDCs.end(); ++it) {
    if (*it == dc) {
      m_ownedDCs.erase(it);
      int r = ::ReleaseDC(m_hWnd, dc->Detach());
      delete dc;
      return r;
    }
  }
  return ::ReleaseDC(m_hWnd, dc->Detach());
}

void CWnd::ReleaseOwnedDCs() {
  for (CDC* dc : m_ownedDCs) {
    ::ReleaseDC(m_hWnd, dc->Detach());
    delete dc;
  }
  m_ownedDCs.clear();
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) {
  return ::SetTimer(m_hWnd, id, elapse, proc);
}
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

BOOL CWnd::ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  if (rect) MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}
BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
  return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}
void CWnd::GetClientRect(LPRECT rect) const {
  if (rect && !::GetClientRect(m_hWnd, rect)) SetRectEmpty(rect);
}
void CWnd::GetWindowRect(LPRECT rect) const {
  if (rect && !::GetWindowRect(m_hWnd, rect)) SetRectEmpty(rect);
}
void CWnd::ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
void CWnd::ClientToScreen(LPRECT rect) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}
void CWnd::ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
void CWnd::ScreenToClient(LPRECT rect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
  DWORD style = GetStyle();
  DWORD updated = (style & ~remove) | add;
  if (style == updated) return FALSE;
  SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(updated));
  if (swpFlags)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
  return TRUE;
}
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CMenu* CWnd::GetSystemMenu(BOOL revert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert)); }

HICON CWnd::SetIcon(HICON icon, BOOL big) {
  return reinterpret_cast<HICON>(
      SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}
void CWnd::SetFont(CFont* font, BOOL redraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->GetSafeHandle() : nullptr), redraw);
}
CFont* CWnd::GetFont() const {
  return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
}
void CWnd::SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text ? text : ""); }
void CWnd::SetWindowText(const CString& text) {
  // Only a Unicode window keeps text the code page cannot hold; an ANSI window's text goes
  // through the code page whichever call sets it.
  if (text.HasWideOriginal() && ::IsWindowUnicode(m_hWnd))
    ::SetWindowTextW(m_hWnd, text.ToWide().c_str());
  else
    ::SetWindowTextA(m_hWnd, text);
}
int CWnd::GetWindowText(LPSTR buffer, int size) const { return ::GetWindowTextA(m_hWnd, buffer, size); }
void CWnd::GetWindowText(CString& text) const {
  int n = ::GetWindowTextLengthA(m_hWnd);
  LPSTR buffer = text.GetBufferSetLength(n);
  int got = n > 0 ? ::GetWindowTextA(m_hWnd, buffer, n + 1) : 0;
  text.ReleaseBuffer(got);
}
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
void CWnd::SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, id, text ? text : ""); }
int CWnd::GetDlgItemText(int id, CString& text) const {
  text.Empty();
  HWND control = ::GetDlgItem(m_hWnd, id);
  if (!control) return 0;
  CWnd* wnd = FromHandle(control);
  wnd->GetWindowText(text);
  return text.GetLength();
}
int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
  std::wstring wideCaption = caption ? FwToWide(caption) : AfxGetAppTitle().ToWide();
  return ::MessageBoxW(m_hWnd, FwToWide(text).c_str(), wideCaption.c_str(), type);
}

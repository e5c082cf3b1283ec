#pragma once
// Command targets, message maps and the window wrapper.
//
// A message map is a static table beside the class, written with the macros below:
//
//   BEGIN_MESSAGE_MAP(CMyWnd, CWnd)
//     ON_WM_PAINT()
//     ON_BN_CLICKED(IDC_GO, &CMyWnd::OnGo)
//   END_MESSAGE_MAP()
//
// Each entry carries a small function that unpacks the message and calls the handler, so a
// handler with the wrong signature does not compile. A window looks up its own table, then its
// base classes' tables; a message that no entry takes gets the window's default processing.

#include <windows.h>

#include <vector>

#include "FwString.h"
#include "FwTypes.h"

class CCmdTarget;
class CDC;
class CFont;
class CMenu;
class CWnd;

// The standard help command.
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

// The message being handled, as the window procedure received it.
struct FwMsg {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Unpacks the message, calls the handler, stores the result; FALSE when the entry declines the
// message (a reflected colour handler that returns no brush), which then goes on as unhandled.
using FwThunk = BOOL (*)(CCmdTarget* target, const FwMsg& msg, LRESULT& result);

enum FwEntryKind : UINT {
  FW_ENTRY_END = 0,
  FW_ENTRY_MESSAGE,         // a window message
  FW_ENTRY_COMMAND,         // WM_COMMAND with a notification code and a range of ids
  FW_ENTRY_REFLECT_COMMAND, // a control's own notification, reflected back to it by its parent
  FW_ENTRY_REFLECT_MESSAGE, // a parent's message about a control, reflected back to the control
};

// WM_CTLCOLORMSGBOX .. WM_CTLCOLORSTATIC as one key of the map.
const UINT FW_WM_CTLCOLOR = 0x0019;

struct FwMsgMapEntry {
  UINT kind;
  UINT message;  // FW_ENTRY_MESSAGE, FW_ENTRY_REFLECT_MESSAGE
  UINT code;     // notification code of the command kinds
  UINT idFirst;
  UINT idLast;
  FwThunk thunk;
};

struct FwMsgMap {
  const FwMsgMap* (*base)();
  const FwMsgMapEntry* entries;
};

class CCmdTarget : public CObject {
 public:
  // Runs the command entry for id and code of this object's map, if there is one.
  virtual BOOL OnCmdMsg(UINT id, UINT code);

  virtual const FwMsgMap* GetMessageMap() const { return GetThisMessageMap(); }

 protected:
  static const FwMsgMap* GetThisMessageMap();
  // The first entry of this object's maps (own first, then the bases') that takes the message.
  // Matching: the message kinds by key, the command kinds by code (and id for commands).
  BOOL DispatchEntry(UINT kind, UINT key, UINT code, UINT id, const FwMsg& msg, LRESULT& result);
};

#define DECLARE_MESSAGE_MAP()                      \
 protected:                                        \
  static const FwMsgMap* GetThisMessageMap();      \
  const FwMsgMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                           \
  const FwMsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }       \
  const FwMsgMap* theClass::GetThisMessageMap() {                                       \
    using ThisClass = theClass;                                                          \
    using TheBaseClass = baseClass;                                                      \
    static_assert(sizeof(ThisClass) > 0, "");                                            \
    static const FwMsgMapEntry fwEntries[] = {
#define END_MESSAGE_MAP()                                                                \
  {FW_ENTRY_END, 0, 0, 0, 0, nullptr}};                                                  \
  static const FwMsgMap fwMap = {&TheBaseClass::GetThisMessageMap, fwEntries};           \
  return &fwMap;                                                                         \
  }

// The handler call inside an entry; `self` is the object, `fwMsg` the message and `fwResult`
// the window procedure's result.
#define FW_THUNK(...)                                                                    \
  [](CCmdTarget* fwTarget, const FwMsg& fwMsg, LRESULT& fwResult) -> BOOL {             \
    ThisClass* self = static_cast<ThisClass*>(fwTarget);                                 \
    (void)self;                                                                          \
    (void)fwMsg;                                                                         \
    (void)fwResult;                                                                      \
    __VA_ARGS__                                                                          \
  }

#define FW_MESSAGE_ENTRY(msg, ...) {FW_ENTRY_MESSAGE, (msg), 0, 0, 0, FW_THUNK(__VA_ARGS__)},

// Commands and control notifications, handled by the parent: void handler().
#define ON_COMMAND(id, memberFxn)                                                       \
  {FW_ENTRY_COMMAND, WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id),       \
   FW_THUNK((self->*(memberFxn))(); fwResult = 0; return TRUE;)},
#define ON_COMMAND_RANGE(idFirst, idLast, memberFxn)                                    \
  {FW_ENTRY_COMMAND, WM_COMMAND, 0, static_cast<UINT>(idFirst), static_cast<UINT>(idLast), \
   FW_THUNK((self->*(memberFxn))(static_cast<UINT>(LOWORD(fwMsg.wParam))); fwResult = 0; return TRUE;)},
#define ON_CONTROL(code, id, memberFxn)                                                 \
  {FW_ENTRY_COMMAND, WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id),        \
   static_cast<UINT>(id), FW_THUNK((self->*(memberFxn))(); fwResult = 0; return TRUE;)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)

// A control's own notification, reflected to it by its parent: void handler(). A reflected
// entry takes the notification before the parent's map sees it.
#define ON_CONTROL_REFLECT(code, memberFxn)                                             \
  {FW_ENTRY_REFLECT_COMMAND, WM_COMMAND, static_cast<UINT>(code), 0, 0,                 \
   FW_THUNK((self->*(memberFxn))(); fwResult = 0; return TRUE;)},
#define ON_STN_CLICKED_REFLECT(memberFxn) ON_CONTROL_REFLECT(STN_CLICKED, memberFxn)
#define ON_BN_CLICKED_REFLECT(memberFxn) ON_CONTROL_REFLECT(BN_CLICKED, memberFxn)

// Any message: LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(msg, memberFxn) \
  FW_MESSAGE_ENTRY(msg, fwResult = (self->*(memberFxn))(fwMsg.wParam, fwMsg.lParam); return TRUE;)

// Window messages with their usual handler names and signatures.
#define ON_WM_PAINT() FW_MESSAGE_ENTRY(WM_PAINT, self->OnPaint(); fwResult = 0; return TRUE;)
#define ON_WM_CLOSE() FW_MESSAGE_ENTRY(WM_CLOSE, self->OnClose(); fwResult = 0; return TRUE;)
#define ON_WM_DESTROY() FW_MESSAGE_ENTRY(WM_DESTROY, self->OnDestroy(); fwResult = 0; return TRUE;)
#define ON_WM_TIMER() \
  FW_MESSAGE_ENTRY(WM_TIMER, self->OnTimer(static_cast<UINT_PTR>(fwMsg.wParam)); fwResult = 0; return TRUE;)
#define ON_WM_SYSCOMMAND()                                                               \
  FW_MESSAGE_ENTRY(WM_SYSCOMMAND, self->OnSysCommand(static_cast<UINT>(fwMsg.wParam), fwMsg.lParam); \
                   fwResult = 0; return TRUE;)
#define ON_WM_QUERYDRAGICON()                                                            \
  FW_MESSAGE_ENTRY(WM_QUERYDRAGICON,                                                     \
                   fwResult = reinterpret_cast<LRESULT>(self->OnQueryDragIcon()); return TRUE;)
// The CDC-taking handlers use FwCallWithDC (FwGdi.h), which wraps the handle for the call.
#define ON_WM_ERASEBKGND() \
  FW_MESSAGE_ENTRY(WM_ERASEBKGND, fwResult = FwCallWithDC(fwMsg.wParam, [self](CDC* dc) { return self->OnEraseBkgnd(dc); }); return TRUE;)
#define ON_WM_SETCURSOR()                                                                \
  FW_MESSAGE_ENTRY(WM_SETCURSOR,                                                         \
                   fwResult = self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(fwMsg.wParam)), \
                                                LOWORD(fwMsg.lParam), HIWORD(fwMsg.lParam)); return TRUE;)
#define FW_MOUSE_ENTRY(msg, handler)                                                     \
  FW_MESSAGE_ENTRY(msg, self->handler(static_cast<UINT>(fwMsg.wParam), CPoint(fwMsg.lParam)); \
                   fwResult = 0; return TRUE;)
#define ON_WM_MOUSEMOVE() FW_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() FW_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() FW_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
// The parent's colour handler: HBRUSH OnCtlColor(CDC*, CWnd* control, UINT CTLCOLOR_ kind).
#define ON_WM_CTLCOLOR()                                                                 \
  FW_MESSAGE_ENTRY(FW_WM_CTLCOLOR,                                                       \
                   fwResult = reinterpret_cast<LRESULT>(FwCallWithDC(fwMsg.wParam, [self, &fwMsg](CDC* dc) { \
                     return self->OnCtlColor(dc, CWnd::FromHandle(reinterpret_cast<HWND>(fwMsg.lParam)), \
                                             fwMsg.message - WM_CTLCOLORMSGBOX); }));   \
                   return TRUE;)
// The control's own colour handler: HBRUSH CtlColor(CDC*, UINT CTLCOLOR_ kind); a null brush
// leaves the message to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                         \
  {FW_ENTRY_REFLECT_MESSAGE, FW_WM_CTLCOLOR, 0, 0, 0,                                    \
   FW_THUNK(HBRUSH fwBrush = FwCallWithDC(fwMsg.wParam, [self, &fwMsg](CDC* dc) {        \
              return self->CtlColor(dc, fwMsg.message - WM_CTLCOLORMSGBOX); });          \
            fwResult = reinterpret_cast<LRESULT>(fwBrush); return fwBrush != nullptr;)},

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  ~CWnd() override;

  HWND m_hWnd = nullptr;

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }  // NOLINT

  // The object of a window of this thread: the permanent one bound to it, or a temporary
  // wrapper that lives until the message loop is next idle. Null for a null handle.
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);

  // Binds the object to a window without taking its messages.
  BOOL Attach(HWND hWnd);
  HWND Detach();
  // Binds the object and routes the window's messages through its message map.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();
  // Creates a window and subclasses it (messages from WM_CREATE on are not seen).
  BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                int width, int height, HWND parent, HMENU idOrMenu, LPVOID param = nullptr);
  virtual BOOL DestroyWindow();

  // Called before the window's messages are taken over; the window exists.
  virtual void PreSubclassWindow() {}
  // Called by the message loop for the message's window and each of its parents; TRUE when
  // the message was consumed.
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Called after the last message of the window (WM_NCDESTROY); the object is unbound then.
  virtual void PostNcDestroy() {}

  // Messages.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  // Painting.
  void Invalidate(BOOL erase = TRUE);
  void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
  void UpdateWindow();
  BOOL RedrawWindow(LPCRECT rect = nullptr, HRGN region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  // A device context of the client area, owned by this object until ReleaseDC (or until the
  // window is destroyed).
  CDC* GetDC();
  CDC* GetWindowDC();
  int ReleaseDC(CDC* dc);

  // Timers.
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
  BOOL KillTimer(UINT_PTR id);

  // Placement and state.
  BOOL ShowWindow(int cmdShow);
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
  BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
  void GetClientRect(LPRECT rect) const;
  void GetWindowRect(LPRECT rect) const;
  void ClientToScreen(LPPOINT point) const;
  void ClientToScreen(LPRECT rect) const;
  void ScreenToClient(LPPOINT point) const;
  void ScreenToClient(LPRECT rect) const;
  BOOL IsWindowVisible() const;
  BOOL IsWindowEnabled() const;
  BOOL IsIconic() const;
  BOOL EnableWindow(BOOL enable = TRUE);
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
  int GetDlgCtrlID() const;

  // Relatives and focus.
  CWnd* GetParent() const;
  CWnd* GetDlgItem(int id) const;
  CWnd* SetFocus();
  static CWnd* GetFocus();
  CWnd* SetCapture();

  // The window menu; a temporary object.
  CMenu* GetSystemMenu(BOOL revert) const;

  // Icons, fonts, text.
  HICON SetIcon(HICON icon, BOOL big);
  void SetFont(CFont* font, BOOL redraw = TRUE);
  CFont* GetFont() const;
  void SetWindowText(LPCSTR text);
  void SetWindowText(const CString& text);  // a Unicode window keeps a wide original
  int GetWindowText(LPSTR buffer, int size) const;
  void GetWindowText(CString& text) const;
  int GetWindowTextLength() const;
  void SetDlgItemText(int id, LPCSTR text);
  int GetDlgItemText(int id, CString& text) const;
  int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

  // The window procedure of every object-bound window.
  static LRESULT CALLBACK FwWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Message-map dispatch; TRUE with *result when an entry took the message.
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // A notification of the parent about this control, offered to the control first.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // Processing of the message being handled by the window's previous procedure.
  LRESULT Default();
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  // Default handlers: each gives the message being handled its default processing.
  void OnPaint() { Default(); }
  BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
  void OnTimer(UINT_PTR) { Default(); }
  void OnClose() { Default(); }
  void OnDestroy() { Default(); }
  void OnSysCommand(UINT, LPARAM) { Default(); }
  HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
  BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
  void OnMouseMove(UINT, CPoint) { Default(); }
  void OnLButtonDown(UINT, CPoint) { Default(); }
  void OnLButtonUp(UINT, CPoint) { Default(); }
  HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

  WNDPROC m_oldWndProc = nullptr;

 private:
  BOOL m_ownsWindow = FALSE;
  friend class CDialog;
  LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Unbind();
  void ReleaseOwnedDCs();

  const FwMsg* m_currentMsg = nullptr;
  std::vector<CDC*> m_ownedDCs;
};

// Offers the message to the permanent objects of its window and that window's parents, up to
// the top-level window; TRUE when one consumed it.
BOOL FwPreTranslate(MSG* msg);
// Frees the temporary wrappers made by FromHandle functions of this thread.
void FwFreeTemporaries();

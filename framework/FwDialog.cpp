#include "FwDialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "FrameworkRes.h"
#include "FwApp.h"
#include "FwInternal.h"

// ---- data exchange ----

HWND CDataExchange::PrepareCtrl(int id) {
  HWND control = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id) : nullptr;
  m_lastControl = control;
  m_lastWasEdit = FALSE;
  return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
  HWND control = PrepareCtrl(id);
  m_lastWasEdit = control != nullptr;
  return control;
}

void CDataExchange::Fail() {
  m_bFailed = TRUE;
  if (!m_bSaveAndValidate || !m_lastControl) return;
  ::SetFocus(m_lastControl);
  if (m_lastWasEdit) ::SendMessageA(m_lastControl, EM_SETSEL, 0, -1);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (!dx || dx->m_bFailed || control.GetSafeHwnd()) return;
  HWND hWnd = dx->PrepareCtrl(id);
  // A template without the control leaves the member unbound; its calls then do nothing.
  if (hWnd) control.SubclassWindow(hWnd);
}

namespace {

// Optional blanks, an optional sign, decimal digits, optional blanks; within the int range.
bool ParseInt(const char* text, int& out) {
  while (*text == ' ' || *text == '\t') ++text;
  const char* digits = text;
  if (*digits == '+' || *digits == '-') ++digits;
  if (*digits < '0' || *digits > '9') return false;
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != '\0') return false;
  out = static_cast<int>(value);
  return true;
}

CString ControlText(HWND control) {
  CString text;
  int n = ::GetWindowTextLengthA(control);
  int got = n > 0 ? ::GetWindowTextA(control, text.GetBufferSetLength(n), n + 1) : 0;
  text.ReleaseBuffer(got > 0 ? got : 0);
  return text;
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, int& value) {
  if (!dx || dx->m_bFailed) return;
  HWND control = dx->PrepareEditCtrl(id);
  if (!control) return;
  if (dx->m_bSaveAndValidate) {
    int parsed = 0;
    if (!ParseInt(ControlText(control), parsed)) {
      AfxMessageBox(IDS_FW_PARSE_INT, MB_OK | MB_ICONEXCLAMATION);
      dx->Fail();
      return;
    }
    value = parsed;
  } else {
    char text[16];
    wsprintfA(text, "%d", value);
    ::SetWindowTextA(control, text);
  }
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  if (!dx || dx->m_bFailed) return;
  HWND control = dx->PrepareEditCtrl(id);
  if (!control) return;
  if (dx->m_bSaveAndValidate)
    value = ControlText(control);
  else
    CWnd::FromHandle(control)->SetWindowText(value);
}

// ---- dialogs ----

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
  // The window of a dialog whose DoModal was left early (never here in normal use).
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  if (!m_hWnd) return FALSE;
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return !dx.m_bFailed;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
  m_modalResult = result;
  m_inModalLoop = FALSE;
  // Wakes the loop when this was called from inside another loop (a message box's).
  if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (!m_hWnd || !msg) return FALSE;
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
  if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
  return ::IsDialogMessageA(m_hWnd, msg);
}

INT_PTR CALLBACK CDialog::FwDialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  // Everything else reaches the dialog through its window procedure (subclassed below), and
  // arrives here only as default processing.
  CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
  if (!dialog || !dialog->SubclassWindow(hWnd)) return TRUE;
  BOOL focusFirst = TRUE;
  try {
    dialog->ExecuteDlgInit();
    focusFirst = dialog->OnInitDialog();
  } catch (...) {
    // Nothing may unwind through the dialog manager; the dialog still runs.
  }
  return focusFirst;
}

void CDialog::ExecuteDlgInit() {
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(m_templateId), MAKEINTRESOURCEA(FW_RT_DLGINIT));
  if (!info) return;
  HGLOBAL loaded = ::LoadResource(module, info);
  const BYTE* p = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
  if (!p) return;
  const BYTE* end = p + ::SizeofResource(module, info);
  // Entries: WORD id, WORD message, DWORD length, the bytes; a zero id ends the list.
  while (end - p >= 8) {
    WORD id;
    WORD msg;
    DWORD length;
    std::memcpy(&id, p, 2);
    std::memcpy(&msg, p + 2, 2);
    std::memcpy(&length, p + 4, 4);
    if (id == 0) break;
    p += 8;
    if (length > static_cast<DWORD>(end - p)) break;  // damaged: stop at what is whole
    if (msg == CB_ADDSTRING || msg == LB_ADDSTRING) {
      CString text(reinterpret_cast<const char*>(p), static_cast<int>(length));
      text.ReleaseBuffer();  // up to the stored terminator
      ::SendDlgItemMessageA(m_hWnd, id, msg, 0, reinterpret_cast<LPARAM>(text.GetString()));
    }
    p += length;
  }
}

INT_PTR CDialog::DoModal() {
  if (m_hWnd) return -1;  // already running
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(m_templateId), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
  HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
  auto* dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEA>(::LockResource(loaded)) : nullptr;
  if (!dialogTemplate) return -1;

  HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : FwDefaultOwner();
  // Modal to the owner's top-level window.
  while (owner && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
  BOOL reenableOwner = FALSE;
  if (owner && ::IsWindowEnabled(owner)) {
    ::EnableWindow(owner, FALSE);
    reenableOwner = TRUE;
  }

  m_modalResult = -1;
  m_inModalLoop = TRUE;
  HWND hWnd = ::CreateDialogIndirectParamA(module, dialogTemplate, owner, &CDialog::FwDialogProc,
                                           reinterpret_cast<LPARAM>(this));
  if (hWnd && m_inModalLoop) RunModalLoop();
  m_inModalLoop = FALSE;

  // Hide first and give the activation back, so that the owner does not flicker behind.
  if (hWnd && ::IsWindow(hWnd))
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  if (reenableOwner) ::EnableWindow(owner, TRUE);
  if (owner && hWnd && ::GetActiveWindow() == hWnd) ::SetActiveWindow(owner);
  if (hWnd && ::IsWindow(hWnd)) ::DestroyWindow(hWnd);
  return hWnd ? m_modalResult : -1;
}

void CDialog::RunModalLoop() {
  HWND hWnd = m_hWnd;
  BOOL shown = (GetWindowLongA(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
  ++FwLoopDepth();
  MSG msg;
  while (m_inModalLoop && ::IsWindow(hWnd)) {
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      // Idle: a template without WS_VISIBLE shows now, after its initialisation has painted.
      if (!shown) {
        ::ShowWindow(hWnd, SW_SHOWNORMAL);
        shown = TRUE;
      }
      if (FwLoopDepth() == 1) FwFreeTemporaries();
    }
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
      break;
    }
    if (got == -1) break;
    if (!FwPreTranslate(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  --FwLoopDepth();
}

#include "LinkStatic.h"

#include <shellapi.h>

#include <cstring>
#include <string>

namespace {

const int kRegistryValueSize = 260;
const WORD kHelpHandCursorId = 106;

// The LOGFONT of the font a window holds, or of the stock GUI font when it holds none.
LOGFONTA WindowLogFont(HWND hWnd) {
  LOGFONTA lf{};
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageA(hWnd, WM_GETFONT, 0, 0));
  if (!font) font = GetStockObject(DEFAULT_GUI_FONT);
  if (font) GetObjectA(font, sizeof lf, &lf);
  return lf;
}

}  // namespace

BEGIN_MESSAGE_MAP(CLinkStatic, CStatic)
  ON_STN_CLICKED_REFLECT(&CLinkStatic::OnClicked)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CLinkStatic::CLinkStatic() : m_hoverColor(GetSysColor(COLOR_HIGHLIGHT)) {}

CLinkStatic::~CLinkStatic() {
  if (m_ownsCursor && m_handCursor) DestroyCursor(m_handCursor);
}

void CLinkStatic::SetTarget(LPCSTR target) {
  m_target = target ? target : "";
  if (m_hWnd) {
    FitWindowToText();
    m_toolTip.UpdateTipText(m_target, this, LINK_TOOL_ID);
  }
}

void CLinkStatic::SetLinkColors(COLORREF link, COLORREF visited, COLORREF hover) {
  m_linkColor = link;
  m_visitedColor = visited;
  m_hoverColor = hover == 0xFFFFFFFF ? GetSysColor(COLOR_HIGHLIGHT) : hover;
  Repaint();
}

void CLinkStatic::SetVisited(BOOL visited) {
  m_visited = visited;
  Repaint();
}

void CLinkStatic::SetHandCursor(HCURSOR cursor) {
  if (m_ownsCursor && m_handCursor && m_handCursor != cursor) DestroyCursor(m_handCursor);
  m_handCursor = cursor;
  m_ownsCursor = FALSE;
  if (!cursor) LoadHandCursor();
}

void CLinkStatic::SetUnderlined(BOOL underlined) {
  m_underlined = underlined;
  if (m_hWnd) {
    MakeLinkFont();
    Repaint();
  }
}

void CLinkStatic::SetFitToText(BOOL fit) {
  m_fitToText = fit;
  FitWindowToText();
}

// The control draws no background of its own: the parent repaints what lies under it first,
// so that no earlier drawing (another colour, the width before fitting) stays visible.
void CLinkStatic::Repaint(BOOL now) {
  if (!m_hWnd) return;
  CWnd* parent = GetParent();
  if (!parent) {
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | (now ? RDW_UPDATENOW : 0));
    return;
  }
  CRect rect;
  GetWindowRect(&rect);
  parent->ScreenToClient(&rect);
  parent->RedrawWindow(&rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | (now ? RDW_UPDATENOW : 0));
}

void CLinkStatic::MakeLinkFont() {
  LOGFONTA lf = WindowLogFont(m_hWnd);
  lf.lfUnderline = m_underlined ? TRUE : FALSE;
  CFont font;
  if (!font.CreateFontIndirect(&lf)) return;
  // The control takes the new font before the old one goes.
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), TRUE);
  m_linkFont.DeleteObject();
  m_linkFont.Attach(font.Detach());
}

void CLinkStatic::PreSubclassWindow() {
  ModifyStyle(0, SS_NOTIFY);
  if (m_target.IsEmpty()) GetWindowText(m_target);
  if (GetWindowTextLength() == 0) SetWindowText(m_target);
  MakeLinkFont();
  FitWindowToText();
  LoadHandCursor();
  if (m_toolTip.Create(this)) {
    CRect client;
    GetClientRect(&client);
    m_toolTip.AddTool(this, m_target, &client, LINK_TOOL_ID);
  }
  CStatic::PreSubclassWindow();
}

void CLinkStatic::PostNcDestroy() {
  if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
  m_linkFont.DeleteObject();
  CStatic::PostNcDestroy();
}

void CLinkStatic::FitWindowToText() {
  if (!m_hWnd || !m_fitToText) return;
  CRect rect;
  GetWindowRect(&rect);
  if (CWnd* parent = GetParent()) parent->ScreenToClient(&rect);

  CString text;
  GetWindowText(text);
  CSize extent;
  {
    CClientDC dc(this);
    CFont* old = m_linkFont.GetSafeHandle() ? dc.SelectObject(&m_linkFont) : nullptr;
    extent = dc.GetTextExtent(text);
    if (old) dc.SelectObject(old);
  }

  const DWORD style = GetStyle();
  if (style & SS_CENTERIMAGE) {
    const int dy = (rect.Height() - extent.cy) / 2;
    rect.top += dy;
    rect.bottom -= dy;
  } else {
    rect.bottom = rect.top + extent.cy;
  }
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: {
      const int dx = (rect.Width() - extent.cx) / 2;
      rect.left += dx;
      rect.right -= dx;
      break;
    }
    case SS_RIGHT:
      rect.left = rect.right - extent.cx;
      break;
    default:
      rect.right = rect.left + extent.cx;
      break;
  }
  SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (m_toolTip.GetSafeHwnd()) {
    CRect client;
    GetClientRect(&client);
    m_toolTip.SetToolRect(this, LINK_TOOL_ID, &client);
  }
}

void CLinkStatic::LoadHandCursor() {
  if (m_handCursor) return;
  char path[MAX_PATH + 32] = {};
  const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    std::strcat(path, "\\winhlp32.exe");
    // Only its resources are wanted: mapped as data, nothing of it runs.
    if (HMODULE help = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
      if (HCURSOR cursor = LoadCursorA(help, MAKEINTRESOURCEA(kHelpHandCursorId))) {
        m_handCursor = CopyIcon(cursor);
      }
      FreeLibrary(help);
    }
  }
  // Where the help program carries no hand, the system has one of its own.
  if (!m_handCursor) {
    if (HCURSOR cursor = LoadCursorA(nullptr, IDC_HAND)) m_handCursor = CopyIcon(cursor);
  }
  m_ownsCursor = m_handCursor != nullptr;
}

HBRUSH CLinkStatic::CtlColor(CDC* dc, UINT) {
  dc->SetTextColor(m_over ? m_hoverColor : (m_visited ? m_visitedColor : m_linkColor));
  dc->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CLinkStatic::OnMouseMove(UINT, CPoint point) {
  Default();
  if (m_over) {
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
      m_over = FALSE;
      ReleaseCapture();
      Repaint(TRUE);
    }
  } else {
    m_over = TRUE;
    Repaint(TRUE);
    SetCapture();
  }
}

BOOL CLinkStatic::OnSetCursor(CWnd*, UINT, UINT) {
  if (!m_handCursor) return FALSE;
  ::SetCursor(m_handCursor);
  return TRUE;
}

BOOL CLinkStatic::PreTranslateMessage(MSG* msg) {
  m_toolTip.RelayEvent(msg);
  return CStatic::PreTranslateMessage(msg);
}

void CLinkStatic::OnClicked() {
  const UINT_PTR result = OpenTarget(m_target, SW_SHOW);
  if (result > 32) {
    SetVisited(TRUE);
    return;
  }
  SetVisited(FALSE);
  MessageBeep(MB_ICONEXCLAMATION);
  ShowOpenError(result);
}

LONG CLinkStatic::ReadKeyDefault(HKEY root, LPCSTR subkey, LPSTR out, LONG outSize) {
  HKEY key = nullptr;
  LONG status = RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key);
  if (status != ERROR_SUCCESS) return status;
  // One byte beyond what the call may fill, so that an unterminated value still ends.
  char value[kRegistryValueSize + 1] = {};
  LONG size = kRegistryValueSize;
  status = RegQueryValueA(key, nullptr, value, &size);
  RegCloseKey(key);
  if (status == ERROR_SUCCESS) lstrcpynA(out, value, outSize);
  return status;
}

UINT_PTR CLinkStatic::OpenTarget(LPCSTR target, int showCommand) {
  if (!target) target = "";
  const UINT_PTR shellResult = reinterpret_cast<UINT_PTR>(
      ShellExecuteA(nullptr, "open", target, nullptr, nullptr, showCommand));
  if (shellResult > 32) return shellResult;

  // The shell could not: start the command of the web-page class with the target.
  char pageClass[kRegistryValueSize + 1] = {};
  if (ReadKeyDefault(HKEY_CLASSES_ROOT, ".htm", pageClass, sizeof pageClass) != ERROR_SUCCESS) {
    return shellResult;
  }
  const std::string commandKey = std::string(pageClass) + "\\shell\\open\\command";
  char command[kRegistryValueSize + 1] = {};
  if (ReadKeyDefault(HKEY_CLASSES_ROOT, commandKey.c_str(), command, sizeof command) != ERROR_SUCCESS) {
    return shellResult;
  }
  std::string line = command;
  size_t placeholder = line.find("\"%1\"");
  if (placeholder == std::string::npos) placeholder = line.find("%1");
  if (placeholder != std::string::npos) line.erase(placeholder);
  line += ' ';
  line += target;
  // A command that does not fit is not started cut short: the shell's reason stands.
  if (line.size() + 1 > static_cast<size_t>(kCommandLineSize)) return shellResult;
  return WinExec(line.c_str(), static_cast<UINT>(showCommand));
}

CString CLinkStatic::OpenErrorText(UINT_PTR code) {
  switch (code) {
    case 0: return "The operating system is out\nof memory or resources.";
    case SE_ERR_FNF: return "The specified file was not found.";
    case SE_ERR_PNF: return "The specified path was not found.";
    case SE_ERR_ACCESSDENIED: return "The operating system denied\naccess to the specified file.";
    case SE_ERR_OOM: return "There was not enough memory to complete the operation.";
    case ERROR_BAD_FORMAT: return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case SE_ERR_SHARE: return "A sharing violation occurred. ";
    case SE_ERR_ASSOCINCOMPLETE: return "The filename association is\nincomplete or invalid.";
    case SE_ERR_DDETIMEOUT: return "The DDE transaction could not\nbe completed because the request timed out.";
    case SE_ERR_DDEFAIL: return "The DDE transaction failed.";
    case SE_ERR_DDEBUSY:
      return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case SE_ERR_NOASSOC: return "There is no application associated\nwith the given filename extension.";
    case SE_ERR_DLLNOTFOUND: return "The specified dynamic-link library was not found.";
    default: {
      CString text;
      text.Format("Unknown Error (%d) occurred.", static_cast<int>(code));
      return text;
    }
  }
}

void CLinkStatic::ShowOpenError(UINT_PTR code) {
  AfxMessageBox(CString("Unable to open hyperlink:\n\n") + OpenErrorText(code), MB_ICONEXCLAMATION);
}

#include "Driver.h"

#include <shellapi.h>

#include <cstdio>

namespace e2e {

namespace {
const DWORD kSendTimeoutMs = 5000;

LRESULT SendTimed(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(w, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

struct EnumCtx {
  DWORD pid;
  std::vector<HWND>* out;
};

BOOL CALLBACK CollectTop(HWND w, LPARAM lp) {
  auto* ctx = reinterpret_cast<EnumCtx*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == ctx->pid && IsWindowVisible(w)) ctx->out->push_back(w);
  return TRUE;
}
}  // namespace

Process::~Process() {
  if (m_pi.hProcess) {
    if (Running()) Kill();
    CloseHandle(m_pi.hProcess);
    CloseHandle(m_pi.hThread);
  }
}

bool Process::Start(const std::string& exe, const std::string& args, const std::string& workDir) {
  std::string dir = workDir;
  if (dir.empty()) {
    size_t slash = exe.find_last_of("\\/");
    if (slash != std::string::npos) dir = exe.substr(0, slash + 1);
  }
  std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
  std::vector<char> buf(cmd.begin(), cmd.end());
  buf.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  return CreateProcessA(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &m_pi) != FALSE;
}

long Process::WaitExit(DWORD timeoutMs) {
  if (!m_pi.hProcess || WaitForSingleObject(m_pi.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(m_pi.hProcess, &code);
  return static_cast<long>(code);
}

bool Process::Running() const {
  return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
  if (m_pi.hProcess) {
    TerminateProcess(m_pi.hProcess, 99);
    WaitForSingleObject(m_pi.hProcess, 5000);
  }
}

std::vector<HWND> Process::TopWindows() const {
  std::vector<HWND> out;
  EnumCtx ctx{m_pi.dwProcessId, &out};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&ctx));
  return out;
}

HWND Process::WaitWindow(const std::string& caption, DWORD timeoutMs, const char* className) const {
  DWORD start = GetTickCount();
  for (;;) {
    for (HWND w : TopWindows()) {
      if (!caption.empty() && TextOf(w) != caption) continue;
      if (className && ClassOf(w) != className) continue;
      return w;
    }
    if (GetTickCount() - start >= timeoutMs || !Running()) return nullptr;
    Sleep(50);
  }
}

HWND FindTopWindow(const std::string& caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND w = FindWindowA(nullptr, caption.c_str());
    if (w && IsWindowVisible(w)) return w;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(50);
  }
}

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::string ClassOf(HWND w) {
  char buf[256] = {};
  GetClassNameA(w, buf, sizeof buf);
  return buf;
}

// Texts of another process's windows travel as wide text: the system carries the wide messages
// across processes faithfully, while Wine hands some narrow ones back in wide form.
static std::string Narrow(const std::wstring& w) {
  if (w.empty()) return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
  return s;
}

static LRESULT SendTimedW(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

std::string TextOf(HWND w) {
  int n = static_cast<int>(SendTimedW(w, WM_GETTEXTLENGTH, 0, 0));
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  int got = static_cast<int>(SendTimedW(w, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(&s[0])));
  s.resize(got < 0 ? 0 : static_cast<size_t>(got));
  return Narrow(s);
}

RECT ClientRectOnScreen(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Settle(HWND w, DWORD waitMs) {
  // Posted input is handled in order; a sent message after a short pause shows the thread is
  // back in its message loop.
  Sleep(waitMs ? waitMs : 60);
  SendTimed(w, WM_NULL, 0, 0);
}

void ClickAt(HWND w, int x, int y) {
  LPARAM pt = MAKELPARAM(x, y);
  PostMessageA(w, WM_MOUSEMOVE, 0, pt);
  PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, pt);
  PostMessageA(w, WM_LBUTTONUP, 0, pt);
  Settle(w);
}

void Click(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  ClickAt(w, (r.right - r.left) / 2, (r.bottom - r.top) / 2);
}

static void SendMouse(DWORD flags, int x, int y) {
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((x * 65535LL + sw / 2) / (sw - 1));
  in.mi.dy = static_cast<LONG>((y * 65535LL + sh / 2) / (sh - 1));
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  SendInput(1, &in, sizeof in);
}

void MouseMoveOnScreen(int x, int y) {
  SendMouse(0, x, y);
  Sleep(80);
}

void MouseClickOnScreen(int x, int y) {
  SendMouse(0, x, y);
  Sleep(30);
  SendMouse(MOUSEEVENTF_LEFTDOWN, x, y);
  Sleep(30);
  SendMouse(MOUSEEVENTF_LEFTUP, x, y);
  Sleep(80);
}

static void NotifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  WPARAM wp = MAKEWPARAM(GetDlgCtrlID(control), code);
  PostMessageA(parent, WM_COMMAND, wp, reinterpret_cast<LPARAM>(control));
  Settle(parent);
}

bool SelectListItem(HWND list, int index) {
  if (SendTimed(list, LB_SETCURSEL, index, 0) == LB_ERR && index != -1) return false;
  NotifyParent(list, LBN_SELCHANGE);
  return true;
}

bool SelectComboItem(HWND combo, int index) {
  if (SendTimed(combo, CB_SETCURSEL, index, 0) == CB_ERR && index != -1) return false;
  NotifyParent(combo, CBN_SELCHANGE);
  return true;
}

int ListCount(HWND list) { return static_cast<int>(SendTimed(list, LB_GETCOUNT, 0, 0)); }
int ListSelection(HWND list) { return static_cast<int>(SendTimed(list, LB_GETCURSEL, 0, 0)); }
int ComboCount(HWND combo) { return static_cast<int>(SendTimed(combo, CB_GETCOUNT, 0, 0)); }
int ComboSelection(HWND combo) { return static_cast<int>(SendTimed(combo, CB_GETCURSEL, 0, 0)); }

static std::string ItemText(HWND w, UINT lenMsg, UINT textMsg, int index) {
  int n = static_cast<int>(SendTimedW(w, lenMsg, index, 0));
  if (n < 0) return std::string();
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  int got = static_cast<int>(SendTimedW(w, textMsg, index, reinterpret_cast<LPARAM>(&s[0])));
  s.resize(got < 0 ? 0 : static_cast<size_t>(got));
  return Narrow(s);
}

std::string ListItemText(HWND list, int index) {
  return ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, index);
}
std::string ComboItemText(HWND combo, int index) {
  return ItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

HWND FocusOf(HWND w) {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gti) && gti.hwndFocus)
    return gti.hwndFocus;
  return nullptr;
}

void TypeText(HWND edit, const std::string& text) {
  Click(edit);
  SendTimed(edit, EM_SETSEL, 0, -1);
  // An empty text still has to clear what was there.
  if (text.empty()) PostMessageA(edit, WM_CHAR, VK_BACK, 0);
  for (unsigned char c : text) PostMessageA(edit, WM_CHAR, c, 1);
  Settle(edit);
}

void PressKey(HWND w, UINT vk) {
  HWND target = FocusOf(w);
  if (!target) target = w;
  UINT scan = MapVirtualKeyA(vk, 0);
  PostMessageA(target, WM_KEYDOWN, vk, 1 | (scan << 16));
  PostMessageA(target, WM_KEYUP, vk, 1 | (scan << 16) | (3u << 30));
  Settle(target);
}

int ButtonCheck(HWND button) { return static_cast<int>(SendTimed(button, BM_GETCHECK, 0, 0)); }

void Close(HWND w) {
  // What the close box does: the system command, which the window turns into WM_CLOSE.
  PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
}

Pixels CaptureScreenRect(const RECT& r) {
  Pixels p;
  p.width = r.right - r.left;
  p.height = r.bottom - r.top;
  if (p.width <= 0 || p.height <= 0) return Pixels{};
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = p.width;
  bi.bmiHeader.biHeight = -p.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, p.width, p.height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD* src = static_cast<const DWORD*>(bits);
  p.rgb.assign(src, src + static_cast<size_t>(p.width) * p.height);
  for (DWORD& v : p.rgb) v &= 0x00FFFFFF;
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return p;
}

Pixels CaptureWindow(HWND w, bool clientOnly) {
  RECT r{};
  if (clientOnly)
    r = ClientRectOnScreen(w);
  else
    GetWindowRect(w, &r);
  return CaptureScreenRect(r);
}

bool SaveBmp(const Pixels& p, const std::string& path) {
  if (p.width <= 0 || p.height <= 0) return false;
  int pitch = (p.width * 3 + 3) & ~3;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof ih;
  ih.biWidth = p.width;
  ih.biHeight = p.height;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biSizeImage = static_cast<DWORD>(pitch * p.height);
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + ih.biSizeImage;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&ih, sizeof ih, 1, f) == 1;
  std::vector<unsigned char> row(static_cast<size_t>(pitch), 0);
  for (int y = p.height - 1; ok && y >= 0; --y) {
    for (int x = 0; x < p.width; ++x) {
      DWORD v = p.At(x, y);
      row[x * 3 + 0] = static_cast<unsigned char>(v);
      row[x * 3 + 1] = static_cast<unsigned char>(v >> 8);
      row[x * 3 + 2] = static_cast<unsigned char>(v >> 16);
    }
    ok = fwrite(row.data(), row.size(), 1, f) == 1;
  }
  return fclose(f) == 0 && ok;
}

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path);
  return s.substr(0, s.find_last_of('\\') + 1);
}

bool CopyTree(const std::string& from, const std::string& to) {
  DWORD attr = GetFileAttributesA(from.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) return false;
  if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return true;
  bool ok = true;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    ok = CopyTree(from + "\\" + name, to + "\\" + name) && ok;
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return ok;
}

bool RemoveTree(const std::string& path) {
  DWORD attr = GetFileAttributesA(path.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) return true;
  if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != FALSE;
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name != "." && name != "..") RemoveTree(path + "\\" + name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  return RemoveDirectoryA(path.c_str()) != FALSE;
}

ProgramFolder::ProgramFolder(const char* tag) {
  char tmp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, tmp);
  char name[MAX_PATH];
  snprintf(name, sizeof name, "%ssnapwise-%s-%lu-%lu\\", tmp, tag, GetCurrentProcessId(), GetTickCount());
  m_path = name;
  if (!CreateDirectoryA(m_path.c_str(), nullptr)) return;
  const std::string src = ModuleFolder();
  // What a user's copy of the program holds: the program, the DLLs beside it, its data.
  m_ok = CopyTree(src + "SnapwiseCamera.exe", m_path + "SnapwiseCamera.exe");
  const char* optional[] = {"avicap32.dll", "help.chm", "Background", "Wav"};
  for (const char* item : optional) {
    if (GetFileAttributesA((src + item).c_str()) != INVALID_FILE_ATTRIBUTES)
      m_ok = CopyTree(src + item, m_path + item) && m_ok;
  }
}

ProgramFolder::~ProgramFolder() {
  if (!m_path.empty()) RemoveTree(m_path.substr(0, m_path.size() - 1));
}

}  // namespace e2e

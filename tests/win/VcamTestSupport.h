#pragma once
// Helpers for tests that run against the virtual camera: its settings (environment variables,
// which it reads when its driver connects), its event log, answering its modal dialogs from
// inside their message loops, and a parent window.

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace vcamtest {

// Sets VCAM_<key> settings for the life of the object; the log goes to a fresh file.
class Settings {
 public:
  Settings() {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    char name[MAX_PATH];
    GetTempFileNameA(dir, "vcl", 0, name);
    m_log = name;
    DeleteFileA(m_log.c_str());
    Set("log", m_log);
  }
  ~Settings() {
    for (const std::string& k : m_keys) SetEnvironmentVariableA(k.c_str(), nullptr);
    DeleteFileA(m_log.c_str());
  }
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;

  Settings& Set(const std::string& key, const std::string& value) {
    std::string env = "VCAM_";
    for (char c : key) env += static_cast<char>(toupper(static_cast<unsigned char>(c)));
    SetEnvironmentVariableA(env.c_str(), value.c_str());
    m_keys.push_back(env);
    return *this;
  }

  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    std::ifstream in(m_log);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  int Count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& l : Log()) n += l.compare(0, prefix.size(), prefix) == 0;
    return n;
  }

 private:
  std::string m_log;
  std::vector<std::string> m_keys;
};

// Works the next dialog captioned `caption` once it shows: `fill` sets its controls, then the
// dialog is ended with `button` (IDOK or IDCANCEL) the way a click would.
class DialogAnswer {
 public:
  DialogAnswer(const char* caption, int button, std::function<void(HWND)> fill = nullptr) {
    s_caption = caption;
    s_button = button;
    s_fill = std::move(fill);
    s_seen = false;
    m_timer = SetTimer(nullptr, 0, 20, &DialogAnswer::Tick);
  }
  ~DialogAnswer() {
    KillTimer(nullptr, m_timer);
    s_fill = nullptr;
  }
  DialogAnswer(const DialogAnswer&) = delete;
  DialogAnswer& operator=(const DialogAnswer&) = delete;
  bool Seen() const { return s_seen; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = FindWindowA("#32770", s_caption);
    if (!dlg || s_seen) return;
    s_seen = true;
    KillTimer(nullptr, id);
    if (s_fill) s_fill(dlg);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(s_button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, s_button)));
  }
  static inline const char* s_caption = nullptr;
  static inline int s_button = IDOK;
  static inline std::function<void(HWND)> s_fill;
  static inline bool s_seen = false;
  UINT_PTR m_timer = 0;
};

// A plain top-level window to be the capture window's parent.
inline HWND CreateParent() {
  static ATOM atom = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VcamTestParent";
    return RegisterClassA(&wc);
  }();
  (void)atom;
  return CreateWindowExA(0, "VcamTestParent", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

inline BOOL CALLBACK CollectChild(HWND w, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
  return TRUE;
}

inline std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> out;
  EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

}  // namespace vcamtest

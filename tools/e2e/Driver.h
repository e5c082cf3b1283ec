#pragma once
// End-to-end driver: starts a program under test and works its windows from outside, the way a
// person would (clicks, list and combo choices, typing, keys), and reads back texts, states and
// pixels. Everything goes through messages and the screen, never through the program's code.

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// A running program under test.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Starts exe (full path) in its own folder unless workDir is given. False when it cannot start.
  bool Start(const std::string& exe, const std::string& args = "", const std::string& workDir = "");
  // Waits for the process to end; the exit code, or -1 when it is still running after timeoutMs.
  long WaitExit(DWORD timeoutMs);
  bool Running() const;
  void Kill();
  DWORD Id() const { return m_pi.dwProcessId; }

  // A visible top-level window of this process whose caption is exactly `caption`
  // (or any caption when empty), polled for up to timeoutMs; null when none appears.
  HWND WaitWindow(const std::string& caption, DWORD timeoutMs, const char* className = nullptr) const;
  // All visible top-level windows of the process.
  std::vector<HWND> TopWindows() const;

 private:
  PROCESS_INFORMATION m_pi{};
};

// A visible top-level window of any process with this caption, polled for up to timeoutMs.
HWND FindTopWindow(const std::string& caption, DWORD timeoutMs);

// Controls and windows.
HWND Control(HWND dialog, int id);
std::string ClassOf(HWND w);
std::string TextOf(HWND w);
RECT ClientRectOnScreen(HWND w);

// A left click in the middle of the window (or at x, y of its client area), sent as the mouse
// messages a click produces; waits until the target thread has handled them.
void Click(HWND w);
void ClickAt(HWND w, int x, int y);
// Real input: moves the system cursor there and clicks (for hover and capture behaviour).
void MouseClickOnScreen(int x, int y);
void MouseMoveOnScreen(int x, int y);
// Chooses item `index` of a list box or combo box and tells the parent, as a click would.
bool SelectListItem(HWND list, int index);
bool SelectComboItem(HWND combo, int index);
int ListCount(HWND list);
int ListSelection(HWND list);
std::string ListItemText(HWND list, int index);
int ComboCount(HWND combo);
int ComboSelection(HWND combo);
std::string ComboItemText(HWND combo, int index);
// Replaces the edit's text by typing: select all, then one WM_CHAR per character.
void TypeText(HWND edit, const std::string& text);
// A key press and release delivered to the focused window of w's thread (w itself if none).
void PressKey(HWND w, UINT vk);
// The window that has the keyboard focus in w's thread.
HWND FocusOf(HWND w);
int ButtonCheck(HWND button);
// Closes a window the way its close box does.
void Close(HWND w);
// Lets the target thread process what was posted to it.
void Settle(HWND w, DWORD waitMs = 0);

// Pixels of the window as they are on the screen (it must be on top), top-down 0x00RRGGBB.
struct Pixels {
  int width = 0, height = 0;
  std::vector<DWORD> rgb;
  DWORD At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};
Pixels CaptureWindow(HWND w, bool clientOnly = false);
Pixels CaptureScreenRect(const RECT& r);
bool SaveBmp(const Pixels& p, const std::string& path);

// A throw-away copy of the program's folder: the program, its DLLs and data folders.
class ProgramFolder {
 public:
  // Copies from the folder that holds the running test executable.
  explicit ProgramFolder(const char* tag = "run");
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;
  const std::string& Path() const { return m_path; }  // ends with a backslash
  std::string Exe() const { return m_path + "SnapwiseCamera.exe"; }
  bool ok() const { return m_ok; }

 private:
  std::string m_path;
  bool m_ok = false;
};

std::string ModuleFolder();  // folder of the running executable, with a trailing backslash
bool CopyTree(const std::string& from, const std::string& to);
bool RemoveTree(const std::string& path);

}  // namespace e2e

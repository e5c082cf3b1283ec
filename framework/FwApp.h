#pragma once
// The application object and the program's entry.
//
// The program defines one global object of a class derived from CWinApp. The framework's
// WinMain runs its InitInstance; when that returns TRUE, Run's message loop follows; then
// ExitInstance, whose result is the process exit code.

#include <windows.h>

#include "FwString.h"
#include "FwWindow.h"

class CWinApp : public CCmdTarget {
 public:
  // A null name takes the executable's file name without extension.
  explicit CWinApp(LPCSTR appName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitInstance();
  // The message loop after a successful InitInstance; ends with WM_QUIT.
  virtual int Run();
  // Result: the process exit code (the WM_QUIT code after Run, else 0).
  virtual int ExitInstance();

  // Opens the help file (m_pszHelpFilePath) with the shell; beeps when that fails.
  void OnHelp();

  HICON LoadIcon(UINT id) const;
  HICON LoadIcon(LPCSTR name) const;
  HCURSOR LoadStandardCursor(LPCSTR name) const;

  // The 3-D look of dialog controls is the system's own; kept for the start-up sequence.
  BOOL Enable3dControlsStatic() { return TRUE; }

  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPCSTR m_pszAppName = nullptr;
  LPCSTR m_pszExeName = nullptr;
  LPCSTR m_pszHelpFilePath = nullptr;
  LPSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;

  DECLARE_MESSAGE_MAP()

 private:
  friend int AfxRunApplication(HINSTANCE, LPSTR, int);
  CString m_appName;
  CString m_exeName;
  CString m_helpFile;
  int m_exitCode = 0;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resources);
// The application's title: its name, or the executable's name without an application.
CString AfxGetAppTitle();

// Prepares dialogs to host controls of the component object model, which initialises COM on
// this (the user-interface) thread; it is uninitialised after ExitInstance.
void AfxEnableControlContainer(void* manager = nullptr);

// A message box with the application's title as caption, owned by the active window of this
// thread (else the main window). Text is shown through the wide system calls, so a resource
// string outside the code page shows as written.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(const CString& text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));

// What the framework's WinMain does with the application object; the result is the exit code.
int AfxRunApplication(HINSTANCE instance, LPSTR cmdLine, int cmdShow);

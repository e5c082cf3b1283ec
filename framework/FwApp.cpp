#include "FwApp.h"

#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>

#include "FrameworkRes.h"
#include "FwInternal.h"

namespace {

CWinApp* g_app = nullptr;
HINSTANCE g_resources = nullptr;

// Whether this thread initialised COM for control containment.
thread_local bool t_comInitialised = false;

CString ModulePath() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return CString(path, static_cast<int>(n < MAX_PATH ? n : 0));
}

// The fallback for a framework message the program's resources do not provide.
LPCSTR BuiltInText(UINT id) {
  switch (id) {
    case IDS_FW_PARSE_INT:
      return "Please enter an integer.";
    default:
      return nullptr;
  }
}

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR appName) {
  m_hInstance = GetModuleHandleA(nullptr);
  CString path = ModulePath();
  CString file = path.Mid(path.ReverseFind('\\') + 1);
  int dot = file.ReverseFind('.');
  m_exeName = dot >= 0 ? file.Left(dot) : file;
  m_appName = appName ? CString(appName) : m_exeName;
  int pathDot = path.ReverseFind('.');
  m_helpFile = (pathDot > path.ReverseFind('\\') ? path.Left(pathDot) : path) + ".chm";
  m_pszAppName = m_appName;
  m_pszExeName = m_exeName;
  m_pszHelpFilePath = m_helpFile;
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  MSG msg;
  ++FwLoopDepth();
  for (;;) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && FwLoopDepth() == 1) FwFreeTemporaries();
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      m_exitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) {
      m_exitCode = -1;
      break;
    }
    if (!FwPreTranslate(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  --FwLoopDepth();
  return m_exitCode;
}

int CWinApp::ExitInstance() { return m_exitCode; }

void CWinApp::OnHelp() {
  HINSTANCE r = ShellExecuteA(nullptr, "open", m_pszHelpFilePath, nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(r) <= 32) MessageBeep(MB_ICONEXCLAMATION);
}

HICON CWinApp::LoadIcon(UINT id) const { return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)); }
HICON CWinApp::LoadIcon(LPCSTR name) const { return ::LoadIconA(AfxGetResourceHandle(), name); }
HCURSOR CWinApp::LoadStandardCursor(LPCSTR name) const { return ::LoadCursorA(nullptr, name); }

CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return g_app ? g_app->m_hInstance : GetModuleHandleA(nullptr); }
HINSTANCE AfxGetResourceHandle() { return g_resources ? g_resources : AfxGetInstanceHandle(); }
void AfxSetResourceHandle(HINSTANCE resources) { g_resources = resources; }

CString AfxGetAppTitle() {
  if (g_app) return CString(g_app->m_pszAppName);
  CString path = ModulePath();
  CString file = path.Mid(path.ReverseFind('\\') + 1);
  int dot = file.ReverseFind('.');
  return dot >= 0 ? file.Left(dot) : file;
}

void AfxEnableControlContainer(void*) {
  if (t_comInitialised) return;
  // Apartment threaded, as window-owning threads must be.
  HRESULT hr = OleInitialize(nullptr);
  t_comInitialised = SUCCEEDED(hr);
}

HWND FwDefaultOwner() {
  HWND active = GetActiveWindow();
  if (active) return active;
  CWnd* main = AfxGetMainWnd();
  HWND hWnd = main ? main->GetSafeHwnd() : nullptr;
  return hWnd && IsWindow(hWnd) ? hWnd : nullptr;
}

namespace {
int ShowMessage(const std::wstring& text, UINT type) {
  std::wstring caption = AfxGetAppTitle().ToWide();
  return MessageBoxW(FwDefaultOwner(), text.c_str(), caption.c_str(), type);
}
}  // namespace

int AfxMessageBox(LPCSTR text, UINT type, UINT) { return ShowMessage(FwToWide(text), type); }

int AfxMessageBox(const CString& text, UINT type, UINT) { return ShowMessage(text.ToWide(), type); }

int AfxMessageBox(UINT promptId, UINT type, UINT) {
  CString text;
  if (!text.LoadString(promptId)) text = BuiltInText(promptId);
  return ShowMessage(text.ToWide(), type);
}

int AfxRunApplication(HINSTANCE instance, LPSTR cmdLine, int cmdShow) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  if (instance) app->m_hInstance = instance;
  app->m_lpCmdLine = cmdLine;
  app->m_nCmdShow = cmdShow;
  if (app->InitInstance()) {
    app->Run();
  } else if (CWnd* main = app->m_pMainWnd; main && IsWindow(main->GetSafeHwnd())) {
    main->DestroyWindow();
  }
  int code = app->ExitInstance();
  if (t_comInitialised) {
    OleUninitialize();
    t_comInitialised = false;
  }
  return code;
}

// The program's entry: kept beside CWinApp so that linking the application object brings it.
extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
  return AfxRunApplication(instance, cmdLine, cmdShow);
}

#include "CameraApp.h"

#include "CameraDlg.h"
#include "ProfileFile.h"
#include "SkinEngine.h"

CCameraApp theApp;
CProfileFile theSettings;

BEGIN_MESSAGE_MAP(CCameraApp, CWinApp)
  ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CCameraApp::CCameraApp() : CWinApp(nullptr) {}

BOOL CCameraApp::InitInstance() {
  AfxEnableControlContainer(nullptr);
  Enable3dControlsStatic();

  HINSTANCE module = AfxGetInstanceHandle();
  SkinStartup(module, "VORIVEZO", nullptr, nullptr);
  SkinApplyResource(module, "SKIN1", "SKIN");
  SkinSetAutoDialog("Dialog");

  SetupSettingsFile("Camera.ini");

  CCameraDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  return FALSE;
}

int CCameraApp::ExitInstance() {
  SkinShutdown();
  return CWinApp::ExitInstance();
}

void CCameraApp::SetupSettingsFile(const CString& fileName) {
  // A read-only folder makes the write fail silently; nothing else depends on the file.
  BindSettingsFile(theSettings, fileName);
}

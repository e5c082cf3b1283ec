#pragma once
// The application object: prepares the dialog support, starts the skin engine, records the
// program's folder in Camera.ini and runs the main window.

#include "Framework.h"

class CCameraApp : public CWinApp {
 public:
  CCameraApp();
  BOOL InitInstance() override;
  int ExitInstance() override;

 protected:
  void SetupSettingsFile(const CString& fileName);
  DECLARE_MESSAGE_MAP()
};

extern CCameraApp theApp;

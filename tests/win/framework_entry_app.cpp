// A program made only of an application object: the framework's WinMain must run it, and the
// exit code is ExitInstance's. Exit code 0 means every check held; any other number names
// the first that failed.
#include "Framework.h"

namespace {

class CEntryApp : public CWinApp {
 public:
  int failure = 0;
  bool initRan = false;

  BOOL InitInstance() override {
    initRan = true;
    if (AfxGetApp() != this) failure = 2;
    else if (m_hInstance != GetModuleHandleA(nullptr)) failure = 3;
    else if (!m_lpCmdLine) failure = 4;
    return FALSE;  // straight to ExitInstance
  }
  int ExitInstance() override {
    if (!initRan) return 1;
    return failure;
  }
};

CEntryApp theApp;

}  // namespace

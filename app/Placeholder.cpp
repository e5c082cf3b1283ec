// Stand-in main window until the real one lands: shows dialog 102 and exits with its result.
#include <windows.h>

#include "resource.h"

static INT_PTR CALLBACK PlaceholderProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        EndDialog(dlg, LOWORD(wp));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      EndDialog(dlg, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
  INT_PTR r = DialogBoxParamA(inst, MAKEINTRESOURCEA(IDD_MAIN), nullptr, PlaceholderProc, 0);
  // IDOK and IDCANCEL are normal ends; anything else means the dialog could not run.
  return (r == IDOK || r == IDCANCEL) ? 0 : 1;
}

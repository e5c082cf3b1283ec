// Command-line face of the end-to-end driver, for scripts and for trying things by hand:
//   snapdriver wait CAPTION [TIMEOUT_MS]        exit 0 when the window is there
//   snapdriver click CAPTION ID
//   snapdriver select-list|select-combo CAPTION ID INDEX
//   snapdriver type CAPTION ID TEXT
//   snapdriver key CAPTION VK                   VK as a number (27 = Escape, 13 = Enter)
//   snapdriver text CAPTION [ID]                prints the text
//   snapdriver capture CAPTION OUT.BMP          the window's pixels as on the screen
//   snapdriver close CAPTION
//   snapdriver syscommand CAPTION CODE [LPARAM]   e.g. 61696 32 opens the system menu
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Driver.h"

static int Usage() {
  fprintf(stderr, "usage: snapdriver wait|click|select-list|select-combo|type|key|text|capture|close|syscommand CAPTION ...\n");
  return 2;
}

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string cmd = argv[1];
  const DWORD wait = (cmd == "wait" && argc > 3) ? static_cast<DWORD>(atol(argv[3])) : 10000;
  HWND top = e2e::FindTopWindow(argv[2], wait);
  if (!top) {
    fprintf(stderr, "snapdriver: no window \"%s\"\n", argv[2]);
    return 1;
  }
  auto control = [&](int i) -> HWND {
    HWND c = e2e::Control(top, atoi(argv[i]));
    if (!c) fprintf(stderr, "snapdriver: no control %s in \"%s\"\n", argv[i], argv[2]);
    return c;
  };
  if (cmd == "wait") return 0;
  if (cmd == "close") {
    e2e::Close(top);
    return 0;
  }
  if (cmd == "syscommand" && argc > 3) {
    PostMessageA(top, WM_SYSCOMMAND, static_cast<WPARAM>(atol(argv[3])), argc > 4 ? atol(argv[4]) : 0);
    return 0;
  }
  if (cmd == "key" && argc > 3) {
    e2e::PressKey(top, static_cast<UINT>(atoi(argv[3])));
    return 0;
  }
  if (cmd == "capture" && argc > 3) {
    SetForegroundWindow(top);
    e2e::Settle(top, 200);
    return e2e::SaveBmp(e2e::CaptureWindow(top), argv[3]) ? 0 : 1;
  }
  if (cmd == "text") {
    HWND w = argc > 3 ? control(3) : top;
    if (!w) return 1;
    printf("%s\n", e2e::TextOf(w).c_str());
    return 0;
  }
  if (argc < 4) return Usage();
  HWND c = control(3);
  if (!c) return 1;
  if (cmd == "click") {
    e2e::Click(c);
  } else if (cmd == "select-list" && argc > 4) {
    return e2e::SelectListItem(c, atoi(argv[4])) ? 0 : 1;
  } else if (cmd == "select-combo" && argc > 4) {
    return e2e::SelectComboItem(c, atoi(argv[4])) ? 0 : 1;
  } else if (cmd == "type" && argc > 4) {
    e2e::TypeText(c, argv[4]);
  } else {
    return Usage();
  }
  return 0;
}

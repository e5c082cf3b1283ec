// The virtual camera: a capture window with one built-in driver whose frames come from the
// test scenes of VcamScene. Built as avicap32.dll for running the program where no camera (or
// no working capture stack) is present; the program does not know it is there.
//
// Settings, read when the driver connects: environment variables VCAM_<KEY> first, then the
// key in section [camera] of vcam.ini beside this DLL.
//   size        160x120, 320x240 (default) or 640x480
//   bits        16, 24 (default) or 32
//   compressed  1: run-length coded frames, shorter than the picture's size
//   still       a frame number: every grab delivers that frame
//   scene       0 test picture (default), 1 colour bars
//   brightness  0..100 (default 50)
//   refuse      1: connecting the driver fails
//   no_format   1: the video format cannot be read
//   lose_format 1: every run of the format dialog flips whether the format can be read
//   log         a file that receives one line per driver event

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <vfw.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "VcamIds.h"
#include "VcamScene.h"

namespace {

HINSTANCE g_module = nullptr;
const char kClassName[] = "SnapwiseVcamCapture";
const char kDriverName[] = "Snapwise Virtual Camera";
const char kDriverVersion[] = "Version 1.0";
const UINT_PTR kPreviewTimer = 1;

struct Camera {
  bool connected = false;
  CAPVIDEOCALLBACK frameCallback = nullptr;
  bool preview = false;
  vcam::Format format;
  vcam::Look look;
  bool formatReadable = true;
  bool loseFormatOnDialog = false;
  long stillFrame = -1;
  DWORD frames = 0;
  DWORD connectTime = 0;
  std::string logPath;
  // Frames are handed out at the very end of a committed region, with an inaccessible page
  // right behind them: a reader that goes past the delivered bytes faults at once.
  BYTE* region = nullptr;
  size_t committed = 0;
  std::vector<uint8_t> shown;  // the latest uncompressed frame, for the preview
  vcam::Format shownFormat;
};

std::string Setting(const char* key) {
  std::string env = "VCAM_";
  for (const char* p = key; *p; ++p) env += static_cast<char>(toupper(static_cast<unsigned char>(*p)));
  char buf[MAX_PATH];
  DWORD n = GetEnvironmentVariableA(env.c_str(), buf, sizeof buf);
  if (n > 0 && n < sizeof buf) return buf;
  char path[MAX_PATH];
  DWORD len = GetModuleFileNameA(g_module, path, sizeof path);
  if (len == 0 || len >= sizeof path) return "";
  std::string ini(path, len);
  ini = ini.substr(0, ini.find_last_of("\\/") + 1) + "vcam.ini";
  GetPrivateProfileStringA("camera", key, "", buf, sizeof buf, ini.c_str());
  return buf;
}

long NumberSetting(const char* key, long fallback) {
  std::string v = Setting(key);
  if (v.empty()) return fallback;
  char* end = nullptr;
  long n = strtol(v.c_str(), &end, 10);
  return (end && *end == 0) ? n : fallback;
}

void Log(const Camera& cam, const char* fmt, ...) {
  if (cam.logPath.empty()) return;
  FILE* f = fopen(cam.logPath.c_str(), "a");
  if (!f) return;
  va_list args;
  va_start(args, fmt);
  vfprintf(f, fmt, args);
  va_end(args);
  fputc('\n', f);
  fclose(f);
}

void LoadSettings(Camera& cam) {
  cam.format = vcam::Format();
  cam.look = vcam::Look();
  int w = 0, h = 0;
  std::string size = Setting("size");
  if (sscanf(size.c_str(), "%dx%d", &w, &h) == 2) {
    cam.format.width = w;
    cam.format.height = h;
  }
  cam.format.bits = static_cast<int>(NumberSetting("bits", 24));
  cam.format.compressed = NumberSetting("compressed", 0) != 0;
  if (cam.format.compressed) cam.format.bits = 24;
  if (!vcam::IsSupported(cam.format)) cam.format = vcam::Format();
  cam.stillFrame = NumberSetting("still", -1);
  long scene = NumberSetting("scene", vcam::SCENE_TEST_PICTURE);
  cam.look.scene = (scene >= 0 && scene < vcam::SCENE_COUNT) ? static_cast<int>(scene) : 0;
  long brightness = NumberSetting("brightness", 50);
  cam.look.brightness = static_cast<int>(brightness < 0 ? 0 : brightness > 100 ? 100 : brightness);
  cam.formatReadable = NumberSetting("no_format", 0) == 0;
  cam.loseFormatOnDialog = NumberSetting("lose_format", 0) != 0;
}

BITMAPINFOHEADER Header(const vcam::Format& f) {
  BITMAPINFOHEADER h = {};
  h.biSize = sizeof h;
  h.biWidth = f.width;
  h.biHeight = f.height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(f.bits);
  h.biCompression = f.compressed ? vcam::FOURCC_RUNS : BI_RGB;
  h.biSizeImage = static_cast<DWORD>(vcam::MaxFrameSize(f));
  return h;
}

BYTE* Deliver(Camera& cam, const std::vector<uint8_t>& data) {
  SYSTEM_INFO si;
  GetSystemInfo(&si);
  size_t page = si.dwPageSize;
  size_t need = (data.size() + page - 1) / page * page;
  if (need == 0) need = page;
  if (need > cam.committed) {
    if (cam.region) VirtualFree(cam.region, 0, MEM_RELEASE);
    cam.committed = 0;
    cam.region = static_cast<BYTE*>(VirtualAlloc(nullptr, need + page, MEM_RESERVE, PAGE_NOACCESS));
    if (!cam.region) return nullptr;
    if (!VirtualAlloc(cam.region, need, MEM_COMMIT, PAGE_READWRITE)) {
      VirtualFree(cam.region, 0, MEM_RELEASE);
      cam.region = nullptr;
      return nullptr;
    }
    cam.committed = need;
  }
  BYTE* p = cam.region + cam.committed - data.size();
  if (!data.empty()) memcpy(p, data.data(), data.size());
  return p;
}

BOOL Grab(HWND hwnd, Camera& cam) {
  if (!cam.connected) return FALSE;
  DWORD number = cam.stillFrame >= 0 ? static_cast<DWORD>(cam.stillFrame) : cam.frames;
  ++cam.frames;
  std::vector<uint8_t> frame = vcam::RenderFrame(cam.format, cam.look, number);
  BYTE* data = Deliver(cam, frame);
  if (!data) return FALSE;
  Log(cam, "grab %lu %lu", static_cast<unsigned long>(number), static_cast<unsigned long>(frame.size()));
  if (!cam.format.compressed) {
    cam.shown = frame;
    cam.shownFormat = cam.format;
  }
  if (cam.frameCallback) {
    VIDEOHDR vh = {};
    vh.lpData = data;
    vh.dwBufferLength = static_cast<DWORD>(frame.size());
    vh.dwBytesUsed = static_cast<DWORD>(frame.size());
    vh.dwTimeCaptured = timeGetTime() - cam.connectTime;
    vh.dwFlags = VHDR_DONE | VHDR_PREPARED | VHDR_KEYFRAME;
    cam.frameCallback(hwnd, &vh);
  }
  return TRUE;
}

void Disconnect(HWND hwnd, Camera& cam) {
  if (cam.preview) KillTimer(hwnd, kPreviewTimer);
  cam.preview = false;
  cam.connected = false;
  cam.shown.clear();
}

// The format dialog's choices, in the order of its lists.
const int kSizes[3][2] = {{160, 120}, {320, 240}, {640, 480}};
const int kBits[3] = {16, 24, 32};

void InitFormatDialog(HWND dlg, Camera& cam) {
  HWND sizes = GetDlgItem(dlg, VCAM_IDC_SIZE), bits = GetDlgItem(dlg, VCAM_IDC_BITS);
  for (int i = 0; i < 3; ++i) {
    char text[32];
    snprintf(text, sizeof text, "%d x %d", kSizes[i][0], kSizes[i][1]);
    SendMessageA(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (kSizes[i][0] == cam.format.width && kSizes[i][1] == cam.format.height)
      SendMessageA(sizes, CB_SETCURSEL, i, 0);
  }
  if (cam.format.compressed) {
    SendMessageA(bits, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("24 bits, run-length coded"));
    SendMessageA(bits, CB_SETCURSEL, 0, 0);
    EnableWindow(bits, FALSE);
    return;
  }
  const char* names[3] = {"16 bits (RGB 5-5-5)", "24 bits (RGB)", "32 bits (RGB)"};
  for (int i = 0; i < 3; ++i) {
    SendMessageA(bits, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
    if (kBits[i] == cam.format.bits) SendMessageA(bits, CB_SETCURSEL, i, 0);
  }
}

void ApplyFormatDialog(HWND dlg, Camera& cam) {
  LRESULT s = SendDlgItemMessageA(dlg, VCAM_IDC_SIZE, CB_GETCURSEL, 0, 0);
  LRESULT b = SendDlgItemMessageA(dlg, VCAM_IDC_BITS, CB_GETCURSEL, 0, 0);
  if (s >= 0 && s < 3) {
    cam.format.width = kSizes[s][0];
    cam.format.height = kSizes[s][1];
  }
  if (!cam.format.compressed && b >= 0 && b < 3) cam.format.bits = kBits[b];
}

const char* const kSceneNames[vcam::SCENE_COUNT] = {"Test picture (moving)", "Colour bars (still)"};

void ShowBrightness(HWND dlg) {
  LRESULT pos = SendDlgItemMessageA(dlg, VCAM_IDC_BRIGHTNESS, TBM_GETPOS, 0, 0);
  SetDlgItemInt(dlg, VCAM_IDC_BRIGHTNESS_VALUE, static_cast<UINT>(pos), FALSE);
}

void InitSourceDialog(HWND dlg, Camera& cam) {
  SendDlgItemMessageA(dlg, VCAM_IDC_BRIGHTNESS, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
  SendDlgItemMessageA(dlg, VCAM_IDC_BRIGHTNESS, TBM_SETTICFREQ, 10, 0);
  SendDlgItemMessageA(dlg, VCAM_IDC_BRIGHTNESS, TBM_SETPOS, TRUE, cam.look.brightness);
  ShowBrightness(dlg);
  for (int i = 0; i < vcam::SCENE_COUNT; ++i)
    SendDlgItemMessageA(dlg, VCAM_IDC_SCENE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kSceneNames[i]));
  SendDlgItemMessageA(dlg, VCAM_IDC_SCENE, CB_SETCURSEL, cam.look.scene, 0);
}

void ApplySourceDialog(HWND dlg, Camera& cam) {
  LRESULT pos = SendDlgItemMessageA(dlg, VCAM_IDC_BRIGHTNESS, TBM_GETPOS, 0, 0);
  LRESULT scene = SendDlgItemMessageA(dlg, VCAM_IDC_SCENE, CB_GETCURSEL, 0, 0);
  cam.look.brightness = static_cast<int>(pos < 0 ? 0 : pos > 100 ? 100 : pos);
  if (scene >= 0 && scene < vcam::SCENE_COUNT) cam.look.scene = static_cast<int>(scene);
}

struct DialogKind {
  int id;
  const char* name;
  void (*init)(HWND, Camera&);
  void (*apply)(HWND, Camera&);
};
const DialogKind kFormatDialog = {VCAM_DLG_FORMAT, "format", InitFormatDialog, ApplyFormatDialog};
const DialogKind kSourceDialog = {VCAM_DLG_SOURCE, "source", InitSourceDialog, ApplySourceDialog};

struct DialogRun {
  const DialogKind* kind;
  Camera* cam;
};

// The settings change only on OK; Cancel leaves everything as it was.
INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  DialogRun* run = reinterpret_cast<DialogRun*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      run = reinterpret_cast<DialogRun*>(lParam);
      SetWindowLongPtrA(dlg, DWLP_USER, lParam);
      run->kind->init(dlg, *run->cam);
      return TRUE;
    case WM_HSCROLL:
      ShowBrightness(dlg);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        if (LOWORD(wParam) == IDOK) run->kind->apply(dlg, *run->cam);
        EndDialog(dlg, LOWORD(wParam));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

// Runs one of the dialogs modally over the capture window's top-level window; TRUE when it ran.
BOOL RunDialog(HWND hwnd, Camera& cam, const DialogKind& kind) {
  if (!cam.connected) return FALSE;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  HWND owner = GetAncestor(hwnd, GA_ROOT);
  if (owner == hwnd) owner = nullptr;
  DialogRun run = {&kind, &cam};
  INT_PTR r = DialogBoxParamA(g_module, MAKEINTRESOURCEA(kind.id), owner, DialogProc, reinterpret_cast<LPARAM>(&run));
  if (r != IDOK && r != IDCANCEL) {
    Log(cam, "dialog %s failed", kind.name);
    return FALSE;
  }
  Log(cam, "dialog %s %s %dx%dx%d scene %d brightness %d", kind.name, r == IDOK ? "ok" : "cancel",
      cam.format.width, cam.format.height, cam.format.bits, cam.look.scene, cam.look.brightness);
  return TRUE;
}

LRESULT OnCaptureMessage(HWND hwnd, Camera& cam, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CAP_DRIVER_CONNECT:
      cam.logPath = Setting("log");
      if (wParam != 0 || NumberSetting("refuse", 0) != 0) {
        Log(cam, "connect %u refused", static_cast<unsigned>(wParam));
        return FALSE;
      }
      if (cam.connected) Disconnect(hwnd, cam);
      LoadSettings(cam);
      cam.connected = true;
      cam.frames = 0;
      cam.connectTime = timeGetTime();
      Log(cam, "connect 0 %dx%dx%d%s", cam.format.width, cam.format.height, cam.format.bits,
          cam.format.compressed ? " compressed" : "");
      return TRUE;
    case WM_CAP_DRIVER_DISCONNECT:
      if (!cam.connected) return FALSE;
      Disconnect(hwnd, cam);
      Log(cam, "disconnect");
      return TRUE;
    case WM_CAP_SET_CALLBACK_FRAME:
      cam.frameCallback = reinterpret_cast<CAPVIDEOCALLBACK>(lParam);
      Log(cam, lParam ? "callback set" : "callback cleared");
      return TRUE;
    case WM_CAP_SET_PREVIEW:
      if (!cam.connected) return FALSE;
      cam.preview = wParam != 0;
      if (cam.preview) SetTimer(hwnd, kPreviewTimer, 66, nullptr);
      else KillTimer(hwnd, kPreviewTimer);
      Log(cam, "preview %s", cam.preview ? "on" : "off");
      return TRUE;
    case WM_CAP_GET_VIDEOFORMAT: {
      if (!cam.connected || !cam.formatReadable) {
        Log(cam, "format unavailable");
        return 0;
      }
      BITMAPINFOHEADER h = Header(cam.format);
      if (wParam == 0 || lParam == 0) {
        Log(cam, "format size %u", static_cast<unsigned>(sizeof h));
        return sizeof h;
      }
      size_t n = wParam < sizeof h ? wParam : sizeof h;
      memcpy(reinterpret_cast<void*>(lParam), &h, n);
      Log(cam, "format read %u", static_cast<unsigned>(n));
      return static_cast<LRESULT>(n);
    }
    case WM_CAP_SET_VIDEOFORMAT: {
      if (!cam.connected || lParam == 0 || wParam < sizeof(BITMAPINFOHEADER)) return FALSE;
      const BITMAPINFOHEADER* h = reinterpret_cast<const BITMAPINFOHEADER*>(lParam);
      vcam::Format f;
      f.width = h->biWidth;
      f.height = h->biHeight;
      f.bits = h->biBitCount;
      f.compressed = h->biCompression == vcam::FOURCC_RUNS;
      if ((h->biCompression != BI_RGB && !f.compressed) || !vcam::IsSupported(f)) return FALSE;
      cam.format = f;
      Log(cam, "format set %dx%dx%d", f.width, f.height, f.bits);
      return TRUE;
    }
    case WM_CAP_GRAB_FRAME:
    case WM_CAP_GRAB_FRAME_NOSTOP:
      if (msg == WM_CAP_GRAB_FRAME && cam.preview) {
        cam.preview = false;
        KillTimer(hwnd, kPreviewTimer);
      }
      if (!Grab(hwnd, cam)) return FALSE;
      if (IsWindowVisible(hwnd)) InvalidateRect(hwnd, nullptr, FALSE);
      return TRUE;
    case WM_CAP_DLG_VIDEOFORMAT: {
      BOOL ran = RunDialog(hwnd, cam, kFormatDialog);
      if (ran && cam.loseFormatOnDialog) cam.formatReadable = !cam.formatReadable;
      return ran;
    }
    case WM_CAP_DLG_VIDEOSOURCE:
      return RunDialog(hwnd, cam, kSourceDialog);
    case WM_CAP_DRIVER_GET_CAPS: {
      if (!cam.connected || lParam == 0 || wParam < sizeof(CAPDRIVERCAPS)) return FALSE;
      CAPDRIVERCAPS* caps = reinterpret_cast<CAPDRIVERCAPS*>(lParam);
      memset(caps, 0, sizeof *caps);
      caps->wDeviceIndex = 0;
      caps->fHasDlgVideoSource = TRUE;
      caps->fHasDlgVideoFormat = TRUE;
      caps->fCaptureInitialized = TRUE;
      return TRUE;
    }
    case WM_CAP_DRIVER_GET_NAMEA:
    case WM_CAP_DRIVER_GET_VERSIONA: {
      if (!cam.connected || lParam == 0 || wParam == 0) return FALSE;
      const char* text = msg == WM_CAP_DRIVER_GET_NAMEA ? kDriverName : kDriverVersion;
      lstrcpynA(reinterpret_cast<char*>(lParam), text, static_cast<int>(wParam));
      return TRUE;
    }
    case WM_CAP_GET_STATUS: {
      if (lParam == 0 || wParam < sizeof(CAPSTATUS)) return FALSE;
      CAPSTATUS* s = reinterpret_cast<CAPSTATUS*>(lParam);
      memset(s, 0, sizeof *s);
      s->uiImageWidth = static_cast<UINT>(cam.format.width);
      s->uiImageHeight = static_cast<UINT>(cam.format.height);
      s->fLiveWindow = cam.preview;
      s->dwCurrentVideoFrame = cam.frames;
      return TRUE;
    }
  }
  return 0;
}

void Paint(HWND hwnd, const Camera& cam) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  if (!cam.shown.empty() && cam.connected) {
    BITMAPINFO bi = {};
    bi.bmiHeader = Header(cam.shownFormat);
    bi.bmiHeader.biSizeImage = 0;
    StretchDIBits(dc, 0, 0, rc.right, rc.bottom, 0, 0, cam.shownFormat.width, cam.shownFormat.height,
                  cam.shown.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
  } else {
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK CaptureWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Camera* cam = reinterpret_cast<Camera*>(GetWindowLongPtrA(hwnd, 0));
  if (msg == WM_NCCREATE) {
    cam = new Camera;
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(cam));
  }
  if (!cam) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg >= WM_CAP_START && msg <= WM_CAP_END) return OnCaptureMessage(hwnd, *cam, msg, wParam, lParam);
  switch (msg) {
    case WM_TIMER:
      if (wParam == kPreviewTimer && cam->preview) {
        Grab(hwnd, *cam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
      }
      break;
    case WM_PAINT:
      Paint(hwnd, *cam);
      return 0;
    case WM_DESTROY:
      if (cam->connected) {
        Disconnect(hwnd, *cam);
        Log(*cam, "destroy while connected");
      } else {
        Log(*cam, "destroy");
      }
      return 0;
    case WM_NCDESTROY:
      if (cam->region) VirtualFree(cam->region, 0, MEM_RELEASE);
      SetWindowLongPtrA(hwnd, 0, 0);
      delete cam;
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool RegisterCaptureClass() {
  WNDCLASSA wc = {};
  if (GetClassInfoA(g_module, kClassName, &wc)) return true;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = CaptureWndProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = g_module;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kClassName;
  return RegisterClassA(&wc) != 0;
}

std::string Narrow(LPCWSTR text) {
  if (!text) return "";
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return "";
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, &s[0], n, nullptr, nullptr);
  s.resize(static_cast<size_t>(n - 1));
  return s;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

HWND WINAPI capCreateCaptureWindowA(LPCSTR name, DWORD style, int x, int y, int width, int height,
                                    HWND parent, int id) {
  if (!RegisterCaptureClass()) return nullptr;
  return CreateWindowExA(0, kClassName, name ? name : "", style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_module, nullptr);
}

HWND WINAPI capCreateCaptureWindowW(LPCWSTR name, DWORD style, int x, int y, int width, int height,
                                    HWND parent, int id) {
  return capCreateCaptureWindowA(Narrow(name).c_str(), style, x, y, width, height, parent, id);
}

WINBOOL WINAPI capGetDriverDescriptionA(UINT index, LPSTR name, int nameSize, LPSTR version, int versionSize) {
  if (index != 0) return FALSE;
  if (name && nameSize > 0) lstrcpynA(name, kDriverName, nameSize);
  if (version && versionSize > 0) lstrcpynA(version, kDriverVersion, versionSize);
  return TRUE;
}

WINBOOL WINAPI capGetDriverDescriptionW(UINT index, LPWSTR name, int nameSize, LPWSTR version, int versionSize) {
  if (index != 0) return FALSE;
  WCHAR wide[64];
  if (name && nameSize > 0) {
    MultiByteToWideChar(CP_ACP, 0, kDriverName, -1, wide, 64);
    lstrcpynW(name, wide, nameSize);
  }
  if (version && versionSize > 0) {
    MultiByteToWideChar(CP_ACP, 0, kDriverVersion, -1, wide, 64);
    lstrcpynW(version, wide, versionSize);
  }
  return TRUE;
}

}  // extern "C"

// Saves one frame of the virtual camera (or of any capture driver 0) as a BMP file:
//   vcamshot OUTPUT.bmp [FRAMES]
// grabs FRAMES frames (default 1) through a capture window and writes the last one. For looking
// at what the camera delivers; uncompressed formats only.
#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
std::vector<BYTE> g_pixels;

LRESULT CALLBACK KeepFrame(HWND, LPVIDEOHDR vh) {
  g_pixels.assign(vh->lpData, vh->lpData + vh->dwBytesUsed);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: vcamshot OUTPUT.bmp [FRAMES]\n");
    return 2;
  }
  int frames = argc > 2 ? atoi(argv[2]) : 1;
  if (frames < 1) frames = 1;
  HWND cap = capCreateCaptureWindowA("vcamshot", WS_POPUP, 0, 0, 160, 120, nullptr, 0);
  if (!cap || !SendMessageA(cap, WM_CAP_DRIVER_CONNECT, 0, 0)) {
    fprintf(stderr, "vcamshot: no capture driver connects\n");
    return 1;
  }
  BITMAPINFOHEADER h = {};
  h.biSize = sizeof h;
  if (SendMessageA(cap, WM_CAP_GET_VIDEOFORMAT, sizeof h, reinterpret_cast<LPARAM>(&h)) < 40 ||
      h.biCompression != BI_RGB || h.biBitCount < 16) {
    fprintf(stderr, "vcamshot: the video format is not an uncompressed 16, 24 or 32-bit one\n");
    return 1;
  }
  SendMessageA(cap, WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(&KeepFrame));
  for (int i = 0; i < frames; ++i) SendMessageA(cap, WM_CAP_GRAB_FRAME_NOSTOP, 0, 0);
  SendMessageA(cap, WM_CAP_SET_CALLBACK_FRAME, 0, 0);
  SendMessageA(cap, WM_CAP_DRIVER_DISCONNECT, 0, 0);
  DestroyWindow(cap);
  DWORD image = ((static_cast<DWORD>(h.biWidth) * h.biBitCount + 31) / 32) * 4 * static_cast<DWORD>(labs(h.biHeight));
  if (g_pixels.size() < image) {
    fprintf(stderr, "vcamshot: the driver delivered %u bytes, the picture needs %lu\n",
            static_cast<unsigned>(g_pixels.size()), static_cast<unsigned long>(image));
    return 1;
  }
  h.biSizeImage = image;
  BITMAPFILEHEADER fh = {};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof h;
  fh.bfSize = fh.bfOffBits + image;
  FILE* f = fopen(argv[1], "wb");
  if (!f) {
    fprintf(stderr, "vcamshot: cannot write %s\n", argv[1]);
    return 1;
  }
  bool ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&h, sizeof h, 1, f) == 1 &&
            fwrite(g_pixels.data(), 1, image, f) == image;
  ok = fclose(f) == 0 && ok;
  if (!ok) fprintf(stderr, "vcamshot: writing %s failed\n", argv[1]);
  return ok ? 0 : 1;
}

// Cost of one live-view tick (frame to bitmap, into the canvas, background laid over, canvas
// presented) at 320 x 240 and 640 x 480, with and without a background, against the floor of
// one plain BitBlt of the view; and the cost of a capture without its one-second pause.
// Prints medians in microseconds; asserts nothing.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "DibBitmap.h"
#include "DrawTransparent.h"
#include "Framework.h"
#include "ViewCanvas.h"

namespace {
double NowUs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return c.QuadPart * 1e6 / f.QuadPart;
}

template <class F>
double MedianUs(int runs, F&& f) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    double s = NowUs();
    f();
    t.push_back(NowUs() - s);
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

std::vector<BYTE> Frame(int w, int h, int tick) {
  const int pitch = (w * 3 + 3) & ~3;
  std::vector<BYTE> b(sizeof(BITMAPINFOHEADER) + static_cast<size_t>(pitch) * h);
  auto* bi = reinterpret_cast<BITMAPINFOHEADER*>(b.data());
  *bi = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  BYTE* px = b.data() + sizeof(BITMAPINFOHEADER);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      BYTE* p = px + y * pitch + x * 3;
      p[0] = static_cast<BYTE>(x + tick);
      p[1] = static_cast<BYTE>(y);
      p[2] = static_cast<BYTE>(x ^ y);
    }
  return b;
}
}  // namespace

int main() {
  HWND wnd = CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  CWnd view;
  view.Attach(wnd);
  CClientDC target(&view);
  CViewCanvas canvas;
  canvas.Create(&target, 0, 0, 320, 240);

  // A background like the shipped frames: a coloured border, white inside.
  CDibBitmap overlay;
  {
    std::vector<BYTE> bg = Frame(320, 240, 0);
    auto* bi = reinterpret_cast<BITMAPINFOHEADER*>(bg.data());
    BYTE* px = bg.data() + bi->biSize;
    for (int y = 20; y < 220; ++y) memset(px + y * 960 + 60, 255, 200 * 3);
    overlay.SetFromDib(reinterpret_cast<BITMAPINFO*>(bg.data()));
  }

  const int runs = 200;
  double floor = MedianUs(runs, [&] { target.BitBlt(0, 0, 320, 240, &canvas, 0, 0, SRCCOPY); GdiFlush(); });
  printf("floor: one BitBlt of 320 x 240 to the window: %.1f us\n", floor);
  struct Case { int w, h; bool background; };
  const Case cases[] = {{320, 240, false}, {320, 240, true}, {640, 480, false}, {640, 480, true}};
  for (const Case& c : cases) {
    std::vector<BYTE> frame = Frame(c.w, c.h, 1);
    int tick = 0;
    double us = MedianUs(runs, [&] {
      frame[sizeof(BITMAPINFOHEADER)] = static_cast<BYTE>(++tick);
      CDibBitmap picture;
      if (picture.SetFromDib(reinterpret_cast<BITMAPINFO*>(frame.data()))) picture.Draw(&canvas, 0, 0, SRCCOPY);
      if (c.background) {
        HDC odc = CreateCompatibleDC(canvas.GetSafeHdc());
        HGDIOBJ old = SelectObject(odc, overlay.GetSafeHandle());
        DrawTransparent(canvas.GetSafeHdc(), 0, 0, 320, 240, odc, 0, 0, 320, 240, RGB(255, 255, 255));
        SelectObject(odc, old);
        DeleteDC(odc);
      }
      canvas.Present();
      GdiFlush();
    });
    printf("tick %dx%d %-15s median %8.1f us  = %5.1f x floor\n", c.w, c.h,
           c.background ? "with background" : "plain", us, us / floor);
  }

  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  CString path = CString(dir) + "snapwise-bench-photo.bmp";
  double capture = MedianUs(50, [&] {
    CDibBitmap photo;
    photo.CreateCompatibleBitmap(&canvas, 320, 240);
    CDC* dc = photo.GetMemDC();
    dc->BitBlt(0, 0, 320, 240, &canvas, 0, 0, SRCCOPY);
    photo.ReleaseMemDC();
    photo.SaveBmp(path);
  });
  DeleteFileA(path);
  printf("capture without its pause (copy the canvas, write the BMP): median %.1f us = %.1f x floor\n", capture,
         capture / floor);
  view.Detach();
  DestroyWindow(wnd);
  return 0;
}

#include <gtest/gtest.h>
#include <windows.h>

// Wine must give us a working USER and GDI: a window, a memory DC and a pixel round trip.
TEST(Win32, MemoryDcPixelRoundTrip) {
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  ASSERT_NE(bmp, nullptr);
  HGDIOBJ old = SelectObject(mem, bmp);
  SetPixel(mem, 3, 4, RGB(10, 200, 30));
  EXPECT_EQ(GetPixel(mem, 3, 4), RGB(10, 200, 30));
  EXPECT_EQ(GetPixel(mem, 4, 3), RGB(0, 0, 0));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

TEST(Win32, WindowTextRoundTrip) {
  HWND w = CreateWindowExA(0, "STATIC", "before", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(SetWindowTextA(w, "after"));
  char buf[16] = {};
  EXPECT_EQ(GetWindowTextA(w, buf, sizeof buf), 5);
  EXPECT_STREQ(buf, "after");
  EXPECT_TRUE(DestroyWindow(w));
  EXPECT_FALSE(IsWindow(w));
}

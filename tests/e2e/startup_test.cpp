#include <gtest/gtest.h>

#include "Driver.h"

namespace {
const char kCaption[] = "SnapwiseCamera  V1.1 English ";
const DWORD kStartMs = 60000;
}

// The program starts from a fresh copy of its folder, shows its dialog and ends cleanly.
TEST(Startup, WindowAppearsAndClosesWithExitCodeZero) {
  e2e::ProgramFolder folder("startup");
  ASSERT_TRUE(folder.ok()) << folder.Path();
  e2e::Process app;
  ASSERT_TRUE(app.Start(folder.Exe()));
  HWND w = app.WaitWindow(kCaption, kStartMs);
  ASSERT_NE(w, nullptr) << "no window captioned \"" << kCaption << "\"";
  EXPECT_EQ(e2e::ClassOf(w), "#32770");
  e2e::Close(w);
  EXPECT_EQ(app.WaitExit(kStartMs), 0);
}

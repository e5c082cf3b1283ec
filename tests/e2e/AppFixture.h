#pragma once
// The program started from a fresh copy of its folder, for one test.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Driver.h"

namespace e2e {

inline const char* MainCaption() { return "SnapwiseCamera  V1.1 English "; }
const DWORD kStartMs = 90000;
const DWORD kExitMs = 30000;

class AppTest : public ::testing::Test {
 protected:
  AppTest() : folder_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {}

  // Settings of the virtual camera for this run (key=value lines of its [camera] section).
  void CameraSettings(const std::string& lines) {
    std::string text = "[camera]\n" + lines + "\n";
    FILE* f = fopen((folder_.Path() + "vcam.ini").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
  }

  // Starts the program and waits for its main window.
  HWND Start() {
    EXPECT_TRUE(folder_.ok()) << folder_.Path();
    if (!app_.Start(folder_.Exe())) {
      ADD_FAILURE() << "cannot start " << folder_.Exe();
      return nullptr;
    }
    main_ = app_.WaitWindow(MainCaption(), kStartMs);
    EXPECT_NE(main_, nullptr) << "no main window";
    if (main_) Settle(main_, 300);
    return main_;
  }

  void TearDown() override {
    if (app_.Running()) {
      if (main_ && IsWindow(main_)) Close(main_);
      if (app_.WaitExit(kExitMs) < 0) app_.Kill();
    }
  }

  HWND Item(int id) { return Control(main_, id); }

  ProgramFolder folder_;
  Process app_;
  HWND main_ = nullptr;
};

}  // namespace e2e

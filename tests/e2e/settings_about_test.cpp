// The settings file the program writes at start, and its About box with the two links.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <string>

#include "Driver.h"

namespace {

const char kCaption[] = "SnapwiseCamera  V1.1 English ";
const DWORD kStartMs = 60000;
const int kAboutButton = 1013;
const UINT kSysMenuAbout = 16;

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Starts the program, waits for its window, runs body, closes it; the exit code.
template <class Body>
long RunOnce(const std::string& exe, Body body) {
  e2e::Process app;
  if (!app.Start(exe)) return -100;
  HWND w = app.WaitWindow(kCaption, kStartMs);
  if (!w) {
    app.Kill();
    return -101;
  }
  body(app, w);
  e2e::Close(w);
  return app.WaitExit(kStartMs);
}

TEST(Settings, EveryStartRecordsTheProgramFolder) {
  e2e::ProgramFolder folder("settings");
  ASSERT_TRUE(folder.ok()) << folder.Path();
  const std::string ini = folder.Path() + "Camera.ini";
  // A value left by a copy of the program elsewhere is replaced.
  {
    std::ofstream old(ini, std::ios::binary);
    old << "[App]\r\nAppPath=D:\\Elsewhere\\\r\n";
  }
  for (int start = 0; start < 2; ++start) {
    EXPECT_EQ(RunOnce(folder.Exe(), [](e2e::Process&, HWND) {}), 0);
  }
  const std::string text = FileText(ini);
  EXPECT_EQ(Count(text, "AppPath="), 1) << text;
  EXPECT_EQ(Count(Lower(text), Lower("AppPath=" + folder.Path() + "\r\n")), 1) << text;
  EXPECT_EQ(text.find("Elsewhere"), std::string::npos) << text;
}

TEST(Settings, UnwritableSettingsFileDoesNotStopTheProgram) {
  e2e::ProgramFolder folder("settings-ro");
  ASSERT_TRUE(folder.ok()) << folder.Path();
  // A folder where the file should be: no one can write it, not even an administrator.
  const std::string ini = folder.Path() + "Camera.ini";
  ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));
  SetFileAttributesA(folder.Path().c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(RunOnce(folder.Exe(), [](e2e::Process&, HWND) {}), 0);
  SetFileAttributesA(folder.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_NE(GetFileAttributesA(ini.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

// The About box of the program: its texts, then OK ends it and the main window goes on.
void CheckAboutBox(e2e::Process& app, HWND main, const char* shot) {
  HWND about = app.WaitWindow("About", 20000, "#32770");
  ASSERT_NE(about, nullptr) << "no About box";
  e2e::Settle(about, 300);
  EXPECT_EQ(e2e::TextOf(e2e::Control(about, 1016)), "support@snapwise.example");
  EXPECT_EQ(e2e::TextOf(e2e::Control(about, 1017)), "http://www.snapwise.example/");
  // Modal: the main window waits meanwhile.
  EXPECT_FALSE(IsWindowEnabled(main));
  if (shot) {
    RECT a, m, both;
    GetWindowRect(about, &a);
    GetWindowRect(main, &m);
    UnionRect(&both, &a, &m);
    EXPECT_TRUE(e2e::SaveBmp(e2e::CaptureScreenRect(both), e2e::ModuleFolder() + shot));
  }
  PostMessageA(about, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 100 && IsWindow(about); ++i) Sleep(50);
  EXPECT_FALSE(IsWindow(about));
  EXPECT_TRUE(IsWindowEnabled(main));
}

TEST(About, OpensFromTheButtonAndTheSystemMenu) {
  e2e::ProgramFolder folder("about");
  ASSERT_TRUE(folder.ok()) << folder.Path();
  EXPECT_EQ(RunOnce(folder.Exe(),
                    [](e2e::Process& app, HWND main) {
                      PostMessageA(main, WM_COMMAND, MAKEWPARAM(kAboutButton, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(e2e::Control(main, kAboutButton)));
                      CheckAboutBox(app, main, "e2e-about-over-main.bmp");
                      PostMessageA(main, WM_SYSCOMMAND, kSysMenuAbout, 0);
                      CheckAboutBox(app, main, nullptr);
                    }),
            0);
}

}  // namespace

// The virtual camera's capture window, driven with raw capture messages.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <vfw.h>

#include <cstring>
#include <string>
#include <vector>

#include "VcamIds.h"
#include "VcamScene.h"
#include "VcamTestSupport.h"

namespace {

struct Delivered {
  int calls = 0;
  HWND window = nullptr;
  VIDEOHDR header = {};
  std::vector<uint8_t> data;
  bool endGuarded = false;  // the byte after the delivered data cannot be read
};
Delivered g_delivered;

LRESULT CALLBACK RecordFrame(HWND hwnd, LPVIDEOHDR vh) {
  ++g_delivered.calls;
  g_delivered.window = hwnd;
  g_delivered.header = *vh;
  g_delivered.data.assign(vh->lpData, vh->lpData + vh->dwBytesUsed);
  MEMORY_BASIC_INFORMATION mbi = {};
  VirtualQuery(vh->lpData + vh->dwBytesUsed, &mbi, sizeof mbi);
  g_delivered.endGuarded = mbi.State != MEM_COMMIT || (mbi.Protect & (PAGE_NOACCESS | PAGE_GUARD)) != 0;
  return 0;
}

class VcamWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    g_delivered = Delivered();
    m_parent = vcamtest::CreateParent();
    ASSERT_NE(m_parent, nullptr);
  }
  void TearDown() override {
    if (m_cap && IsWindow(m_cap)) DestroyWindow(m_cap);
    DestroyWindow(m_parent);
  }
  HWND Open() {
    m_cap = capCreateCaptureWindowA("cam", WS_CHILD, 0, 0, 160, 120, m_parent, 0xFFFF);
    return m_cap;
  }
  HWND OpenConnected() {
    if (!Open()) return nullptr;
    if (!SendMessageA(m_cap, WM_CAP_DRIVER_CONNECT, 0, 0)) return nullptr;
    SendMessageA(m_cap, WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(&RecordFrame));
    return m_cap;
  }
  BITMAPINFOHEADER Format() {
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof h;
    EXPECT_EQ(SendMessageA(m_cap, WM_CAP_GET_VIDEOFORMAT, sizeof h, reinterpret_cast<LPARAM>(&h)),
              static_cast<LRESULT>(sizeof h));
    return h;
  }
  vcamtest::Settings m_settings;
  HWND m_parent = nullptr;
  HWND m_cap = nullptr;
};

TEST_F(VcamWindow, DescribesOnlyDriverZero) {
  char name[80] = {}, version[80] = {};
  EXPECT_TRUE(capGetDriverDescriptionA(0, name, sizeof name, version, sizeof version));
  EXPECT_GT(strlen(name), 0u);
  EXPECT_FALSE(capGetDriverDescriptionA(1, name, sizeof name, version, sizeof version));
  WCHAR wname[80] = {}, wversion[4] = {};
  EXPECT_TRUE(capGetDriverDescriptionW(0, wname, 80, wversion, 4));
  EXPECT_GT(lstrlenW(wname), 0);
  EXPECT_EQ(lstrlenW(wversion), 3);  // cut to the caller's buffer
}

TEST_F(VcamWindow, CreatesAChildWithTheGivenPlaceAndId) {
  HWND w = capCreateCaptureWindowW(L"wide", WS_CHILD, 5, 6, 160, 120, m_parent, 0xFFFF);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(GetParent(w), m_parent);
  EXPECT_EQ(GetDlgCtrlID(w), 0xFFFF);
  EXPECT_FALSE(IsWindowVisible(w));
  char text[16] = {};
  GetWindowTextA(w, text, sizeof text);
  EXPECT_STREQ(text, "wide");
  DestroyWindow(w);
}

TEST_F(VcamWindow, ConnectsOnlyDriverZero) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_FALSE(SendMessageA(m_cap, WM_CAP_DRIVER_CONNECT, 1, 0));
  EXPECT_EQ(SendMessageA(m_cap, WM_CAP_GET_VIDEOFORMAT, 0, 0), 0) << "nothing connected";
  EXPECT_FALSE(SendMessageA(m_cap, WM_CAP_GRAB_FRAME_NOSTOP, 0, 0));
  EXPECT_FALSE(SendMessageA(m_cap, WM_CAP_SET_PREVIEW, FALSE, 0));
  EXPECT_TRUE(SendMessageA(m_cap, WM_CAP_DRIVER_CONNECT, 0, 0));
  EXPECT_TRUE(SendMessageA(m_cap, WM_CAP_SET_PREVIEW, FALSE, 0));
  CAPDRIVERCAPS caps = {};
  EXPECT_TRUE(SendMessageA(m_cap, WM_CAP_DRIVER_GET_CAPS, sizeof caps, reinterpret_cast<LPARAM>(&caps)));
  EXPECT_TRUE(caps.fHasDlgVideoFormat && caps.fHasDlgVideoSource && caps.fCaptureInitialized);
  EXPECT_TRUE(SendMessageA(m_cap, WM_CAP_DRIVER_DISCONNECT, 0, 0));
  EXPECT_FALSE(SendMessageA(m_cap, WM_CAP_DRIVER_DISCONNECT, 0, 0)) << "already disconnected";
  EXPECT_EQ(SendMessageA(m_cap, WM_CAP_GET_VIDEOFORMAT, 0, 0), 0);
  EXPECT_FALSE(SendMessageA(m_cap, WM_CAP_GRAB_FRAME_NOSTOP, 0, 0));
}

TEST_F(VcamWindow, RefusingDriverDoesNotConnect) {
  m_settings.Set("refuse", "1");
  ASSERT_NE(Open(), nullptr);
  EXPECT_FALSE(SendMessageA(m_cap, WM_CAP_DRIVER_CONNECT, 0, 0));
  EXPECT_EQ(m_settings.Count("connect 0 refused"), 1);
}

TEST_F(VcamWindow, ReportsTheConfiguredFormat) {
  struct Case {
    const char* size;
    const char* bits;
    const char* compressed;
    LONG width, height;
    WORD bitCount;
    DWORD compression;
  } cases[] = {
      {"", "", "", 320, 240, 24, BI_RGB},  // defaults
      {"160x120", "16", "", 160, 120, 16, BI_RGB},
      {"640x480", "32", "0", 640, 480, 32, BI_RGB},
      {"320x240", "", "1", 320, 240, 24, vcam::FOURCC_RUNS},
      {"333x200", "8", "", 320, 240, 24, BI_RGB},  // unsupported settings fall back
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.size) + " " + c.bits + " " + c.compressed);
    m_settings.Set("size", c.size).Set("bits", c.bits).Set("compressed", c.compressed);
    ASSERT_NE(OpenConnected(), nullptr);
    EXPECT_EQ(SendMessageA(m_cap, WM_CAP_GET_VIDEOFORMAT, 0, 0), static_cast<LRESULT>(sizeof(BITMAPINFOHEADER)));
    BITMAPINFOHEADER h = Format();
    EXPECT_EQ(h.biSize, sizeof h);
    EXPECT_EQ(h.biWidth, c.width);
    EXPECT_EQ(h.biHeight, c.height);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, c.bitCount);
    EXPECT_EQ(h.biCompression, c.compression);
    DestroyWindow(m_cap);
  }
}

TEST_F(VcamWindow, FormatReadIsCutToTheCallersSize) {
  ASSERT_NE(OpenConnected(), nullptr);
  BYTE block[16];
  memset(block, 0xAB, sizeof block);
  EXPECT_EQ(SendMessageA(m_cap, WM_CAP_GET_VIDEOFORMAT, 8, reinterpret_cast<LPARAM>(block)), 8);
  EXPECT_EQ(block[8], 0xAB) << "wrote past the size it was given";
}

TEST_F(VcamWindow, GrabDeliversTheSceneSynchronously) {
  ASSERT_NE(OpenConnected(), nullptr);
  vcam::Format f;
  vcam::Look look;
  ASSERT_TRUE(SendMessageA(m_cap, WM_CAP_GRAB_FRAME_NOSTOP, 0, 0));
  ASSERT_EQ(g_delivered.calls, 1) << "the callback runs before the grab returns";
  EXPECT_EQ(g_delivered.window, m_cap);
  EXPECT_EQ(g_delivered.header.dwBytesUsed, 230400u);
  EXPECT_EQ(g_delivered.header.dwBufferLength, 230400u);
  EXPECT_TRUE(g_delivered.header.dwFlags & VHDR_DONE);
  EXPECT_TRUE(g_delivered.endGuarded);
  EXPECT_TRUE(g_delivered.data == vcam::RenderFrame(f, look, 0));
  DWORD firstTime = g_delivered.header.dwTimeCaptured;

  Sleep(30);
  ASSERT_TRUE(SendMessageA(m_cap, WM_CAP_GRAB_FRAME_NOSTOP, 0, 0));
  EXPECT_EQ(g_delivered.calls, 2);
  EXPECT_TRUE(g_delivered.data == vcam::RenderFrame(f, look, 1));
  EXPECT_FALSE(g_delivered.data == vcam::RenderFrame(f, look, 0)) << "the live scene moves";
  EXPECT_GE(g_delivered.header.dwTimeCaptured, firstTime + 30);

  SendMessageA(m_cap, WM_CAP_SET_CALLBACK_FRAME, 0, 0);
  EXPECT_TRUE(SendMessageA(m_cap, WM_CAP_GRAB_FRAME_NOSTOP, 0, 0));
  EXPECT_EQ(g_delivered.calls, 2) << "no callback after it was removed";
}

TEST_F(VcamWindow, StillFrameRepeats) {
  m_settings.Set("still", "42").Set("bits", "32");
  ASSERT_NE(OpenConnected(), nullptr);
  vcam::Format f;
  f.bits = 32;
  vcam::Look look;
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(SendMessageA(m_cap, WM_CAP_GRAB_FRAME_NOSTOP, 0, 0));
    EXPECT_EQ(g_delivered.header.dwBytesUsed, 320u * 240u * 4u);
    EXPECT_TRUE(g_delivered.data == vcam::RenderFrame(f, look, 42));
  }
}

TEST_F(VcamWindow, CompressedFramesAreShortAndDecodeToThePicture) {
  m_settings.Set("compressed", "1");
  ASSERT_NE(OpenConnected(), nullptr);
  ASSERT_TRUE(SendMessageA(m_cap, WM_CAP_GRAB_FRAME_NOSTOP, 0, 0));
  const std::vector<uint8_t>& code = g_delivered.data;
  ASSERT_LT(code.size(), 230400u);
  ASSERT_EQ(code.size() % 4, 0u);
  EXPECT_TRUE(g_delivered.endGuarded) << "nothing readable behind the delivered bytes";
  vcam::Format raw;
  std::vector<uint8_t> expected = vcam::RenderFrame(raw, vcam::Look(), 0), decoded;
  for (size_t i = 0; i < code.size(); i += 4)
    for (int n = 0; n < code[i]; ++n) decoded.insert(decoded.end(), {code[i + 1], code[i + 2], code[i + 3]});
  EXPECT_TRUE(decoded == expected);
}

TEST_F(VcamWindow, SetVideoFormatTakesOnlySupportedFormats) {
  ASSERT_NE(OpenConnected(), nullptr);
  BITMAPINFOHEADER h = Format();
  h.biWidth = 640;
  h.biHeight = 480;
  h.biBitCount = 16;
  EXPECT_TRUE(SendMessageA(m_cap, WM_CAP_SET_VIDEOFORMAT, sizeof h, reinterpret_cast<LPARAM>(&h)));
  h.biWidth = 100;
  EXPECT_FALSE(SendMessageA(m_cap, WM_CAP_SET_VIDEOFORMAT, sizeof h, reinterpret_cast<LPARAM>(&h)));
  BITMAPINFOHEADER now = Format();
  EXPECT_EQ(now.biWidth, 640);
  EXPECT_EQ(now.biBitCount, 16);
}

TEST_F(VcamWindow, FormatDialogChoosesSizeAndDepth) {
  ASSERT_NE(OpenConnected(), nullptr);
  {
    vcamtest::DialogAnswer answer("Video Format", IDOK, [](HWND dlg) {
      SendDlgItemMessageA(dlg, VCAM_IDC_SIZE, CB_SETCURSEL, 2, 0);  // 640 x 480
      SendDlgItemMessageA(dlg, VCAM_IDC_BITS, CB_SETCURSEL, 0, 0);  // 16 bits
    });
    EXPECT_TRUE(SendMessageA(m_cap, WM_CAP_DLG_VIDEOFORMAT, 0, 0));
    EXPECT_TRUE(answer.Seen());
  }
  BITMAPINFOHEADER h = Format();
  EXPECT_EQ(h.biWidth, 640);
  EXPECT_EQ(h.biHeight, 480);
  EXPECT_EQ(h.biBitCount, 16);
  ASSERT_TRUE(SendMessageA(m_cap, WM_CAP_GRAB_FRAME_NOSTOP, 0, 0));
  EXPECT_EQ(g_delivered.header.dwBytesUsed, 640u * 480u * 2u);
  {
    vcamtest::DialogAnswer answer("Video Format", IDCANCEL, [](HWND dlg) {
      SendDlgItemMessageA(dlg, VCAM_IDC_SIZE, CB_SETCURSEL, 0, 0);
    });
    EXPECT_TRUE(SendMessageA(m_cap, WM_CAP_DLG_VIDEOFORMAT, 0, 0)) << "a cancelled dialog still ran";
  }
  EXPECT_EQ(Format().biWidth, 640) << "cancel keeps the format";
}

TEST_F(VcamWindow, SourceDialogSetsBrightnessAndScene) {
  ASSERT_NE(OpenConnected(), nullptr);
  {
    vcamtest::DialogAnswer answer("Video Source", IDOK, [](HWND dlg) {
      SendDlgItemMessageA(dlg, VCAM_IDC_BRIGHTNESS, TBM_SETPOS, TRUE, 100);
      SendDlgItemMessageA(dlg, VCAM_IDC_SCENE, CB_SETCURSEL, vcam::SCENE_COLOUR_BARS, 0);
    });
    EXPECT_TRUE(SendMessageA(m_cap, WM_CAP_DLG_VIDEOSOURCE, 0, 0));
    EXPECT_TRUE(answer.Seen());
  }
  ASSERT_TRUE(SendMessageA(m_cap, WM_CAP_GRAB_FRAME_NOSTOP, 0, 0));
  // Top-left point of the bottom-up picture: the first bar (75% white) at one and a half times.
  size_t top = (240 - 1) * 320 * 3;
  ASSERT_EQ(g_delivered.data.size(), 230400u);
  EXPECT_EQ(g_delivered.data[top], 255);
  EXPECT_EQ(g_delivered.data[top + 1], 255);
  // Last bar is blue: no red, no green, blue 191 * 1.5 clipped.
  size_t right = top + 319 * 3;
  EXPECT_EQ(g_delivered.data[right], 255);
  EXPECT_EQ(g_delivered.data[right + 1], 0);
  EXPECT_EQ(g_delivered.data[right + 2], 0);
}

TEST_F(VcamWindow, FormatLostAfterDialogComesBackAfterTheNext) {
  m_settings.Set("lose_format", "1");
  ASSERT_NE(OpenConnected(), nullptr);
  EXPECT_EQ(SendMessageA(m_cap, WM_CAP_GET_VIDEOFORMAT, 0, 0), static_cast<LRESULT>(sizeof(BITMAPINFOHEADER)));
  for (LRESULT expected : {LRESULT(0), LRESULT(sizeof(BITMAPINFOHEADER))}) {
    vcamtest::DialogAnswer answer("Video Format", IDCANCEL);
    EXPECT_TRUE(SendMessageA(m_cap, WM_CAP_DLG_VIDEOFORMAT, 0, 0));
    EXPECT_EQ(SendMessageA(m_cap, WM_CAP_GET_VIDEOFORMAT, 0, 0), expected);
  }
}

TEST_F(VcamWindow, NoFormatSetting) {
  m_settings.Set("no_format", "1");
  ASSERT_NE(OpenConnected(), nullptr);
  EXPECT_EQ(SendMessageA(m_cap, WM_CAP_GET_VIDEOFORMAT, 0, 0), 0);
}

TEST_F(VcamWindow, DestroyingAConnectedWindowDisconnectsIt) {
  ASSERT_NE(OpenConnected(), nullptr);
  DestroyWindow(m_parent);
  m_parent = vcamtest::CreateParent();
  EXPECT_FALSE(IsWindow(m_cap));
  EXPECT_EQ(m_settings.Count("destroy while connected"), 1);
}

TEST_F(VcamWindow, SettingsFileBesideTheDllYieldsToTheEnvironment) {
  char dll[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(GetModuleHandleA("avicap32.dll"), dll, sizeof dll), 0u);
  std::string ini(dll);
  ini = ini.substr(0, ini.find_last_of("\\/") + 1) + "vcam.ini";
  ASSERT_EQ(GetFileAttributesA(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "a settings file is already there";
  struct Remove {
    std::string path;
    ~Remove() { DeleteFileA(path.c_str()); }
  } remove{ini};
  ASSERT_TRUE(WritePrivateProfileStringA("camera", "size", "160x120", ini.c_str()));
  WritePrivateProfileStringA("camera", "bits", "16", ini.c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());  // flush
  ASSERT_NE(OpenConnected(), nullptr);
  BITMAPINFOHEADER fromFile = Format();
  DestroyWindow(m_cap);
  m_settings.Set("bits", "32");
  ASSERT_NE(OpenConnected(), nullptr);
  BITMAPINFOHEADER overridden = Format();
  EXPECT_EQ(fromFile.biWidth, 160);
  EXPECT_EQ(fromFile.biBitCount, 16);
  EXPECT_EQ(overridden.biWidth, 160);
  EXPECT_EQ(overridden.biBitCount, 32);
}

TEST_F(VcamWindow, PreviewDeliversFramesWhileMessagesArePumped) {
  ASSERT_NE(OpenConnected(), nullptr);
  ASSERT_TRUE(SendMessageA(m_cap, WM_CAP_SET_PREVIEW, TRUE, 0));
  DWORD start = GetTickCount();
  while (g_delivered.calls < 2 && GetTickCount() - start < 5000) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
  EXPECT_GE(g_delivered.calls, 2);
  ASSERT_TRUE(SendMessageA(m_cap, WM_CAP_SET_PREVIEW, FALSE, 0));
  int calls = g_delivered.calls;
  for (int i = 0; i < 20; ++i) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
  EXPECT_EQ(g_delivered.calls, calls) << "preview off stops the frames";
}

}  // namespace

// The photo booth itself: the live view with its background, captures, and the photo list.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "VcamScene.h"

using namespace e2e;

namespace {
const int kStill = 7;  // the frame every grab delivers in these tests

std::set<std::string> BmpFiles(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "*.bmp").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.insert(fd.cFileName);
  while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

DWORD Rgb(const vcam::Rgb& c) { return (static_cast<DWORD>(c.r) << 16) | (c.g << 8) | c.b; }

bool WriteSolidBmp(const std::string& path, DWORD rgb) {
  Pixels p;
  p.width = 320;
  p.height = 240;
  p.rgb.assign(320 * 240, rgb);
  return SaveBmp(p, path);
}

// Pixels of a BMP file as 0x00RRGGBB, top-down; 24- and 32-bit files only.
Pixels ReadBmp(const std::string& path) {
  Pixels p;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return p;
  std::vector<unsigned char> d;
  unsigned char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) d.insert(d.end(), buf, buf + n);
  fclose(f);
  if (d.size() < 54) return p;
  auto u32 = [&](size_t at) { return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (d[at + 3] << 24); };
  int w = static_cast<int>(u32(18)), h = static_cast<int>(u32(22)), bits = d[28] | (d[29] << 8);
  size_t off = u32(10), pitch = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
  if ((bits != 24 && bits != 32) || w <= 0 || h <= 0 || off + pitch * h > d.size()) return p;
  p.width = w;
  p.height = h;
  p.rgb.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* px = &d[off + (h - 1 - y) * pitch + x * (bits / 8)];
      p.rgb[static_cast<size_t>(y) * w + x] = (px[2] << 16) | (px[1] << 8) | px[0];
    }
  return p;
}

class Booth : public AppTest {
 protected:
  Pixels View() {
    SetForegroundWindow(main_);
    Settle(main_, 400);
    RECT client = ClientRectOnScreen(main_);
    return CaptureScreenRect(RECT{client.left, client.top, client.left + 320, client.top + 240});
  }
  // Points of the view (every 16th pixel) that differ from the camera's still frame.
  int MismatchesWithFrame(const Pixels& view, const vcam::Format& f, int w = 320, int h = 240) {
    int bad = 0;
    for (int y = 0; y < h; y += 16)
      for (int x = 0; x < w; x += 16)
        if (view.At(x, y) != Rgb(vcam::Pixel(f, vcam::Look{}, kStill, x, y))) ++bad;
    return bad;
  }
  std::string PhotoFolder() { return folder_.Path() + "Photo\\"; }
};

}  // namespace

TEST_F(Booth, ViewShowsTheCameraFrameAtEachSize) {
  struct Case {
    const char* size;
    int w, h;
  };
  const Case cases[] = {{"320x240", 320, 240}, {"640x480", 640, 480}, {"160x120", 160, 120}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    CameraSettings(std::string("still=7\nsize=") + c.size);
    ASSERT_NE(Start(), nullptr);
    vcam::Format f;
    f.width = c.w;
    f.height = c.h;
    // A larger frame shows its top-left quarter; a smaller one only its own area.
    EXPECT_EQ(MismatchesWithFrame(View(), f, c.w < 320 ? c.w : 320, c.h < 240 ? c.h : 240), 0);
    Close(main_);
    ASSERT_EQ(app_.WaitExit(kExitMs), 0);
  }
}

TEST_F(Booth, BackgroundIsLaidOverWithWhiteTransparent) {
  ASSERT_TRUE(WriteSolidBmp(folder_.Path() + "Background\\~red.bmp", 0xC01010));
  ASSERT_TRUE(WriteSolidBmp(folder_.Path() + "Background\\~white.bmp", 0xFFFFFF));
  CameraSettings("still=7");
  ASSERT_NE(Start(), nullptr);
  vcam::Format f;
  HWND list = Item(1007);
  int red = -1, white = -1;
  for (int i = 0; i < ListCount(list); ++i) {
    if (ListItemText(list, i) == "~red.bmp") red = i;
    if (ListItemText(list, i) == "~white.bmp") white = i;
  }
  ASSERT_GT(red, 0);
  ASSERT_GT(white, 0);

  ASSERT_TRUE(SelectListItem(list, red));
  Pixels v = View();
  int notRed = 0;
  for (DWORD px : v.rgb) notRed += px != 0xC01010;
  EXPECT_EQ(notRed, 0) << "a picture without white hides the camera";

  ASSERT_TRUE(SelectListItem(list, white));
  EXPECT_EQ(MismatchesWithFrame(View(), f), 0) << "an all-white picture changes nothing";

  ASSERT_TRUE(SelectListItem(list, red));
  ASSERT_TRUE(SelectListItem(list, 0));  // "Clear"
  EXPECT_EQ(MismatchesWithFrame(View(), f), 0);
}

TEST_F(Booth, CaptureStoresWhatTheViewShowsAndListsIt) {
  ASSERT_TRUE(WriteSolidBmp(folder_.Path() + "Background\\~frame.bmp", 0xFFFFFF));
  CameraSettings("still=7");
  ASSERT_NE(Start(), nullptr);
  HWND photos = Item(1008);
  SYSTEMTIME before;
  GetLocalTime(&before);
  Click(Item(1006));
  std::set<std::string> files;
  for (int i = 0; i < 100 && files.empty(); ++i, Sleep(50)) files = BmpFiles(PhotoFolder());
  ASSERT_EQ(files.size(), 1u);
  const std::string name = *files.begin();
  char prefix[32];
  snprintf(prefix, sizeof prefix, "%d%d%d_", before.wYear, before.wMonth, before.wDay);
  EXPECT_EQ(name.rfind(prefix, 0), 0u) << name;
  Settle(main_, 1500);  // the view stands still for a second
  ASSERT_EQ(ListCount(photos), 2);
  EXPECT_EQ(ListItemText(photos, 1), name);

  Pixels photo = ReadBmp(PhotoFolder() + name);
  ASSERT_EQ(photo.width, 320);
  ASSERT_EQ(photo.height, 240);
  EXPECT_EQ(MismatchesWithFrame(photo, vcam::Format{}), 0);
  WIN32_FILE_ATTRIBUTE_DATA fa;
  ASSERT_TRUE(GetFileAttributesExA((PhotoFolder() + name).c_str(), GetFileExInfoStandard, &fa));
  HDC screen = GetDC(nullptr);
  int bpp = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(fa.nFileSizeLow, 54u + 320u * 240u * (bpp / 8));
}

TEST_F(Booth, CaptureNeverOverwritesAPhotoOfTheSameName) {
  CameraSettings("still=7");
  ASSERT_NE(Start(), nullptr);
  // Occupy the names of the next seconds, as earlier photos with coinciding names would.
  CreateDirectoryA(PhotoFolder().c_str(), nullptr);
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME ft;
  SystemTimeToFileTime(&now, &ft);
  std::set<std::string> occupied;
  for (int s = 0; s < 8; ++s) {
    ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
    t.QuadPart += 10000000ULL * s;
    FILETIME f2{t.LowPart, t.HighPart};
    SYSTEMTIME st;
    FileTimeToSystemTime(&f2, &st);
    char n[64];
    snprintf(n, sizeof n, "%d%d%d_%d%d%d.bmp", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
    ASSERT_TRUE(WriteSolidBmp(PhotoFolder() + n, 0x123456));
    occupied.insert(n);
  }
  Click(Item(1006));
  Settle(main_, 1500);
  std::set<std::string> files = BmpFiles(PhotoFolder());
  ASSERT_EQ(files.size(), occupied.size() + 1);
  for (const std::string& n : occupied) EXPECT_EQ(ReadBmp(PhotoFolder() + n).At(5, 5), 0x123456u) << n;
  std::string added = ListItemText(Item(1008), ListCount(Item(1008)) - 1);
  EXPECT_EQ(occupied.count(added), 0u);
  EXPECT_NE(added.find("-2.bmp"), std::string::npos) << added;
}

TEST_F(Booth, PhotoThatCannotBeWrittenIsNotListedAndTheUserIsTold) {
  CameraSettings("still=7");
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(RemoveTree(folder_.Path() + "Photo"));
  Click(Item(1006));
  HWND box = app_.WaitWindow("SnapwiseCamera", 15000);
  ASSERT_NE(box, nullptr) << "no message";
  PressKey(box, VK_RETURN);
  Settle(main_, 1500);
  EXPECT_EQ(ListCount(Item(1008)), 1);
}

TEST_F(Booth, CountDownShowsTheSecondsLeftThenTakesThePhoto) {
  CameraSettings("still=7");
  ASSERT_NE(Start(), nullptr);
  TypeText(Item(1021), "3");
  Click(Item(1006));
  std::vector<std::string> seen;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 8000 && BmpFiles(PhotoFolder()).empty()) {
    std::string t = TextOf(Item(1021));
    if (seen.empty() || seen.back() != t) seen.push_back(t);
    Sleep(100);
  }
  DWORD took = GetTickCount() - start;
  ASSERT_EQ(BmpFiles(PhotoFolder()).size(), 1u);
  std::string after = TextOf(Item(1021));  // answered once the capture's second is over
  if (seen.back() != after) seen.push_back(after);
  EXPECT_GE(took, 2500u);
  std::vector<std::string> counted(seen.begin() + (seen.front() == "3" ? 1 : 0), seen.end());
  EXPECT_EQ(counted, (std::vector<std::string>{"2", "1", "0"}));
  // The count-down ended with the photo: no second photo follows.
  Settle(main_, 2500);
  EXPECT_EQ(BmpFiles(PhotoFolder()).size(), 1u);
}

TEST_F(Booth, PhotoListShowsDeletesAndResumes) {
  CameraSettings("still=7");
  CreateDirectoryA((folder_.Path() + "Photo").c_str(), nullptr);
  ASSERT_TRUE(WriteSolidBmp(PhotoFolder() + "a.bmp", 0x2040C0));
  ASSERT_TRUE(WriteSolidBmp(PhotoFolder() + "b.bmp", 0x30A030));
  ASSERT_NE(Start(), nullptr);
  HWND list = Item(1008);
  ASSERT_EQ(ListCount(list), 3);
  int b = ListItemText(list, 1) == "b.bmp" ? 1 : 2;
  ASSERT_TRUE(SelectListItem(list, b));
  EXPECT_EQ(View().At(100, 100), 0x30A030u) << "a chosen photo is shown";

  // With "Camera Mode" selected, Delete does nothing.
  ASSERT_TRUE(SelectListItem(list, 0));
  Click(Item(1010));
  EXPECT_EQ(ListCount(list), 3);
  EXPECT_EQ(MismatchesWithFrame(View(), vcam::Format{}), 0) << "Camera Mode resumes the live view";

  ASSERT_TRUE(SelectListItem(list, 2));
  std::string last = ListItemText(list, 2);
  Click(Item(1010));
  Settle(main_, 300);
  EXPECT_EQ(ListCount(list), 2);
  EXPECT_EQ(ListSelection(list), 1);
  EXPECT_EQ(GetFileAttributesA((PhotoFolder() + last).c_str()), INVALID_FILE_ATTRIBUTES);
  Click(Item(1010));
  Settle(main_, 300);
  EXPECT_EQ(ListCount(list), 1);
  EXPECT_EQ(ListSelection(list), 0);
  EXPECT_TRUE(BmpFiles(PhotoFolder()).empty());
  EXPECT_EQ(MismatchesWithFrame(View(), vcam::Format{}), 0) << "deleting the only photo resumes";
}

namespace {
BOOL CALLBACK FirstVisibleEdit(HWND w, LPARAM lp) {
  if (ClassOf(w) == "Edit" && IsWindowVisible(w)) {
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
  }
  return TRUE;
}

// Chooses `path` in the program's save-file dialog and confirms it.
bool SaveThrough(Process& app, const std::string& path) {
  HWND dlg = app.WaitWindow("Save As", 20000);
  if (!dlg) return false;
  HWND edit = nullptr;
  EnumChildWindows(dlg, FirstVisibleEdit, reinterpret_cast<LPARAM>(&edit));
  if (!edit) return false;
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(dlg, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 100 && IsWindow(dlg) && IsWindowVisible(dlg); ++i) Sleep(50);
  return !(IsWindow(dlg) && IsWindowVisible(dlg));
}

std::vector<unsigned char> FileBytes(const std::string& path) {
  std::vector<unsigned char> d;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return d;
  unsigned char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) d.insert(d.end(), buf, buf + n);
  fclose(f);
  return d;
}
}  // namespace

TEST_F(Booth, SaveAsCopiesBmpWritesJpegAndIgnoresOtherExtensions) {
  CameraSettings("still=7");
  CreateDirectoryA((folder_.Path() + "Photo").c_str(), nullptr);
  ASSERT_TRUE(WriteSolidBmp(PhotoFolder() + "a.bmp", 0x2040C0));
  ASSERT_NE(Start(), nullptr);
  HWND list = Item(1008);

  // With "Camera Mode" selected nothing opens.
  ASSERT_TRUE(SelectListItem(list, 0));
  Click(Item(1015));
  EXPECT_EQ(app_.WaitWindow("Save As", 1500), nullptr);

  ASSERT_TRUE(SelectListItem(list, 1));
  const std::string out = folder_.Path() + "out\\";
  ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr));

  Click(Item(1015));
  ASSERT_TRUE(SaveThrough(app_, out + "X.BMP"));
  Settle(main_, 500);
  EXPECT_EQ(FileBytes(out + "X.BMP"), FileBytes(PhotoFolder() + "a.bmp")) << "BMP in capitals copies";

  Click(Item(1015));
  ASSERT_TRUE(SaveThrough(app_, out + "y.jpeg"));
  Settle(main_, 500);
  EXPECT_EQ(GetFileAttributesA((out + "y.jpeg").c_str()), INVALID_FILE_ATTRIBUTES);

  Click(Item(1015));
  ASSERT_TRUE(SaveThrough(app_, out + "z.jpg"));
  Settle(main_, 1000);
  std::vector<unsigned char> jpg = FileBytes(out + "z.jpg");
  ASSERT_GT(jpg.size(), 100u);
  EXPECT_EQ(jpg[0], 0xFF);
  EXPECT_EQ(jpg[1], 0xD8);
  EXPECT_EQ(jpg[jpg.size() - 2], 0xFF);
  EXPECT_EQ(jpg[jpg.size() - 1], 0xD9);
  // The frame header tells the picture's size: 240 rows of 320.
  bool sized = false;
  for (size_t i = 2; i + 8 < jpg.size(); ++i)
    if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0) {
      EXPECT_EQ((jpg[i + 5] << 8) | jpg[i + 6], 240);
      EXPECT_EQ((jpg[i + 7] << 8) | jpg[i + 8], 320);
      sized = true;
      break;
    }
  EXPECT_TRUE(sized);
  EXPECT_TRUE(app_.Running());
}

TEST_F(Booth, DeleteKeepsAPhotoThatCannotBeDeletedAndSaysSo) {
  CameraSettings("still=7");
  CreateDirectoryA((folder_.Path() + "Photo").c_str(), nullptr);
  ASSERT_TRUE(WriteSolidBmp(PhotoFolder() + "kept.bmp", 0x2040C0));
  ASSERT_TRUE(SetFileAttributesA((PhotoFolder() + "kept.bmp").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_NE(Start(), nullptr);
  HWND list = Item(1008);
  ASSERT_TRUE(SelectListItem(list, 1));
  Click(Item(1010));
  HWND box = app_.WaitWindow("SnapwiseCamera", 15000);
  ASSERT_NE(box, nullptr) << "no message";
  PressKey(box, VK_RETURN);
  Settle(main_, 300);
  EXPECT_EQ(ListCount(list), 2);
  EXPECT_NE(GetFileAttributesA((PhotoFolder() + "kept.bmp").c_str()), INVALID_FILE_ATTRIBUTES);
  SetFileAttributesA((PhotoFolder() + "kept.bmp").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Booth, CaptureAtZeroDuringACountDownTakesThePhotoAndEndsIt) {
  CameraSettings("still=7");
  ASSERT_NE(Start(), nullptr);
  TypeText(Item(1021), "5");
  Click(Item(1006));
  Settle(main_, 1300);
  TypeText(Item(1021), "0");
  Click(Item(1006));
  Settle(main_, 1500);
  EXPECT_EQ(BmpFiles(PhotoFolder()).size(), 1u);
  // Nothing keeps counting: the field stays at 0 and no further photo appears.
  Settle(main_, 3000);
  EXPECT_EQ(TextOf(Item(1021)), "0");
  EXPECT_EQ(BmpFiles(PhotoFolder()).size(), 1u);
}

TEST_F(Booth, BackgroundChosenWhileAPhotoIsShownWaitsForCameraMode) {
  CameraSettings("still=7");
  CreateDirectoryA((folder_.Path() + "Photo").c_str(), nullptr);
  ASSERT_TRUE(WriteSolidBmp(PhotoFolder() + "p.bmp", 0x30A030));
  ASSERT_TRUE(WriteSolidBmp(folder_.Path() + "Background\\~red.bmp", 0xC01010));
  ASSERT_NE(Start(), nullptr);
  HWND backgrounds = Item(1007);
  int red = -1;
  for (int i = 0; i < ListCount(backgrounds); ++i)
    if (ListItemText(backgrounds, i) == "~red.bmp") red = i;
  ASSERT_GT(red, 0);
  ASSERT_TRUE(SelectListItem(Item(1008), 1));
  ASSERT_TRUE(SelectListItem(backgrounds, red));
  Settle(main_, 500);
  EXPECT_EQ(View().At(160, 120), 0x30A030u) << "the stored photo stays";
  ASSERT_TRUE(SelectListItem(Item(1008), 0));
  EXPECT_EQ(View().At(160, 120), 0xC01010u) << "Camera Mode shows the new background";
}

TEST_F(Booth, ViewStandsStillForASecondAfterACaptureThenRunsAgain) {
  ASSERT_NE(Start(), nullptr);  // the moving picture: every tick shows a new frame
  Pixels before = View();
  Settle(main_, 400);
  ASSERT_NE(View().rgb, before.rgb) << "the view is live";
  PostMessageA(main_, WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED), reinterpret_cast<LPARAM>(Item(1006)));
  Sleep(250);
  RECT client = ClientRectOnScreen(main_);
  RECT view{client.left, client.top, client.left + 320, client.top + 240};
  Pixels a = CaptureScreenRect(view);
  Sleep(400);
  Pixels b = CaptureScreenRect(view);
  EXPECT_EQ(a.rgb, b.rgb) << "frozen while the photo is taken";
  Settle(main_, 1500);
  Pixels c = View();
  Settle(main_, 400);
  EXPECT_NE(View().rgb, c.rgb) << "live again";
}

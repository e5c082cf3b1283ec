// The main window as a person first sees it, and the ways it ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppFixture.h"

using namespace e2e;

namespace {

struct ControlSpec {
  int id;
  const char* cls;
  const char* text;
  int x, y, w, h;  // dialog units
};

const ControlSpec kControls[] = {
    {1002, "Button", "Configure", 70, 140, 51, 13},
    {1006, "Button", "Capture It!", 7, 140, 59, 28},
    {1007, "ListBox", "", 195, 10, 56, 136},
    {1008, "ListBox", "", 264, 10, 89, 120},
    {1009, "Button", "Music", 70, 155, 51, 13},
    {1010, "Button", "Delete", 312, 133, 38, 14},
    {1013, "Button", "About", 290, 152, 30, 14},
    {1014, "Button", "Help", 325, 152, 30, 14},
    {1015, "Button", "Save As", 266, 133, 38, 14},
    {1021, "Edit", "0", 221, 153, 26, 14},
    {1023, "Static", "Delay(s):", 181, 156, 36, 8},
    {1026, "Button", "Format", 127, 140, 49, 13},
    {1028, "ComboBox", "Skins", 127, 155, 49, 117},
};

const char* kSkinNames[] = {"Skins", "Default", "Metal", "Modern", "Light", "Fashion", "XP Blue", "XP Silver"};

INT_PTR CALLBACK IgnoreAll(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Dialog units of the program's own dialog 102, mapped in this process: the template from the
// program's resources, made invisible, with no controls of its own concern.
class DialogUnits {
 public:
  explicit DialogUnits(const std::string& exe) {
    HMODULE mod = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!mod) return;
    HRSRC res = FindResourceA(mod, MAKEINTRESOURCEA(102), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (res) {
      DWORD size = SizeofResource(mod, res);
      const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(mod, res)));
      std::vector<BYTE> copy(data, data + size);
      // DLGTEMPLATEEX: version 1, signature 0xFFFF, help id, extended style, then the style.
      DWORD* style = reinterpret_cast<DWORD*>(&copy[12]);
      *style &= ~WS_VISIBLE;
      dlg_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                        reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()), nullptr,
                                        IgnoreAll, 0);
    }
    FreeLibrary(mod);
  }
  ~DialogUnits() {
    if (dlg_) DestroyWindow(dlg_);
  }
  bool ok() const { return dlg_ != nullptr; }
  // Position and size are converted separately, as the dialog manager does when it creates
  // the controls.
  RECT Map(int x, int y, int w, int h) const {
    RECT pos{x, y, x, y}, size{0, 0, w, h};
    MapDialogRect(dlg_, &pos);
    MapDialogRect(dlg_, &size);
    return RECT{pos.left, pos.top, pos.left + size.right, pos.top + size.bottom};
  }

 private:
  HWND dlg_ = nullptr;
};

RECT RectInParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<std::string> FilesOf(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  for (int i = 0, n = ListCount(list); i < n; ++i) items.push_back(ListItemText(list, i));
  return items;
}

bool WriteSmallBmp(const std::string& path) {
  Pixels p;
  p.width = 4;
  p.height = 2;
  p.rgb.assign(8, 0x00336699);
  return SaveBmp(p, path);
}

}  // namespace

class MainWindow : public AppTest {};

TEST_F(MainWindow, ShowsEveryControlWithItsTextAndPlace) {
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(ClassOf(main_), "#32770");
  DialogUnits units(folder_.Exe());
  ASSERT_TRUE(units.ok());
  for (const ControlSpec& c : kControls) {
    SCOPED_TRACE(c.id);
    HWND w = Item(c.id);
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(ClassOf(w).c_str(), c.cls);
    EXPECT_EQ(TextOf(w), c.text);
    RECT want = units.Map(c.x, c.y, c.w, c.h);
    RECT got = RectInParent(w);
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right - got.left, want.right - want.left);
    // A drop-down list's window is only as high as its closed box.
    if (std::string(c.cls) != "ComboBox") {
      EXPECT_EQ(got.bottom - got.top, want.bottom - want.top);
    }
  }
  // The two group boxes have no id of their own: find them by their texts.
  int groups = 0;
  for (HWND w = GetWindow(main_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    std::string t = TextOf(w);
    if (ClassOf(w) == "Button" && (t == "Backgrounds" || t == "Photo List")) {
      RECT got = RectInParent(w);
      RECT want = t == "Backgrounds" ? units.Map(190, 0, 65, 150) : units.Map(258, 0, 100, 150);
      EXPECT_EQ(got.left, want.left) << t;
      EXPECT_EQ(got.right - got.left, want.right - want.left) << t;
      ++groups;
    }
  }
  EXPECT_EQ(groups, 2);
}

TEST_F(MainWindow, SkinComboHoldsTheEightNamesWithSkinsChosen) {
  ASSERT_NE(Start(), nullptr);
  HWND combo = Item(1028);
  ASSERT_EQ(ComboCount(combo), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(ComboItemText(combo, i), kSkinNames[i]);
  EXPECT_EQ(ComboSelection(combo), 0);
}

TEST_F(MainWindow, ListsHoldTheBackgroundsAndPhotosInFolderOrder) {
  CreateDirectoryA((folder_.Path() + "Photo").c_str(), nullptr);
  ASSERT_TRUE(WriteSmallBmp(folder_.Path() + "Photo\\2026121_9305.bmp"));
  ASSERT_TRUE(WriteSmallBmp(folder_.Path() + "Photo\\2026121_9306.bmp"));
  ASSERT_NE(Start(), nullptr);

  std::vector<std::string> backgrounds = {"Clear"};
  for (const std::string& f : FilesOf(folder_.Path() + "Background\\*.bmp")) backgrounds.push_back(f);
  EXPECT_GT(backgrounds.size(), 1u) << "the build ships background pictures";
  EXPECT_EQ(ListItems(Item(1007)), backgrounds);

  std::vector<std::string> photos = {"Camera Mode"};
  for (const std::string& f : FilesOf(folder_.Path() + "Photo\\*.bmp")) photos.push_back(f);
  EXPECT_EQ(photos.size(), 3u);
  EXPECT_EQ(ListItems(Item(1008)), photos);
}

TEST_F(MainWindow, MissingPhotoFolderIsCreated) {
  ASSERT_EQ(GetFileAttributesA((folder_.Path() + "Photo").c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_NE(Start(), nullptr);
  DWORD attr = GetFileAttributesA((folder_.Path() + "Photo").c_str());
  ASSERT_NE(attr, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attr & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(ListItems(Item(1008)), std::vector<std::string>{"Camera Mode"});
}

TEST_F(MainWindow, LowerCasePhotoFolderIsUsedNotDoubled) {
  // Only "Photo" counts as the photo folder; creating it then fails on a case-insensitive file
  // system and the existing folder serves.
  ASSERT_TRUE(CreateDirectoryA((folder_.Path() + "photo").c_str(), nullptr));
  ASSERT_TRUE(WriteSmallBmp(folder_.Path() + "photo\\a.bmp"));
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(ListItems(Item(1008)), (std::vector<std::string>{"Camera Mode", "a.bmp"}));
  int folders = 0;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder_.Path() + "*").c_str(), &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  do {
    if (lstrcmpiA(fd.cFileName, "photo") == 0) ++folders;
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  EXPECT_EQ(folders, 1);
}

TEST_F(MainWindow, EscapeEndsTheProgram) {
  ASSERT_NE(Start(), nullptr);
  PressKey(main_, VK_ESCAPE);
  EXPECT_EQ(app_.WaitExit(kExitMs), 0);
}

TEST_F(MainWindow, CloseBoxEndsTheProgram) {
  ASSERT_NE(Start(), nullptr);
  Close(main_);
  EXPECT_EQ(app_.WaitExit(kExitMs), 0);
}

TEST_F(MainWindow, ConfigureAndFormatOpenTheCameraDialogs) {
  struct Case {
    int button;
    const char* caption;
  };
  const Case cases[] = {{1002, "Video Source"}, {1026, "Video Format"}};
  ASSERT_NE(Start(), nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    Click(Item(c.button));
    HWND dlg = app_.WaitWindow(c.caption, 20000);
    ASSERT_NE(dlg, nullptr);
    PressKey(dlg, VK_ESCAPE);
    for (int i = 0; i < 100 && IsWindow(dlg) && IsWindowVisible(dlg); ++i) Sleep(50);
    EXPECT_FALSE(IsWindow(dlg) && IsWindowVisible(dlg));
  }
  EXPECT_TRUE(app_.Running());
}

TEST_F(MainWindow, WritesItsFolderIntoCameraIniAtEveryStart) {
  for (int run = 0; run < 2; ++run) {
    ASSERT_NE(Start(), nullptr);
    Close(main_);
    ASSERT_EQ(app_.WaitExit(kExitMs), 0);
  }
  char value[MAX_PATH] = {};
  std::string ini = folder_.Path() + "Camera.ini";
  GetPrivateProfileStringA("App", "AppPath", "", value, sizeof value, ini.c_str());
  EXPECT_EQ(std::string(value), folder_.Path());
  FILE* f = fopen(ini.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char text[2048] = {};
  fread(text, 1, sizeof text - 1, f);
  fclose(f);
  std::string s(text);
  EXPECT_EQ(s.find("AppPath"), s.rfind("AppPath")) << s;
}

class NoCamera : public AppTest {};

TEST_F(NoCamera, SaysSorryAndEndsWithFailure) {
  CameraSettings("refuse=1");
  ASSERT_TRUE(app_.Start(folder_.Exe()));
  HWND box = app_.WaitWindow("Sorry", kStartMs);
  ASSERT_NE(box, nullptr);
  bool hasText = false;
  for (HWND w = GetWindow(box, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    if (TextOf(w) == "Initializing failed,Please your Check your PC camera!") hasText = true;
  EXPECT_TRUE(hasText);
  EXPECT_EQ(app_.TopWindows().size(), 1u) << "the main window is not shown";
  PressKey(box, VK_RETURN);
  long code = app_.WaitExit(kExitMs);
  EXPECT_NE(code, 0);
  EXPECT_NE(code, -1) << "still running";
}

TEST_F(MainWindow, HelpOpensTheHelpFile) {
  ASSERT_NE(Start(), nullptr);
  Click(Item(1014));
  // The shell's viewer for .chm runs as a process of its own, captioned with the file's title.
  HWND help = FindTopWindow("Snapwise Camera Help", 60000);
  ASSERT_NE(help, nullptr);
  Close(help);
  EXPECT_TRUE(app_.Running());
}

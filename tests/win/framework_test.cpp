// The framework under Wine: strings, the handle map, subclassing and message-map dispatch.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Framework.h"
#include "framework_test_res.h"

namespace {

// ---- strings ----

TEST(FwString, SlicesClampToTheText) {
  const CString s("Photo\\20081225_18305.bmp");
  struct Case {
    CString got;
    const char* want;
  } cases[] = {
      {s.Left(5), "Photo"},       {s.Left(-1), ""},          {s.Left(99), s},
      {s.Mid(6, 8), "20081225"},  {s.Mid(20), ".bmp"},       {s.Mid(-3, 5), "Photo"},
      {s.Mid(99), ""},            {s.Mid(3, -1), ""},        {s.Right(3), "bmp"},
      {s.Right(0), ""},           {s.Right(99), s},
  };
  for (const Case& c : cases) EXPECT_STREQ(c.got, c.want);
}

TEST(FwString, FindsFromTheFrontAndTheBack) {
  const CString path("C:\\Tools\\Cam\\prog.exe");
  EXPECT_EQ(path.Find('\\'), 2);
  EXPECT_EQ(path.Find('\\', 3), 8);
  EXPECT_EQ(path.Find("Cam"), 9);
  EXPECT_EQ(path.Find("cam"), -1);
  EXPECT_EQ(path.Find('x', 99), -1);
  EXPECT_EQ(path.ReverseFind('\\'), 12);
  EXPECT_EQ(path.ReverseFind('/'), -1);
  // The idiom that cuts a module path after its last backslash.
  EXPECT_STREQ(path.Left(path.ReverseFind('\\') + 1), "C:\\Tools\\Cam\\");
  EXPECT_STREQ(CString("prog.exe").Left(CString("prog.exe").ReverseFind('\\') + 1), "");
}

TEST(FwString, ComparesConcatenatesAndFormats) {
  CString a("Photo");
  EXPECT_TRUE(a == "Photo");
  EXPECT_FALSE(a == "photo");
  EXPECT_TRUE("Photo" == a);
  EXPECT_TRUE(a != CString("Phot"));
  EXPECT_TRUE(CString("a") < CString("b"));
  EXPECT_EQ(a.CompareNoCase("PHOTO"), 0);

  CString joined = a + "\\" + CString("x.bmp") + '!';
  EXPECT_STREQ(joined, "Photo\\x.bmp!");
  joined += joined;  // appending itself
  EXPECT_STREQ(joined, "Photo\\x.bmp!Photo\\x.bmp!");

  CString name;
  name.Format("%d%d%d_%d%d%d.bmp", 2008, 3, 5, 9, 7, 4);
  EXPECT_STREQ(name, "200835_974.bmp");
  CString folder("C:\\Cam\\");
  CString path;
  path.Format("%s%s_%d", folder, "Photo", 3);  // a CString goes in as its text
  EXPECT_STREQ(path, "C:\\Cam\\Photo_3");
  CString longText;
  longText.Format("%s-%0300d", "x", 1);
  EXPECT_EQ(longText.GetLength(), 302);

  CString ext("JpG");
  EXPECT_STREQ(ext.MakeLower(), "jpg");
  EXPECT_STREQ(CString("  a b \t").Trim(), "a b");
  CString text("a.b.c");
  EXPECT_EQ(text.Replace('.', '/'), 2);
  EXPECT_STREQ(text, "a/b/c");
}

TEST(FwString, BufferAccessKeepsTheLengthHonest) {
  CString s;
  char* p = s.GetBuffer(10);
  strcpy(p, "abc");
  s.ReleaseBuffer();
  EXPECT_EQ(s.GetLength(), 3);
  EXPECT_STREQ(s, "abc");
  EXPECT_EQ(s.GetAt(5), '\0');  // outside the text
}

TEST(FwString, ResourceStringKeepsTextOutsideTheCodePage) {
  CString s;
  ASSERT_TRUE(s.LoadString(IDS_FW_TEST_WIDE));
  EXPECT_EQ(s.ToWide(), std::wstring(L"关于本软件"));
  EXPECT_FALSE(s.IsEmpty());
  CString copy = s;
  EXPECT_EQ(copy.ToWide(), std::wstring(L"关于本软件"));
  copy += "x";  // changed text no longer claims the wide original
  EXPECT_FALSE(copy.HasWideOriginal());
  EXPECT_FALSE(CString().LoadString(9999));
}

TEST(FwStringArray, AddsInsertsAndRemoves) {
  CStringArray a;
  EXPECT_EQ(a.Add("x"), 0);
  EXPECT_EQ(a.Add("z"), 1);
  a.InsertAt(1, "y");
  ASSERT_EQ(a.GetSize(), 3);
  EXPECT_STREQ(a[0], "x");
  EXPECT_STREQ(a[1], "y");
  EXPECT_STREQ(a.GetAt(2), "z");
  a.RemoveAt(0, 2);
  ASSERT_EQ(a.GetSize(), 1);
  EXPECT_STREQ(a[0], "z");
  a.RemoveAt(5);  // outside: nothing
  EXPECT_EQ(a.GetSize(), 1);
  a.RemoveAll();
  EXPECT_TRUE(a.IsEmpty());
}

// ---- windows ----

// A top-level window of a plain class for the message tests.
HWND MakeHostWindow() {
  static ATOM cls = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FwTestHost";
    return RegisterClassA(&wc);
  }();
  (void)cls;
  return CreateWindowExA(0, "FwTestHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND MakeChild(HWND parent, const char* cls, DWORD style, int id) {
  return CreateWindowExA(0, cls, "child", WS_CHILD | WS_VISIBLE | style, 10, 10, 60, 20, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                         nullptr);
}

enum { kIdCommand = 100, kIdButton = 101, kIdList = 102, kIdCombo = 103, kIdStatic = 104, kIdPlain = 105 };
const UINT WM_FW_PING = WM_APP + 1;

class CHost : public CWnd {
 public:
  std::vector<std::string> calls;
  UINT_PTR timerId = 0;
  BOOL throwOnPing = FALSE;

 protected:
  void OnTimer(UINT_PTR id) {
    timerId = id;
    calls.push_back("timer");
  }
  LRESULT OnPing(WPARAM w, LPARAM l) {
    if (throwOnPing) throw std::runtime_error("handler fault");
    calls.push_back("ping");
    return static_cast<LRESULT>(w + l);
  }
  LRESULT OnSetText(WPARAM, LPARAM) {
    calls.push_back("settext");
    return Default();  // the window still takes the text
  }
  void OnCmd() { calls.push_back("command"); }
  void OnButton() { calls.push_back("button"); }
  void OnListSel() { calls.push_back("list"); }
  void OnComboSel() { calls.push_back("combo"); }
  void OnStaticClicked() { calls.push_back("parent-static"); }
  void OnPlainClicked() { calls.push_back("parent-plain"); }
  HBRUSH OnCtlColor(CDC*, CWnd* control, UINT kind) {
    calls.push_back("parent-color");
    (void)control;
    (void)kind;
    return nullptr;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHost, CWnd)
  ON_WM_TIMER()
  ON_MESSAGE(WM_FW_PING, &CHost::OnPing)
  ON_MESSAGE(WM_SETTEXT, &CHost::OnSetText)
  ON_COMMAND(kIdCommand, &CHost::OnCmd)
  ON_BN_CLICKED(kIdButton, &CHost::OnButton)
  ON_LBN_SELCHANGE(kIdList, &CHost::OnListSel)
  ON_CBN_SELCHANGE(kIdCombo, &CHost::OnComboSel)
  ON_STN_CLICKED(kIdStatic, &CHost::OnStaticClicked)
  ON_STN_CLICKED(kIdPlain, &CHost::OnPlainClicked)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

// A derived map: its own ping wins, the rest comes from the base's map.
class CDerivedHost : public CHost {
 protected:
  LRESULT OnPing(WPARAM, LPARAM) {
    calls.push_back("derived-ping");
    return 7;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedHost, CHost)
  ON_MESSAGE(WM_FW_PING, &CDerivedHost::OnPing)
END_MESSAGE_MAP()

// A static that handles its own click and colour.
class CClickStatic : public CStatic {
 public:
  int preSubclass = 0;
  int clicks = 0;
  int colors = 0;
  CBrush brush{RGB(1, 2, 3)};

 protected:
  void PreSubclassWindow() override {
    ++preSubclass;
    ModifyStyle(0, SS_NOTIFY);
  }
  void OnClicked() { ++clicks; }
  HBRUSH CtlColor(CDC* dc, UINT kind) {
    ++colors;
    EXPECT_EQ(kind, static_cast<UINT>(CTLCOLOR_STATIC));
    dc->SetTextColor(RGB(200, 0, 0));
    return brush;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickStatic, CStatic)
  ON_CONTROL_REFLECT(STN_CLICKED, &CClickStatic::OnClicked)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

// Like a capture window's owner: only WM_DESTROY.
class CDestroyWatcher : public CWnd {
 public:
  int destroyed = 0;
  HWND handleSeenAtDestroy = nullptr;

 protected:
  void OnDestroy() {
    ++destroyed;
    handleSeenAtDestroy = m_hWnd;
    CWnd::OnDestroy();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDestroyWatcher, CWnd)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

struct HostFixture : ::testing::Test {
  HWND hwnd = nullptr;
  void SetUp() override {
    hwnd = MakeHostWindow();
    ASSERT_NE(hwnd, nullptr);
  }
  void TearDown() override {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    FwFreeTemporaries();
  }
};

using FwWindowMap = HostFixture;

TEST_F(FwWindowMap, TemporaryAndPermanentObjects) {
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
  CWnd* temp = CWnd::FromHandle(hwnd);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(temp->GetSafeHwnd(), hwnd);
  EXPECT_EQ(CWnd::FromHandle(hwnd), temp);  // one wrapper per handle

  CWnd wnd;
  ASSERT_TRUE(wnd.Attach(hwnd));
  EXPECT_EQ(CWnd::FromHandle(hwnd), &wnd);
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &wnd);
  CWnd other;
  EXPECT_FALSE(other.Attach(hwnd));  // one object per window
  EXPECT_EQ(wnd.Detach(), hwnd);
  EXPECT_EQ(wnd.GetSafeHwnd(), nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST_F(FwWindowMap, TheMapBelongsToTheThread) {
  CWnd wnd;
  ASSERT_TRUE(wnd.Attach(hwnd));
  CWnd* seenElsewhere = &wnd;
  std::thread([&] { seenElsewhere = CWnd::FromHandlePermanent(hwnd); }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
  wnd.Detach();
}

TEST_F(FwWindowMap, DestroyingTheWindowUnbindsTheObject) {
  CDestroyWatcher watcher;
  ASSERT_TRUE(watcher.SubclassWindow(hwnd));
  EXPECT_TRUE(DestroyWindow(hwnd));
  EXPECT_EQ(watcher.destroyed, 1);
  EXPECT_EQ(watcher.handleSeenAtDestroy, hwnd);  // still bound during WM_DESTROY
  EXPECT_EQ(watcher.GetSafeHwnd(), nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST_F(FwWindowMap, ObjectDestroyedFirstLeavesAWorkingWindow) {
  {
    CHost host;
    ASSERT_TRUE(host.SubclassWindow(hwnd));
  }
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
  EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&DefWindowProcA));
  EXPECT_EQ(SendMessageA(hwnd, WM_FW_PING, 1, 2), 0);  // no handler any more
  EXPECT_TRUE(SetWindowTextA(hwnd, "still"));
}

using FwMessageMap = HostFixture;

TEST_F(FwMessageMap, EachKindOfEntryReachesItsHandler) {
  CHost host;
  ASSERT_TRUE(host.SubclassWindow(hwnd));
  HWND button = MakeChild(hwnd, "BUTTON", BS_PUSHBUTTON, kIdButton);
  HWND list = MakeChild(hwnd, "LISTBOX", LBS_NOTIFY, kIdList);
  HWND combo = MakeChild(hwnd, "COMBOBOX", CBS_DROPDOWNLIST, kIdCombo);

  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* handler;
    LRESULT result;
  } cases[] = {
      {WM_FW_PING, 3, 4, "ping", 7},
      {WM_TIMER, 5, 0, "timer", 0},
      {WM_COMMAND, MAKEWPARAM(kIdCommand, 0), 0, "command", 0},
      {WM_COMMAND, MAKEWPARAM(kIdCommand, 1), 0, "command", 0},  // as an accelerator
      {WM_COMMAND, MAKEWPARAM(kIdButton, BN_CLICKED), reinterpret_cast<LPARAM>(button), "button", 0},
      {WM_COMMAND, MAKEWPARAM(kIdList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list), "list", 0},
      {WM_COMMAND, MAKEWPARAM(kIdCombo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo), "combo", 0},
  };
  for (const Case& c : cases) {
    host.calls.clear();
    EXPECT_EQ(SendMessageA(hwnd, c.message, c.wParam, c.lParam), c.result) << c.handler;
    ASSERT_EQ(host.calls.size(), 1u) << c.handler;
    EXPECT_EQ(host.calls[0], c.handler);
  }
  EXPECT_EQ(host.timerId, 5u);

  // Notifications with other codes or ids find no entry.
  host.calls.clear();
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kIdList, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kIdCommand + 50, 0), 0);
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(FwMessageMap, RealNotificationsOfControls) {
  CHost host;
  ASSERT_TRUE(host.SubclassWindow(hwnd));
  HWND list = MakeChild(hwnd, "LISTBOX", LBS_NOTIFY, kIdList);
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a"));
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("b"));
  // A click on the second item, as the mouse would give it.
  int itemHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  LPARAM at = MAKELPARAM(5, itemHeight + itemHeight / 2);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
  ASSERT_FALSE(host.calls.empty());
  EXPECT_EQ(host.calls.back(), "list");

  host.calls.clear();
  HWND button = MakeChild(hwnd, "BUTTON", BS_PUSHBUTTON, kIdButton);
  SendMessageA(button, BM_CLICK, 0, 0);
  ASSERT_EQ(host.calls.size(), 1u);
  EXPECT_EQ(host.calls[0], "button");
}

TEST_F(FwMessageMap, UnmatchedMessagesGetDefaultProcessing) {
  CHost host;
  ASSERT_TRUE(host.SubclassWindow(hwnd));
  EXPECT_TRUE(SetWindowTextA(hwnd, "new title"));  // the handler passes it on with Default()
  char title[32] = {};
  GetWindowTextA(hwnd, title, sizeof title);
  EXPECT_STREQ(title, "new title");
  ASSERT_EQ(host.calls.size(), 1u);
  EXPECT_EQ(host.calls[0], "settext");
  // No entry at all: the window's own procedure answers.
  EXPECT_EQ(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0), 9);
}

TEST_F(FwMessageMap, DerivedMapOverridesAndInherits) {
  CDerivedHost host;
  ASSERT_TRUE(host.SubclassWindow(hwnd));
  EXPECT_EQ(SendMessageA(hwnd, WM_FW_PING, 1, 1), 7);
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kIdCommand, 0), 0);
  ASSERT_EQ(host.calls.size(), 2u);
  EXPECT_EQ(host.calls[0], "derived-ping");
  EXPECT_EQ(host.calls[1], "command");
}

TEST_F(FwMessageMap, ExceptionInAHandlerStaysInTheFramework) {
  CHost host;
  ASSERT_TRUE(host.SubclassWindow(hwnd));
  host.throwOnPing = TRUE;
  EXPECT_EQ(SendMessageA(hwnd, WM_FW_PING, 1, 2), 0);
  host.throwOnPing = FALSE;
  EXPECT_EQ(SendMessageA(hwnd, WM_FW_PING, 1, 2), 3);  // the window still works
}

TEST_F(FwMessageMap, ReflectedNotificationsReachTheControlFirst) {
  CHost host;
  ASSERT_TRUE(host.SubclassWindow(hwnd));
  CClickStatic link;
  HWND linkWnd = MakeChild(hwnd, "STATIC", SS_LEFT, kIdStatic);
  ASSERT_TRUE(link.SubclassWindow(linkWnd));
  EXPECT_EQ(link.preSubclass, 1);
  EXPECT_TRUE(GetWindowLongA(linkWnd, GWL_STYLE) & SS_NOTIFY);

  // A real click on the static: its STN_CLICKED goes to the control's own handler only.
  SendMessageA(linkWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageA(linkWnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(link.clicks, 1);
  for (const std::string& c : host.calls) EXPECT_NE(c, "parent-static");

  // Painting asks the parent for the colour; the control answers with its brush.
  host.calls.clear();
  HDC dc = GetDC(linkWnd);
  LRESULT brush = SendMessageA(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(linkWnd));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), static_cast<HBRUSH>(link.brush));
  EXPECT_EQ(GetTextColor(dc), RGB(200, 0, 0));
  ReleaseDC(linkWnd, dc);
  EXPECT_EQ(link.colors, 1);
  EXPECT_TRUE(host.calls.empty());  // the parent's colour handler was not asked

  // A static without reflected entries leaves its notification to the parent.
  CStatic plain;
  ASSERT_TRUE(plain.SubclassWindow(MakeChild(hwnd, "STATIC", SS_NOTIFY, kIdPlain)));
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kIdPlain, STN_CLICKED), reinterpret_cast<LPARAM>(plain.m_hWnd));
  SendMessageA(hwnd, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(plain.m_hWnd));
  ASSERT_EQ(host.calls.size(), 2u);
  EXPECT_EQ(host.calls[0], "parent-plain");
  EXPECT_EQ(host.calls[1], "parent-color");
}

TEST_F(FwMessageMap, SubclassingTwiceIsRefused) {
  CHost first;
  CHost second;
  ASSERT_TRUE(first.SubclassWindow(hwnd));
  EXPECT_FALSE(second.SubclassWindow(hwnd));
  EXPECT_FALSE(second.SubclassWindow(nullptr));
  EXPECT_EQ(first.UnsubclassWindow(), hwnd);
  EXPECT_TRUE(second.SubclassWindow(hwnd));
  EXPECT_EQ(SendMessageA(hwnd, WM_FW_PING, 2, 2), 4);
  EXPECT_TRUE(first.calls.empty());
}

// ---- painting and GDI objects ----

class CPainter : public CWnd {
 public:
  int paints = 0;
  RECT paintRect{};

 protected:
  void OnPaint() {
    CPaintDC dc(this);
    ++paints;
    paintRect = dc.m_ps.rcPaint;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPainter, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

using FwPaint = HostFixture;

TEST_F(FwPaint, PaintDcValidatesWhatWasInvalid) {
  CPainter painter;
  ASSERT_TRUE(painter.SubclassWindow(hwnd));
  ShowWindow(hwnd, SW_SHOWNA);
  UpdateWindow(hwnd);
  painter.paints = 0;
  RECT part{5, 6, 20, 30};
  painter.InvalidateRect(&part, FALSE);
  painter.UpdateWindow();
  EXPECT_EQ(painter.paints, 1);
  EXPECT_TRUE(EqualRect(&painter.paintRect, &part));
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));  // EndPaint ran
}

TEST(FwGdi, ObjectsDeleteWhatTheyHold) {
  CClientDC screen(nullptr);
  ASSERT_NE(screen.GetSafeHdc(), nullptr);
  LOGFONTA lf{};
  lf.lfHeight = -12;
  lstrcpyA(lf.lfFaceName, "Tahoma");
  struct {
    LOGPALETTE header;
    PALETTEENTRY more[1];
  } pal{{0x300, 2, {{1, 2, 3, 0}}}, {{4, 5, 6, 0}}};

  std::vector<HGDIOBJ> handles;
  HGDIOBJ kept = nullptr;
  {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 4, 4));
    CBrush brush(RGB(10, 20, 30));
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(&pal.header));
    EXPECT_EQ(palette.GetEntryCount(), 2);
    CBrush detached(RGB(1, 1, 1));
    handles = {bitmap.GetSafeHandle(), brush.GetSafeHandle(), font.GetSafeHandle(), palette.GetSafeHandle()};
    for (HGDIOBJ h : handles) EXPECT_NE(GetObjectType(h), 0u);
    kept = detached.Detach();
    EXPECT_FALSE(bitmap.CreateCompatibleBitmap(&screen, 2, 2));  // already holds one
  }
  for (HGDIOBJ h : handles) EXPECT_EQ(GetObjectType(h), 0u);
  EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BRUSH));
  DeleteObject(kept);

  HDC memory = nullptr;
  {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    memory = dc.GetSafeHdc();
    EXPECT_EQ(GetObjectType(memory), static_cast<DWORD>(OBJ_MEMDC));
  }
  EXPECT_EQ(GetObjectType(memory), 0u);
}

TEST(FwGdi, BlitsStretchesAndRestores) {
  CClientDC screen(nullptr);
  CDC src;
  CDC dst;
  ASSERT_TRUE(src.CreateCompatibleDC(&screen));
  ASSERT_TRUE(dst.CreateCompatibleDC(&screen));
  CBitmap srcBits;
  CBitmap dstBits;
  ASSERT_TRUE(srcBits.CreateCompatibleBitmap(&screen, 2, 2));
  ASSERT_TRUE(dstBits.CreateCompatibleBitmap(&screen, 4, 4));
  CGdiObject* oldSrc = src.SelectObject(&srcBits);
  CBitmap* oldDst = dst.SelectObject(&dstBits);
  ASSERT_NE(oldSrc, nullptr);
  ASSERT_NE(oldDst, nullptr);
  src.SetPixel(0, 0, RGB(255, 0, 0));
  src.SetPixel(1, 0, RGB(0, 255, 0));
  src.SetPixel(0, 1, RGB(0, 0, 255));
  src.SetPixel(1, 1, RGB(255, 255, 255));

  EXPECT_TRUE(dst.BitBlt(0, 0, 2, 2, &src, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.GetPixel(1, 0), RGB(0, 255, 0));
  EXPECT_TRUE(dst.StretchBlt(0, 0, 4, 4, &src, 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(dst.GetPixel(3, 3), RGB(255, 255, 255));
  EXPECT_EQ(dst.GetPixel(0, 3), RGB(0, 0, 255));

  int saved = dst.SaveDC();
  dst.SetBkColor(RGB(1, 2, 3));
  dst.SetBkMode(TRANSPARENT);
  EXPECT_TRUE(dst.RestoreDC(saved));
  EXPECT_NE(dst.GetBkColor(), RGB(1, 2, 3));
  EXPECT_EQ(dst.GetBkMode(), OPAQUE);

  // The stock bitmap displaced at first selection stays usable after the loop's idle clean-up.
  FwFreeTemporaries();
  EXPECT_EQ(CBitmap::FromHandle(static_cast<HBITMAP>(oldSrc->GetSafeHandle())), oldSrc);
  CGdiObject* back = src.SelectObject(oldSrc);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetSafeHandle(), srcBits.GetSafeHandle());
  dst.SelectObject(oldDst);
}

// ---- controls and menus ----

TEST_F(FwMessageMap, ListAndComboWrappers) {
  CListBox list;
  ASSERT_TRUE(list.SubclassWindow(MakeChild(hwnd, "LISTBOX", LBS_NOTIFY, kIdList)));
  for (const char* s : {"Camera Mode", "a.bmp", "b.bmp"}) list.AddString(s);
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetCurSel(), LB_ERR);
  list.SetCurSel(2);
  CString text;
  list.GetText(list.GetCurSel(), text);
  EXPECT_STREQ(text, "b.bmp");
  list.DeleteString(2);
  list.SetCurSel(1);
  list.GetText(1, text);
  EXPECT_STREQ(text, "a.bmp");
  list.GetText(7, text);
  EXPECT_STREQ(text, "");

  CComboBox combo;
  ASSERT_TRUE(combo.SubclassWindow(MakeChild(hwnd, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, kIdCombo)));
  combo.AddString("Skins");
  combo.AddString("Default");
  combo.SetCurSel(1);
  EXPECT_EQ(combo.GetCurSel(), 1);
  combo.GetLBText(0, text);
  EXPECT_STREQ(text, "Skins");
}

TEST_F(FwMessageMap, TooltipToolsAndText) {
  CStatic target;
  ASSERT_TRUE(target.SubclassWindow(MakeChild(hwnd, "STATIC", SS_NOTIFY, kIdStatic)));
  CToolTipCtrl tip;
  ASSERT_TRUE(tip.Create(&target));
  ASSERT_TRUE(tip.AddTool(&target, "mailto:someone", nullptr, 1));
  EXPECT_EQ(tip.GetToolCount(), 1);
  tip.UpdateTipText("http://example.invalid/", &target, 1);
  char text[80] = {};
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = target.m_hWnd;
  ti.uId = 1;
  ti.lpszText = text;
  tip.SendMessage(TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(text, "http://example.invalid/");
  HWND tipWnd = tip.m_hWnd;
  tip.DestroyWindow();
  EXPECT_FALSE(IsWindow(tipWnd));
}

TEST_F(FwMessageMap, WideResourceTextShowsInMenus) {
  CWnd wnd;
  ASSERT_TRUE(wnd.SubclassWindow(hwnd));
  CString item;
  ASSERT_TRUE(item.LoadString(IDS_FW_TEST_WIDE));
  CMenu* sysMenu = wnd.GetSystemMenu(FALSE);
  ASSERT_NE(sysMenu, nullptr);
  int before = sysMenu->GetMenuItemCount();
  EXPECT_TRUE(sysMenu->AppendMenu(MF_SEPARATOR));
  EXPECT_TRUE(sysMenu->AppendMenu(MF_STRING, 0x0010, item));
  EXPECT_EQ(sysMenu->GetMenuItemCount(), before + 2);
  wchar_t shown[32] = {};
  GetMenuStringW(sysMenu->GetSafeHmenu(), 0x0010, shown, 32, MF_BYCOMMAND);
  EXPECT_EQ(std::wstring(shown), L"关于本软件");
  CString readBack;
  sysMenu->GetMenuString(0x0010, readBack, MF_BYCOMMAND);
  EXPECT_EQ(readBack.ToWide(), L"关于本软件");
  wnd.UnsubclassWindow();
}

}  // namespace

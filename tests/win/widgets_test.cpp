// The hyperlink control in the real About box, and the colour label, from what they paint.

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "AboutBox.h"
#include "ColorStatic.h"
#include "Framework.h"

namespace {

const UINT WM_PROBE = WM_APP + 17;
const char kTestPageClass[] = "SnapwiseTest.LinkPage";

std::string ExeFolder() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.rfind('\\') + 1);
}

std::string TempPath(const char* name) {
  char base[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, base);
  return std::string(base) + name;
}

// What a control paints, drawn into a memory bitmap of its client size (the screen is shared
// with other programs, so it is not read). Pixels the control leaves alone stay magenta.
std::vector<COLORREF> Snapshot(HWND hWnd) {
  RECT r;
  GetClientRect(hWnd, &r);
  const int w = r.right, h = r.bottom;
  std::vector<COLORREF> pixels;
  if (w <= 0 || h <= 0) return pixels;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(mem, bmp);
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(mem, &r, magenta);
  DeleteObject(magenta);
  SendMessageA(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_ERASEBKGND);
  GdiFlush();
  const unsigned char* p = static_cast<const unsigned char*>(bits);
  for (int i = 0; i < w * h; ++i) pixels.push_back(RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  return pixels;
}

int CountPixels(HWND hWnd, COLORREF color) {
  int n = 0;
  for (COLORREF c : Snapshot(hWnd)) n += c == color;
  return n;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The About box, shown modally, with a test body run inside its modal loop.
class ProbeAboutBox : public CAboutBox {
 public:
  explicit ProbeAboutBox(std::function<void(ProbeAboutBox&)> probe) : m_probe(std::move(probe)) {}

 protected:
  BOOL OnInitDialog() override {
    const BOOL result = CAboutBox::OnInitDialog();
    SetWindowPos(CWnd::FromHandle(HWND_TOPMOST), 40, 40, 0, 0, SWP_NOSIZE);
    PostMessage(WM_PROBE);
    return result;
  }
  LRESULT OnProbe(WPARAM, LPARAM) {
    UpdateWindow();
    Pump();
    m_probe(*this);
    EndDialog(IDOK);
    return 0;
  }
  DECLARE_MESSAGE_MAP()

 private:
  std::function<void(ProbeAboutBox&)> m_probe;
};

BEGIN_MESSAGE_MAP(ProbeAboutBox, CAboutBox)
  ON_MESSAGE(WM_PROBE, &ProbeAboutBox::OnProbe)
END_MESSAGE_MAP()

void RunAboutBox(std::function<void(ProbeAboutBox&)> probe) {
  ProbeAboutBox box(std::move(probe));
  ASSERT_EQ(box.DoModal(), IDOK);
}

// Watches from another thread for a message box of the given thread, keeps its texts and
// presses OK.
class MessageBoxCloser {
 public:
  explicit MessageBoxCloser(HWND exclude) : m_thread(GetCurrentThreadId()), m_exclude(exclude) {
    m_worker = std::thread([this] { Watch(); });
  }
  ~MessageBoxCloser() {
    m_stop = true;
    if (m_worker.joinable()) m_worker.join();
  }
  bool Seen() const { return m_seen; }
  std::string Texts() {
    m_stop = true;
    if (m_worker.joinable()) m_worker.join();
    return m_texts;
  }

 private:
  struct Search {
    MessageBoxCloser* self;
    HWND found;
  };
  static BOOL CALLBACK FindBox(HWND hWnd, LPARAM param) {
    Search* s = reinterpret_cast<Search*>(param);
    char cls[32] = {};
    GetClassNameA(hWnd, cls, sizeof cls);
    if (hWnd != s->self->m_exclude && IsWindowVisible(hWnd) && std::string(cls) == "#32770") {
      s->found = hWnd;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK CollectText(HWND hWnd, LPARAM param) {
    char cls[32] = {};
    GetClassNameA(hWnd, cls, sizeof cls);
    if (std::string(cls) == "Static") {
      char text[512] = {};
      GetWindowTextA(hWnd, text, sizeof text);
      *reinterpret_cast<std::string*>(param) += text;
    }
    return TRUE;
  }
  void Watch() {
    for (int i = 0; i < 400 && !m_stop && !m_seen; ++i) {
      Search s{this, nullptr};
      EnumThreadWindows(m_thread, FindBox, reinterpret_cast<LPARAM>(&s));
      if (s.found) {
        Sleep(100);  // let the box finish laying itself out
        EnumChildWindows(s.found, CollectText, reinterpret_cast<LPARAM>(&m_texts));
        m_seen = true;
        PostMessageA(s.found, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(50);
    }
  }

  DWORD m_thread;
  HWND m_exclude;
  std::thread m_worker;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_seen{false};
  std::string m_texts;
};

// Points the web-page class at a class of our own for the length of a test, and puts back
// what was there (the key itself when there was none). With a command, that class opens pages
// with it; without, it has no command. The Wine prefix is shared: nothing of ours stays.
class PageClassOverride {
 public:
  explicit PageClassOverride(const std::string& command) {
    HKEY key;
    m_keyExisted = RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
    if (m_keyExisted) {
      char value[MAX_PATH] = {};
      DWORD size = sizeof value - 1;
      DWORD type = 0;
      m_hadValue = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                   ERROR_SUCCESS;
      m_old = value;
      RegCloseKey(key);
      // Our own class there means a run that was stopped before it could put things back.
      if (m_old == kTestPageClass) m_keyExisted = m_hadValue = false;
    }
    RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, kTestPageClass, 0);
    if (!command.empty()) {
      const std::string commandKey = std::string(kTestPageClass) + "\\shell\\open\\command";
      RegSetValueA(HKEY_CLASSES_ROOT, commandKey.c_str(), REG_SZ, command.c_str(), 0);
    }
  }
  ~PageClassOverride() {
    if (!m_keyExisted) {
      RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
    } else if (m_hadValue) {
      RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, m_old.c_str(), 0);
    } else {
      HKEY key;
      if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, nullptr);
        RegCloseKey(key);
      }
    }
    const std::string base = kTestPageClass;
    for (const char* sub : {"\\shell\\open\\command", "\\shell\\open", "\\shell", ""}) {
      RegDeleteKeyA(HKEY_CLASSES_ROOT, (base + sub).c_str());
    }
  }

 private:
  bool m_keyExisted = false;
  bool m_hadValue = false;
  std::string m_old;
};

// An existing file of a type nothing is registered for: the shell cannot open it.
std::string UnassociatedFile() {
  const std::string path = TempPath("snapwise_link_target.snapwisenoassoc");
  std::ofstream(path) << "x";
  return path;
}

std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 300; ++i) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::stringstream s;
      s << in.rdbuf();
      return s.str();
    }
    Sleep(50);
  }
  return "<never written>";
}

void Click(HWND hWnd) {
  SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageA(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

TEST(AboutBox, LinksShowTheirTextsAndCarryTheTargets) {
  RunAboutBox([](ProbeAboutBox& box) {
    CLinkStatic& mail = box.m_mailLink;
    CLinkStatic& home = box.m_homeLink;
    CString text;
    mail.GetWindowText(text);
    EXPECT_EQ(text, "support@snapwise.example");
    home.GetWindowText(text);
    EXPECT_EQ(text, "http://www.snapwise.example/");
    EXPECT_EQ(mail.GetTarget(), "mailto:support@snapwise.example");
    EXPECT_EQ(home.GetTarget(), "http://www.snapwise.example/");

    for (CLinkStatic* link : {&mail, &home}) {
      EXPECT_TRUE(link->GetStyle() & SS_NOTIFY);
      LOGFONTA lf{};
      ASSERT_TRUE(link->GetFont()->GetLogFont(&lf));
      EXPECT_TRUE(lf.lfUnderline);
      EXPECT_STREQ(lf.lfFaceName, "Tahoma");
      // Fitted to its text from the top-left corner the dialog gave it.
      link->GetWindowText(text);
      CClientDC dc(link);
      dc.SelectObject(link->GetFont());
      const CSize extent = dc.GetTextExtent(text);
      CRect client;
      link->GetClientRect(&client);
      EXPECT_EQ(client.Width(), extent.cx);
      EXPECT_EQ(client.Height(), extent.cy);
      // A hand under the mouse, also where the help program has none.
      EXPECT_NE(link->GetHandCursor(), nullptr);
      EXPECT_TRUE(link->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(link->GetSafeHwnd()),
                                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    }
    CRect mailRect, homeRect;
    mail.GetWindowRect(&mailRect);
    home.GetWindowRect(&homeRect);
    EXPECT_LT(mailRect.top, homeRect.top);
    EXPECT_EQ(box.GetTemplateId(), 100u);
  });
}

struct ToolTipSearch {
  HWND link;
  std::string text;
};

BOOL CALLBACK FindToolText(HWND hWnd, LPARAM p) {
  ToolTipSearch* f = reinterpret_cast<ToolTipSearch*>(p);
  char cls[32] = {};
  GetClassNameA(hWnd, cls, sizeof cls);
  if (std::string(cls) != TOOLTIPS_CLASSA) return TRUE;
  char buffer[256] = {};
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = f->link;
  ti.uId = CLinkStatic::LINK_TOOL_ID;
  ti.lpszText = buffer;
  SendMessageA(hWnd, TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&ti));
  if (buffer[0]) f->text = buffer;
  return TRUE;
}

TEST(AboutBox, TooltipShowsTheTarget) {
  RunAboutBox([](ProbeAboutBox& box) {
    // The tooltip windows of this thread: the one that knows tool 1 of the link answers.
    ToolTipSearch find{box.m_mailLink.GetSafeHwnd(), ""};
    EnumThreadWindows(GetCurrentThreadId(), FindToolText, reinterpret_cast<LPARAM>(&find));
    EXPECT_EQ(find.text, "mailto:support@snapwise.example");
  });
}

TEST(LinkStatic, HoverTurnsToTheHoverColourAndBack) {
  RunAboutBox([](ProbeAboutBox& box) {
    CLinkStatic& link = box.m_homeLink;
    // Colours the default screen does not use elsewhere in the box.
    const COLORREF linkColor = RGB(0, 0, 238), hover = RGB(200, 0, 0);
    link.SetLinkColors(linkColor, RGB(85, 26, 139), hover);
    link.RedrawWindow();
    EXPECT_GT(CountPixels(link, linkColor), 0);
    EXPECT_EQ(CountPixels(link, hover), 0);

    link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(link.IsHovered());
    EXPECT_EQ(GetCapture(), link.GetSafeHwnd());
    EXPECT_GT(CountPixels(link, hover), 0);
    EXPECT_EQ(CountPixels(link, linkColor), 0);

    link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(-4, -4));
    EXPECT_FALSE(link.IsHovered());
    EXPECT_NE(GetCapture(), link.GetSafeHwnd());
    EXPECT_GT(CountPixels(link, linkColor), 0);
    EXPECT_EQ(CountPixels(link, hover), 0);
  });
  // The default hover colour is the system's highlight.
  CLinkStatic fresh;
  EXPECT_EQ(fresh.GetHoverColor(), GetSysColor(COLOR_HIGHLIGHT));
  fresh.SetLinkColors(1, 2, 3);
  fresh.SetLinkColors(1, 2);
  EXPECT_EQ(fresh.GetHoverColor(), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(LinkStatic, RegisteredBrowserOpensWhatTheShellCannot) {
  const std::string target = UnassociatedFile();
  const std::string record = TempPath("snapwise_link_record.txt");
  DeleteFileA(record.c_str());
  // Everything from the quoted placeholder on is dropped, the options after it too.
  const std::string recorder = ExeFolder() + "link_recorder.exe";
  PageClassOverride page("\"" + recorder + "\" \"" + record + "\" \"%1\" --new-window");

  RunAboutBox([&](ProbeAboutBox& box) {
    CLinkStatic& link = box.m_homeLink;
    link.SetTarget(target.c_str());
    const COLORREF visited = link.GetVisitedColor();
    EXPECT_EQ(CountPixels(link, visited), 0);
    Click(link);
    EXPECT_TRUE(link.IsVisited());
    link.UpdateWindow();
    EXPECT_GT(CountPixels(link, visited), 0);
    EXPECT_EQ(CountPixels(link, link.GetLinkColor()), 0);
  });
  const std::string line = WaitForFile(record);
  EXPECT_EQ(line.find("--new-window"), std::string::npos) << line;
  EXPECT_EQ(line.find("%1"), std::string::npos) << line;
  ASSERT_GE(line.size(), target.size() + 1);
  EXPECT_EQ(line.substr(line.size() - target.size() - 1), " " + target) << line;
  DeleteFileA(record.c_str());
  DeleteFileA(target.c_str());
}

TEST(LinkStatic, CommandTooLongForItsBufferIsNotStarted) {
  const std::string record = TempPath("snapwise_link_long.txt");
  DeleteFileA(record.c_str());
  PageClassOverride page("\"" + ExeFolder() + "link_recorder.exe\" \"" + record + "\" %1");
  const std::string target = UnassociatedFile();
  // The command itself fits its registry buffer; with this target it would pass 520 bytes.
  const std::string longTarget = target + "?" + std::string(CLinkStatic::kCommandLineSize, 'q');
  const UINT_PTR result = CLinkStatic::OpenTarget(longTarget.c_str(), SW_SHOW);
  EXPECT_LE(result, 32u);
  Sleep(1500);
  EXPECT_EQ(GetFileAttributesA(record.c_str()), INVALID_FILE_ATTRIBUTES);
  // The same command with a short target is started.
  EXPECT_GT(CLinkStatic::OpenTarget(target.c_str(), SW_SHOW), 32u);
  EXPECT_NE(WaitForFile(record), "<never written>");
  DeleteFileA(record.c_str());
  DeleteFileA(target.c_str());
}

TEST(LinkStatic, FailedOpenSaysWhy) {
  // The web-page class has no command: the fallback ends, the shell's reason is shown.
  PageClassOverride page("");
  const std::string missing = "C:\\snapwise-no-such-folder\\missing.snapwisenoassoc";
  const UINT_PTR code = CLinkStatic::OpenTarget(missing.c_str(), SW_SHOW);
  EXPECT_TRUE(code == SE_ERR_FNF || code == SE_ERR_PNF) << code;

  std::string texts;
  RunAboutBox([&](ProbeAboutBox& box) {
    CLinkStatic& link = box.m_mailLink;
    link.SetTarget(missing.c_str());
    link.SetVisited(TRUE);
    MessageBoxCloser closer(box.GetSafeHwnd());
    Click(link);
    texts = closer.Texts();
    EXPECT_TRUE(closer.Seen());
    EXPECT_FALSE(link.IsVisited());
    link.UpdateWindow();
    EXPECT_GT(CountPixels(link, link.GetLinkColor()), 0);
  });
  EXPECT_EQ(texts, std::string("Unable to open hyperlink:\n\n") + CLinkStatic::OpenErrorText(code).GetString());
}

TEST(LinkStatic, ErrorTexts) {
  struct Case {
    UINT_PTR code;
    const char* text;
  };
  const Case cases[] = {
      {0, "The operating system is out\nof memory or resources."},
      {2, "The specified file was not found."},
      {26, "A sharing violation occurred. "},
      {31, "There is no application associated\nwith the given filename extension."},
      {32, "The specified dynamic-link library was not found."},
      {4, "Unknown Error (4) occurred."},
      {1234, "Unknown Error (1234) occurred."},
  };
  for (const Case& c : cases) EXPECT_EQ(CLinkStatic::OpenErrorText(c.code), c.text) << c.code;

  // The message box itself, for a code the table does not know.
  MessageBoxCloser closer(nullptr);
  CLinkStatic::ShowOpenError(4);
  EXPECT_EQ(closer.Texts(), "Unable to open hyperlink:\n\nUnknown Error (4) occurred.");
}

// A top-level window holding one static control of the given style, with a known font, taken
// over by a control object of ours.
template <class Control>
class StaticHost : public ::testing::Test {
 protected:
  void SetUp() override {
    m_parent = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 60, 60, 260, 80,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(m_parent, nullptr);
    LOGFONTA lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    lstrcpyA(lf.lfFaceName, "Tahoma");
    m_font = CreateFontIndirectA(&lf);
  }
  void TearDown() override {
    if (m_control.GetSafeHwnd()) m_control.DestroyWindow();
    DestroyWindow(m_parent);
    DeleteObject(m_font);
  }
  void Make(DWORD style, const char* text, int width = 120, int height = 40) {
    HWND child = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, width, height,
                                 m_parent, reinterpret_cast<HMENU>(1023), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    ASSERT_TRUE(m_control.SubclassWindow(child));
    UpdateWindow(m_parent);
    Pump();
  }
  // The control's rectangle in its parent's client coordinates.
  RECT Placement() {
    RECT r;
    GetWindowRect(m_control, &r);
    MapWindowPoints(nullptr, m_parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  HWND m_parent = nullptr;
  HFONT m_font = nullptr;
  Control m_control;
};

class LinkHost : public StaticHost<CLinkStatic> {};

TEST_F(LinkHost, EmptyTextShowsTheTarget) {
  m_control.SetTarget("http://www.snapwise.example/help/");
  Make(SS_LEFT, "");
  CString text;
  m_control.GetWindowText(text);
  EXPECT_EQ(text, "http://www.snapwise.example/help/");
}

TEST_F(LinkHost, NoTargetTakesTheText) {
  Make(SS_LEFT, "C:\\readme.txt");
  EXPECT_EQ(m_control.GetTarget(), "C:\\readme.txt");
}

TEST_F(LinkHost, FittingFollowsTheAlignment) {
  struct Case {
    DWORD style;
    const char* name;
  };
  const Case cases[] = {{SS_LEFT, "left"}, {SS_CENTER | SS_CENTERIMAGE, "centred"}, {SS_RIGHT, "right"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (m_control.GetSafeHwnd()) m_control.DestroyWindow();
    // Placed at 10,10 with 150 x 40 by the "dialog".
    Make(c.style, "Go there", 150, 40);
    CClientDC dc(&m_control);
    dc.SelectObject(m_control.GetFont());
    const CSize text = dc.GetTextExtent("Go there", 8);
    const RECT r = Placement();
    EXPECT_NEAR(r.right - r.left, text.cx, 1);
    EXPECT_NEAR(r.bottom - r.top, text.cy, 1);
    switch (c.style & SS_TYPEMASK) {
      case SS_LEFT:  // shrinks from its top-left corner
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 10);
        break;
      case SS_CENTER:  // stays centred where it was placed
        EXPECT_NEAR((r.left + r.right) / 2.0, 85, 1);
        EXPECT_NEAR((r.top + r.bottom) / 2.0, 30, 1);
        break;
      case SS_RIGHT:
        EXPECT_EQ(r.right, 160);
        EXPECT_EQ(r.top, 10);
        break;
    }
  }
  // Not fitted when told not to.
  m_control.DestroyWindow();
  m_control.SetFitToText(FALSE);
  Make(SS_LEFT, "Go there", 150, 40);
  const RECT r = Placement();
  EXPECT_EQ(r.right - r.left, 150);
  EXPECT_EQ(r.bottom - r.top, 40);
}

class LabelHost : public StaticHost<CColorStatic> {
 protected:
  void MakeLabel(DWORD style, const char* text, int width = 120, int height = 40) {
    Make(style, text, width, height);
  }
  LOGFONTA LabelFont() {
    LOGFONTA lf{};
    m_label.GetLabelFont().GetLogFont(&lf);
    return lf;
  }
  // First and last row of the client area holding a pixel of the colour; -1 when none.
  std::pair<int, int> RowsWith(COLORREF color) {
    RECT client;
    GetClientRect(m_label, &client);
    const std::vector<COLORREF> pixels = Snapshot(m_label);
    int first = -1, last = -1;
    for (size_t i = 0; i < pixels.size(); ++i) {
      if (pixels[i] != color) continue;
      const int row = static_cast<int>(i) / client.right;
      if (first < 0) first = row;
      last = row;
    }
    return {first, last};
  }
  CColorStatic& m_label = m_control;
};

TEST_F(LabelHost, CentredImageStyleShowsOneCentredLine) {
  const COLORREF grey = RGB(150, 150, 150);
  const char* text = "Delay in whole seconds";
  // Narrow: without the style the text wraps at word boundaries into several lines.
  MakeLabel(SS_LEFT, text, 60, 48);
  m_label.SetForeColor(grey, TRUE);
  const std::pair<int, int> wrapped = RowsWith(grey);
  EXPECT_LT(wrapped.first, 4);
  EXPECT_GT(wrapped.second - wrapped.first, 20);

  m_label.DestroyWindow();
  MakeLabel(SS_LEFT | SS_CENTERIMAGE, text, 60, 48);
  m_label.SetForeColor(grey, TRUE);
  const std::pair<int, int> single = RowsWith(grey);
  ASSERT_GE(single.first, 0);
  EXPECT_LT(single.second - single.first, 14);
  EXPECT_NEAR((single.first + single.second) / 2.0, 24, 4);
}

TEST_F(LabelHost, GreyTextOnWhite) {
  MakeLabel(SS_LEFT, "Delay(s):");
  const COLORREF grey = RGB(150, 150, 150), white = RGB(255, 255, 255);
  EXPECT_EQ(CountPixels(m_label, white), 0);  // the button face until told otherwise
  m_label.SetBackColor(white, TRUE);
  m_label.SetForeColor(grey, TRUE);

  const std::vector<COLORREF> pixels = Snapshot(m_label);
  const int total = static_cast<int>(pixels.size());
  const int whites = CountPixels(m_label, white), greys = CountPixels(m_label, grey);
  EXPECT_GT(greys, 20);
  EXPECT_GT(whites, total / 2);
  // Nothing but the two colours and what smoothing puts between them.
  int foreign = 0;
  for (COLORREF c : pixels) {
    if (GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c) || GetRValue(c) < 150) ++foreign;
  }
  EXPECT_EQ(foreign, 0);

  m_label.SetBackColor(RGB(0, 128, 0), FALSE);
  EXPECT_GT(CountPixels(m_label, RGB(0, 128, 0)), total / 2);
  EXPECT_EQ(CountPixels(m_label, white), 0);
}

TEST_F(LabelHost, BoldStartsFromTheWindowsFont) {
  MakeLabel(SS_LEFT, "Delay(s):");
  LOGFONTA lf = LabelFont();
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_EQ(lf.lfHeight, -11);

  m_label.SetFontFace("Courier New", 20, TRUE);
  HDC screen = GetDC(nullptr);
  const LONG height20 = -MulDiv(20, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  lf = LabelFont();
  EXPECT_STREQ(lf.lfFaceName, "Courier New");
  EXPECT_EQ(lf.lfHeight, height20);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);

  m_label.SetBold(TRUE, TRUE);
  lf = LabelFont();
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);

  // A face set afterwards keeps the bold weight; the window's own font is never replaced.
  m_label.SetFontFace("Courier New", 20, TRUE);
  EXPECT_EQ(LabelFont().lfWeight, FW_BOLD);
  EXPECT_EQ(reinterpret_cast<HFONT>(m_label.SendMessage(WM_GETFONT)), m_font);
  m_label.SetFontFace(nullptr, 20, TRUE);
  lf = LabelFont();
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_EQ(lf.lfHeight, height20);
}

TEST_F(LabelHost, IconReplacesTheText) {
  MakeLabel(SS_LEFT, "Delay(s):");
  m_label.SetBackColor(RGB(255, 255, 255), TRUE);
  m_label.SetForeColor(RGB(150, 150, 150), TRUE);
  ASSERT_GT(CountPixels(m_label, RGB(150, 150, 150)), 0);
  m_label.SetIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32516)), TRUE);  // the information icon
  EXPECT_EQ(CountPixels(m_label, RGB(150, 150, 150)), 0);
  m_label.SetIcon(nullptr, TRUE);
  EXPECT_GT(CountPixels(m_label, RGB(150, 150, 150)), 0);
}

}  // namespace

// The framework under Wine: modal dialogs, their keys, data exchange and the application run.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Framework.h"
#include "framework_test_res.h"

namespace {

// Watches for a message box of this thread, records it and presses its OK button.
struct MessageBoxWatcher {
  static MessageBoxWatcher* active;
  std::wstring caption;
  std::vector<std::wstring> texts;
  int seen = 0;
  UINT_PTR timer = 0;

  MessageBoxWatcher() {
    active = this;
    timer = SetTimer(nullptr, 0, 50, &MessageBoxWatcher::Tick);
  }
  ~MessageBoxWatcher() {
    KillTimer(nullptr, timer);
    active = nullptr;
  }

  static BOOL CALLBACK CollectText(HWND child, LPARAM) {
    wchar_t cls[32] = {};
    wchar_t text[256] = {};
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextW(child, text, 256) > 0) active->texts.push_back(text);
    return TRUE;
  }
  static BOOL CALLBACK FindBox(HWND top, LPARAM) {
    wchar_t cls[32] = {};
    GetClassNameW(top, cls, 32);
    // A message box has a static text with the id 0xFFFF; the tests' own dialogs do not.
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(top) && GetDlgItem(top, 0xFFFF)) {
      wchar_t caption[128] = {};
      GetWindowTextW(top, caption, 128);
      active->caption = caption;
      active->texts.clear();
      EnumChildWindows(top, &MessageBoxWatcher::CollectText, 0);
      ++active->seen;
      PostMessageW(top, WM_COMMAND, IDOK, 0);
      return FALSE;
    }
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (active) EnumThreadWindows(GetCurrentThreadId(), &MessageBoxWatcher::FindBox, 0);
  }
};
MessageBoxWatcher* MessageBoxWatcher::active = nullptr;

class CCountingEdit : public CEdit {
 public:
  int preSubclass = 0;
  int mouseMoves = 0;
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_MOUSEMOVE) ++mouseMoves;
    return CEdit::PreTranslateMessage(msg);
  }

 protected:
  void PreSubclassWindow() override { ++preSubclass; }
};

class CReflectingStatic : public CStatic {
 public:
  int clicks = 0;

 protected:
  void OnClicked() { ++clicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingStatic, CStatic)
  ON_CONTROL_REFLECT(STN_CLICKED, &CReflectingStatic::OnClicked)
END_MESSAGE_MAP()

// The test dialog: runs `script` once, from a timer, after the modal loop has started.
class CScriptedDialog : public CDialog {
 public:
  explicit CScriptedDialog(UINT id = IDD_FW_TEST) : CDialog(id) {}

  std::function<void(CScriptedDialog&)> script;
  std::vector<std::string> calls;
  int m_value = 42;
  CCountingEdit m_edit;
  CReflectingStatic m_link;
  CComboBox m_combo;
  HWND focusAfterInit = nullptr;
  BOOL initResult = TRUE;

  HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FW_NUMBER, m_edit);
    if (GetTemplateId() == IDD_FW_TEST) {
      DDX_Control(dx, IDC_FW_LINK, m_link);
      DDX_Control(dx, IDC_FW_COMBO, m_combo);
    }
    DDX_Text(dx, IDC_FW_NUMBER, m_value);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    calls.push_back("init");
    SetTimer(1, 30);
    // A dialog the script failed to end ends itself with -2, so a fault fails the test
    // instead of hanging it.
    SetTimer(2, 10000);
    return initResult;
  }
  void OnTimer(UINT_PTR id) {
    if (id == 2) {
      KillTimer(2);
      calls.push_back("gave up");
      EndDialog(-2);
      return;
    }
    if (id != 1) return;
    KillTimer(1);
    focusAfterInit = ::GetFocus();
    if (script) script(*this);
  }
  void OnClose() {
    calls.push_back("close");
    CDialog::OnClose();
  }
  void OnGo() { calls.push_back("go"); EndDialog(IDC_FW_GO); }
  void OnOther() { calls.push_back("other"); EndDialog(IDC_FW_OTHER); }
  void OnCancel() override {
    calls.push_back("cancel");
    CDialog::OnCancel();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CScriptedDialog, CDialog)
  ON_WM_TIMER()
  ON_WM_CLOSE()
  ON_BN_CLICKED(IDC_FW_GO, &CScriptedDialog::OnGo)
  ON_BN_CLICKED(IDC_FW_OTHER, &CScriptedDialog::OnOther)
END_MESSAGE_MAP()

void PostKey(HWND to, WPARAM key) {
  PostMessageA(to, WM_KEYDOWN, key, 1);
  PostMessageA(to, WM_KEYUP, key, 0xC0000001);
}

TEST(FwDialog, EndsByEscapeEnterCloseAndEndDialog) {
  struct Case {
    const char* name;
    std::function<void(CScriptedDialog&)> script;
    INT_PTR result;
    std::vector<std::string> calls;  // after "init"
  } cases[] = {
      {"escape", [](CScriptedDialog&) { PostKey(GetFocus(), VK_ESCAPE); }, IDCANCEL, {"cancel"}},
      {"enter in the field", [](CScriptedDialog&) { PostKey(GetFocus(), VK_RETURN); }, IDC_FW_GO, {"go"}},
      {"enter on another push button",
       [](CScriptedDialog& d) {
         // Tab twice, as the user would: the field, "Go", then "Other".
         PostKey(GetFocus(), VK_TAB);
         PostKey(d.Item(IDC_FW_GO), VK_TAB);
         PostKey(d.Item(IDC_FW_OTHER), VK_RETURN);
       },
       IDC_FW_OTHER, {"other"}},
      // The close box: the handler's default processing turns it into Cancel.
      {"close", [](CScriptedDialog& d) { d.PostMessage(WM_CLOSE); }, IDCANCEL, {"close", "cancel"}},
      {"EndDialog", [](CScriptedDialog& d) { d.EndDialog(77); }, 77, {}},
  };
  for (const Case& c : cases) {
    CScriptedDialog dlg;
    dlg.script = c.script;
    EXPECT_EQ(dlg.DoModal(), c.result) << c.name;
    std::vector<std::string> want{"init"};
    want.insert(want.end(), c.calls.begin(), c.calls.end());
    EXPECT_EQ(dlg.calls, want) << c.name;
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr) << c.name;  // the window is gone after DoModal
  }
}

TEST(FwDialog, FillsCombosFromTheInitialisationData) {
  CScriptedDialog dlg;
  int comboCount = 0;
  CString second;
  dlg.script = [&](CScriptedDialog& d) {
    comboCount = d.m_combo.GetCount();
    d.m_combo.GetLBText(1, second);
    d.EndDialog(IDOK);
  };
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(comboCount, 3);  // "one", "two", "three" from the initialisation data
  EXPECT_STREQ(second, "two");
}

TEST(FwDialog, FocusIsOnTheFirstTabStop) {
  CScriptedDialog dlg;
  HWND edit = nullptr;
  dlg.script = [&](CScriptedDialog& d) {
    edit = d.Item(IDC_FW_NUMBER);
    d.EndDialog(IDOK);
  };
  ASSERT_EQ(dlg.DoModal(), IDOK);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(dlg.focusAfterInit, edit);
}

TEST(FwDialog, ModalLoopOffersMessagesToTheControlsFirst) {
  CScriptedDialog dlg;
  dlg.script = [](CScriptedDialog& d) {
    PostMessageA(d.Item(IDC_FW_NUMBER), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    PostMessageA(d.Item(IDC_FW_GO), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));  // not the edit's
    PostMessageA(d.m_hWnd, WM_COMMAND, IDCANCEL, 0);
  };
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_edit.mouseMoves, 1);
}

TEST(FwDialog, MissingTemplateGivesMinusOne) {
  CScriptedDialog dlg(4242);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_TRUE(dlg.calls.empty());
}

TEST(FwDialog, NestedDialogIsModalToTheActiveOne) {
  CScriptedDialog outer;
  BOOL outerEnabledDuring = TRUE;
  BOOL innerVisible = FALSE;
  INT_PTR innerResult = 0;
  outer.script = [&](CScriptedDialog& o) {
    CScriptedDialog inner(IDD_FW_PLAIN);  // its template is not visible: it shows when idle
    inner.script = [&](CScriptedDialog& i) {
      outerEnabledDuring = ::IsWindowEnabled(o.m_hWnd);
      innerVisible = ::IsWindowVisible(i.m_hWnd);
      i.EndDialog(5);
    };
    innerResult = inner.DoModal();
    o.EndDialog(IDOK);
  };
  ASSERT_EQ(outer.DoModal(), IDOK);
  EXPECT_EQ(innerResult, 5);
  EXPECT_FALSE(outerEnabledDuring);
  EXPECT_TRUE(innerVisible);
}

TEST(FwDataExchange, ControlsAreSubclassedIntoMembers) {
  CScriptedDialog dlg;
  HWND edit = nullptr;
  CWnd* mapped = nullptr;
  dlg.script = [&](CScriptedDialog& d) {
    edit = d.Item(IDC_FW_NUMBER);
    mapped = CWnd::FromHandlePermanent(edit);
    d.UpdateData(TRUE);  // a second exchange does not subclass again
    // A real click on the link static reaches the member's reflected handler.
    HWND link = d.Item(IDC_FW_LINK);
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    d.EndDialog(IDOK);
  };
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(mapped, &dlg.m_edit);
  EXPECT_EQ(dlg.m_edit.preSubclass, 1);
  EXPECT_EQ(dlg.m_link.clicks, 1);
  EXPECT_EQ(dlg.m_edit.GetSafeHwnd(), nullptr);  // unbound when the dialog went away
}

TEST(FwDataExchange, IntegerFieldRoundTripsAndRejectsNonNumbers) {
  CScriptedDialog dlg;
  struct Step {
    const char* text;
    BOOL accepted;
    int value;  // the member afterwards
  } steps[] = {
      {"123", TRUE, 123},      {" -5 ", TRUE, -5},       {"abc", FALSE, -5},
      {"", FALSE, -5},         {"12x", FALSE, -5},       {"99999999999", FALSE, -5},
      {"2147483647", TRUE, 2147483647},
  };
  std::string shownAtStart;
  std::vector<BOOL> results;
  std::vector<int> values;
  std::vector<int> boxes;
  std::vector<bool> focusBack;
  std::wstring boxText;
  std::wstring boxCaption;
  std::string shownAfterLoad;
  dlg.script = [&](CScriptedDialog& d) {
    char text[32] = {};
    GetWindowTextA(d.Item(IDC_FW_NUMBER), text, sizeof text);
    shownAtStart = text;
    for (const Step& s : steps) {
      SetFocus(d.Item(IDC_FW_GO));
      SetWindowTextA(d.Item(IDC_FW_NUMBER), s.text);
      MessageBoxWatcher watcher;
      results.push_back(d.UpdateData(TRUE));
      values.push_back(d.m_value);
      boxes.push_back(watcher.seen);
      focusBack.push_back(GetFocus() == d.Item(IDC_FW_NUMBER));
      if (watcher.seen && boxText.empty()) {
        boxText = watcher.texts.empty() ? L"" : watcher.texts.back();
        boxCaption = watcher.caption;
      }
    }
    d.m_value = -31;
    d.UpdateData(FALSE);
    GetWindowTextA(d.Item(IDC_FW_NUMBER), text, sizeof text);
    shownAfterLoad = text;
    d.EndDialog(IDOK);
  };
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(shownAtStart, "42");
  ASSERT_EQ(results.size(), std::size(steps));
  for (size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_EQ(results[i], steps[i].accepted) << steps[i].text;
    EXPECT_EQ(values[i], steps[i].value) << steps[i].text;
    EXPECT_EQ(boxes[i], steps[i].accepted ? 0 : 1) << steps[i].text;
    if (!steps[i].accepted) {
      EXPECT_TRUE(focusBack[i]) << steps[i].text;
    }
  }
  EXPECT_EQ(boxText, std::wstring(L"请键入一个整数。"));
  EXPECT_EQ(boxCaption, AfxGetAppTitle().ToWide());
  EXPECT_EQ(shownAfterLoad, "-31");
}

TEST(FwDataExchange, OkWithAnInvalidFieldKeepsTheDialogOpen) {
  CScriptedDialog dlg;
  int boxes = 0;
  dlg.script = [&](CScriptedDialog& d) {
    SetWindowTextA(d.Item(IDC_FW_NUMBER), "abc");
    {
      MessageBoxWatcher watcher;
      d.SendMessage(WM_COMMAND, IDOK, 0);  // what Enter gives a dialog without a default button
      boxes = watcher.seen;
    }
    d.calls.push_back("still open");
    SetWindowTextA(d.Item(IDC_FW_NUMBER), "8");
    d.SendMessage(WM_COMMAND, IDOK, 0);
  };
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(dlg.m_value, 8);
  EXPECT_EQ(dlg.calls.back(), "still open");
}

// ---- the application object and the entry ----

class CTestApp : public CWinApp {
 public:
  explicit CTestApp(BOOL initResult) : CWinApp("Test Title"), m_initResult(initResult) {}
  std::vector<std::string> calls;
  BOOL comInsideInit = FALSE;
  BOOL mainWindowSetDuringInit = FALSE;
  BOOL m_initResult;

  BOOL InitInstance() override {
    calls.push_back("init");
    AfxEnableControlContainer(nullptr);
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comInsideInit = hr == S_FALSE;  // already initialised on this thread
    if (SUCCEEDED(hr)) CoUninitialize();
    // The shape of a program whose main window is a modal dialog.
    CScriptedDialog dlg;
    m_pMainWnd = &dlg;
    dlg.script = [&](CScriptedDialog& d) {
      mainWindowSetDuringInit = AfxGetMainWnd() == &d;
      d.EndDialog(IDOK);
    };
    dlg.DoModal();
    if (m_initResult) PostQuitMessage(5);
    return m_initResult;
  }
  int Run() override {
    calls.push_back("run");
    return CWinApp::Run();
  }
  int ExitInstance() override {
    calls.push_back("exit");
    return m_initResult ? CWinApp::ExitInstance() : 17;
  }
};

TEST(FwApplication, RunsInitAndExitAndReturnsTheExitCode) {
  struct Case {
    BOOL initResult;
    std::vector<std::string> calls;
    int code;
  } cases[] = {
      {FALSE, {"init", "exit"}, 17},        // no message loop after a FALSE InitInstance
      {TRUE, {"init", "run", "exit"}, 5},   // the loop's WM_QUIT code
  };
  for (const Case& c : cases) {
    CTestApp app(c.initResult);
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxRunApplication(GetModuleHandleA(nullptr), const_cast<LPSTR>(""), SW_SHOW), c.code);
    EXPECT_EQ(app.calls, c.calls);
    EXPECT_TRUE(app.comInsideInit);
    EXPECT_TRUE(app.mainWindowSetDuringInit);
    EXPECT_EQ(app.m_pMainWnd, nullptr);  // the dialog is gone; no dangling main window
    // COM was uninitialised after ExitInstance.
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(hr, S_OK);
    if (SUCCEEDED(hr)) CoUninitialize();
  }
  EXPECT_EQ(AfxGetApp(), nullptr);
}

TEST(FwApplication, MessageBoxCarriesTheApplicationTitle) {
  CWinApp app("Test Title");
  EXPECT_STREQ(AfxGetAppTitle(), "Test Title");
  EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandleA(nullptr));
  MessageBoxWatcher watcher;
  EXPECT_EQ(AfxMessageBox("Unable to open hyperlink:\n\nA sharing violation occurred. ", MB_ICONEXCLAMATION), IDOK);
  EXPECT_EQ(watcher.seen, 1);
  EXPECT_EQ(watcher.caption, L"Test Title");
  ASSERT_FALSE(watcher.texts.empty());
  EXPECT_EQ(watcher.texts.back(), L"Unable to open hyperlink:\n\nA sharing violation occurred. ");
}

class CHelpApp : public CWinApp {
 public:
  int helps = 0;

 protected:
  void OnAppHelp() { ++helps; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHelpApp, CWinApp)
  ON_COMMAND(ID_HELP, &CHelpApp::OnAppHelp)
END_MESSAGE_MAP()

TEST(FwApplication, CommandsNoWindowTakesReachTheApplication) {
  CHelpApp app;
  CScriptedDialog dlg;
  dlg.script = [&](CScriptedDialog& d) {
    d.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED), 0);  // a Help button
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FW_GO, BN_CLICKED), 0);  // the dialog's own
  };
  EXPECT_EQ(dlg.DoModal(), IDC_FW_GO);
  EXPECT_EQ(app.helps, 1);
}

}  // namespace

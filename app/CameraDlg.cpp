#include "CameraDlg.h"

#include <shellapi.h>

#include "AboutBox.h"
#include "ProfileFile.h"
#include "SkinEngine.h"

namespace {
const char kCameraFailText[] = "Initializing failed,Please your Check your PC camera!";
const UINT kExitNoCamera = 2;

struct TooltipEntry {
  int id;
  const char* text;
};
// In the order they are set.
const TooltipEntry kTooltips[] = {
    {IDC_CAPTURE, "Press me to capture it!"},
    {IDC_CONFIGURE, "Change brightness grayness and saturation for better effect"},
    {IDC_FORMAT, "To set picture size as 320*240"},
    {IDC_MUSIC, "Select any music as you like."},
    {IDC_ABOUT, "Software information"},
    {IDC_HELP_BTN, "Enter Quillon Homepage..."},
    {IDC_SAVE_AS, "Save as bmp or jpg files"},
    {IDC_DELETE, "Delete all "},
};
}  // namespace

CCameraDlg::CCameraDlg(CWnd* parent) : CDialog(IDD_MAIN, parent) {
  m_hIcon = AfxGetApp()->LoadIcon(IDI_APP);
}

CCameraDlg::~CCameraDlg() { delete m_viewDC; }

void CCameraDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_SKIN, m_skinCombo);
  DDX_Control(dx, IDC_DELAY_LABEL, m_delayLabel);
  DDX_Control(dx, IDC_SAVE_AS, m_saveAsButton);
  DDX_Control(dx, IDC_HELP_BTN, m_helpButton);
  DDX_Control(dx, IDC_DELETE, m_deleteButton);
  DDX_Control(dx, IDC_ABOUT, m_aboutButton);
  DDX_Control(dx, IDC_CONFIGURE, m_configureButton);
  DDX_Control(dx, IDC_CAPTURE, m_captureButton);
  DDX_Control(dx, IDC_MUSIC, m_musicButton);
  DDX_Control(dx, IDC_DELAY, m_delayEdit);
  DDX_Control(dx, IDC_PHOTO_LIST, m_photoList);
  DDX_Control(dx, IDC_BACKGROUND_LIST, m_backgroundList);
  DDX_Text(dx, IDC_DELAY, m_delay);
}

BEGIN_MESSAGE_MAP(CCameraDlg, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_TIMER()
  ON_BN_CLICKED(IDC_CONFIGURE, &CCameraDlg::OnConfigure)
  ON_BN_CLICKED(IDC_CAPTURE, &CCameraDlg::OnCapture)
  ON_LBN_SELCHANGE(IDC_BACKGROUND_LIST, &CCameraDlg::OnBackgroundSelChange)
  ON_LBN_SELCHANGE(IDC_PHOTO_LIST, &CCameraDlg::OnPhotoSelChange)
  ON_BN_CLICKED(IDC_MUSIC, &CCameraDlg::OnMusic)
  ON_WM_CLOSE()
  ON_WM_ERASEBKGND()
  ON_BN_CLICKED(IDC_SAVE_AS, &CCameraDlg::OnSaveAs)
  ON_BN_CLICKED(IDC_DELETE, &CCameraDlg::OnDelete)
  ON_BN_CLICKED(IDC_ABOUT, &CCameraDlg::OnAbout)
  ON_BN_CLICKED(IDC_HELP_BTN, &CCameraDlg::OnHelpButton)
  ON_BN_CLICKED(IDC_FORMAT, &CCameraDlg::OnFormat)
  ON_CBN_SELCHANGE(IDC_SKIN, &CCameraDlg::OnSkinSelChange)
END_MESSAGE_MAP()

BOOL CCameraDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  CMenu* sysMenu = GetSystemMenu(FALSE);
  if (sysMenu) {
    CString aboutItem;
    if (aboutItem.LoadString(IDS_ABOUT_ITEM) && !aboutItem.IsEmpty()) {
      sysMenu->AppendMenu(MF_SEPARATOR);
      sysMenu->AppendMenu(MF_STRING, ID_SYSMENU_ABOUT, aboutItem);
    }
  }

  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  if (!m_grabber.Create(0, 0, this)) {
    MessageBox(kCameraFailText, "Sorry", MB_OK);
    // Nothing can run without a camera; whoever started us learns that it failed.
    ExitProcess(kExitNoCamera);
  }

  m_viewRect = RECT{0, 0, 320, 240};
  m_viewDC = new CClientDC(this);
  m_canvas.Create(m_viewDC, m_viewRect.left, m_viewRect.top, m_viewRect.right, m_viewRect.bottom);

  m_folder = ProgramFolder();

  EnsurePhotoFolder();
  FillList(m_backgroundList, "Clear", m_folder + "Background\\*.bmp");
  FillList(m_photoList, "Camera Mode", m_folder + "Photo\\*.bmp");
  m_skinCombo.SetCurSel(0);

  SetTimer(TIMER_LIVE_VIEW, 100, nullptr);

  m_delayLabel.SetBackColor(RGB(255, 255, 255), TRUE);
  m_delayLabel.SetForeColor(RGB(150, 150, 150), TRUE);

  for (const TooltipEntry& t : kTooltips) SkinSetTooltip(GetDlgItem(t.id)->GetSafeHwnd(), t.text);
  return TRUE;
}

void CCameraDlg::EnsurePhotoFolder() {
  // Only a folder named exactly "Photo" counts; a lower-case "photo" does not.
  CFileFind finder;
  BOOL more = finder.FindFile(m_folder + "*.*");
  bool found = false;
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDirectory() && !finder.IsDots() && finder.GetFileTitle() == "Photo") found = true;
  }
  finder.Close();
  if (!found) CreateDirectoryA(m_folder + "Photo\\", nullptr);
}

void CCameraDlg::FillList(CListBox& list, const char* firstEntry, const CString& pattern) {
  list.AddString(firstEntry);
  CFileFind finder;
  BOOL more = finder.FindFile(pattern);
  while (more) {
    more = finder.FindNextFile();
    list.AddString(finder.GetFileName());
  }
  finder.Close();
}

void CCameraDlg::OnSysCommand(UINT id, LPARAM lParam) {
  if ((id & 0xFFF0) == ID_SYSMENU_ABOUT)
    OnAbout();
  else
    CDialog::OnSysCommand(id, lParam);
}

void CCameraDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    CRect rect;
    GetClientRect(&rect);
    int x = (rect.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rect.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
  } else {
    CDialog::OnPaint();
    m_canvas.Present();
  }
}

HCURSOR CCameraDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CCameraDlg::OnConfigure() {
  m_grabber.ShowSourceDialog();
  Invalidate(TRUE);
}


void CCameraDlg::OnMusic() {}

void CCameraDlg::OnClose() { CDialog::OnClose(); }

BOOL CCameraDlg::OnEraseBkgnd(CDC* dc) {
  CRect rect;
  GetClientRect(&rect);
  CBrush white(RGB(255, 255, 255));
  dc->FillRect(&rect, &white);
  return TRUE;
}

void CCameraDlg::OnAbout() {
  CAboutBox about;
  about.DoModal();
}

void CCameraDlg::OnHelpButton() {
  ShellExecuteA(nullptr, "open", m_folder + "help.chm", nullptr, nullptr, SW_SHOWNORMAL);
}

void CCameraDlg::OnFormat() {
  m_grabber.ShowFormatDialog();
  Invalidate(TRUE);
}

void CCameraDlg::OnSkinSelChange() {
  int n = m_skinCombo.GetCurSel();
  if (n <= 0) return;
  CString name;
  name.Format("SKIN%d", n);
  SkinApplyResource(AfxGetInstanceHandle(), name, "SKIN");
  SkinSetAutoDialog("Dialog");
}

#pragma once
// The main window: live view, capture, photo list and the short commands.

#include "ColorStatic.h"
#include "DibBitmap.h"
#include "FrameGrabber.h"
#include "Framework.h"
#include "ViewCanvas.h"
#include "resource.h"

class CMusicPlayer;

// Window timers of the main window.
enum { TIMER_LIVE_VIEW = 1, TIMER_COUNTDOWN = 2 };

class CCameraDlg : public CDialog {
 public:
  explicit CCameraDlg(CWnd* parent = nullptr);
  ~CCameraDlg() override;

  enum { IDD = IDD_MAIN };

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;

  void OnSysCommand(UINT id, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnTimer(UINT_PTR id);
  void OnConfigure();
  void OnCapture();
  void OnBackgroundSelChange();
  void OnPhotoSelChange();
  void OnMusic();
  void OnClose();
  BOOL OnEraseBkgnd(CDC* dc);
  void OnSaveAs();
  void OnDelete();
  void OnAbout();
  void OnHelpButton();
  void OnFormat();
  void OnSkinSelChange();

  DECLARE_MESSAGE_MAP()

 private:
  void LiveViewTick();
  void CountdownTick();
  void EnsurePhotoFolder();
  void FillList(CListBox& list, const char* firstEntry, const CString& pattern);

  CFrameGrabber m_grabber;
  CDibBitmap m_overlay;
  CViewCanvas m_canvas;
  RECT m_viewRect{};
  CMusicPlayer* m_player = nullptr;
  CString m_folder;
  CComboBox m_skinCombo;
  CColorStatic m_delayLabel;
  CButton m_saveAsButton;
  CButton m_helpButton;
  CButton m_deleteButton;
  CButton m_aboutButton;
  CButton m_configureButton;
  CButton m_captureButton;
  CButton m_musicButton;
  CEdit m_delayEdit;
  CListBox m_photoList;
  CListBox m_backgroundList;
  int m_delay = 0;
  HICON m_hIcon = nullptr;
  // The window's client DC: the canvas's target, kept for the window's lifetime.
  CClientDC* m_viewDC = nullptr;
};

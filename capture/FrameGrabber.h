#pragma once
// The PC camera: the first capture driver behind a hidden capture window, and one buffer that
// holds the current video format followed by the latest frame. Frames are pulled, not
// streamed: GetFrame grabs a new one only when the buffered one is more than 20 ms old.

#include <windows.h>
#include <vfw.h>

#include "FwWindow.h"

class CFrameGrabber : public CWnd {
 public:
  CFrameGrabber() = default;
  ~CFrameGrabber() override;
  CFrameGrabber(const CFrameGrabber&) = delete;
  CFrameGrabber& operator=(const CFrameGrabber&) = delete;

  // Creates the capture window at x, y in the parent's client area and connects driver 0;
  // TRUE when the driver is connected and its format is known. Only one grabber is connected
  // at a time.
  virtual BOOL Create(int x, int y, CWnd* parent);

  // The format block followed by the latest frame's pixels, refreshed first when the buffered
  // frame is older than 20 ms; null while no format is known. Valid until the next format
  // change or the grabber's end.
  BITMAPINFO* GetFrame();

  // The driver's modal format and source dialogs; the format is read again afterwards, even
  // when the user cancelled. Non-zero when the dialog ran, 0 without a capture window.
  BOOL ShowFormatDialog();
  BOOL ShowSourceDialog();

 private:
  BOOL ShowDialog(UINT message);
  void RefreshFormat();
  void ReleaseFrame();
  // Copies at most `length` delivered bytes; the rest of the pixel area is cleared.
  void OnFrame(const void* pixels, DWORD length);
  void OnDestroy();
  static LRESULT CALLBACK FrameCallback(HWND capture, LPVIDEOHDR header);

  BYTE* m_frame = nullptr;  // locked movable global block; null when no format is known
  DWORD m_lastFrameTime = 0;
  DWORD m_formatSize = 0;

  static CFrameGrabber* s_activeGrabber;
  static BOOL s_inFrameCallback;

  DECLARE_MESSAGE_MAP()
};

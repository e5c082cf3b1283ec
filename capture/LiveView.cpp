// The live view: each tick draws the camera's frame into the canvas, lays the background
// picture over it (white transparent) and presents the canvas.
#include "CameraDlg.h"
#include "DrawTransparent.h"

namespace {
const COLORREF kTransparent = RGB(255, 255, 255);
const int kViewWidth = 320, kViewHeight = 240;
}  // namespace

void CCameraDlg::LiveViewTick() {
  BITMAPINFO* frame = m_grabber.GetFrame();
  if (!frame) return;
  CDibBitmap picture;
  // Only uncompressed frames convert; the canvas keeps its last frame otherwise.
  if (picture.SetFromDib(frame)) picture.Draw(&m_canvas, 0, 0, SRCCOPY);
  if (m_overlay.GetSafeHandle()) {
    HDC overlayDC = CreateCompatibleDC(m_canvas.GetSafeHdc());
    HGDIOBJ old = SelectObject(overlayDC, m_overlay.GetSafeHandle());
    DrawTransparent(m_canvas.GetSafeHdc(), 0, 0, kViewWidth, kViewHeight, overlayDC, 0, 0, kViewWidth,
                    kViewHeight, kTransparent);
    SelectObject(overlayDC, old);
    DeleteDC(overlayDC);
  }
  m_canvas.Present();
}

void CCameraDlg::OnBackgroundSelChange() {
  int n = m_backgroundList.GetCurSel();
  m_overlay.DeleteObject();
  if (n <= 0) return;  // "Clear"
  CString name;
  m_backgroundList.GetText(n, name);
  // A file that does not load leaves no overlay; the next tick shows the change.
  m_overlay.LoadBmp(m_folder + "Background\\" + name);
}

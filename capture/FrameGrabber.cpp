#include "FrameGrabber.h"

#include <mmsystem.h>

#include <cstring>

#include "FrameSize.h"

CFrameGrabber* CFrameGrabber::s_activeGrabber = nullptr;
BOOL CFrameGrabber::s_inFrameCallback = FALSE;

namespace {

const DWORD kFrameMaxAgeMs = 20;
const DWORD kSpareBytes = 256;
const int kCaptureChildId = 0xFFFF;

uint32_t ImageSizeOf(const BITMAPINFOHEADER* h) {
  return FrameImageSize(h->biWidth, h->biHeight, h->biBitCount);
}

}  // namespace

BEGIN_MESSAGE_MAP(CFrameGrabber, CWnd)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CFrameGrabber::~CFrameGrabber() {
  // A capture window that outlives its grabber would keep calling back into freed memory:
  // take it down while this object can still disconnect it.
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  if (s_activeGrabber == this) s_activeGrabber = nullptr;
  ReleaseFrame();
}

BOOL CFrameGrabber::Create(int x, int y, CWnd* parent) {
  if (s_activeGrabber || m_hWnd) return FALSE;
  HWND capture = capCreateCaptureWindowA("AviCap_FrameGrabber_lite", WS_CHILD | WS_CLIPSIBLINGS, x, y, 160, 120,
                                         parent ? parent->GetSafeHwnd() : nullptr, kCaptureChildId);
  if (!capture) return FALSE;

  struct Step {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  } const steps[] = {
      {WM_CAP_DRIVER_CONNECT, 0, 0},
      {WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<LPARAM>(&CFrameGrabber::FrameCallback)},
      {WM_CAP_SET_PREVIEW, FALSE, 0},
  };
  for (const Step& s : steps) {
    if (!::IsWindow(capture)) return FALSE;
    if (!::SendMessageA(capture, s.message, s.wParam, s.lParam)) {
      ::DestroyWindow(capture);
      return FALSE;
    }
  }
  if (!::IsWindow(capture)) return FALSE;
  if (!SubclassWindow(capture)) {
    ::DestroyWindow(capture);
    return FALSE;
  }
  RefreshFormat();
  if (m_frame) {
    s_activeGrabber = this;
    return TRUE;
  }
  ::DestroyWindow(capture);
  return FALSE;
}

void CFrameGrabber::ReleaseFrame() {
  if (m_frame) {
    HGLOBAL block = ::GlobalHandle(m_frame);
    ::GlobalUnlock(block);
    ::GlobalFree(block);
  }
  m_frame = nullptr;
  m_formatSize = 0;
}

void CFrameGrabber::RefreshFormat() {
  bool alive = m_hWnd && ::IsWindow(m_hWnd);
  m_formatSize = alive ? static_cast<DWORD>(::SendMessageA(m_hWnd, WM_CAP_GET_VIDEOFORMAT, 0, 0)) : 0;
  // The block is asked for with a 16-bit count and must at least hold the header.
  if (m_formatSize < sizeof(BITMAPINFOHEADER) || m_formatSize > 0xFFFF) {
    ReleaseFrame();
    return;
  }
  HGLOBAL temp = ::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, m_formatSize);
  BITMAPINFOHEADER* format = static_cast<BITMAPINFOHEADER*>(temp);
  if (!format) {
    ReleaseFrame();
    return;
  }
  format->biSize = sizeof(BITMAPINFOHEADER);
  bool read = ::IsWindow(m_hWnd) &&
              ::SendMessageA(m_hWnd, WM_CAP_GET_VIDEOFORMAT, static_cast<WORD>(m_formatSize),
                             reinterpret_cast<LPARAM>(format)) != 0;
  uint32_t image = read ? ImageSizeOf(format) : 0;
  if (image == 0) {
    ::GlobalFree(temp);
    ReleaseFrame();
    return;
  }
  LONG height = format->biHeight < 0 ? -format->biHeight : format->biHeight;
  SetWindowPos(nullptr, 0, 0, format->biWidth, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  SIZE_T need = static_cast<SIZE_T>(m_formatSize) + image;
  if (!m_frame || ::GlobalSize(::GlobalHandle(m_frame)) < need) {
    DWORD formatSize = m_formatSize;
    ReleaseFrame();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, need + kSpareBytes);
    m_frame = block ? static_cast<BYTE*>(::GlobalLock(block)) : nullptr;
    if (!m_frame) {
      if (block) ::GlobalFree(block);
      ::GlobalFree(temp);
      return;
    }
    m_formatSize = formatSize;
  }
  memcpy(m_frame, format, m_formatSize);
  ::GlobalFree(temp);
}

BITMAPINFO* CFrameGrabber::GetFrame() {
  if (!m_frame) return nullptr;
  if (::timeGetTime() - m_lastFrameTime > kFrameMaxAgeMs && m_hWnd && ::IsWindow(m_hWnd))
    ::SendMessageA(m_hWnd, WM_CAP_GRAB_FRAME_NOSTOP, 0, 0);
  return reinterpret_cast<BITMAPINFO*>(m_frame);
}

LRESULT CALLBACK CFrameGrabber::FrameCallback(HWND, LPVIDEOHDR header) {
  s_inFrameCallback = TRUE;
  if (s_activeGrabber && header) s_activeGrabber->OnFrame(header->lpData, header->dwBytesUsed);
  s_inFrameCallback = FALSE;
  return 0;
}

void CFrameGrabber::OnFrame(const void* pixels, DWORD length) {
  if (!s_inFrameCallback || !m_frame) return;
  const BITMAPINFOHEADER* format = reinterpret_cast<const BITMAPINFOHEADER*>(m_frame);
  DWORD image = ImageSizeOf(format);
  DWORD copied = pixels ? (length < image ? length : image) : 0;
  BYTE* dest = m_frame + m_formatSize;
  if (copied) memcpy(dest, pixels, copied);
  // A short (compressed) frame leaves no tail of an older frame behind it.
  memset(dest + copied, 0, image - copied);
  m_lastFrameTime = ::timeGetTime();
  if (IsWindowVisible()) Invalidate(TRUE);
}

BOOL CFrameGrabber::ShowDialog(UINT message) {
  if (!m_hWnd) return 0;
  if (!::IsWindow(m_hWnd)) {
    RefreshFormat();
    return 0;
  }
  BOOL result = static_cast<BOOL>(::SendMessageA(m_hWnd, message, 0, 0));
  RefreshFormat();
  return result;
}

BOOL CFrameGrabber::ShowFormatDialog() { return ShowDialog(WM_CAP_DLG_VIDEOFORMAT); }

BOOL CFrameGrabber::ShowSourceDialog() { return ShowDialog(WM_CAP_DLG_VIDEOSOURCE); }

void CFrameGrabber::OnDestroy() {
  if (s_activeGrabber == this) {
    if (::IsWindow(m_hWnd)) ::SendMessageA(m_hWnd, WM_CAP_SET_CALLBACK_FRAME, 0, 0);
    if (::IsWindow(m_hWnd)) ::SendMessageA(m_hWnd, WM_CAP_DRIVER_DISCONNECT, 0, 0);
  }
  Default();
  if (s_activeGrabber == this) s_activeGrabber = nullptr;
}

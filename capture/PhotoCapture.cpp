// "Capture It!": an optional count-down with a ring each second, then the photo of exactly what
// the view shows, stored as a BMP in Photo and appended to the photo list.
#include "CameraDlg.h"

#include <mmsystem.h>

#include "PhotoName.h"

namespace {
bool Exists(const CString& path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

CString SystemErrorText(DWORD code) {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  CString s = text ? text : "";
  if (text) LocalFree(text);
  s.TrimRight();
  if (s.IsEmpty()) s.Format("System error %lu.", code);
  return s;
}
}  // namespace

void CCameraDlg::OnCapture() {
  UpdateData(TRUE);
  if (m_delay < 0) m_delay = 0;  // only a pasted text can be negative: take it as "now"
  if (m_delay != 0) {
    SetTimer(TIMER_COUNTDOWN, 1000, nullptr);
    return;
  }
  // Taking the photo ends any count-down, so the count cannot run below zero.
  KillTimer(TIMER_COUNTDOWN);
  KillTimer(TIMER_LIVE_VIEW);
  sndPlaySoundA(m_folder + "Wav\\camera.wav", SND_ASYNC);

  SYSTEMTIME now;
  GetLocalTime(&now);
  PhotoTime t{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  const CString photoFolder = m_folder + "Photo\\";
  std::string name = UniquePhotoName(PhotoBaseName(t), [&](const std::string& candidate) {
    return Exists(photoFolder + candidate.c_str());
  });

  CDibBitmap photo;
  const int width = m_viewRect.right - m_viewRect.left, height = m_viewRect.bottom - m_viewRect.top;
  BOOL stored = FALSE;
  DWORD error = ERROR_FILE_EXISTS;
  if (!name.empty() && photo.CreateCompatibleBitmap(&m_canvas, width, height)) {
    CDC* dc = photo.GetMemDC();
    if (dc) dc->BitBlt(0, 0, width, height, &m_canvas, 0, 0, SRCCOPY);
    photo.ReleaseMemDC();
    SetLastError(0);
    stored = photo.SaveBmp(photoFolder + name.c_str());
    error = GetLastError();
  }

  if (stored) {
    m_photoList.AddString(name.c_str());
  } else {
    CString why;
    DWORD attr = GetFileAttributesA(photoFolder);
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY))
      why = "The Photo folder beside the program is missing.";
    else
      why = SystemErrorText(error ? error : ERROR_WRITE_FAULT);
    AfxMessageBox("The photo could not be stored in " + photoFolder + ":\n\n" + why, MB_ICONEXCLAMATION);
  }

  Sleep(1000);
  SetTimer(TIMER_LIVE_VIEW, 100, nullptr);
}

void CCameraDlg::CountdownTick() {
  --m_delay;
  sndPlaySoundA(m_folder + "Wav\\ring.wav", SND_ASYNC);
  UpdateData(FALSE);
  if (m_delay <= 0) {
    OnCapture();
    KillTimer(TIMER_COUNTDOWN);
  }
}

void CCameraDlg::OnTimer(UINT_PTR id) {
  if (id == TIMER_LIVE_VIEW)
    LiveViewTick();
  else if (id == TIMER_COUNTDOWN)
    CountdownTick();
}

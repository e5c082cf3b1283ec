// The photo list: "Camera Mode" and the stored photos; view, delete, save a copy.
#include "CameraDlg.h"
#include "JpegExporter.h"

void CCameraDlg::OnPhotoSelChange() {
  int n = m_photoList.GetCurSel();
  if (n == 0) {
    SetTimer(TIMER_LIVE_VIEW, 100, nullptr);
    return;
  }
  if (n < 0) return;
  KillTimer(TIMER_LIVE_VIEW);
  CString name;
  m_photoList.GetText(n, name);
  CDibBitmap photo;
  // A file that does not load draws nothing; the view stays paused on what it showed.
  if (photo.LoadBmp(m_folder + "Photo\\" + name)) photo.Draw(&m_canvas, 0, 0, SRCCOPY);
  m_canvas.Present();
}

void CCameraDlg::OnDelete() {
  int n = m_photoList.GetCurSel();
  if (n <= 0) return;
  CString name;
  m_photoList.GetText(n, name);
  CString path = m_folder + "Photo\\" + name;
  // The entry goes only with its file: a photo that stays on disk stays listed.
  if (!DeleteFileA(path) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
    AfxMessageBox("The photo " + name + " could not be deleted. It may be read-only or in use.",
                  MB_ICONEXCLAMATION);
    return;
  }
  m_photoList.DeleteString(n);
  m_photoList.SetCurSel(n - 1);
  OnPhotoSelChange();
}

void CCameraDlg::OnSaveAs() {
  int n = m_photoList.GetCurSel();
  if (n <= 0) return;
  CString name;
  m_photoList.GetText(n, name);
  CString source = m_folder + "Photo\\" + name;

  CFileDialog dialog(FALSE, ".bmp", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "BMP Files(*.bmp)|*.bmp|JPG Files(*.jpg)|*.jpg||");
  if (dialog.DoModal() != IDOK) return;
  CString target = dialog.GetPathName();
  CString ext = dialog.GetFileExt();
  ext.MakeLower();

  if (ext == "bmp") {
    if (!CopyFileA(source, target, FALSE))
      AfxMessageBox("The photo could not be copied to " + target + ".", MB_ICONEXCLAMATION);
  } else if (ext == "jpg") {
    CJpegExporter exporter;
    CDibBitmap photo;
    CString error;
    BOOL saved = FALSE;
    if (photo.LoadBmp(source)) {
      BITMAPINFOHEADER* dib = exporter.CreateDibFromBitmap(static_cast<HBITMAP>(photo.GetSafeHandle()));
      if (dib) {
        saved = exporter.SaveJpeg(dib, 50, target, &error);
        GlobalFree(GlobalHandle(dib));
      }
    }
    // libjpeg's own messages were shown in their box already; other failures are told here.
    if (!saved)
      AfxMessageBox("The photo could not be saved as " + target + (error.IsEmpty() ? "." : ":\n\n" + error),
                    MB_ICONEXCLAMATION);
  }
}

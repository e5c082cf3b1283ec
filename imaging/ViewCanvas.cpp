#include "ViewCanvas.h"

CViewCanvas::~CViewCanvas() {
  if (GetSafeHdc() && m_oldBitmap) SelectObject(m_oldBitmap);
  m_bitmap.DeleteObject();
  DeleteDC();
}

void CViewCanvas::Create(CDC* target, int left, int top, int right, int bottom) {
  CreateCompatibleDC(nullptr);
  SetBkMode(TRANSPARENT);
  m_bitmap.CreateCompatibleBitmap(target, right - left, bottom - top);
  m_oldBitmap = SelectObject(&m_bitmap);
  m_rect = RECT{left, top, right, bottom};
  m_target = target;
}

BOOL CViewCanvas::Present() {
  if (!m_target) return FALSE;
  return m_target->BitBlt(0, 0, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, this, 0, 0, SRCCOPY);
}

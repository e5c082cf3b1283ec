#pragma once
// The off-screen picture of the view area: everything drawn there is composed here and reaches
// the window in one block copy.

#include "Framework.h"

class CViewCanvas : public CDC {
 public:
  CViewCanvas() = default;
  ~CViewCanvas() override;
  CViewCanvas(const CViewCanvas&) = delete;
  CViewCanvas& operator=(const CViewCanvas&) = delete;

  // A memory DC with a bitmap compatible with target, (right - left) x (bottom - top); its
  // content is not cleared. target must outlive the canvas.
  void Create(CDC* target, int left, int top, int right, int bottom);
  // Copies the whole canvas to the target's 0,0.
  BOOL Present();

 private:
  RECT m_rect{};
  CBitmap m_bitmap;
  CBitmap* m_oldBitmap = nullptr;
  CDC* m_target = nullptr;
};

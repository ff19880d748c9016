#pragma once
// CMemDC: an off-screen surface for one paint. Drawing goes to it; on
// destruction the rectangle is copied to the target in one blit, which keeps
// gradients and headers from flickering.
#include <windows.h>

#include "ui/win32/gdi.h"

namespace ui::win32 {

class CMemDC {
 public:
  CMemDC(HDC target, const RECT& rect);
  ~CMemDC();
  CMemDC(const CMemDC&) = delete;
  CMemDC& operator=(const CMemDC&) = delete;

  // The surface to draw on; the target itself if no surface could be made.
  HDC Get() const { return ready_ ? memory_.Get() : target_; }

 private:
  HDC target_;
  RECT rect_;
  MemoryDc memory_;
  Bitmap bitmap_;
  HGDIOBJ previousBitmap_ = nullptr;
  bool ready_ = false;
};

}  // namespace ui::win32

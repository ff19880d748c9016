#include "ui/win32/mem_dc.h"

namespace ui::win32 {

CMemDC::CMemDC(HDC target, const RECT& rect) : target_(target), rect_(rect), memory_(target) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (!memory_.Get() || width <= 0 || height <= 0) return;
  bitmap_.Reset(CreateCompatibleBitmap(target, width, height));
  if (!bitmap_) return;
  previousBitmap_ = SelectObject(memory_.Get(), bitmap_.Get());
  ready_ = true;
}

CMemDC::~CMemDC() {
  if (!ready_) return;
  BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top,
         memory_.Get(), rect_.left, rect_.top, SRCCOPY);
  SelectObject(memory_.Get(), previousBitmap_);
}

}  // namespace ui::win32

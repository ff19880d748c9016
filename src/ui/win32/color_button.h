#pragma once
// CColorButton: an owner-drawn push button with a grey gradient face and a
// two-pixel bevel, bound to a button of a dialog template.
#include <windows.h>

#include "ui/button_face.h"

namespace ui::win32 {

class CColorButton {
 public:
  CColorButton();

  void Attach(HWND button) { button_ = button; }
  HWND Window() const { return button_; }

  // Paints the button for WM_DRAWITEM.
  void DrawItem(const DRAWITEMSTRUCT& item) const;
  // Changes the enabled state only when it differs, so nothing repaints in vain.
  void SetEnabledIfChanged(bool enable) const;

 private:
  void DrawFrame(HDC dc, RECT& rect, ButtonFrame frame) const;
  void DrawCaption(HDC dc, HWND button, const std::wstring& text, const Rect& rect,
                   std::uint32_t colour) const;

  HWND button_ = nullptr;
  ButtonColours colours_;
};

}  // namespace ui::win32

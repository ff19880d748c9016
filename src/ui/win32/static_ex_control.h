#pragma once
// The Win32 CStaticEx: a static control with a transparent background, its
// own font and colour, whose text changes repaint the skin beneath it.
#include <windows.h>

#include "ui/static_ex.h"
#include "ui/win32/gdi.h"

namespace ui::win32 {

class StaticExControl : public CStaticEx {
 public:
  StaticExControl();

  // Binds the control of a dialog template.
  void Attach(HWND label);
  HWND Window() const { return label_; }

  std::wstring GetText() const override;
  void SetText(const std::wstring& text) override;
  void SetLabelColour(std::uint32_t colour) override;
  void ResetLabelColour() override;
  void SetLabelFontHeight(int height) override;

  // The parent's WM_CTLCOLORSTATIC for this label: font, transparent
  // background, colour; the brush to answer with.
  HBRUSH OnCtlColor(HDC dc) const;

 private:
  // Repaints the parent's picture under the label, then the label itself.
  void RepaintBackground() const;

  HWND label_ = nullptr;
  LOGFONTW fontDescription_ = {};
  Font font_;
  COLORREF colour_;
};

}  // namespace ui::win32

#include "ui/win32/static_ex_control.h"

namespace ui::win32 {

StaticExControl::StaticExControl() : colour_(GetSysColor(COLOR_WINDOWTEXT)) {
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof fontDescription_, &fontDescription_);
  font_.Reset(CreateFontIndirectW(&fontDescription_));
}

void StaticExControl::Attach(HWND label) {
  label_ = label;
  // Start from the dialog's font ("MS UI Gothic") rather than the system's.
  if (HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0))) {
    GetObjectW(dialogFont, sizeof fontDescription_, &fontDescription_);
    font_.Reset(CreateFontIndirectW(&fontDescription_));
  }
}

std::wstring StaticExControl::GetText() const {
  if (!label_) return std::wstring();
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(label_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(label_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void StaticExControl::SetText(const std::wstring& text) {
  if (!label_) return;
  // The text alone, without the static control's own WM_SETTEXT: that draws
  // the new text at once over the old (it paints no background), and the
  // repaint below draws it again over the skin.
  DefWindowProcW(label_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  RepaintBackground();
}

void StaticExControl::SetLabelColour(std::uint32_t colour) {
  if (colour == colour_) return;
  colour_ = colour;
  RepaintBackground();
}

void StaticExControl::ResetLabelColour() { colour_ = GetSysColor(COLOR_WINDOWTEXT); }

void StaticExControl::SetLabelFontHeight(int height) {
  fontDescription_.lfHeight = height;
  font_.Reset(CreateFontIndirectW(&fontDescription_));
}

HBRUSH StaticExControl::OnCtlColor(HDC dc) const {
  if (font_) SelectObject(dc, font_.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour_);
  return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}

void StaticExControl::RepaintBackground() const {
  HWND parent = label_ ? GetParent(label_) : nullptr;
  if (!parent) return;
  RECT rect;
  GetWindowRect(label_, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  // The label draws no background: the parent must erase the old text with
  // its picture first, and the label then paints over it.
  RedrawWindow(parent, &rect, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace ui::win32

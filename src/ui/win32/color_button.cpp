#include "ui/win32/color_button.h"

#include <string>

#include "ui/win32/gdi.h"
#include "ui/win32/mem_dc.h"

namespace ui::win32 {
namespace {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(),
                                                      static_cast<int>(text.size()))));
  return text;
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
  Pen pen(CreatePen(PS_SOLID, 1, colour));
  SelectScope select(dc, pen.Get());
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

// Top and left edges in one colour, bottom and right in another.
void Edges(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  Line(dc, r.left, r.bottom - 1, r.left, r.top, topLeft);
  Line(dc, r.left, r.top, r.right - 1, r.top, topLeft);
  Line(dc, r.left, r.bottom - 1, r.right - 1, r.bottom - 1, bottomRight);
  Line(dc, r.right - 1, r.top, r.right - 1, r.bottom, bottomRight);
}

void Shrink(RECT& r) { InflateRect(&r, -1, -1); }

Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

CColorButton::CColorButton() { colours_.text = GetSysColor(COLOR_BTNTEXT); }

void CColorButton::SetEnabledIfChanged(bool enable) const {
  if (!button_) return;
  if ((IsWindowEnabled(button_) != FALSE) != enable) EnableWindow(button_, enable);
}

void CColorButton::DrawItem(const DRAWITEMSTRUCT& item) const {
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const bool isDefault = (item.itemState & ODS_DEFAULT) != 0;
  const std::wstring text = WindowText(item.hwndItem);

  RECT client;
  GetClientRect(item.hwndItem, &client);
  CMemDC surface(item.hDC, client);
  HDC dc = surface.Get();

  for (int band = 0; band < (client.bottom - client.top) / 2; ++band) {
    RECT strip = {client.left, client.top + 2 * band, client.right, client.top + 2 * band + 2};
    Brush brush(CreateSolidBrush(FaceBandColour(band)));
    FillRect(dc, &strip, brush.Get());
  }

  const RECT button = item.rcItem;
  RECT frame = button;
  DrawFrame(dc, frame, FrameOf(pressed, focused, isDefault));

  const Rect r = ToRect(button);
  if (disabled) {
    DrawCaption(dc, item.hwndItem, text, r.Offset(1, 1), RGB(255, 255, 255));
    DrawCaption(dc, item.hwndItem, text, r.Offset(-1, -1), RGB(128, 128, 128));
  } else if (pressed) {
    DrawCaption(dc, item.hwndItem, text, r.Offset(1, 1), colours_.text);
  } else {
    DrawCaption(dc, item.hwndItem, text, r.Offset(-1, -1), colours_.text);
  }

  if (focused) {
    RECT focus = ToRECT(r.Inflate(-4));
    DrawFocusRect(dc, &focus);
  }
}

void CColorButton::DrawFrame(HDC dc, RECT& r, ButtonFrame frame) const {
  switch (frame) {
    case ButtonFrame::Pressed:
      Edges(dc, r, colours_.outerShadow, colours_.outerShadow);
      Shrink(r);
      Edges(dc, r, colours_.innerShadow, colours_.innerShadow);
      return;
    case ButtonFrame::FocusedNormal:
      Edges(dc, r, RGB(0, 0, 0), RGB(0, 0, 0));
      Shrink(r);
      [[fallthrough]];
    case ButtonFrame::Normal:
      Edges(dc, r, colours_.outerLight, colours_.outerShadow);
      Shrink(r);
      Edges(dc, r, colours_.innerLight, colours_.innerShadow);
      return;
  }
}

void CColorButton::DrawCaption(HDC dc, HWND button, const std::wstring& text, const Rect& q,
                               std::uint32_t colour) const {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
  SelectScope selectFont(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, colour);

  const LONG style = GetWindowLongW(button, GWL_STYLE);
  const std::size_t lastBreak = text.rfind(L'\n');
  const std::wstring measured = (style & BS_MULTILINE) && lastBreak != std::wstring::npos
                                    ? text.substr(lastBreak + 1)
                                    : text;
  SIZE extent = {};
  GetTextExtentPoint32W(dc, measured.empty() ? L" " : measured.c_str(),
                        measured.empty() ? 1 : static_cast<int>(measured.size()), &extent);

  const CaptionLayout layout =
      LayoutCaption(text, static_cast<std::uint32_t>(style), extent.cy, q);
  UINT format = DT_NOCLIP;
  switch (layout.align) {
    case TextAlign::Left:
      format |= DT_LEFT;
      break;
    case TextAlign::Right:
      format |= DT_RIGHT;
      break;
    case TextAlign::Centre:
      format |= DT_CENTER;
      break;
  }
  if (layout.singleLineCentred) format |= DT_VCENTER | DT_SINGLELINE;
  for (const CaptionLine& line : layout.lines) {
    RECT rect = ToRECT(line.rect);
    DrawTextW(dc, line.text.c_str(), static_cast<int>(line.text.size()), &rect, format);
  }
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

}  // namespace ui::win32

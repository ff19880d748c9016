#include "ui/button_face.h"

namespace ui {

std::uint32_t FaceBandColour(int band) {
  const int grey = ((255 - 3 * band) % 256 + 256) % 256;
  return Rgb(grey, grey, grey);
}

ButtonFrame FrameOf(bool pressed, bool focused, bool isDefault) {
  if (pressed) return ButtonFrame::Pressed;
  return focused || isDefault ? ButtonFrame::FocusedNormal : ButtonFrame::Normal;
}

CaptionLayout LayoutCaption(const std::wstring& text, std::uint32_t style, int lineHeight,
                            const Rect& q) {
  CaptionLayout layout;
  std::vector<std::wstring> lines;
  if (style & kButtonMultiLine) {
    std::wstring::size_type start = 0;
    for (;;) {
      const auto end = text.find(L'\n', start);
      lines.push_back(text.substr(start, end == std::wstring::npos ? end : end - start));
      if (end == std::wstring::npos) break;
      start = end + 1;
    }
  } else {
    lines.push_back(text);
  }

  const std::uint32_t horizontal = style & kButtonCentre;
  if (horizontal == kButtonCentre) {
    layout.align = TextAlign::Centre;
  } else if (horizontal == kButtonLeft) {
    layout.align = TextAlign::Left;
  } else if (horizontal == kButtonRight) {
    layout.align = TextAlign::Right;
  } else {
    layout.align = TextAlign::Centre;
    layout.singleLineCentred = true;
  }

  const int total = lineHeight * static_cast<int>(lines.size());
  const std::uint32_t vertical = style & kButtonVCentre;
  int y;
  // Centred within q itself: a caption drawn in a rectangle moved down by
  // two pixels (pressed, engraved) moves down by two pixels too.
  if (vertical == kButtonVCentre) {
    y = q.top + (q.bottom - q.top - total) / 2;
  } else if (vertical == kButtonTop) {
    y = q.top + 2;
  } else if (vertical == kButtonBottom) {
    y = q.bottom - total - 2;
  } else {
    y = q.top + (q.bottom - q.top - total) / 2 - 1;
  }
  for (auto& line : lines) {
    layout.lines.push_back({std::move(line), Rect{q.left + 3, y, q.right - 3, y + lineHeight}});
    y += lineHeight;
  }
  return layout;
}

}  // namespace ui

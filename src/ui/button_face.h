#pragma once
// Drawing rules of the skinned push buttons, kept apart from GDI so they can
// be checked natively: the gradient bands, the frame kind and where each
// caption line goes.
#include <cstdint>
#include <string>
#include <vector>

namespace ui {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  Rect Inflate(int d) const { return {left - d, top - d, right + d, bottom + d}; }
  bool operator==(const Rect& other) const {
    return left == other.left && top == other.top && right == other.right &&
           bottom == other.bottom;
  }
};

// Button style bits, numerically as the platform's BS_* values.
constexpr std::uint32_t kButtonLeft = 0x100;
constexpr std::uint32_t kButtonRight = 0x200;
constexpr std::uint32_t kButtonCentre = 0x300;
constexpr std::uint32_t kButtonTop = 0x400;
constexpr std::uint32_t kButtonBottom = 0x800;
constexpr std::uint32_t kButtonVCentre = 0xC00;
constexpr std::uint32_t kButtonMultiLine = 0x2000;

// 0x00BBGGRR.
constexpr std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
         (static_cast<std::uint32_t>(b) << 16);
}

struct ButtonColours {
  std::uint32_t text;  // the system's button-text colour
  std::uint32_t face = Rgb(224, 223, 228);          // kept, the gradient is drawn instead
  std::uint32_t faceDisabled = Rgb(219, 218, 223);  // kept, likewise
  std::uint32_t innerLight = Rgb(239, 240, 224);
  std::uint32_t outerLight = Rgb(255, 253, 254);
  std::uint32_t innerShadow = Rgb(159, 158, 166);
  std::uint32_t outerShadow = Rgb(110, 112, 98);
};

// Grey of the k-th two-row band of the face, from the top.
std::uint32_t FaceBandColour(int band);

enum class ButtonFrame {
  Normal,         // raised bevel
  FocusedNormal,  // black outline, then the raised bevel inside it
  Pressed,        // two shadow outlines
};
ButtonFrame FrameOf(bool pressed, bool focused, bool isDefault);

enum class TextAlign { Left, Centre, Right };

struct CaptionLine {
  std::wstring text;
  Rect rect;
};

struct CaptionLayout {
  TextAlign align = TextAlign::Centre;
  // The fallback for a style without alignment bits draws one centred line.
  bool singleLineCentred = false;
  std::vector<CaptionLine> lines;
};

// Where the caption goes inside `q`, for a font whose lines are
// `lineHeight` high.
CaptionLayout LayoutCaption(const std::wstring& text, std::uint32_t style, int lineHeight,
                            const Rect& q);

}  // namespace ui

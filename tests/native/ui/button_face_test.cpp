// Drawing rules of the skinned buttons: gradient bands, frame kinds and the
// placement of caption lines.
#include <gtest/gtest.h>

#include "ui/button_face.h"

namespace {

using ui::ButtonFrame;
using ui::Rect;

TEST(ButtonFace, BandsDarkenByThreeAndWrapBelowZero) {
  EXPECT_EQ(ui::FaceBandColour(0), ui::Rgb(255, 255, 255));
  EXPECT_EQ(ui::FaceBandColour(1), ui::Rgb(252, 252, 252));
  EXPECT_EQ(ui::FaceBandColour(10), ui::Rgb(225, 225, 225));
  EXPECT_EQ(ui::FaceBandColour(85), ui::Rgb(0, 0, 0));
  EXPECT_EQ(ui::FaceBandColour(86), ui::Rgb(253, 253, 253)) << "(255 - 258) mod 256";
}

TEST(ButtonFace, FrameFollowsPressedThenFocusOrDefault) {
  EXPECT_EQ(ui::FrameOf(true, true, true), ButtonFrame::Pressed);
  EXPECT_EQ(ui::FrameOf(false, true, false), ButtonFrame::FocusedNormal);
  EXPECT_EQ(ui::FrameOf(false, false, true), ButtonFrame::FocusedNormal);
  EXPECT_EQ(ui::FrameOf(false, false, false), ButtonFrame::Normal);
}

TEST(ButtonFace, PlacesOneCentredLineByStyle) {
  const Rect q{-1, -1, 99, 27};  // a 100 x 28 button moved up-left by one
  struct Case {
    std::uint32_t style;
    ui::TextAlign align;
    bool fallback;
    int top;
  };
  const Case cases[] = {
      {ui::kButtonCentre | ui::kButtonVCentre, ui::TextAlign::Centre, false, -1 + (28 - 13) / 2},
      {ui::kButtonLeft | ui::kButtonTop, ui::TextAlign::Left, false, -1 + 2},
      {ui::kButtonRight | ui::kButtonBottom, ui::TextAlign::Right, false, 27 - 13 - 2},
      {0, ui::TextAlign::Centre, true, -1 + (28 - 13) / 2 - 1},
  };
  for (const Case& c : cases) {
    const ui::CaptionLayout layout = ui::LayoutCaption(L"閉じる(&C)", c.style, 13, q);
    EXPECT_EQ(layout.align, c.align) << c.style;
    EXPECT_EQ(layout.singleLineCentred, c.fallback) << c.style;
    ASSERT_EQ(layout.lines.size(), 1u);
    EXPECT_EQ(layout.lines[0].rect, (Rect{q.left + 3, c.top, q.right - 3, c.top + 13}))
        << c.style;
  }
}

TEST(ButtonFace, CaptionFollowsItsRectangleDownAndRight) {
  // Released: the button moved up-left by one; pressed or the white copy of
  // a disabled caption: down-right by one. The caption moves by two both ways.
  for (std::uint32_t style : {ui::kButtonCentre | ui::kButtonVCentre, ui::kButtonCentre,
                              ui::kButtonTop, ui::kButtonBottom}) {
    const Rect button{0, 0, 74, 28};
    const ui::CaptionLayout up = ui::LayoutCaption(L"設定", style, 12, button.Offset(-1, -1));
    const ui::CaptionLayout down = ui::LayoutCaption(L"設定", style, 12, button.Offset(1, 1));
    EXPECT_EQ(down.lines[0].rect.left - up.lines[0].rect.left, 2) << style;
    EXPECT_EQ(down.lines[0].rect.top - up.lines[0].rect.top, 2) << style;
  }
}

TEST(ButtonFace, SplitsMultiLineCaptionsAtLineFeeds) {
  const Rect q{1, 1, 101, 61};
  const ui::CaptionLayout multi =
      ui::LayoutCaption(L"転送\n（同期）\n", ui::kButtonMultiLine | ui::kButtonVCentre, 12, q);
  ASSERT_EQ(multi.lines.size(), 3u) << "a trailing line feed leaves an empty last line";
  const int top = 1 + (60 - 36) / 2;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(multi.lines[i].rect.top, top + 12 * i);
    EXPECT_EQ(multi.lines[i].rect.bottom, top + 12 * (i + 1));
  }
  EXPECT_EQ(multi.lines[1].text, L"（同期）");
  EXPECT_EQ(multi.lines[2].text, L"");

  const ui::CaptionLayout single = ui::LayoutCaption(L"a\nb", ui::kButtonVCentre, 12, q);
  ASSERT_EQ(single.lines.size(), 1u) << "without the multi-line style the text is one line";
  EXPECT_EQ(single.lines[0].text, L"a\nb");
}

}  // namespace

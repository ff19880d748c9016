// The skinned controls: the button face rendered into a memory surface and
// read pixel by pixel, enabling without repaints, the transparent labels,
// the combo boxes and the off-screen surface.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "harness.h"
#include "ui/button_face.h"
#include "ui/win32/color_button.h"
#include "ui/win32/gdi.h"
#include "ui/win32/mem_dc.h"
#include "ui/win32/my_combo_box.h"
#include "ui/win32/static_ex_control.h"

namespace {

using harness::Capture;

const COLORREF kOuterLight = RGB(255, 253, 254), kInnerLight = RGB(239, 240, 224);
const COLORREF kInnerShadow = RGB(159, 158, 166), kOuterShadow = RGB(110, 112, 98);
const COLORREF kBlack = RGB(0, 0, 0);

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    font_.Reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic"));
  }

  HWND MakeButton(const wchar_t* text, int width, int height) {
    HWND button = CreateWindowExW(0, L"BUTTON", text,
                                  WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | BS_CENTER | BS_VCENTER,
                                  10, 10, width, height, parent_.Get(), nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return button;
  }

  // The button drawn with `state` (ODS_* bits) into a fresh surface.
  Capture Draw(HWND button, UINT state) {
    RECT client;
    GetClientRect(button, &client);
    const ui::win32::WindowDc screen(nullptr);
    const ui::win32::MemoryDc memory(screen.Get());
    const ui::win32::Bitmap bitmap(
        CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
    {
      const ui::win32::SelectScope selected(memory.Get(), bitmap.Get());
      DRAWITEMSTRUCT item = {};
      item.CtlType = ODT_BUTTON;
      item.itemAction = ODA_DRAWENTIRE;
      item.itemState = state;
      item.hwndItem = button;
      item.hDC = memory.Get();
      item.rcItem = client;
      ui::win32::CColorButton face;
      face.Attach(button);
      face.DrawItem(item);
    }
    return harness::CaptureBitmap(memory.Get(), bitmap.Get(), client.right, client.bottom);
  }

  harness::ParentWindow parent_{300, 300};
  ui::win32::Font font_;
};

TEST_F(ButtonTest, FaceIsTwoPixelGreyBandsWrappingBelowBlack) {
  HWND button = MakeButton(L"", 40, 200);
  const Capture capture = Draw(button, 0);
  for (int y = 2; y < 198; ++y) {
    EXPECT_EQ(capture.At(20, y), ui::FaceBandColour(y / 2)) << "row " << y;
  }
  EXPECT_EQ(capture.At(20, 171), RGB(0, 0, 0)) << "band 85";
  EXPECT_EQ(capture.At(20, 172), RGB(253, 253, 253)) << "band 86 wraps";
}

TEST_F(ButtonTest, FramesByState) {
  struct Case {
    const char* what;
    UINT state;
    // Colours of the two outermost lines, from the outside in.
    COLORREF top[3], left[3], bottom[3], right[3];
  };
  const Case cases[] = {
      {"normal", 0,
       {kOuterLight, kInnerLight},
       {kOuterLight, kInnerLight},
       {kOuterShadow, kInnerShadow},
       {kOuterShadow, kInnerShadow}},
      {"focused", ODS_FOCUS,
       {kBlack, kOuterLight, kInnerLight},
       {kBlack, kOuterLight, kInnerLight},
       {kBlack, kOuterShadow, kInnerShadow},
       {kBlack, kOuterShadow, kInnerShadow}},
      {"default", ODS_DEFAULT,
       {kBlack, kOuterLight, kInnerLight},
       {kBlack, kOuterLight, kInnerLight},
       {kBlack, kOuterShadow, kInnerShadow},
       {kBlack, kOuterShadow, kInnerShadow}},
      {"pressed", ODS_SELECTED | ODS_FOCUS,
       {kOuterShadow, kInnerShadow},
       {kOuterShadow, kInnerShadow},
       {kOuterShadow, kInnerShadow},
       {kOuterShadow, kInnerShadow}},
  };
  for (const int height : {28, 27}) {
    HWND button = MakeButton(L"", 74, height);
    for (const Case& c : cases) {
      const Capture capture = Draw(button, c.state);
      const int lines = c.top[2] ? 3 : 2;
      for (int i = 0; i < lines; ++i) {
        // Away from corners and from the focus rectangle (inset 4).
        EXPECT_EQ(capture.At(30, i), c.top[i]) << c.what << " top line " << i;
        EXPECT_EQ(capture.At(i, 12), c.left[i]) << c.what << " left line " << i;
        EXPECT_EQ(capture.At(30, height - 1 - i), c.bottom[i]) << c.what << " bottom line " << i;
        EXPECT_EQ(capture.At(73 - i, 12), c.right[i]) << c.what << " right line " << i;
      }
    }
  }
}

// Bounding box of the pixels of exactly `colour`.
RECT BoxOf(const Capture& capture, COLORREF colour) {
  RECT box = {capture.width, capture.height, -1, -1};
  for (int y = 0; y < capture.height; ++y) {
    for (int x = 0; x < capture.width; ++x) {
      if (capture.At(x, y) != colour) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  return box;
}

TEST_F(ButtonTest, CaptionMovesWhenPressedAndIsEngravedWhenDisabled) {
  HWND button = MakeButton(L"転送（同期）", 100, 28);
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  const RECT normal = BoxOf(Draw(button, 0), text);
  const RECT pressed = BoxOf(Draw(button, ODS_SELECTED), text);
  ASSERT_GT(normal.right - normal.left, 20) << "the caption is drawn";
  EXPECT_EQ(pressed.left - normal.left, 2);
  EXPECT_EQ(pressed.top - normal.top, 2);
  EXPECT_EQ(pressed.right - normal.right, 2);

  const Capture disabled = Draw(button, ODS_DISABLED);
  const RECT grey = BoxOf(disabled, RGB(128, 128, 128));
  const RECT white = BoxOf(disabled, RGB(255, 255, 255));
  EXPECT_EQ(grey.left, normal.left) << "grey where an enabled caption is";
  EXPECT_EQ(grey.top, normal.top);
  // The white copy lies under the grey one, two pixels further down-right;
  // its lower right edge shows.
  EXPECT_EQ(white.right - grey.right, 2);
  EXPECT_EQ(white.bottom - grey.bottom, 2);
  EXPECT_EQ(BoxOf(disabled, text).right, -1) << "no caption in the text colour";
}

TEST_F(ButtonTest, FocusRectangleIsInsetByFour) {
  HWND button = MakeButton(L"", 74, 28);
  const Capture plain = Draw(button, ODS_DEFAULT);
  const Capture focused = Draw(button, ODS_FOCUS);
  int changed = 0;
  for (int x = 6; x < 68; ++x) changed += plain.At(x, 4) != focused.At(x, 4);
  EXPECT_GT(changed, 10) << "the focus line on row 4";
  for (int x = 6; x < 68; ++x) EXPECT_EQ(plain.At(x, 6), focused.At(x, 6)) << "row 6 is face";
}

TEST_F(ButtonTest, EnablingOnlyWhenTheStateDiffersRepaintsOnlyThen) {
  HWND button = MakeButton(L"設定(&S)", 74, 28);
  int draws = 0;
  ui::win32::CColorButton face;
  face.Attach(button);
  parent_.onDrawItem = [&](const DRAWITEMSTRUCT& item) {
    ++draws;
    face.DrawItem(item);
    return true;
  };
  harness::Pump(30);
  struct Case {
    bool enable;
    bool repaints;
  };
  const Case cases[] = {{true, false}, {false, true}, {false, false}, {true, true}};
  for (const Case& c : cases) {
    draws = 0;
    face.SetEnabledIfChanged(c.enable);
    UpdateWindow(button);
    harness::Pump(30);
    EXPECT_EQ(IsWindowEnabled(button) != FALSE, c.enable);
    EXPECT_EQ(draws > 0, c.repaints) << "enable " << c.enable;
  }
}

TEST(StaticExTest, SameTextRepaintsNothingAndANewOneRepaintsTheSkinBelow) {
  harness::ParentWindow parent(300, 200);
  HWND label = CreateWindowExW(0, L"STATIC", L"-- MB", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10,
                               120, 16, parent.Get(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ui::win32::StaticExControl control;
  control.Attach(label);
  int draws = 0;  // each drawing of the label asks for its colours
  parent.onCtlColorStatic = [&](HWND window, HDC dc, HBRUSH* brush) {
    if (window != label) return false;
    ++draws;
    *brush = control.OnCtlColor(dc);
    return true;
  };
  harness::Pump(30);
  struct Case {
    std::wstring text;
    bool repaints;
  };
  const Case cases[] = {{L"-- MB", false}, {L"約 1.90 MB", true}, {L"約 1.90 MB", false}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    parent.erases = 0;
    draws = 0;
    control.SetTextIfChanged(cases[i].text);
    EXPECT_EQ(control.GetText(), cases[i].text);
    EXPECT_EQ(parent.erases > 0, cases[i].repaints) << "step " << i;
    EXPECT_EQ(draws, cases[i].repaints ? 1 : 0) << "drawn once, over the skin: step " << i;
  }
  control.ShowByteSize(2000000);
  EXPECT_EQ(control.GetText(), L"約 1.90 MB");
  control.ShowClusterSize(0, 0, 0);
  EXPECT_EQ(control.GetText(), L"-- MB");
  HDC dc = GetDC(label);
  control.SetLabelColour(RGB(235, 0, 18));
  EXPECT_EQ(control.OnCtlColor(dc), GetStockObject(HOLLOW_BRUSH));
  EXPECT_EQ(GetTextColor(dc), RGB(235, 0, 18));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  ReleaseDC(label, dc);
}

TEST(ComboBoxTest, ClearAndSelect) {
  harness::ParentWindow parent(300, 300);
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL,
                               10, 10, 150, 120, parent.Get(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ui::win32::CMyComboBox box;
  box.Attach(combo);
  EXPECT_EQ(box.AddItem(L"D: (MUSIC)"), 0);
  EXPECT_EQ(box.AddItem(L"E: (音楽)"), 1);
  box.SetTextAndSelect(L"", 1);
  EXPECT_EQ(box.GetSelection(), 1);
  EXPECT_EQ(box.GetText(), L"E: (音楽)");
  box.SetTextAndSelect(L"", -1);
  EXPECT_EQ(box.GetSelection(), -1);

  struct Case {
    bool close;
    bool stillOpen;
  };
  for (const Case& c : {Case{false, true}, Case{true, false}}) {
    box.AddItem(L"D: (MUSIC)");
    SetFocus(combo);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    box.ClearItems(c.close);
    EXPECT_EQ(box.GetItemCount(), 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0, c.stillOpen) << c.close;
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  }
}

TEST(MemDcTest, DrawingReachesTheTargetOnlyWhenTheSurfaceGoes) {
  const ui::win32::WindowDc screen(nullptr);
  const ui::win32::MemoryDc memory(screen.Get());
  const ui::win32::Bitmap bitmap(CreateCompatibleBitmap(screen.Get(), 20, 10));
  const ui::win32::SelectScope selected(memory.Get(), bitmap.Get());
  const HDC target = memory.Get();
  RECT all = {0, 0, 20, 10};
  FillRect(target, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  {
    ui::win32::CMemDC surface(target, all);
    ASSERT_NE(surface.Get(), target);
    RECT part = {5, 2, 9, 6};
    FillRect(surface.Get(), &part, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(GetPixel(target, 6, 3), RGB(255, 255, 255)) << "not yet";
  }
  EXPECT_EQ(GetPixel(target, 6, 3), RGB(0, 0, 0));
}

}  // namespace

#pragma once
// The Win32 window of the main dialog (template 102): a borderless popup
// painted with the skin, dragged by its top strip, with skinned buttons and
// transparent labels.
#include <windows.h>

#include <array>
#include <memory>

#include "resources/string_table.h"
#include "ui/win32/color_button.h"
#include "ui/win32/gdi.h"
#include "ui/win32/static_ex_control.h"

namespace controller::win32 {

class MainDialog {
 public:
  MainDialog(HINSTANCE instance, const res::IStringTable& strings);
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  // Runs the window modally; the dialog's end result.
  INT_PTR RunModal(HWND owner = nullptr);
  // Creates the window modelessly (tests); null on failure.
  HWND Create(HWND owner = nullptr);
  HWND Window() const { return window_; }

  // Height of the strip at the top that drags the window.
  static constexpr int kDragStripHeight = 28;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Keys the window handles before the dialog manager sees them; true = swallowed.
  bool PreTranslate(const MSG& message);
  void EndModal(INT_PTR result);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void OnInitDialog();
  void ApplyTexts();
  void SetUpTrackList();
  bool OnCommand(int id, int code);
  LRESULT OnNcHitTest(LPARAM lParam);
  bool OnEraseBackground(HDC dc);
  void OnPaintIconic();
  // Answers a dialog message with a result value.
  INT_PTR Answer(LRESULT result);
  ui::win32::StaticExControl* LabelOf(HWND control);

  HINSTANCE instance_;
  const res::IStringTable& strings_;
  HWND window_ = nullptr;
  bool modal_ = false;
  bool ended_ = false;
  INT_PTR result_ = IDCANCEL;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  ui::win32::Bitmap skin_;
  UINT queryCancelAutoPlay_ = 0;

  std::array<ui::win32::CColorButton, 5> buttons_;
  std::array<ui::win32::StaticExControl, 5> labels_;
};

}  // namespace controller::win32

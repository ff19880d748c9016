#pragma once
// The Win32 window of the main dialog (template 102): a borderless popup
// painted with the skin, dragged by its top strip, with skinned buttons,
// transparent labels and the track list. It is the Win32 face of
// CMarimbaDlg: it forwards timers, commands and the engine's event messages
// to it and implements its view and timer ports with the real calls.
#include <windows.h>

#include <array>
#include <map>
#include <memory>

#include "controller/main_view.h"
#include "controller/marimba_app.h"
#include "os/platform.h"
#include "resources/string_table.h"
#include "ui/win32/color_button.h"
#include "ui/win32/dialog.h"
#include "ui/win32/gdi.h"
#include "ui/win32/my_combo_box.h"
#include "ui/win32/report_ctrl.h"
#include "ui/win32/static_ex_control.h"
#include "ui/win32/wait_dlg.h"

namespace controller::win32 {

struct MainWindowParts;

class MainDialog : public ui::win32::Dialog, private IMainView, private ITimerPort {
 public:
  MainDialog(HINSTANCE instance, const res::IStringTable& strings, os::Platform& platform,
             const controller::CMarimbaApp& app);
  ~MainDialog() override;
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  // Runs the window modally; the dialog's end result.
  INT_PTR RunModal(HWND owner = nullptr) { return Dialog::RunModal(owner); }
  // Creates the window modelessly (tests); null on failure.
  HWND Create(HWND owner = nullptr) { return CreateModeless(owner); }

  // Height of the strip at the top that drags the window.
  static constexpr int kDragStripHeight = 28;

 private:
  // ui::win32::Dialog.
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  bool OnTimer(UINT_PTR id) override;
  void OnDestroy() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  // Keys the window handles before the dialog manager sees them; true = swallowed.
  bool PreTranslate(const MSG& message) override;
  void OnHandlerFailed() override;
  // Ends the modal run, or destroys a modeless window.
  void EndModal(INT_PTR result);

  // Start-up (main_window_start.cpp): false after a failed check, which has
  // shown its message and ended the dialog.
  void OnInitDialog();
  bool StartUp();
  bool FailStart(unsigned messageId);
  void OpenStartingWindow();
  void CloseStartingWindow();
  void AttachControls();
  void ApplyTexts();
  void SetUpTrackList();
  void FirstRefresh();

  void OnSysCommand(WPARAM command);
  LRESULT OnNcHitTest(LPARAM lParam);
  bool OnEraseBackground(HDC dc);
  void OnPaintIconic();
  ui::win32::StaticExControl* LabelOf(HWND control);
  ui::win32::StaticExControl* LabelById(int id);
  // The dialog's control `id`. The controls live as long as the window, so
  // AttachControls notes them once: under Wine every GetDlgItem asks the
  // window server, and the drive poll enables controls every two seconds.
  HWND Control(int id) const;

  // IMainView (main_window_view.cpp).
  void EnableControl(int id, bool enabled) override;
  bool IsControlEnabled(int id) const override;
  int FocusedControl() const override;
  void FocusOn(int id) override;
  bool IsTrackListInteractive() const override;
  void FinishCellEdit(bool accept) override;
  void SetLabelText(int id, const std::wstring& text) override;
  void ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                      MessageIcon icon) override;
  void ShowDoneNotice(const std::wstring& text) override;
  void RepaintWindow() override;
  bool AskYesNo(const std::wstring& text, const std::wstring& caption) override;
  bool RunAutoTransferPrompt(const std::wstring& text) override;
  void RunSettingsDialog() override;
  void RunAlbumDialog() override;
  void SetWaitCursor(bool on) override;
  void PostTransferCommand() override;
  void CloseWindow() override;
  // ITimerPort (main_dialog.cpp, beside the ticks).
  std::uintptr_t StartTimer(unsigned id, std::uint32_t milliseconds) override;
  void KillTimer(unsigned id) override;

  HINSTANCE instance_;
  const res::IStringTable& strings_;
  os::Platform& platform_;
  const controller::CMarimbaApp& app_;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  ui::win32::Bitmap skin_;
  int waitCursorDepth_ = 0;

  std::array<ui::win32::CColorButton, 5> buttons_;
  std::array<ui::win32::StaticExControl, 5> labels_;
  ui::win32::CMyComboBox driveCombo_;
  ui::win32::CMyComboBox playerCombo_;
  ui::win32::CReportCtrl trackList_;
  std::map<int, HWND> controls_;  // the window's children by id
  std::unique_ptr<ui::win32::CWaitDlg> startingWindow_;
  std::unique_ptr<MainWindowParts> parts_;
};

}  // namespace controller::win32

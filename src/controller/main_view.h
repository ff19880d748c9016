#pragma once
// What the transfer controller needs of the main window, its timers and the
// tool's settings. The Win32 main window implements the first two with the
// real calls named on each method; native tests use fakes. Control ids are
// those of resources/resource.h (IDC_...).
#include <cstdint>
#include <string>

namespace controller {

enum class MessageIcon { kNone, kWarning, kError };

class IMainView {
 public:
  virtual ~IMainView() = default;

  // ---- controls
  // EnableWindow(GetDlgItem(window, id), enabled).
  virtual void EnableControl(int id, bool enabled) = 0;
  // IsWindowEnabled(GetDlgItem(window, id)).
  virtual bool IsControlEnabled(int id) const = 0;
  // GetDlgCtrlID of GetFocus() when the focus is on a child of the window;
  // 0 when no control of the window has the focus.
  virtual int FocusedControl() const = 0;
  // Moves the keyboard focus to control `id` (WM_NEXTDLGCTL with the
  // control's window, so the default button follows).
  virtual void FocusOn(int id) = 0;
  // The track list's own interactive flag (CReportCtrl::IsInteractive).
  virtual bool IsTrackListInteractive() const = 0;
  // Ends an in-place edit of the track list, keeping the text when `accept`
  // (CReportCtrl::FinishCellEdit); nothing when no edit is open.
  virtual void FinishCellEdit(bool accept) = 0;
  // The label's SetTextIfChanged (CStaticEx of control `id`).
  virtual void SetLabelText(int id, const std::wstring& text) = 0;

  // ---- messages and dialogs (each runs a nested message loop)
  // MessageBoxW(window, text, caption, MB_OK | MB_TOPMOST | icon), icon
  // MB_ICONWARNING / MB_ICONERROR / none.
  virtual void ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                              MessageIcon icon) = 0;
  // The auto-closing done notice (dialog 136) with `text`, modal.
  virtual void ShowDoneNotice(const std::wstring& text) = 0;
  // RedrawWindow(window, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW).
  virtual void RepaintWindow() = 0;
  // MessageBoxW(window, text, caption, MB_YESNO | MB_TOPMOST) == IDYES.
  virtual bool AskYesNo(const std::wstring& text, const std::wstring& caption) = 0;
  // The automatic-transfer prompt (dialog 133) showing `text`, modal; true
  // when it closed itself after its time-out (result 1), false on Cancel.
  virtual bool RunAutoTransferPrompt(const std::wstring& text) = 0;
  // The settings dialog (131) and the album name dialog (135), modal.
  virtual void RunSettingsDialog() = 0;
  virtual void RunAlbumDialog() = 0;

  // ---- window
  // Wait cursor on/off; calls nest (SetCursor(IDC_WAIT) while any is on).
  virtual void SetWaitCursor(bool on) = 0;
  // PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_TRANSFER, BN_CLICKED), 0).
  virtual void PostTransferCommand() = 0;
  // EndDialog(window, IDCANCEL).
  virtual void CloseWindow() = 0;
};

// Window timers of the main window.
class ITimerPort {
 public:
  virtual ~ITimerPort() = default;
  // SetTimer(window, id, milliseconds, nullptr): the timer's handle, 0 when
  // it could not be made.
  virtual std::uintptr_t StartTimer(unsigned id, std::uint32_t milliseconds) = 0;
  // KillTimer(window, id).
  virtual void KillTimer(unsigned id) = 0;
};

// The tool's own settings (the settings store of the application).
class ISettingsSource {
 public:
  virtual ~ISettingsSource() = default;
  // Player model 0, 1 or 2; with `reload` read from the registry first.
  virtual std::int32_t ReadModel(bool reload) = 0;
  // Automatic transfer: 0 off, anything else on.
  virtual std::int32_t ReadAutoSync(bool reload) = 0;
};

// The main window's wait cursor for as long as a scope runs.
class WaitCursor {
 public:
  explicit WaitCursor(IMainView& view) : view_(view) { view_.SetWaitCursor(true); }
  ~WaitCursor() { view_.SetWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  IMainView& view_;
};

}  // namespace controller

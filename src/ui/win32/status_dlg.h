#pragma once
// CStatusDlg (dialog 130): the modeless progress window of ripping and
// transferring, with a message, a progress bar and Cancel. StatusHost makes
// them for the drive-access objects on behalf of the main window.
#include <windows.h>

#include <memory>
#include <string>

#include "resources/string_table.h"
#include "ui/status_window.h"
#include "ui/win32/dialog.h"

namespace ui::win32 {

class CStatusDlg final : public ui::CStatusDlg, private Dialog {
 public:
  // `parent` (the main window, may be null) owns the window and is enabled
  // again when the window is destroyed.
  CStatusDlg(const res::IStringTable& strings, HWND parent);
  ~CStatusDlg() override;

  bool Create() override;
  void SetCaption(const std::wstring& caption) override;
  void SetMessage(const std::wstring& message) override;
  void SetRange(std::int32_t low, std::int32_t high) override;
  void SetPos(std::int32_t position) override;
  void PumpOne() override;
  bool IsCancelled() const override { return cancelled_; }
  void Show() override;
  void Enable(bool enabled) override;
  void EnableCancel(bool enabled) override;
  bool GetScreenRect(ui::ScreenRect* rect) const override;
  void Destroy() override;

  using Dialog::Window;

 private:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  bool PreTranslate(const MSG& message) override;
  void OnCancel();

  const res::IStringTable& strings_;
  HWND parent_;
  HWND reenableWindow_ = nullptr;
  std::wstring caption_;
  bool cancelled_ = false;
};

// The main window's side of the progress windows.
class StatusHost : public ui::IStatusHost {
 public:
  explicit StatusHost(const res::IStringTable& strings) : strings_(strings) {}
  // The window that owns the progress windows and is repainted under them.
  void SetMainWindow(HWND window) { mainWindow_ = window; }

  std::unique_ptr<ui::CStatusDlg> NewStatusDlg() override;
  void RepaintScreenRect(const ui::ScreenRect& rect) override;

 private:
  const res::IStringTable& strings_;
  HWND mainWindow_ = nullptr;
};

}  // namespace ui::win32

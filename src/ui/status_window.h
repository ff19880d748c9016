#pragma once
// The modeless progress window (Cancel button, message, progress bar) that
// the drive-access objects show while they rip or transfer, and what they
// need of the main window around it. The Win32 dialog implements it.
#include <cstdint>
#include <memory>
#include <string>

namespace ui {

// Screen coordinates, right and bottom exclusive.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Every operation but Create does nothing while the window does not exist
// (SetCaption still keeps the text for the window created later).
class CStatusDlg {
 public:
  virtual ~CStatusDlg() = default;
  CStatusDlg(const CStatusDlg&) = delete;
  CStatusDlg& operator=(const CStatusDlg&) = delete;

  // Creates the window, hidden, owned by the main window, which is enabled
  // again when the window goes; clears the cancelled flag.
  virtual bool Create() = 0;
  virtual void SetCaption(const std::wstring& caption) = 0;
  // Sets the message and processes one pending message of the window.
  virtual void SetMessage(const std::wstring& message) = 0;
  // Both 0 hide the progress bar; anything else shows it.
  virtual void SetRange(std::int32_t low, std::int32_t high) = 0;
  // Moves the bar, repaints it at once and processes one pending message.
  virtual void SetPos(std::int32_t position) = 0;
  // Dispatches at most one pending message of the window.
  virtual void PumpOne() = 0;
  virtual bool IsCancelled() const = 0;
  virtual void Show() = 0;
  // Enables or disables the whole window.
  virtual void Enable(bool enabled) = 0;
  virtual void EnableCancel(bool enabled) = 0;
  // False when there is no window.
  virtual bool GetScreenRect(ScreenRect* rect) const = 0;
  // Clears the cancelled flag, re-enables the main window, destroys the window.
  virtual void Destroy() = 0;

 protected:
  CStatusDlg() = default;
};

// The main window as the owner of progress windows.
class IStatusHost {
 public:
  virtual ~IStatusHost() = default;
  // A new progress window object (not yet created); null when none can be made.
  virtual std::unique_ptr<CStatusDlg> NewStatusDlg() = 0;
  // Erases and repaints at once the part of the main window under `rect`,
  // where a progress window was.
  virtual void RepaintScreenRect(const ScreenRect& rect) = 0;
};

}  // namespace ui

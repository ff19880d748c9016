#pragma once
// What the control and dialog tests share: a recording parent window, a
// message pump that routes to modeless dialogs, user actions posted as
// messages, a driver that acts from inside a modal loop, and screen
// captures read pixel by pixel or saved for a person to look at.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/screen_capture.h"
#include "support/test_window.h"

namespace harness {

using wine_test::Pump;

// A visible top-level window that records the messages its children send
// it, reflects WM_NOTIFY and WM_DRAWITEM to the test's handlers, and
// records the WM_COMMANDs it receives.
class ParentWindow {
 public:
  struct Record {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };

  ParentWindow(int width = 640, int height = 480);
  ~ParentWindow();
  ParentWindow(const ParentWindow&) = delete;
  ParentWindow& operator=(const ParentWindow&) = delete;

  HWND Get() const { return window_; }
  // Messages recorded since the last Clear: WM_COMMAND and WM_APP and above.
  const std::vector<Record>& Records() const { return records_; }
  std::vector<Record> RecordsOf(UINT message) const;
  void Clear() { records_.clear(); }

  std::function<bool(NMHDR*, LRESULT*)> onNotify;
  std::function<bool(const DRAWITEMSTRUCT&)> onDrawItem;
  std::function<bool(HWND, HDC, HBRUSH*)> onCtlColorStatic;
  int erases = 0;  // WM_ERASEBKGND received

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
  std::vector<Record> records_;
};

// User actions, posted so that the loop that runs sees them as a user's.
void PostKey(HWND window, UINT virtualKey);
void PostChars(HWND window, const std::wstring& text);
// A left click at the centre of a button (or of any window).
void PostClick(HWND window);
// The thread's visible dialog window (class #32770) titled `title`, or the
// topmost visible one when `title` is empty; null when there is none.
HWND FindDialog(const std::wstring& title = std::wstring());

// Runs `steps` one by one from a thread timer, i.e. from inside whatever
// message loop runs meanwhile (a modal dialog's, a message box's, a menu's).
// A step returns false to be tried again on the next tick (its window is
// not there yet).
class Script {
 public:
  explicit Script(std::vector<std::function<bool()>> steps, UINT intervalMs = 30);
  ~Script();
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;
  bool Done() const;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
  UINT_PTR timer_ = 0;
};

std::wstring TextOf(HWND window);

using wine_test::Capture;
using wine_test::CaptureBitmap;
using wine_test::CaptureWindow;
using wine_test::SaveScreenshot;

}  // namespace harness

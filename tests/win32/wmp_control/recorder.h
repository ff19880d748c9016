#pragma once
// A stand-in for the main window: a message-only window that takes the
// engine's event messages, reads their objects while they are valid (the
// handler is the only place they may be read) and keeps what it saw as
// text, plus a message pump.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/test_window.h"

#include "engine/event_dispatch.h"
#include "engine/win32/window_message_target.h"

namespace test {

class Recorder {
 public:
  Recorder();
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  HWND Window() const { return window_; }
  // The sink to advise: it sends this window its messages.
  const std::shared_ptr<engine::CWMPEventDispatch>& Sink() const { return sink_; }
  // Runs inside the handler of every message, after it was recorded.
  std::function<void(UINT message, WPARAM wParam, LPARAM lParam)> onMessage;

  // One line per message: "MediaChange Track 1 Ripping (0%)",
  // "CreatePartnershipComplete Orbit 0x00000000", "DeviceSyncStateChange Orbit 1",
  // "CdromMediaChange 0", "PlaylistCollectionChange"; "0x<number>" for others.
  std::vector<std::wstring> seen;
  // How deep handlers were nested at most (1: never one inside another).
  int deepest = 0;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Record(UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::unique_ptr<engine::win32::WindowMessageTarget> target_;
  std::shared_ptr<engine::CWMPEventDispatch> sink_;
  int depth_ = 0;
};

using wine_test::Pump;

}  // namespace test

#pragma once
// Top-level windows the test lays out, in system (z) order, with a record of
// what the code under test did to them.
#include <string>
#include <vector>

#include "os/top_windows.h"

namespace fakes {

class FakeTopWindows : public os::ITopWindows {
 public:
  struct Window {
    std::wstring title;
    os::WindowRef parent = os::kNoWindow;
    bool visible = true;
    bool closeRequested = false;
  };

  // Returns the new window's reference (1, 2, ...).
  os::WindowRef Add(const std::wstring& title, bool visible = true,
                    os::WindowRef parent = os::kNoWindow);
  Window& At(os::WindowRef window) { return windows_.at(window - 1); }
  const std::vector<os::WindowRef>& Foregrounded() const { return foregrounded_; }
  const std::vector<std::wstring>& Opened() const { return opened_; }
  void SetShellResult(std::intptr_t result) { shellResult_ = result; }

  os::WindowRef FindByTitle(const std::wstring& title) override;
  void Enumerate(const std::function<bool(os::WindowRef)>& visit) override;
  std::wstring Title(os::WindowRef window) override;
  os::WindowRef Parent(os::WindowRef window) override;
  bool IsVisible(os::WindowRef window) override;
  void RequestClose(os::WindowRef window) override;
  bool BringToForeground(os::WindowRef window) override;
  std::intptr_t ShellOpen(const std::wstring& path) override;

 private:
  bool Valid(os::WindowRef window) const {
    return window != os::kNoWindow && window <= windows_.size();
  }
  std::vector<Window> windows_;
  std::vector<os::WindowRef> foregrounded_;
  std::vector<std::wstring> opened_;
  std::intptr_t shellResult_ = 42;
};

}  // namespace fakes

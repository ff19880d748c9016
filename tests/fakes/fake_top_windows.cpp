#include "fakes/fake_top_windows.h"

namespace fakes {

os::WindowRef FakeTopWindows::Add(const std::wstring& title, bool visible,
                                  os::WindowRef parent) {
  windows_.push_back(Window{title, parent, visible, false});
  return windows_.size();
}

os::WindowRef FakeTopWindows::FindByTitle(const std::wstring& title) {
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    if (windows_[i].title == title) return i + 1;
  }
  return os::kNoWindow;
}

void FakeTopWindows::Enumerate(const std::function<bool(os::WindowRef)>& visit) {
  const std::size_t count = windows_.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (!visit(i + 1)) break;
  }
}

std::wstring FakeTopWindows::Title(os::WindowRef window) {
  return Valid(window) ? At(window).title : std::wstring();
}

os::WindowRef FakeTopWindows::Parent(os::WindowRef window) {
  return Valid(window) ? At(window).parent : os::kNoWindow;
}

bool FakeTopWindows::IsVisible(os::WindowRef window) {
  return Valid(window) && At(window).visible;
}

void FakeTopWindows::RequestClose(os::WindowRef window) {
  if (Valid(window)) At(window).closeRequested = true;
}

bool FakeTopWindows::BringToForeground(os::WindowRef window) {
  if (!Valid(window)) return false;
  foregrounded_.push_back(window);
  return true;
}

std::intptr_t FakeTopWindows::ShellOpen(const std::wstring& path) {
  opened_.push_back(path);
  return shellResult_;
}

}  // namespace fakes

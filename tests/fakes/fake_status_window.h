#pragma once
// Progress windows in memory. The host keeps one log of everything its
// windows were told, so a test can look after the window is gone.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/status_window.h"

namespace fakes {

struct StatusLog {
  int made = 0;       // objects the host handed out
  int created = 0;    // successful Create calls
  int destroyed = 0;  // Destroy calls on a created window
  bool exists = false;
  bool shown = false;
  bool enabled = true;
  bool cancelEnabled = true;
  bool cancelled = false;
  std::wstring caption;
  std::wstring message;
  std::vector<std::wstring> messages;
  std::int32_t low = 0;
  std::int32_t high = 0;
  std::int32_t position = 0;
  std::vector<std::int32_t> positions;
  int pumps = 0;
  std::vector<ui::ScreenRect> repaints;
};

class FakeStatusDlg : public ui::CStatusDlg {
 public:
  FakeStatusDlg(StatusLog& log, bool failCreate) : log_(log), failCreate_(failCreate) {}

  bool Create() override {
    if (failCreate_) return false;
    log_.exists = true;
    log_.cancelled = false;
    log_.cancelEnabled = true;
    log_.enabled = true;
    log_.shown = false;
    ++log_.created;
    return true;
  }
  void SetCaption(const std::wstring& caption) override { log_.caption = caption; }
  void SetMessage(const std::wstring& message) override {
    if (!log_.exists) return;
    log_.message = message;
    log_.messages.push_back(message);
    ++log_.pumps;
  }
  void SetRange(std::int32_t low, std::int32_t high) override {
    if (!log_.exists) return;
    log_.low = low;
    log_.high = high;
  }
  void SetPos(std::int32_t position) override {
    if (!log_.exists) return;
    log_.position = position;
    log_.positions.push_back(position);
    ++log_.pumps;
  }
  void PumpOne() override {
    if (log_.exists) ++log_.pumps;
  }
  bool IsCancelled() const override { return log_.exists && log_.cancelled; }
  void Show() override {
    if (log_.exists) log_.shown = true;
  }
  void Enable(bool enabled) override {
    if (log_.exists) log_.enabled = enabled;
  }
  void EnableCancel(bool enabled) override {
    if (log_.exists) log_.cancelEnabled = enabled;
  }
  bool GetScreenRect(ui::ScreenRect* rect) const override {
    if (!log_.exists) return false;
    *rect = ui::ScreenRect{100, 120, 474, 286};
    return true;
  }
  void Destroy() override {
    if (!log_.exists) return;
    log_.exists = false;
    log_.shown = false;
    log_.cancelled = false;
    ++log_.destroyed;
  }

 private:
  StatusLog& log_;
  bool failCreate_;
};

class FakeStatusHost : public ui::IStatusHost {
 public:
  std::unique_ptr<ui::CStatusDlg> NewStatusDlg() override {
    if (failAlloc_) return nullptr;
    ++log_.made;
    return std::make_unique<FakeStatusDlg>(log_, failCreate_);
  }
  void RepaintScreenRect(const ui::ScreenRect& rect) override { log_.repaints.push_back(rect); }

  void FailAlloc(bool fail) { failAlloc_ = fail; }
  void FailCreate(bool fail) { failCreate_ = fail; }
  StatusLog& Log() { return log_; }

 private:
  StatusLog log_;
  bool failAlloc_ = false;
  bool failCreate_ = false;
};

}  // namespace fakes

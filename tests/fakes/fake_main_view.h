#pragma once
// The main window and its timers as the transfer controller sees them:
// enabled controls, focus, labels, the messages and dialogs shown (each with
// a hook that runs while it is "open", as a nested message loop would), and
// the running timers. Every call is also written to an optional shared log.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controller/main_view.h"
#include "fakes/fake_track_list.h"

namespace fakes {

struct ShownMessage {
  std::wstring text;
  std::wstring caption;
  controller::MessageIcon icon = controller::MessageIcon::kNone;
  bool doneNotice = false;
};

class FakeMainView : public controller::IMainView {
 public:
  FakeMainView(const FakeTrackList& trackList, std::vector<std::string>* log)
      : trackList_(trackList), log_(log) {}

  void EnableControl(int id, bool enabled) override { enabled_[id] = enabled; }
  bool IsControlEnabled(int id) const override {
    auto it = enabled_.find(id);
    return it == enabled_.end() || it->second;
  }
  int FocusedControl() const override { return focus; }
  void FocusOn(int id) override {
    focus = id;
    Log("view.Focus(" + std::to_string(id) + ")");
  }
  bool IsTrackListInteractive() const override { return trackList_.Interactive(); }
  void FinishCellEdit(bool accept) override {
    cellEditsFinished.push_back(accept);
    Log(accept ? "view.FinishCellEdit(accept)" : "view.FinishCellEdit(drop)");
  }
  void SetLabelText(int id, const std::wstring& text) override { labels[id] = text; }

  void ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                      controller::MessageIcon icon) override {
    Show(ShownMessage{text, caption, icon, false});
  }
  void ShowDoneNotice(const std::wstring& text) override {
    Show(ShownMessage{text, std::wstring(), controller::MessageIcon::kNone, true});
  }
  void RepaintWindow() override { ++repaints; }
  bool AskYesNo(const std::wstring& text, const std::wstring& caption) override {
    questions.push_back(ShownMessage{text, caption, controller::MessageIcon::kNone, false});
    Log("view.AskYesNo");
    if (onQuestion) onQuestion();
    return answerYes;
  }
  bool RunAutoTransferPrompt(const std::wstring& text) override {
    prompts.push_back(text);
    Log("view.Prompt");
    if (onPrompt) onPrompt();
    return promptTimesOut;
  }
  void RunSettingsDialog() override {
    ++settingsRuns;
    Log("view.Settings");
    if (onDialog) onDialog();
  }
  void RunAlbumDialog() override {
    ++albumRuns;
    Log("view.Album");
    if (onDialog) onDialog();
  }
  void SetWaitCursor(bool on) override {
    waitDepth += on ? 1 : -1;
    if (on) ++waitCursors;
  }
  void PostTransferCommand() override {
    ++posted;
    Log("view.PostTransfer");
  }
  void CloseWindow() override {
    closed = true;
    Log("view.Close");
  }

  bool Enabled(int id) const { return IsControlEnabled(id); }
  std::wstring Label(int id) const {
    auto it = labels.find(id);
    return it == labels.end() ? std::wstring() : it->second;
  }

  // What the test sets.
  int focus = 0;
  bool answerYes = true;
  bool promptTimesOut = true;
  std::function<void()> onQuestion;
  std::function<void()> onPrompt;
  std::function<void()> onDialog;
  std::function<void(const ShownMessage&)> onMessage;

  // What the controller did.
  std::map<int, std::wstring> labels;
  std::vector<ShownMessage> messages;
  std::vector<ShownMessage> questions;
  std::vector<std::wstring> prompts;
  std::vector<bool> cellEditsFinished;
  int settingsRuns = 0;
  int albumRuns = 0;
  int repaints = 0;
  int waitDepth = 0;
  int waitCursors = 0;
  int posted = 0;
  bool closed = false;

 private:
  void Show(const ShownMessage& message) {
    messages.push_back(message);
    Log("view.Message");
    if (onMessage) onMessage(message);
  }
  void Log(const std::string& entry) {
    if (log_) log_->push_back(entry);
  }

  const FakeTrackList& trackList_;
  std::vector<std::string>* log_;
  std::map<int, bool> enabled_;
};

class FakeTimers : public controller::ITimerPort {
 public:
  explicit FakeTimers(std::vector<std::string>* log = nullptr) : log_(log) {}

  std::uintptr_t StartTimer(unsigned id, std::uint32_t milliseconds) override {
    if (fail) return 0;
    running[id] = milliseconds;
    ++starts[id];
    if (log_) log_->push_back("timer.Start(" + std::to_string(id) + ")");
    return id;
  }
  void KillTimer(unsigned id) override {
    running.erase(id);
    ++kills[id];
    if (log_) log_->push_back("timer.Kill(" + std::to_string(id) + ")");
  }

  bool Running(unsigned id) const { return running.count(id) != 0; }
  std::uint32_t Interval(unsigned id) const {
    auto it = running.find(id);
    return it == running.end() ? 0 : it->second;
  }
  int Starts(unsigned id) const {
    auto it = starts.find(id);
    return it == starts.end() ? 0 : it->second;
  }

  bool fail = false;
  std::map<unsigned, std::uint32_t> running;
  std::map<unsigned, int> starts;
  std::map<unsigned, int> kills;

 private:
  std::vector<std::string>* log_;
};

}  // namespace fakes

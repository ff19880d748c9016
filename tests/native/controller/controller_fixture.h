#pragma once
// The transfer controller wired to scripted CD and player parts, a fake
// main window, timers, clock, windows and settings. Every part call lands in
// one shared log, so tests can check what happened and in which order.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/player_context.h"
#include "controller/marimba_dlg.h"
#include "engine/wmp_reg_acc.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_engine.h"
#include "fakes/fake_main_view.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "fakes/fake_top_windows.h"
#include "fakes/fake_track_list.h"
#include "resources/rc_string_table.h"

namespace controller_test {

using Log = std::vector<std::string>;

inline const res::RcStringTable& Strings() {
  static const res::RcStringTable table(MARIMBA_RESOURCE_DIR);
  return table;
}

// A disc in a drive: state 2 while both are there, 1 with the drive alone.
class FakeCdPart : public cdrom::ICdPart {
 public:
  explicit FakeCdPart(Log& log) : log_(log) {}

  int GetState() const override { return state; }
  void RefreshList(bool, bool) override {
    Note("cd.RefreshList");
    state = driveThere ? 1 : 0;
  }
  bool OpenDisc(bool checkContents) override {
    Note(checkContents ? "cd.OpenDisc(check)" : "cd.OpenDisc");
    if (driveThere && discThere) {
      if (checkContents) state = 2;
      return true;
    }
    if (state == 2) state = 1;
    return false;
  }
  int GetTrackCount(bool) override { return driveThere && discThere ? trackCount : 0; }
  bool IsListFilled() const override { return listFilled; }
  void FillTrackList(std::uint32_t bitRate, bool resetChecks) override {
    Note("cd.FillTrackList(" + std::to_string(bitRate) + (resetChecks ? ",reset)" : ")"));
    listFilled = driveThere && discThere && !fillFails;
  }
  void ShowAlbumName() override { Note("cd.ShowAlbumName"); }
  bool SetAlbumName(const std::wstring&) override {
    Note("cd.SetAlbumName");
    return true;
  }
  double GetTrackSize(int position) const override {
    return position >= 0 && position < static_cast<int>(sizes.size()) ? sizes[position] : 0.0;
  }
  double GetTotalSize() const override {
    double total = 0;
    for (double size : sizes) total += size;
    return total;
  }
  float GetFreeSpaceMB(const std::wstring& path) override {
    freeSpacePaths.push_back(path);
    return pcFreeMB;
  }
  int CdromIndex() const override { return cdromIndex; }
  bool IsDiscItem(wmp::IPlaylist* playlist) const override {
    bool same = false;
    return playlist != nullptr && wmp::Succeeded(disc->IsIdentical(playlist, &same)) && same;
  }
  engine::MediaRef GetDiscItem(long position) const override {
    if (position < 0 || position >= static_cast<long>(disc->Size())) return engine::MediaRef();
    return engine::MediaRef(disc->At(static_cast<std::size_t>(position)));
  }
  bool RemoveMissingLibraryEntries() override { return Step("RemoveMissingLibraryEntries"); }
  bool CheckRippedFiles(std::uint32_t rate, const std::wstring& folder) override {
    ripFolders.push_back(folder);
    return Step("CheckRippedFiles(" + std::to_string(rate) + ")");
  }
  bool CheckTrackOrder() override { return Step("CheckTrackOrder"); }
  bool PrepareDiscTags(int model) override {
    return Step("PrepareDiscTags(" + std::to_string(model) + ")");
  }
  bool CorrectLibraryTags() override { return Step("CorrectLibraryTags"); }
  int StartRip() override {
    Note("cd.StartRip");
    return startRip;
  }
  int UpdateRipProgress(int overall) override {
    Note("cd.UpdateRipProgress(" + std::to_string(overall) + ")");
    if (overall != 0) return eventProgress ? eventProgress(overall) : overall;
    if (pollProgress.empty()) return 0;
    const int progress = pollProgress.front();
    if (pollProgress.size() > 1) pollProgress.pop_front();
    return progress;
  }
  int GetRippedCount() const override { return rippedCount; }
  wmp::PlaylistPtr FindRippedTracks(bool checkedOnly) override {
    Note(checkedOnly ? "cd.FindRippedTracks(checked)" : "cd.FindRippedTracks");
    return haveRipped ? ripped : nullptr;
  }
  bool Eject() override {
    Note("cd.Eject");
    return true;
  }
  bool StopRip() override {
    Note("cd.StopRip");
    return true;
  }
  void CloseStatus() override { Note("cd.CloseStatus"); }

  bool driveThere = true;
  bool discThere = true;
  int state = 0;
  int trackCount = 3;
  bool listFilled = true;
  bool fillFails = false;  // no row can be added
  int cdromIndex = 0;
  std::vector<double> sizes{10.0, 20.0, 30.0};
  float pcFreeMB = 5000.0f;
  int startRip = 0;
  // Answers of the rip poll's UpdateRipProgress(0); the last one repeats.
  std::deque<int> pollProgress;
  std::function<int(int)> eventProgress;
  int rippedCount = 3;
  bool haveRipped = true;
  fakes::FakePlaylistPtr ripped = fakes::FakePlaylist::Create(L"ripped");
  fakes::FakePlaylistPtr disc = fakes::MakeDisc(3);
  std::map<std::string, bool> failing;  // rip preparation steps that answer false
  std::vector<std::wstring> freeSpacePaths;
  std::vector<std::wstring> ripFolders;

 private:
  void Note(const std::string& call) const { log_.push_back(call); }
  bool Step(const std::string& name) {
    Note("cd." + name);
    for (const auto& [prefix, fails] : failing) {
      if (fails && name.compare(0, prefix.size(), prefix) == 0) return false;
    }
    return true;
  }
  Log& log_;
};

class FakePlayerPart : public device::IPlayerPart {
 public:
  explicit FakePlayerPart(Log& log) : log_(log) {}

  int GetState() const override { return state; }
  void RefreshList(bool selectFirst, bool) override {
    Note(selectFirst ? "dap.RefreshList(first)" : "dap.RefreshList");
    state = connected ? 1 : 0;
  }
  bool EnsurePartnership() override {
    Note("dap.EnsurePartnership");
    if (connected && partnered) state = 2;
    return connected;
  }
  void UpdateCapacity() override { Note("dap.UpdateCapacity"); }
  std::wstring GetSelectedDrive() const override { return connected ? drive : std::wstring(); }
  float FreeMB() const override { return freeMB; }
  bool PrepareSync(wmp::IPlaylist*, const ui::CheckSnapshot* snapshot) override {
    Note("dap.PrepareSync");
    checks = snapshot;
    if (onPrepareSync) onPrepareSync();
    return prepareSync;
  }
  bool StartSync() override {
    Note("dap.StartSync");
    return startSync;
  }
  int PollSync() override {
    Note("dap.PollSync");
    if (onPollSync) onPollSync();
    return pollSync;
  }
  bool StopSync() override {
    Note("dap.StopSync");
    return true;
  }
  bool FinishSync() override {
    Note("dap.FinishSync");
    return true;
  }
  bool OnPartnershipComplete(wmp::ISyncDevice* device) override {
    Note("dap.OnPartnershipComplete");
    return IsOurDevice(device);
  }
  bool IsOurDevice(wmp::ISyncDevice* device) const override {
    bool same = false;
    return device != nullptr && wmp::Succeeded(device->IsIdentical(ours.get(), &same)) && same;
  }
  bool CollectTransferredFiles() override {
    Note("dap.CollectTransferredFiles");
    return collected;
  }
  void MoveIntoMusicFolder() override { Note("dap.MoveIntoMusicFolder"); }
  void MoveOutOfMusicFolder() override { Note("dap.MoveOutOfMusicFolder"); }
  void CloseStatus() override { Note("dap.CloseStatus"); }

  bool connected = true;
  bool partnered = true;
  int state = 0;
  float freeMB = 1000.0f;
  std::wstring drive = L"F:";
  bool prepareSync = true;
  bool startSync = true;
  int pollSync = 50;
  bool collected = true;
  std::function<void()> onPrepareSync;
  std::function<void()> onPollSync;
  // The check snapshot PrepareSync was given; the calls made while the
  // main window's wait cursor was on (waitDepth: the view's).
  const ui::CheckSnapshot* checks = nullptr;
  const int* waitDepth = nullptr;
  std::set<std::string> underWaitCursor;
  fakes::FakeSyncDevicePtr ours = fakes::FakeSyncDevice::Create(L"Cadenza (F:)", L"Digital Audio");
  fakes::FakeSyncDevicePtr other = fakes::FakeSyncDevice::Create(L"Other", L"Digital Audio");

 private:
  void Note(const std::string& call) {
    log_.push_back(call);
    if (waitDepth && *waitDepth > 0) underWaitCursor.insert(call);
  }
  Log& log_;
};

class FakeSettings : public controller::ISettingsSource {
 public:
  std::int32_t ReadModel(bool) override { return model; }
  std::int32_t ReadAutoSync(bool) override { return autoSync; }
  std::int32_t model = 0;
  std::int32_t autoSync = 0;
};

// Everything one controller needs; one per test or per table row.
struct World {
  World() {
    dap.waitDepth = &view.waitDepth;
    prefs.Preferences().wmaRecordRate = 128000;
    prefs.Preferences().cdRecordPath = L"C:\\Music";
    context.BindPlayer(player);
    for (int i = 0; i < 3; ++i) list.SetRowCheck(list.AddRow(L"track"), true);
    dlg.BindParts(cd, dap);
    dlg.StartPolling();
    log.clear();
  }

  void Tick(unsigned id) { dlg.OnTimer(id); }
  void Command(int id, controller::Notify notify = controller::Notify::kClicked) {
    dlg.OnCommand(id, notify);
  }
  int State() const { return dlg.GetSyncState(); }
  const controller::TransferFields& Fields() const { return dlg.Fields(); }
  bool Running(unsigned id) const { return dlg.TimerHandle(id) != 0 && timers.Running(id); }
  bool Logged(const std::string& call) const {
    return std::find(log.begin(), log.end(), call) != log.end();
  }
  int Count(const std::string& call) const {
    return static_cast<int>(std::count(log.begin(), log.end(), call));
  }
  // Ids of the messages shown so far (720 for the done notice).
  std::vector<unsigned> Shown() const {
    std::vector<unsigned> ids;
    for (const fakes::ShownMessage& message : view.messages) {
      for (unsigned id : Strings().Ids()) {
        if (id >= 700 && id < 800 && Strings().Load(id) == message.text) ids.push_back(id);
      }
    }
    return ids;
  }

  // Brings the controller into `state` along the road a user takes:
  // 2 after four ready polls, 4 after Transfer, 5 by a failed rip poll,
  // 6 by a complete one and the engine's "synchronizing", 7/8/9 by the sync
  // progress tick. The log starts empty afterwards.
  void DriveTo(int state) {
    if (state >= controller::SYNC_WAIT) {
      for (int i = 0; i < 4; ++i) Tick(controller::kTimerPollDrives);
    }
    if (state >= controller::SYNC_RIPPING) Command(IDC_TRANSFER);
    if (state == controller::SYNC_RIPPING_ERROR) {
      cd.pollProgress = {-1};
      Tick(controller::kTimerRipPoll);
    } else if (state >= controller::SYNC_SYNCING) {
      cd.pollProgress = {300};
      Tick(controller::kTimerRipPoll);
      Tick(controller::kTimerSyncStart);
      dlg.OnDeviceSyncStateChange(dap.ours.get(), 1);
      cd.pollProgress = {0};
    }
    if (state >= controller::SYNC_SYNCING_DONE) {
      dap.pollSync = state == controller::SYNC_SYNCING_DONE ? 100
                     : state == controller::SYNC_ERROR      ? -1
                                                            : -2;
      Tick(controller::kTimerSyncProgress);
    }
    EXPECT_EQ(State(), state) << "could not reach " << controller::SyncStateName(state);
    log.clear();
    view.messages.clear();
  }

  Log log;
  fakes::FakeTrackList list;
  fakes::FakeMainView view{list, &log};
  fakes::FakeTimers timers{&log};
  fakes::FakeClock clock;
  fakes::FakeTopWindows windows;
  FakeSettings settings;
  fakes::FakeRegistry registry;
  fakes::FakeSystem system;
  engine::CWmpRegAcc prefs{registry, system};
  std::shared_ptr<fakes::FakePlayer> player = std::make_shared<fakes::FakePlayer>();
  common::PlayerContext context;
  FakeCdPart cd{log};
  FakePlayerPart dap{log};
  controller::CMarimbaDlg dlg{controller::DlgPorts{view, timers, clock, windows, Strings(),
                                                   settings, prefs, context, list}};
};

class ControllerTest : public ::testing::Test {
 protected:
  World w;
};

}  // namespace controller_test

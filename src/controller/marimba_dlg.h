#pragma once
// The main window's logic: the transfer state machine with its six timers,
// the window's commands and the handlers of the engine's events. The Win32
// window forwards WM_TIMER, WM_COMMAND and the player-event messages here
// and implements the view and timer ports; nothing here knows Win32.
//
// One thread runs everything. Modal dialogs and engine calls run nested
// message loops and send events synchronously, so handlers nest: each takes
// the recursive lock and reads the state afresh after anything that can
// nest.
#include <array>
#include <cstdint>
#include <mutex>
#include <string>

#include "cdrom/cd_part.h"
#include "common/player_context.h"
#include "controller/main_view.h"
#include "controller/sync_state.h"
#include "device/player_part.h"
#include "engine/player_messages.h"
#include "engine/wmp_reg_acc.h"
#include "os/clock.h"
#include "os/top_windows.h"
#include "resources/string_table.h"
#include "ui/track_list.h"

namespace controller {

struct DlgPorts {
  IMainView& view;
  ITimerPort& timers;
  os::IClock& clock;
  // Watchdog window search and the shell's "open" of the player's drive.
  os::ITopWindows& windows;
  const res::IStringTable& strings;
  ISettingsSource& settings;
  // WMARecordRate and CDRecordPath.
  const engine::CWmpRegAcc& preferences;
  // The engine's player, for stopping playback.
  const common::PlayerContext& context;
  ui::CReportCtrl& trackList;
};

// The transfer fields with their initial values.
struct TransferFields {
  int state = SYNC_INIT;
  // Highest (track number − 1) seen in rip-progress events; -1 none.
  int lastReportedTrack = -1;
  // Consecutive PollDrives ticks that found CD and player ready.
  int readyCount = 0;
  // The automatic-transfer prompt was shown for the present disc and player.
  int autoSyncShown = 0;
  // A transfer just ended successfully: the Status text stays.
  int transferDone = 0;
  int lastRipProgress = 0;
  unsigned ripStallCount = 0;
  // Set by the track list before it renames a track of the disc: the next
  // name-change event of the disc's playlist is ignored once.
  int selfEditPending = 0;
  // Row of the last track whose title or artist was edited; -1 none.
  int editedRow = -1;
};

// What a window command came with (the notification code of WM_COMMAND).
enum class Notify {
  kClicked,    // BN_CLICKED, or a command posted without a code
  kDropDown,   // CBN_DROPDOWN
  kSelection,  // CBN_SELCHANGE or CBN_EDITCHANGE
};

class CMarimbaDlg : public engine::IMessageTarget {
 public:
  // Unanswered rip-progress event (E_PENDING): the track has not started.
  static constexpr std::intptr_t kTrackNotStarted = static_cast<std::int32_t>(0x8000000A);
  // Rip poll readings without progress after which the rip is given up.
  static constexpr unsigned kStallLimit = 15;
  static constexpr std::uint32_t kDiscSettleMs = 3000;
  // Finish ticks (2 s each) that SYNC_SYNCING may wait for the engine's
  // "synchronizing" event before the synchronisation counts as lost.
  static constexpr int kSilentSyncTicks = 15;

  explicit CMarimbaDlg(const DlgPorts& ports);
  CMarimbaDlg(const CMarimbaDlg&) = delete;
  CMarimbaDlg& operator=(const CMarimbaDlg&) = delete;
  ~CMarimbaDlg() override;

  // The CD and player parts; until they are bound every entry does nothing.
  void BindParts(cdrom::ICdPart& cd, device::IPlayerPart& player);
  // Starts the drive poll (5003) and the watchdog (5004): the end of the
  // window's initialisation.
  void StartPolling();
  // Kills every timer: the window is going.
  void StopTimers();
  // A handler of the window failed with an exception: whatever it left
  // half done is stopped and reported, and the window can be used or
  // closed again.
  void RecoverAfterFailure();

  // ---- entries the window forwards
  // WM_TIMER.
  void OnTimer(unsigned id);
  // WM_COMMAND; false for ids the window handles itself (track list menu).
  bool OnCommand(int id, Notify notify = Notify::kClicked);
  // A PlayerEventMessage (0x800..0x851); the handler's result.
  std::intptr_t OnPlayerEvent(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
  // engine::IMessageTarget: the same, for a direct event sink.
  std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
    return OnPlayerEvent(message, wParam, lParam);
  }

  // The album dialog's OK: the name goes to the disc the dialog was opened
  // for; a disc changed while it was open keeps its own name.
  bool SetAlbumNameFromDialog(const std::wstring& name);

  // ---- the handlers of the engine's events
  std::intptr_t OnCdromMediaChange(long cdromIndex);
  std::intptr_t OnMediaChange(wmp::IMedia* item);
  std::intptr_t OnPlaylistChange(wmp::IPlaylist* playlist, long change);
  std::intptr_t OnPlayStateChange(long newState);
  std::intptr_t OnCreatePartnershipComplete(wmp::ISyncDevice* device);
  std::intptr_t OnDeviceConnect(wmp::ISyncDevice* device);
  std::intptr_t OnDeviceDisconnect(wmp::ISyncDevice* device);
  std::intptr_t OnDeviceSyncError(wmp::ISyncDevice* device);
  std::intptr_t OnDeviceSyncStateChange(wmp::ISyncDevice* device, long syncState);

  // ---- state and screen
  // Only stores the value.
  void SetSyncState(int state);
  int GetSyncState() const;
  // Applies the state to the controls and the Status text.
  void UpdateControls();
  // Loads both strings; 720 as the done notice, others as a message box.
  void ShowMessage(unsigned messageId, unsigned captionId);
  // Focus on button `id` (2, 1012, 1013, 1041, 1014), or with 0 on the
  // focused control; Close when the wanted control is disabled.
  void FocusControl(int id);

  // The transfer fields; the track list writes selfEditPending and editedRow.
  TransferFields& Fields() { return fields_; }
  const TransferFields& Fields() const { return fields_; }
  // The handle of a running timer, 0 when it is not running.
  std::uintptr_t TimerHandle(unsigned id) const;

 private:
  using Lock = std::lock_guard<std::recursive_mutex>;

  bool Bound() const { return cd_ != nullptr && player_ != nullptr; }
  std::uint32_t BitRate() const;
  std::wstring RipFolder() const;
  bool AutoSyncOn();
  std::wstring Text(unsigned id) const { return ports_.strings.Load(id); }

  // Timers: started only when not running; killed with the handle cleared.
  void StartTimerIfStopped(unsigned id);
  void KillTimer(unsigned id);
  std::uintptr_t& Handle(unsigned id);

  // Every control that a running transfer or a modal prompt locks.
  void DisableAllControls();

  // Timer ticks (transfer.cpp, drive_poll.cpp, transfer_finish.cpp).
  void PollDrives();
  void RipPoll();
  void SyncStart();
  void SyncProgress();
  void FinishTransfer();
  void EndStepOnPlayerFiles();
  void PlayerWatchdog();

  // Commands (transfer.cpp, window_entries.cpp).
  void TransferCommand();
  bool PassTransferChecks();
  bool PrepareRip();
  void BackToWait(unsigned messageId, unsigned captionId);
  // After a message of the transfer command: when the disc changed since
  // the command began, the new disc is shown and true returned.
  bool TakeChangedDisc();
  void ModalCommand(int id);
  void ExplorerCommand();
  void DriveSelected();
  void PlayerSelected();
  void RefreshPlayer(bool selectFirst);
  // The disc of the selected drive read again and shown.
  void ShowDisc(bool resetChecks);
  // After a disc change outside a transfer: the new disc in list and labels.
  void TakeNewDisc();

  DlgPorts ports_;
  cdrom::ICdPart* cd_ = nullptr;
  device::IPlayerPart* player_ = nullptr;
  TransferFields fields_;
  std::array<std::uintptr_t, kTimerCount> timers_{};
  // Counts disc changes of the selected drive, so that a transfer waiting
  // in a question can tell that the disc changed under it.
  unsigned discChanges_ = 0;
  // discChanges_ when the present transfer command began.
  unsigned transferDiscChanges_ = 0;
  // discChanges_ when the present settings or album dialog opened.
  unsigned dialogDiscChanges_ = 0;
  // The rip was given up with the stall message: no second message for it.
  bool stallReported_ = false;
  // Finish ticks of SYNC_SYNCING without the sync progress timer running.
  int silentSyncTicks_ = 0;
  bool recovering_ = false;
  mutable std::recursive_mutex lock_;
};

}  // namespace controller

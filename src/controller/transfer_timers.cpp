// The timer ticks that move a transfer: the drive and player poll, the rip
// poll, the start and progress of the synchronisation, and the watchdog
// against the player application.
#include "controller/marimba_dlg.h"
#include "engine/event_dispatch.h"

namespace controller {
namespace {

// Results of the rip poll.
enum class RipResult { kFailed, kRunning, kComplete };

const wchar_t kNetWindowMark[] = L"ネット";

}  // namespace

void CMarimbaDlg::OnTimer(unsigned id) {
  if (id < kFirstTimer || id >= kFirstTimer + kTimerCount) return;
  if (id == kTimerWatchdog) {
    // Without the lock: it must act even while a transfer holds the window.
    KillTimer(id);
    if (Bound()) PlayerWatchdog();
    StartTimerIfStopped(id);
    return;
  }
  // One-shot ticks: the timer goes first, so a modal dialog inside the
  // handler sees no second tick of it.
  if (id != kTimerSyncProgress) KillTimer(id);
  const Lock lock(lock_);
  if (Bound()) {
    switch (id) {
      case kTimerRipPoll:
        RipPoll();
        break;
      case kTimerSyncStart:
        SyncStart();
        break;
      case kTimerSyncProgress:
        SyncProgress();
        break;
      case kTimerPollDrives:
        PollDrives();
        break;
      case kTimerFinish:
        FinishTransfer();
        break;
      default:
        break;
    }
  }
  if (id == kTimerPollDrives) StartTimerIfStopped(id);
}

void CMarimbaDlg::PollDrives() {
  int playerState = player_->GetState();
  int cdState = cd_->GetState();
  const int state = fields_.state;
  if (state > SYNC_WAIT) return;
  if (state == SYNC_INIT) {
    cd_->RefreshList(false, false);
    cd_->OpenDisc(true);
    player_->RefreshList(false, false);
    player_->EnsurePartnership();
    player_->UpdateCapacity();
    playerState = player_->GetState();
    cdState = cd_->GetState();
    // A drive or disc that went without an event must not leave its tracks
    // and album on screen, and one that came back without an event must be
    // shown again, or the tool never gets ready for it.
    const bool filled = cd_->IsListFilled();
    if ((cdState != 2 && filled) || (cdState == 2 && !filled)) {
      if (cdState == 2) fields_.lastReportedTrack = -1;
      cd_->FillTrackList(BitRate(), true);
      cd_->ShowAlbumName();
    }
  }
  if (state != SYNC_SETTINGS) {
    const int last = fields_.lastReportedTrack;
    const bool ready = playerState == 2 && cdState == 2 && cd_->IsListFilled() &&
                       (last == -1 || cd_->GetTrackCount(false) == last + 1);
    if (ready) {
      if (fields_.readyCount == 3) {
        SetSyncState(SYNC_WAIT);
        if (AutoSyncOn() && fields_.autoSyncShown == 0) {
          fields_.autoSyncShown = 1;
          DisableAllControls();
          const bool go = ports_.view.RunAutoTransferPrompt(Text(IDS_AUTO_TRANSFER_PROMPT));
          // Events during the prompt may have changed the disc or the
          // player (they clear autoSyncShown): that transfer was not offered.
          if (go && fields_.state == SYNC_WAIT && fields_.autoSyncShown != 0) {
            ports_.view.PostTransferCommand();
          }
        }
      } else {
        ++fields_.readyCount;
        SetSyncState(SYNC_INIT);
      }
      player_->UpdateCapacity();
      UpdateControls();
      return;
    }
    fields_.readyCount = 0;
    SetSyncState(SYNC_INIT);
  }
  if (playerState != 0) player_->UpdateCapacity();
  UpdateControls();
}

void CMarimbaDlg::RipPoll() {
  // Only a running rip is polled; a failed one waits for FinishTransfer.
  if (fields_.state != SYNC_RIPPING) return;
  const int progress = cd_->UpdateRipProgress(0);
  bool stalled = false;
  if (progress == fields_.lastRipProgress) {
    if (++fields_.ripStallCount > kStallLimit) {
      fields_.ripStallCount = 0;
      fields_.lastRipProgress = 0;
      cd_->Eject();
      stallReported_ = true;
      ShowMessage(IDS_MSG_RIP_STALLED, IDS_CAPTION_WARNING);
      stalled = true;
    }
  } else {
    fields_.ripStallCount = 0;
    fields_.lastRipProgress = progress;
  }

  const int whole = 100 * cd_->GetTrackCount(false);
  RipResult result = RipResult::kFailed;
  if (!stalled && progress >= 0) {
    if (progress < whole) {
      result = RipResult::kRunning;
    } else if (progress > 0 && progress == whole && progress == 100 * cd_->GetRippedCount()) {
      result = RipResult::kComplete;
    }
  }
  // The stall message ran a message loop: a handler may have ended the rip.
  if (fields_.state != SYNC_RIPPING) return;

  switch (result) {
    case RipResult::kFailed:
      SetSyncState(SYNC_RIPPING_ERROR);
      break;
    case RipResult::kRunning:
      StartTimerIfStopped(kTimerRipPoll);
      break;
    case RipResult::kComplete: {
      cd_->CorrectLibraryTags();
      const wmp::PlaylistPtr playlist = cd_->FindRippedTracks(true);
      if (!playlist) {
        SetSyncState(SYNC_ERROR);
        break;
      }
      // The state comes first: the engine's "synchronizing" event may
      // arrive inside PrepareSync and must find SYNC_SYNCING.
      SetSyncState(SYNC_SYNCING);
      bool prepared = false;
      {
        const WaitCursor wait(ports_.view);
        prepared = player_->PrepareSync(playlist.get(), &ports_.trackList.Checks());
      }
      if (fields_.state != SYNC_SYNCING) break;  // an event inside ended it
      if (prepared) {
        StartTimerIfStopped(kTimerSyncStart);
      } else {
        SetSyncState(SYNC_ERROR);
      }
      break;
    }
  }
}

void CMarimbaDlg::SyncStart() {
  if (fields_.state != SYNC_SYNCING) return;
  bool started = false;
  {
    const WaitCursor wait(ports_.view);
    started = player_->StartSync();
  }
  if (!started && TimerHandle(kTimerSyncProgress) == 0) {
    // PollSync reports the failure.
    StartTimerIfStopped(kTimerSyncProgress);
  }
}

void CMarimbaDlg::SyncProgress() {
  const int state = fields_.state;
  if (state == SYNC_SYNCING_DONE || state == SYNC_ERROR || state == SYNC_ABORT) {
    KillTimer(kTimerSyncProgress);
    return;
  }
  if (state != SYNC_SYNCING) return;
  const int result = player_->PollSync();
  // PollSync pumps the progress window: an event may have ended the sync.
  if (fields_.state != SYNC_SYNCING) {
    if (fields_.state >= SYNC_SYNCING_DONE) KillTimer(kTimerSyncProgress);
    return;
  }
  if (result != 100 && result >= 0) return;
  KillTimer(kTimerSyncProgress);
  if (result == 100) {
    SetSyncState(SYNC_SYNCING_DONE);
  } else if (result == -2) {
    SetSyncState(SYNC_ABORT);
  } else {
    SetSyncState(SYNC_ERROR);
  }
}

void CMarimbaDlg::PlayerWatchdog() {
  os::ITopWindows& windows = ports_.windows;
  const os::WindowRef player = engine::FindPlayerApplicationWindow(windows);
  if (player != os::kNoWindow && windows.IsVisible(player)) {
    windows.RequestClose(player);
    ShowMessage(IDS_MSG_PLAYER_CLOSED, IDS_CAPTION_WARNING);
  }

  os::WindowRef found = os::kNoWindow;
  std::wstring foundTitle;
  windows.Enumerate([&](os::WindowRef window) {
    std::wstring title = windows.Title(window);
    if (title.empty()) return true;
    const os::WindowRef parent = windows.Parent(window);
    if (parent == os::kNoWindow ||
        windows.Title(parent).find(engine::kPlayerApplicationTitle) == std::wstring::npos) {
      return true;
    }
    found = window;
    foundTitle = std::move(title);
    return false;
  });
  if (found != os::kNoWindow && foundTitle != Text(IDS_APP_TITLE) &&
      foundTitle.find(kNetWindowMark) != std::wstring::npos) {
    windows.BringToForeground(found);
  }
}

}  // namespace controller

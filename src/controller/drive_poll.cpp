// The poll of the drives and players while no transfer runs, and the
// watchdog against the player application.
#include "controller/marimba_dlg.h"
#include "engine/event_dispatch.h"

namespace controller {
namespace {

const wchar_t kNetWindowMark[] = L"ネット";

}  // namespace

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

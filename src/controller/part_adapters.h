#pragma once
// The real drive-access objects behind the controller's part interfaces.
#include "cdrom/cdrom_acc.h"
#include "controller/transfer_parts.h"
#include "device/dap_acc.h"

namespace controller {

class CdromPart : public ICdPart {
 public:
  explicit CdromPart(cdrom::CCDROMAcc& acc) : acc_(acc) {}

  int GetState() const override { return acc_.GetState(); }
  void RefreshList(bool selectFirst, bool closeDropDown) override {
    acc_.RefreshList(selectFirst, closeDropDown);
  }
  bool OpenDisc(bool checkContents) override { return acc_.OpenDisc(checkContents); }
  int GetTrackCount(bool reopen) override { return acc_.GetTrackCount(reopen); }
  bool IsListFilled() const override { return acc_.IsListFilled(); }
  void FillTrackList(std::uint32_t bitRate, bool resetChecks) override {
    acc_.FillTrackList(bitRate, resetChecks);
  }
  void ShowAlbumName() override { acc_.ShowAlbumName(); }
  bool SetAlbumName(const std::wstring& name) override { return acc_.SetAlbumName(name); }
  double GetTrackSize(int position) const override { return acc_.GetTrackSize(position); }
  double GetTotalSize() const override { return acc_.GetTotalSize(); }
  float GetFreeSpaceMB(const std::wstring& path) override { return acc_.GetFreeSpaceMB(path); }
  int CdromIndex() const override { return acc_.CdromIndex(); }
  bool IsDiscItem(wmp::IPlaylist* playlist) const override { return acc_.IsDiscItem(playlist); }
  engine::MediaRef GetDiscItem(long position) const override {
    return acc_.GetDiscItem(position);
  }
  bool RemoveMissingLibraryEntries() override { return acc_.RemoveMissingLibraryEntries(); }
  bool CheckRippedFiles(std::uint32_t rate, const std::wstring& ripFolder) override {
    return acc_.CheckRippedFiles(rate, ripFolder);
  }
  bool CheckTrackOrder() override { return acc_.CheckTrackOrder(); }
  bool PrepareDiscTags(int model) override { return acc_.PrepareDiscTags(model); }
  bool CorrectLibraryTags() override { return acc_.CorrectLibraryTags(); }
  int StartRip() override { return acc_.StartRip(); }
  int UpdateRipProgress(int overall) override { return acc_.UpdateRipProgress(overall); }
  int GetRippedCount() const override { return acc_.GetRippedCount(); }
  wmp::PlaylistPtr FindRippedTracks(bool checkedOnly) override {
    return acc_.FindRippedTracks(checkedOnly);
  }
  bool Eject() override { return acc_.Eject(); }
  bool StopRip() override { return acc_.StopRip(); }
  void CloseStatus() override { acc_.CloseStatus(); }

 private:
  cdrom::CCDROMAcc& acc_;
};

class DapPart : public IPlayerPart {
 public:
  explicit DapPart(device::CDAPAcc& acc) : acc_(acc) {}

  int GetState() const override { return acc_.GetState(); }
  void RefreshList(bool selectFirst, bool closeDropDown) override {
    acc_.RefreshList(selectFirst, closeDropDown);
  }
  bool EnsurePartnership() override { return acc_.EnsurePartnership(); }
  void UpdateCapacity() override { acc_.UpdateCapacity(); }
  std::wstring GetSelectedDrive() const override { return acc_.GetSelectedDrive(); }
  float FreeMB() const override { return acc_.FreeMB(); }
  bool PrepareSync(wmp::IPlaylist* playlist, const ui::CheckSnapshot* checks) override {
    return acc_.PrepareSync(playlist, checks);
  }
  bool StartSync() override { return acc_.StartSync(); }
  int PollSync() override { return acc_.PollSync(); }
  bool StopSync() override { return acc_.StopSync(); }
  bool FinishSync() override { return acc_.FinishSync(); }
  bool OnPartnershipComplete(wmp::ISyncDevice* device) override {
    return acc_.OnPartnershipComplete(device);
  }
  bool IsOurDevice(wmp::ISyncDevice* device) const override { return acc_.IsOurDevice(device); }
  bool CollectTransferredFiles() override { return acc_.CollectTransferredFiles(); }
  void MoveIntoMusicFolder() override { acc_.MoveIntoMusicFolder(); }
  void MoveOutOfMusicFolder() override { acc_.MoveOutOfMusicFolder(); }
  void CloseStatus() override { acc_.CloseStatus(); }

 private:
  device::CDAPAcc& acc_;
};

}  // namespace controller

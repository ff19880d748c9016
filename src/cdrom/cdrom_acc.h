#pragma once
// The CD drive access object: the list of CD drives in its combo box, the
// disc in the selected drive as the engine sees it (album, tracks, sizes),
// the library items ripped from that disc, and the rip of the whole disc.
#include <array>
#include <cstdint>
#include <string>

#include "cdrom/cd_part.h"
#include "common/basic_drive.h"
#include "common/player_context.h"
#include "engine/attributes.h"
#include "os/clock.h"
#include "os/drives.h"
#include "os/file_system.h"
#include "resources/string_table.h"
#include "ui/static_ex.h"
#include "ui/status_window.h"
#include "ui/track_list.h"

namespace cdrom {

// Text colour of the album label when no usable disc is in the drive.
constexpr std::uint32_t kNoDiscColour = 0x001200EB;

class CCDROMAcc : public common::CBasicDrive, public ICdPart {
 public:
  // An audio CD holds at most 99 tracks; a disc playlist with more items is
  // not a usable audio CD.
  static constexpr int kMaxTracks = 99;

  CCDROMAcc(common::PlayerContext& context, os::IDrives& drives, os::IFileSystem& files,
            os::IClock& clock, ui::IStatusHost& statusHost, const res::IStringTable& strings);
  ~CCDROMAcc() override;

  // --- drives and disc
  int GetState() const override { return CBasicDrive::GetState(); }
  void CloseStatus() override { CBasicDrive::CloseStatus(); }
  bool Attach(ui::CMyComboBox* comboBox) override;
  // Releases the CD-ROM collection, the library playlist and the disc playlist.
  void Reset() override;
  void RefreshList(bool selectFirst, bool closeDropDown) override;
  // False (nothing kept) when any of them is null.
  bool SetControls(ui::CReportCtrl* trackList, ui::CStaticEx* sizeLabel,
                   ui::CStaticEx* albumLabel);
  // "E:" for the selected entry "MUSIC (E:)"; empty when there is none.
  std::wstring GetSelectedDrive() const;
  // Opens the disc of the selected drive through the engine; with
  // checkContents only a plain audio CD counts, and success sets state 2.
  bool OpenDisc(bool checkContents) override;
  // True when the root of `drive` ("E:") can be listed and holds no marker
  // of a data or video disc.
  bool IsAudioOnlyDisc(const std::wstring& drive);
  int GetTrackCount(bool reopen) override;
  // The track list holds the rows of the present disc.
  bool IsListFilled() const override { return listFilled_; }
  bool Eject() override;
  // Stops the rip of the selected drive; older engines cannot.
  bool StopRip() override;

  // --- album and tracks
  // Rebuilds the track list; `bitRate` in bits per second (64000 or 128000).
  void FillTrackList(std::uint32_t bitRate, bool resetChecks) override;
  // Estimated size in MB of the track at `position` (0..98); 0.0 otherwise.
  double GetTrackSize(int position) const override;
  double GetTotalSize() const override { return totalSize_; }
  void ShowAlbumName() override;
  std::wstring GetAlbumName() const;
  bool SetAlbumName(const std::wstring& name) override;
  bool SetTrackTitle(int trackNumber, const std::wstring& title);
  bool SetTrackArtist(int trackNumber, const std::wstring& artist);
  bool IsDiscItem(wmp::IPlaylist* playlist) const override;
  // Item `position` of the disc; an empty reference when it cannot be taken.
  engine::MediaRef GetDiscItem(long position) const override;
  // Rebuilds the playlist of the library items of the disc and returns it
  // (null when it cannot be made); with checkedOnly the tracks unchecked in
  // the list are left out of it (the library keeps them).
  wmp::PlaylistPtr FindRippedTracks(bool checkedOnly) override;
  int GetRippedCount() const override;
  // Normalises album, artist and number prefix of the disc's items before
  // the rip; `model` is the player model 0, 1 or 2.
  bool PrepareDiscTags(int model) override;
  // Copies the disc's names and album information into the ripped items.
  bool CorrectLibraryTags() override;
  // Free megabytes of the disk that holds `path`; 0 when unknown.
  float GetFreeSpaceMB(const std::wstring& path) override;

  // --- rip
  bool RemoveMissingLibraryEntries() override;
  // `rateBitsPerSecond` and `ripFolder` are WMARecordRate and CDRecordPath.
  bool CheckRippedFiles(std::uint32_t rateBitsPerSecond, const std::wstring& ripFolder) override;
  bool CheckTrackOrder() override;
  // 0 when the engine was told to rip, trackCount × 100 when the library
  // holds the whole disc already, -1 on failure.
  int StartRip() override;
  // `overall` is (track − 1) × 100 + percent; the overall progress, 0 on the
  // first call, -1 on failure, -2 when a finished track's file is empty.
  int UpdateRipProgress(int overall) override;

  int CdromIndex() const override { return cdromIndex_; }

 private:
  bool OpenDrive(const std::wstring& drive);

  common::PlayerContext& context_;
  os::IDrives& drives_;
  os::IFileSystem& files_;
  os::IClock& clock_;
  ui::CReportCtrl* trackList_ = nullptr;
  ui::CStaticEx* sizeLabel_ = nullptr;
  ui::CStaticEx* albumLabel_ = nullptr;
  engine::CdromCollectionRef cdromCollection_;
  engine::PlaylistRef libraryPlaylist_;
  engine::PlaylistRef discPlaylist_;
  int cdromIndex_ = -1;
  int trackCount_ = 0;
  double totalSize_ = 0.0;
  std::array<double, kMaxTracks> trackSizes_{};
  int lastRipTrack_ = -1;
  bool listFilled_ = false;
};

}  // namespace cdrom

#pragma once
// The CD part as the transfer controller drives it: CCDROMAcc, or a test's
// scripted part.
#include <cstdint>
#include <string>

#include "engine/attributes.h"
#include "engine/model/media.h"

namespace cdrom {

class ICdPart {
 public:
  virtual ~ICdPart() = default;

  // 0 no CD drive, 1 drives listed, 2 a disc with tracks is open.
  virtual int GetState() const = 0;
  virtual void RefreshList(bool selectFirst, bool closeDropDown) = 0;
  virtual bool OpenDisc(bool checkContents) = 0;
  virtual int GetTrackCount(bool reopen) = 0;
  // The track list holds the rows of the present disc.
  virtual bool IsListFilled() const = 0;
  virtual void FillTrackList(std::uint32_t bitRate, bool resetChecks) = 0;
  virtual void ShowAlbumName() = 0;
  virtual bool SetAlbumName(const std::wstring& name) = 0;
  // Estimated megabytes of the track at `position` (0-based) and of the disc.
  virtual double GetTrackSize(int position) const = 0;
  virtual double GetTotalSize() const = 0;
  virtual float GetFreeSpaceMB(const std::wstring& path) = 0;
  // Index of the selected drive in the engine's CD-ROM collection; -1 none.
  virtual int CdromIndex() const = 0;
  virtual bool IsDiscItem(wmp::IPlaylist* playlist) const = 0;
  virtual engine::MediaRef GetDiscItem(long position) const = 0;

  // Rip preparation, in the order the transfer runs it.
  virtual bool RemoveMissingLibraryEntries() = 0;
  virtual bool CheckRippedFiles(std::uint32_t rateBitsPerSecond, const std::wstring& ripFolder) = 0;
  virtual bool CheckTrackOrder() = 0;
  virtual bool PrepareDiscTags(int model) = 0;
  virtual bool CorrectLibraryTags() = 0;

  // 0 rip started, trackCount × 100 already in the library, negative failure.
  virtual int StartRip() = 0;
  // Overall progress; negative on failure.
  virtual int UpdateRipProgress(int overall) = 0;
  virtual int GetRippedCount() const = 0;
  // Null when the ripped tracks cannot be collected.
  virtual wmp::PlaylistPtr FindRippedTracks(bool checkedOnly) = 0;
  virtual bool Eject() = 0;
  virtual bool StopRip() = 0;
  virtual void CloseStatus() = 0;
};

}  // namespace cdrom
